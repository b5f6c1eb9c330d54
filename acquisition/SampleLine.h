#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class DataLog;

// One decoded line: the number of fields a "%cSMADC%c%u%c%u%c%u" scan assigns (-1 for an
// empty line) and the three channel counts. Counts the line does not carry stay 0.
struct Sample {
    int fields = 0;
    std::array<std::uint32_t, 3> counts{};
    bool accepted() const { return fields >= 3; }
};

// Scans an upper-cased line as the C library's sscanf would with the format above. Letter
// case matters: the caller upper-cases first. A NUL ends the line, as it ends a C string.
Sample decodeSample(std::string_view upperLine);

// A probe's linear calibration.
struct Calibration {
    float fullScaleTemp = 0;
    float minTemp = 0;
    float offset = 0;
    std::uint32_t fullScaleCounts = 0;
    std::uint32_t minCounts = 0;
};

// (count - min) / (fullScale - min) * fullScaleTemp + offset + minTemp, the differences
// taken modulo 2^32, evaluated in double from left to right and rounded once to float. A
// zero span gives an infinity, or NaN for the minimum count itself.
float convertCounts(std::uint32_t count, const Calibration& calibration);
// minCounts <= count <= fullScaleCounts: empty when the minimum lies above full scale.
bool countsInRange(std::uint32_t count, const Calibration& calibration);
// "%.1f °C" inside the temperature range, "(%.1f) °C" outside it (NaN included); the degree
// sign is the byte 0xB0.
std::string formatTemperature(float temperature, const Calibration& calibration);
// "%.1f" with a value exactly halfway between two tenths rounded away from zero, and
// non-finite values as "inf", "-inf" and "nan".
std::string formatOneDecimal(double value);

// The window the line processing writes to and reads from.
class LineTarget {
public:
    virtual ~LineTarget() = default;
    virtual void setStatus(const std::string& text) = 0;
    // probe is 0 or 1.
    virtual void setDisplay(int probe, const std::string& text) = 0;
    // The probe's selected channel position; -1 when none is selected.
    virtual int channel(int probe) const = 0;
    virtual bool loggingOn() const = 0;
    // Read once for each logged sample, so a new path takes effect at the next one.
    virtual std::string logPath() const = 0;
};

// Upper-cases the line in place, shows it, decodes it, logs an accepted sample when logging
// is on, then converts and shows each probe's count. The status line ends with the text of
// the last outcome: invalid data, a range message, or what happened to the sample. A probe
// with no channel selected is left alone.
void processLine(std::string& line, LineTarget& target, DataLog& log,
                 const std::array<Calibration, 2>& calibrations);
