#include "LineGenerator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

std::string sampleText(const Counts& counts, char lead, char separator) {
    std::string text{lead};
    text += "SMADC";
    for (std::uint32_t count : counts) {
        text += separator;
        text += std::to_string(count);
    }
    return text;
}

// With echo every character comes twice except the closing line feed, as the receiving
// program expects of a unit with echo on: a second line feed would end a second, empty line.
std::string frameLine(std::string_view text, const LineFormat& format) {
    std::string line(text);
    if (format.crlf) line += '\r';
    if (format.echo) {
        std::string doubled;
        doubled.reserve(2 * line.size() + 1);
        for (char c : line)
            doubled.append(2, c);
        line = std::move(doubled);
    }
    return line + '\n';
}

Counts waveCounts(double seconds) {
    constexpr double kMid = 16384, kAmplitude = 12000;
    constexpr std::array<double, 3> kPeriods{40, 65, 90};
    constexpr std::array<double, 3> kPhases{0, 2, 4};
    Counts counts{};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const double angle = 2 * std::numbers::pi * seconds / kPeriods[i] + kPhases[i];
        counts[i] = static_cast<std::uint32_t>(std::lround(kMid + kAmplitude * std::sin(angle)));
    }
    return counts;
}

std::uint32_t rampValue(std::uint32_t from, std::uint32_t to, std::uint32_t step,
                        std::uint64_t index) {
    const std::uint64_t values = (std::uint64_t{to} - from) / step + 1;
    return static_cast<std::uint32_t>(from + index % values * step);
}

std::string malformedText(Malformation kind, const Counts& counts, char lead, char separator,
                          std::mt19937& random) {
    const std::string text = sampleText(counts, lead, separator);
    switch (kind) {
    case Malformation::MissingLead:
        return text.substr(1);
    case Malformation::BadCount:
        // '?' can start no number, whatever the separator before it.
        return std::string{lead} + "SMADC" + separator + '?' + separator +
               std::to_string(counts[1]) + separator + std::to_string(counts[2]);
    case Malformation::Truncated:
        // Cut before count 0: within the lead, the literal or the first separator.
        return text.substr(0, 1 + random() % 7);
    case Malformation::Garbage: {
        static constexpr std::string_view kChars = "0123456789 ,.;:-+*#/=";
        std::string garbage(1 + random() % 20, ' ');
        std::generate(garbage.begin(), garbage.end(),
                      [&] { return kChars[random() % kChars.size()]; });
        return garbage;
    }
    }
    return text;
}

LineGenerator::LineGenerator(const LineSettings& settings)
    : m_settings(settings) {
    // Separate streams, so that malformed lines leave the random counts as they were.
    std::seed_seq countSeed{settings.seed, 1u}, faultSeed{settings.seed, 2u};
    m_countRandom.seed(countSeed);
    m_faultRandom.seed(faultSeed);
}

Counts LineGenerator::countsFor(double seconds) {
    switch (m_settings.pattern) {
    case Pattern::Wave:
        return waveCounts(seconds);
    case Pattern::Constant:
        return m_settings.constant;
    case Pattern::Random: {
        Counts counts{};
        // 2^32 is a multiple of 32768, so the remainder is uniform.
        for (auto& count : counts)
            count = static_cast<std::uint32_t>(m_countRandom() % 32768);
        return counts;
    }
    case Pattern::Ramp: {
        const auto value =
            rampValue(m_settings.rampFrom, m_settings.rampTo, m_settings.rampStep, m_index);
        return {value, value, value};
    }
    }
    return {};
}

std::string LineGenerator::next(double seconds) {
    const Counts counts = countsFor(seconds);
    ++m_index;
    const LineFormat& format = m_settings.format;
    if (static_cast<int>(m_faultRandom() % 100) >= m_settings.malformedPercent)
        return frameLine(sampleText(counts, format.lead, format.separator), format);
    const auto kind = static_cast<Malformation>(m_faultRandom() % 4);
    return frameLine(malformedText(kind, counts, format.lead, format.separator, m_faultRandom),
                     format);
}

Nanos linePeriod(double linesPerSecond) {
    if (linesPerSecond <= 0) return Nanos{0};
    return std::chrono::duration_cast<Nanos>(std::chrono::duration<double>(1 / linesPerSecond));
}

Nanos nextDue(Nanos due, Nanos now, Nanos period) {
    return std::max(due + period, now);
}
