#include "DataLog.h"

#include "Win1252.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// An index into a table of n names, safe for a hand-made tm whose fields are out of range.
int wrap(int value, int n) {
    return (value % n + n) % n;
}

// Writes all of text, or returns the reason it could not.
std::string writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::strerror(errno);
        if (n == 0) return "nothing could be written";
        text.remove_prefix(std::size_t(n));
    }
    return {};
}

} // namespace

std::time_t systemClock() {
    return std::time(nullptr);
}

std::string logTimestamp(const std::tm& utc) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s %s %02d %02d:%02d:%02d %d",
                  kDays[wrap(utc.tm_wday, 7)], kMonths[wrap(utc.tm_mon, 12)], utc.tm_mday,
                  utc.tm_hour, utc.tm_min, utc.tm_sec, utc.tm_year + 1900);
    return buffer;
}

std::string logDataLine(const std::tm& utc, const std::array<std::uint32_t, 3>& counts) {
    return logTimestamp(utc) + " " + std::to_string(utc.tm_yday) + " " + std::to_string(counts[0]) +
           " " + std::to_string(counts[1]) + " " + std::to_string(counts[2]) + "\r\n";
}

DataLog::Result DataLog::append(const std::string& path,
                                const std::array<std::uint32_t, 3>& counts) {
    if (path.empty()) return {false, "the path is empty (set the Log File in Setup)"};
    const std::time_t now = m_clock();
    std::tm utc{};
    if (!gmtime_r(&now, &utc)) return {false, "the clock gives no calendar time"};

    const int fd = ::open(win1252::localPath(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return {false, std::strerror(errno)};
    std::string error = m_headerPending ? writeAll(fd, kHeader) : std::string();
    const bool headerWritten = m_headerPending && error.empty();
    if (error.empty()) error = writeAll(fd, logDataLine(utc, counts));
    const bool closed = ::close(fd) == 0;
    if (!closed && error.empty()) error = std::strerror(errno);
    // A header that reached the file stays there even when the data line did not follow.
    if (headerWritten && closed) m_headerPending = false;
    if (!error.empty()) return {false, error};
    return {true, {}};
}
