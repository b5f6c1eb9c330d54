#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

// What the simulated converter unit sends: one text line per sample, a lead character,
// "SMADC" and three counts each preceded by a separator, then the line ending.

using Counts = std::array<std::uint32_t, 3>;

enum class Pattern { Wave, Constant, Random, Ramp };

struct LineFormat {
    char lead = 'X';
    char separator = ',';
    bool crlf = false; // CR LF endings instead of a bare line feed
    bool echo = false; // every byte sent twice, as the unit does with its echo on
    bool operator==(const LineFormat&) const = default;
};

struct LineSettings {
    Pattern pattern = Pattern::Wave;
    Counts constant{100, 200, 300};
    std::uint32_t rampFrom = 0;
    std::uint32_t rampTo = 32767;
    std::uint32_t rampStep = 1;
    std::uint32_t seed = 1;
    int malformedPercent = 0;
    LineFormat format;
    bool operator==(const LineSettings&) const = default;
};

// "XSMADC,100,200,300" for the default lead and separator: the line without its ending.
std::string sampleText(const Counts& counts, char lead, char separator);
// Adds the line ending and, with echo, doubles every byte, the ending's included.
std::string frameLine(std::string_view text, const LineFormat& format);

// Three sine waves of different periods around mid-scale, within 0..32767, so that a demo
// shows each channel moving at its own slow pace.
Counts waveCounts(double seconds);
// The ramp's value for line `index`: from, from + step, ... up to at most `to`, then again
// from `from`. Needs from <= to and step >= 1.
std::uint32_t rampValue(std::uint32_t from, std::uint32_t to, std::uint32_t step,
                        std::uint64_t index);

// The ways a line can be malformed; each is one the receiving program rejects whatever the
// lead and separator.
enum class Malformation {
    MissingLead, // "SMADC,1,2,3"
    BadCount,    // "XSMADC,?,2,3"
    Truncated,   // cut within "XSMADC,"
    Garbage,     // digits and punctuation only, so "SMADC" can never match
};
std::string malformedText(Malformation kind, const Counts& counts, char lead, char separator,
                          std::mt19937& random);

// Produces the bytes of successive lines. Everything but the wave's time is decided by the
// settings and the line's index, so a seed reproduces a run.
class LineGenerator {
public:
    explicit LineGenerator(const LineSettings& settings);

    // The next line, to be sent `seconds` after the first.
    std::string next(double seconds);

private:
    Counts countsFor(double seconds);

    LineSettings m_settings;
    std::uint64_t m_index = 0;
    std::mt19937 m_countRandom;
    std::mt19937 m_faultRandom;
};

using Nanos = std::chrono::nanoseconds;

// The time between lines at a rate in lines per second; zero for rate 0, which sends each
// line as soon as the previous one is written.
Nanos linePeriod(double linesPerSecond);
// When the line after one due at `due` is due, `now` being the current time: one period
// later, but not before now, so lines held up by a slow or absent reader do not follow in
// a burst.
Nanos nextDue(Nanos due, Nanos now, Nanos period);
