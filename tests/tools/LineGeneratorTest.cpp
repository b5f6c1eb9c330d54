#include "LineGenerator.h"
#include "LineAssembler.h"
#include "SampleLine.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The program's receive path: one byte per receive event, then sample decoding.
std::vector<std::string> receive(std::string_view bytes, bool echo) {
    LineAssembler assembler;
    std::vector<std::string> lines;
    for (char c : bytes)
        if (auto line = assembler.feed(std::string_view(&c, 1), echo)) lines.push_back(*line);
    return lines;
}

std::string framed(const Counts& counts, const LineFormat& format) {
    return frameLine(sampleText(counts, format.lead, format.separator), format);
}

TEST(LineFormat, FramesTheSampleTextAsTheUnitSendsIt) {
    struct Case {
        const char* name;
        Counts counts;
        LineFormat format;
        std::string bytes;
    };
    const Case cases[] = {
        {"defaults", {100, 200, 300}, {}, "XSMADC,100,200,300\n"},
        {"own lead and separator", {0, 32767, 7}, {'\r', ' '}, "\rSMADC 0 32767 7\n"},
        {"CR LF", {1, 2, 3}, {.crlf = true}, "XSMADC,1,2,3\r\n"},
        {"echo doubles every byte but the line feed",
         {1, 2, 3},
         {.echo = true},
         "XXSSMMAADDCC,,11,,22,,33\n"},
        {"echo with CR LF", {4, 5, 6}, {'Y', ';', true, true}, "YYSSMMAADDCC;;44;;55;;66\r\r\n"},
        {"largest count", {4294967295u, 0, 0}, {}, "XSMADC,4294967295,0,0\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(framed(c.counts, c.format), c.bytes) << c.name;
}

TEST(LineFormat, TheProgramReadsTheCountsBack) {
    const Counts first{100, 200, 300}, second{0, 32767, 4294967295u};
    const LineFormat formats[] = {
        {}, {.crlf = true}, {.echo = true}, {'Y', ';', true, true}, {'\r', ' '}, {'x', '+'},
    };
    for (const auto& format : formats) {
        const auto lines = receive(framed(first, format) + framed(second, format), format.echo);
        ASSERT_EQ(lines.size(), 2u) << "lead " << int(format.lead);
        for (std::size_t i = 0; i < 2; ++i) {
            const Sample sample = decodeSample(lines[i]);
            EXPECT_TRUE(sample.accepted()) << lines[i];
            EXPECT_EQ(sample.counts, i == 0 ? first : second) << lines[i];
        }
    }
}

TEST(RampValue, StepsFromTheStartUpToTheEndThenWraps) {
    struct Case {
        const char* name;
        std::uint32_t from, to, step;
        std::uint64_t firstIndex;
        std::vector<std::uint32_t> values;
    };
    const Case cases[] = {
        {"by one", 0, 3, 1, 0, {0, 1, 2, 3, 0, 1}},
        {"a step that misses the end stops below it", 5, 10, 2, 0, {5, 7, 9, 5, 7}},
        {"a single value", 7, 7, 1, 0, {7, 7, 7}},
        {"the whole 32-bit range", 0, 4294967295u, 1, 4294967294u, {4294967294u, 4294967295u, 0}},
        {"a step near the top does not overflow",
         4294967290u,
         4294967295u,
         4,
         0,
         {4294967290u, 4294967294u, 4294967290u}},
        {"a step larger than the range", 10, 20, 100, 0, {10, 10}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint32_t> values;
        for (std::uint64_t i = 0; i < c.values.size(); ++i)
            values.push_back(rampValue(c.from, c.to, c.step, c.firstIndex + i));
        EXPECT_EQ(values, c.values) << c.name;
    }
}

TEST(WaveCounts, VarySlowlyWithinTheConverterRange) {
    Counts low{32767, 32767, 32767}, high{};
    Counts previous = waveCounts(0);
    EXPECT_NE(previous[0], previous[1]);
    EXPECT_NE(previous[1], previous[2]);
    for (double t = 0.5; t <= 600; t += 0.5) {
        const Counts counts = waveCounts(t);
        for (std::size_t i = 0; i < 3; ++i) {
            ASSERT_LE(counts[i], 32767u) << "channel " << i << " at " << t << " s";
            const auto step = std::max(counts[i], previous[i]) - std::min(counts[i], previous[i]);
            EXPECT_LE(step, 1000u) << "channel " << i << " at " << t << " s";
            low[i] = std::min(low[i], counts[i]);
            high[i] = std::max(high[i], counts[i]);
        }
        previous = counts;
    }
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_GT(high[i] - low[i], 20000u) << "channel " << i;
}

std::vector<std::string> generate(const LineSettings& settings, int lines) {
    LineGenerator generator(settings);
    std::vector<std::string> out;
    for (int i = 0; i < lines; ++i)
        out.push_back(generator.next(0.5 * i));
    return out;
}

LineSettings settingsFor(Pattern pattern, std::uint32_t seed = 1, int malformedPercent = 0) {
    LineSettings settings;
    settings.pattern = pattern;
    settings.seed = seed;
    settings.malformedPercent = malformedPercent;
    return settings;
}

TEST(LineGenerator, ConstantAndRampPatterns) {
    LineSettings constant = settingsFor(Pattern::Constant);
    constant.constant = {5, 6, 7};
    constant.format.separator = ' ';
    EXPECT_EQ(generate(constant, 2),
              (std::vector<std::string>{"XSMADC 5 6 7\n", "XSMADC 5 6 7\n"}));

    LineSettings ramp = settingsFor(Pattern::Ramp);
    ramp.rampFrom = 32766;
    ramp.rampTo = 32768;
    EXPECT_EQ(generate(ramp, 4), (std::vector<std::string>{
                                     "XSMADC,32766,32766,32766\n", "XSMADC,32767,32767,32767\n",
                                     "XSMADC,32768,32768,32768\n", "XSMADC,32766,32766,32766\n"}));
}

TEST(LineGenerator, RandomCountsCoverTheRangeAndFollowTheSeed) {
    const auto lines = generate(settingsFor(Pattern::Random, 7), 1000);
    EXPECT_EQ(generate(settingsFor(Pattern::Random, 7), 1000), lines);
    EXPECT_NE(generate(settingsFor(Pattern::Random, 8), 1000), lines);

    std::uint32_t low = 32767, high = 0;
    for (const auto& line : lines) {
        const Sample sample = decodeSample(line.substr(0, line.size() - 1));
        ASSERT_TRUE(sample.accepted()) << line;
        for (auto count : sample.counts) {
            ASSERT_LE(count, 32767u) << line;
            low = std::min(low, count);
            high = std::max(high, count);
        }
    }
    EXPECT_LT(low, 500u);
    EXPECT_GT(high, 32267u);
}

TEST(Malformation, EveryKindIsRejectedWhateverTheLeadAndSeparator) {
    const Malformation kinds[] = {Malformation::MissingLead, Malformation::BadCount,
                                  Malformation::Truncated, Malformation::Garbage};
    const char leads[] = {'X', 'S', '\r', ' '};
    const char separators[] = {',', ' ', '5', '?', '+', '-', '\r', 'S'};
    std::mt19937 random(3);
    for (auto kind : kinds)
        for (char lead : leads)
            for (char separator : separators)
                for (int draw = 0; draw < 20; ++draw) {
                    const std::string text =
                        malformedText(kind, {12, 345, 6789}, lead, separator, random);
                    EXPECT_EQ(text.find('\n'), std::string::npos);
                    EXPECT_FALSE(decodeSample(text).accepted())
                        << "kind " << int(kind) << ": '" << text << "'";
                }
}

TEST(Malformation, ShapesOfTheDefaultLine) {
    std::mt19937 random(1);
    const Counts counts{1, 2, 3};
    EXPECT_EQ(malformedText(Malformation::MissingLead, counts, 'X', ',', random), "SMADC,1,2,3");
    EXPECT_EQ(malformedText(Malformation::BadCount, counts, 'X', ',', random), "XSMADC,?,2,3");
    for (int draw = 0; draw < 20; ++draw) {
        const std::string cut = malformedText(Malformation::Truncated, counts, 'X', ',', random);
        EXPECT_FALSE(cut.empty());
        EXPECT_EQ(std::string_view("XSMADC,").substr(0, cut.size()), cut);
    }
}

TEST(LineGenerator, MalformedShareFollowsThePercentageAndTheSeed) {
    struct Case {
        int percent;
        int low, high; // malformed lines out of 1000
    };
    for (const Case c : {Case{0, 0, 0}, Case{30, 230, 370}, Case{100, 1000, 1000}}) {
        LineSettings settings = settingsFor(Pattern::Random, 11, c.percent);
        settings.format.crlf = true;
        const auto lines = generate(settings, 1000);
        EXPECT_EQ(generate(settings, 1000), lines) << c.percent << "%";
        settings.malformedPercent = 0;
        const auto clean = generate(settings, 1000);
        int malformed = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_TRUE(lines[i].ends_with("\r\n")) << lines[i];
            const auto received = receive(lines[i], false);
            ASSERT_EQ(received.size(), 1u) << lines[i];
            if (decodeSample(received[0]).accepted())
                EXPECT_EQ(lines[i], clean[i]) << "well-formed lines keep the seed's counts";
            else
                ++malformed;
        }
        EXPECT_GE(malformed, c.low) << c.percent << "%";
        EXPECT_LE(malformed, c.high) << c.percent << "%";
    }
}

TEST(LineSchedule, PeriodFromTheRate) {
    using namespace std::chrono_literals;
    EXPECT_EQ(linePeriod(2), 500ms);
    EXPECT_EQ(linePeriod(0), 0ns);
    EXPECT_EQ(linePeriod(0.001), 1000s);
    EXPECT_EQ(linePeriod(1e6), 1us);
}

TEST(LineSchedule, NextLineIsOnePeriodOnButNeverInThePast) {
    using namespace std::chrono_literals;
    struct Case {
        const char* name;
        Nanos due, now, period, next;
    };
    const Case cases[] = {
        {"on time", 0s, 1ms, 500ms, 500ms},
        {"late within a period keeps the pace", 1000ms, 1300ms, 500ms, 1500ms},
        {"after a stall the next line goes at once, without a burst", 1s, 5s, 500ms, 5s},
        {"rate 0 sends at once", 3s, 4s, 0s, 4s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextDue(c.due, c.now, c.period), c.next) << c.name;
}

} // namespace
