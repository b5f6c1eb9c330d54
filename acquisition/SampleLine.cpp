#include "SampleLine.h"

#include "DataLog.h"
#include "Win1252.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr std::string_view kLiteral = "SMADC";
// The degree sign is the Windows-1252 byte 0xB0, split off so the hex escape ends before C.
constexpr std::string_view kCelsius = " \xB0"
                                      "C";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A %u conversion: white space skipped, an optional sign, decimal digits; a minus sign
// negates modulo 2^32, and a value too large for 32 bits keeps its low 32 bits.
std::optional<std::uint32_t> scanUnsigned(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    const std::size_t digits = pos;
    std::uint32_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        value = value * 10u + std::uint32_t(text[pos] - '0');
    if (pos == digits) return std::nullopt;
    return negative ? 0u - value : value;
}

void showProbe(LineTarget& target, int probe, const Sample& sample,
               const Calibration& calibration) {
    const int channel = target.channel(probe);
    if (channel < 0 || channel >= int(sample.counts.size())) return;
    const std::uint32_t count = sample.counts[std::size_t(channel)];
    const float temperature = convertCounts(count, calibration);
    if (!countsInRange(count, calibration))
        target.setStatus(probe == 0 ? "P1 Counts Out Of Range" : "P2 Counts Out Of Range");
    target.setDisplay(probe, formatTemperature(temperature, calibration));
}

void logSample(LineTarget& target, DataLog& log, const Sample& sample) {
    target.setStatus("Writing Data...");
    const std::string path = target.logPath();
    const DataLog::Result result = log.append(path, sample.counts);
    target.setStatus(result.written ? "Writing Data"
                                    : "Cannot write log file '" + path + "': " + result.error);
}

} // namespace

Sample decodeSample(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    Sample sample;
    if (line.empty()) {
        sample.fields = -1; // end of input before the first conversion
        return sample;
    }
    sample.fields = 1; // the lead character takes any value
    if (line.substr(1, kLiteral.size()) != kLiteral) return sample;
    std::size_t pos = 1 + kLiteral.size();
    for (std::uint32_t& count : sample.counts) {
        if (pos >= line.size()) return sample;
        ++pos; // a separator takes any value
        ++sample.fields;
        const auto value = scanUnsigned(line, pos);
        if (!value) return sample;
        count = *value;
        ++sample.fields;
    }
    return sample;
}

float convertCounts(std::uint32_t count, const Calibration& c) {
    const std::uint32_t offsetCounts = count - c.minCounts;
    const std::uint32_t span = c.fullScaleCounts - c.minCounts;
    double t = double(offsetCounts) / double(span);
    t = t * double(c.fullScaleTemp);
    t = t + double(c.offset);
    t = t + double(c.minTemp);
    return float(t); // IEEE rounding: beyond the float range this gives an infinity
}

bool countsInRange(std::uint32_t count, const Calibration& c) {
    return count >= c.minCounts && count <= c.fullScaleCounts;
}

// printf rounds a value exactly halfway between two tenths to even. Such a value is an odd
// number of quarters (x.25, x.75), which "%.2f" prints exactly; dropping its final 5 and
// raising the tenth (2 or 7, so no carry) rounds it away from zero instead.
std::string formatOneDecimal(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    const double quarters = std::fabs(value) * 4;
    const bool halfway = quarters == std::floor(quarters) && std::fmod(quarters, 2.0) == 1.0;
    char buffer[400]; // the largest double has 309 integer digits
    std::snprintf(buffer, sizeof buffer, halfway ? "%.2f" : "%.1f", value);
    std::string text = buffer;
    if (halfway) {
        text.pop_back();
        ++text.back();
    }
    return text;
}

std::string formatTemperature(float temperature, const Calibration& c) {
    const std::string number = formatOneDecimal(double(temperature));
    const bool inRange = c.minTemp <= temperature && temperature <= c.fullScaleTemp;
    return (inRange ? number : "(" + number + ")") + std::string(kCelsius);
}

void processLine(std::string& line, LineTarget& target, DataLog& log,
                 const std::array<Calibration, 2>& calibrations) {
    win1252::toUpperInPlace(line);
    target.setStatus(line);
    const Sample sample = decodeSample(line);
    if (!sample.accepted()) {
        target.setStatus("Invalid Data: '" + line + "'");
        return;
    }
    if (target.loggingOn())
        logSample(target, log, sample);
    else
        target.setStatus("Data Received");
    for (int probe = 0; probe < 2; ++probe)
        showProbe(target, probe, sample, calibrations[std::size_t(probe)]);
}
