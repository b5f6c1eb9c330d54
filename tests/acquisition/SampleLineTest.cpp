#include "SampleLine.h"
#include "DataLog.h"
#include "ScratchDir.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace std::string_literals;

// " °C" as the displays show it: the degree sign is the byte 0xB0.
std::string celsius(const std::string& number) {
    return number + " \xB0"
                    "C";
}

struct DecodeCase {
    std::string line;
    int fields;
    std::array<std::uint32_t, 3> counts;
};

TEST(DecodeSample, ReadsLeadLiteralSeparatorsAndCounts) {
    const DecodeCase cases[] = {
        {"XSMADC,100,200,300", 7, {100, 200, 300}},
        {"XSMADC 100 200 300", 7, {100, 200, 300}},
        {"\rSMADC,1,2,3", 7, {1, 2, 3}},
        {"XSMADC;1;2;3 and more", 7, {1, 2, 3}},
        {"XSMADC11,2,3", 7, {1, 2, 3}}, // the separator may be a digit
        {"XSMADC, 4,\t5,+6", 7, {4, 5, 6}},
        {"XSMADC,-1,2,3", 7, {4294967295u, 2, 3}},
        {"XSMADC,4294967296,2,3", 7, {0, 2, 3}},
        {"XSMADC,99999999999,2,3", 7, {1215752191u, 2, 3}}, // low 32 bits
        {"XSMADC,7", 3, {7, 0, 0}},
        {"XSMADC,7,8", 5, {7, 8, 0}},
        {"XSMADC,7,", 4, {7, 0, 0}},
        {"XSMADC,7\0,8,9"s, 3, {7, 0, 0}}, // a NUL ends the line
        {"XSMADC,,1,2", 2, {0, 0, 0}},
        {"XSMADC,-,1,2", 2, {0, 0, 0}}, // a sign without digits
        {"XSMADC,   ", 2, {0, 0, 0}},
        {"xsmadc,1,2,3", 1, {0, 0, 0}}, // the literal is upper case
        {"SMADC,1,2,3", 1, {0, 0, 0}},
        {"XSMAD", 1, {0, 0, 0}},
        {"X", 1, {0, 0, 0}},
        {"", -1, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        const Sample s = decodeSample(c.line);
        EXPECT_EQ(s.fields, c.fields) << '"' << c.line << '"';
        EXPECT_EQ(s.counts, c.counts) << '"' << c.line << '"';
        EXPECT_EQ(s.accepted(), c.fields >= 3) << '"' << c.line << '"';
    }
}

const Calibration kProbe = {50.0f, 10.0f, 0.0f, 1000, 0};

TEST(ConvertCounts, ScalesByTheFullScaleTemperatureThenAddsOffsetAndMinimum) {
    EXPECT_EQ(convertCounts(500, kProbe), 35.0f);
    EXPECT_EQ(convertCounts(1000, kProbe), 60.0f);
    EXPECT_EQ(convertCounts(0, {100.0f, 0.0f, 0.5f, 200, 0}), 0.5f);
    // Below the minimum the difference wraps modulo 2^32.
    EXPECT_EQ(convertCounts(99, {100.0f, 0.0f, 0.0f, 1100, 100}), 429496736.0f);
    // A zero span divides by zero without an error.
    EXPECT_EQ(convertCounts(6, {10.0f, 0.0f, 0.0f, 5, 5}), INFINITY);
    EXPECT_TRUE(std::isnan(convertCounts(5, {10.0f, 0.0f, 0.0f, 5, 5})));
    // Rounded once to float: just above the largest float rounds down to it, twice it is
    // infinite.
    const Calibration huge = {FLT_MAX, 0.0f, 0.0f, 1u << 31, 0};
    EXPECT_EQ(convertCounts((1u << 31) + 1, huge), FLT_MAX);
    EXPECT_EQ(convertCounts(4294967295u, huge), INFINITY);
}

TEST(ConvertCounts, RangeIncludesBothBounds) {
    EXPECT_TRUE(countsInRange(0, kProbe));
    EXPECT_TRUE(countsInRange(1000, kProbe));
    EXPECT_FALSE(countsInRange(1001, kProbe));
    EXPECT_FALSE(countsInRange(50, {0, 0, 0, 10, 100})); // minimum above full scale
    EXPECT_TRUE(countsInRange(5, {0, 0, 0, 5, 5}));
    EXPECT_FALSE(countsInRange(4, {0, 0, 0, 5, 5}));
}

TEST(FormatTemperature, OneDecimalHalfAwayFromZeroAndParenthesesOutsideTheRange) {
    const Calibration range = {100.0f, -50.0f, 0.0f, 0, 0};
    const std::pair<float, std::string> cases[] = {
        {20.25f, celsius("20.3")},     {-20.25f, celsius("-20.3")},
        {20.75f, celsius("20.8")},     {-0.75f, celsius("-0.8")},
        {0.35f, celsius("0.3")}, // 0.35f lies below 0.35: no tie
        {35.0f, celsius("35.0")},      {100.0f, celsius("100.0")},
        {-50.0f, celsius("-50.0")},    {100.05f, celsius("(100.1)")},
        {-50.25f, celsius("(-50.3)")}, {429496736.0f, celsius("(429496736.0)")},
        {INFINITY, celsius("(inf)")},  {-INFINITY, celsius("(-inf)")},
        {-NAN, celsius("(nan)")},
    };
    for (const auto& [t, text] : cases)
        EXPECT_EQ(formatTemperature(t, range), text) << t;
    // Ties far from zero, where the tenth cannot be found by scaling by ten.
    EXPECT_EQ(formatOneDecimal(2097152.25), "2097152.3");
    EXPECT_EQ(formatOneDecimal(-1125899906842624.75), "-1125899906842624.8"); // 2^50 + 0.75
    EXPECT_EQ(formatOneDecimal(1e300).size(), 303u);
}

// Records what line processing writes, in order, and the displays as they stand.
class RecordingTarget : public LineTarget {
public:
    void setStatus(const std::string& text) override {
        writes.push_back("status:" + text);
        status = text;
    }
    void setDisplay(int probe, const std::string& text) override {
        writes.push_back("p" + std::to_string(probe + 1) + ":" + text);
        displays[std::size_t(probe)] = text;
    }
    int channel(int probe) const override { return channels[std::size_t(probe)]; }
    bool loggingOn() const override { return logging; }
    std::string logPath() const override { return path; }

    std::vector<std::string> writes;
    std::string status;
    std::array<std::optional<std::string>, 2> displays;
    std::array<int, 2> channels = {0, 1};
    bool logging = false;
    std::string path = "samples.log";
};

const std::array<Calibration, 2> kProbes = {
    {{100.0f, 0.0f, 0.0f, 1000, 0}, {50.0f, 0.0f, 0.0f, 500, 100}}};

TEST(ProcessLine, WritesStatusAndDisplaysInOrder) {
    RecordingTarget target;
    target.channels = {0, 0};
    DataLog log;
    std::string line = "xsmadc 50 300 200";
    processLine(line, target, log, kProbes);
    EXPECT_EQ(line, "XSMADC 50 300 200");
    EXPECT_EQ(target.writes,
              (std::vector<std::string>{"status:XSMADC 50 300 200", "status:Data Received",
                                        "p1:" + celsius("5.0"), "status:P2 Counts Out Of Range",
                                        "p2:" + celsius("(536870912.0)")}));
}

struct OutcomeCase {
    const char* name;
    std::string line;
    std::array<int, 2> channels;
    bool logging;
    std::string finalStatus;
    std::array<const char*, 2> shown; // the displays' numbers; nullptr: left as it was
};

TEST(ProcessLine, LeavesTheStatusOfTheLastOutcome) {
    const char* const none = nullptr;
    const char* const p2Wrapped = "(536870912.0)"; // probe 2's count below its minimum
    const std::string p1Out = "P1 Counts Out Of Range", p2Out = "P2 Counts Out Of Range";
    const OutcomeCase cases[] = {
        {"invalid", "SMADC,1,2,3", {0, 1}, true, "Invalid Data: 'SMADC,1,2,3'", {none, none}},
        {"empty", "", {0, 1}, false, "Invalid Data: ''", {none, none}},
        {"in range", "XSMADC,1,200,3", {0, 1}, false, "Data Received", {"0.1", "12.5"}},
        {"logging", "XSMADC,1,200,3", {0, 1}, true, "Writing Data", {"0.1", "12.5"}},
        {"P1 out, logging", "XSMADC,1001,200", {0, 1}, true, p1Out, {"(100.1)", "12.5"}},
        {"P2 out", "XSMADC,1,99,3", {0, 1}, false, p2Out, {"0.1", p2Wrapped}},
        {"both out", "XSMADC,1001,99", {0, 1}, false, p2Out, {"(100.1)", p2Wrapped}},
        {"same channel", "XSMADC,300,0,0", {0, 0}, false, "Data Received", {"30.0", "25.0"}},
        {"count not carried", "XSMADC,300", {0, 2}, false, p2Out, {"30.0", p2Wrapped}},
        {"no channel", "XSMADC,1,99,3", {0, -1}, false, "Data Received", {"0.1", none}},
        {"beyond the list", "XSMADC,1,99,3", {3, -1}, false, "Data Received", {none, none}},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        RecordingTarget target;
        target.channels = c.channels;
        target.logging = c.logging;
        DataLog log([] { return std::time_t(963511402); });
        std::string line = c.line;
        processLine(line, target, log, kProbes);
        EXPECT_EQ(target.status, c.finalStatus) << c.name;
        for (std::size_t probe = 0; probe < 2; ++probe) {
            const char* number = c.shown[probe];
            EXPECT_EQ(target.displays[probe],
                      number ? std::optional(celsius(number)) : std::nullopt)
                << c.name << ", probe " << probe + 1;
        }
    }
}

TEST(ProcessLine, LogsTheRawCountsOfAcceptedLinesOnly) {
    ScratchDir dir;
    RecordingTarget target;
    target.logging = true;
    target.channels = {-1, -1};
    DataLog log([] { return std::time_t(963511402); });
    std::string line = "XSMADC,1001,99";
    processLine(line, target, log, kProbes);
    EXPECT_EQ(target.writes,
              (std::vector<std::string>{"status:XSMADC,1001,99", "status:Writing Data...",
                                        "status:Writing Data"}));
    std::string invalid = "nothing";
    processLine(invalid, target, log, kProbes);
    EXPECT_EQ(dir.read("samples.log"),
              QByteArray(DataLog::kHeader) + "Thu Jul 13 18:03:22 2000 194 1001 99 0\r\n");
}

TEST(ProcessLine, AnUnwritableLogIsReportedWithItsPathAndRetriedWithTheNextSample) {
    ScratchDir dir;
    RecordingTarget target;
    target.logging = true;
    target.path = "missing/samples.log";
    DataLog log([] { return std::time_t(963511402); });
    std::string line = "XSMADC,1,200,3";
    processLine(line, target, log, kProbes);
    EXPECT_EQ(target.status,
              "Cannot write log file 'missing/samples.log': No such file or directory");
    EXPECT_EQ(std::count(target.writes.begin(), target.writes.end(), "status:Writing Data"), 0);

    target.path = "samples.log";
    line = "XSMADC,1,200,3";
    processLine(line, target, log, kProbes);
    EXPECT_EQ(target.status, "Writing Data");
    EXPECT_EQ(dir.read("samples.log"),
              QByteArray(DataLog::kHeader) + "Thu Jul 13 18:03:22 2000 194 1 200 3\r\n");
}

} // namespace
