#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <utility>

using Clock = std::function<std::time_t()>;
std::time_t systemClock();

// "Thu Jul 13 18:03:22 2000": the C library's asctime layout with the day of the month
// zero-padded and no line end.
std::string logTimestamp(const std::tm& utc);
// "Thu Jul 13 18:03:22 2000 194 1234 5678 9012\r\n": time stamp, day of the year counted
// from 0, the three raw counts.
std::string logDataLine(const std::tm& utc, const std::array<std::uint32_t, 3>& counts);

// The data log: one line per sample, appended to a text file that is opened and closed for
// each sample and never locked, so other programs may read it meanwhile. The two header
// lines go before the first sample written in a run, whichever file that goes to.
class DataLog {
public:
    static constexpr const char* kHeader = "Begin Logging...Data Format:\r\n"
                                           "WWW MMM DD HH:MM:SS (gmt) YYYY JJJ cccc cccc cccc\r\n";

    explicit DataLog(Clock clock = systemClock)
        : m_clock(std::move(clock)) {}

    struct Result {
        bool written;
        std::string error; // why the sample was not written, for the user
    };
    // Appends one sample to the file at path (Windows-1252), creating the file when missing.
    // The header stays pending until a file has received it whole and closed cleanly.
    Result append(const std::string& path, const std::array<std::uint32_t, 3>& counts);
    bool headerPending() const { return m_headerPending; }

private:
    Clock m_clock;
    bool m_headerPending = true;
};
