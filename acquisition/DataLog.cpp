#include "DataLog.h"

#include "Win1252.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Writes all of text, or returns the reason it could not.
std::string writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? std::strerror(errno) : "nothing could be written";
        done += std::size_t(n);
    }
    return {};
}

} // namespace

std::time_t systemClock() {
    return std::time(nullptr);
}

std::string logTimestamp(const std::tm& utc) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %s %02d %02d:%02d:%02d %d", kDays[utc.tm_wday % 7],
                  kMonths[utc.tm_mon % 12], utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  utc.tm_year + 1900);
    return buffer;
}

std::string logDataLine(const std::tm& utc, const std::array<std::uint32_t, 3>& counts) {
    return logTimestamp(utc) + " " + std::to_string(utc.tm_yday) + " " + std::to_string(counts[0]) +
           " " + std::to_string(counts[1]) + " " + std::to_string(counts[2]) + "\r\n";
}

DataLog::Result DataLog::append(const std::string& path,
                                const std::array<std::uint32_t, 3>& counts) {
    if (path.empty()) return {false, "no log file is set (Setup, Log File)"};
    const std::time_t now = m_clock();
    std::tm utc{};
    gmtime_r(&now, &utc);
    const std::string text = (m_headerPending ? kHeader : "") + logDataLine(utc, counts);

    const int fd = ::open(win1252::localPath(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return {false, std::strerror(errno)};
    std::string error = writeAll(fd, text);
    if (::close(fd) != 0 && error.empty()) error = std::strerror(errno);
    if (!error.empty()) return {false, error};
    m_headerPending = false;
    return {true, {}};
}
