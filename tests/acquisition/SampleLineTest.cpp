#include "SampleLine.h"
#include "DataLog.h"
#include "ScratchDir.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

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
        {"XSMADC,7", 3, {7, 0, 0}},
        {"XSMADC,7,8", 5, {7, 8, 0}},
        {"XSMADC,7,", 4, {7, 0, 0}},
        {"XSMADC,,1,2", 2, {0, 0, 0}},
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
    EXPECT_TRUE(std::isinf(convertCounts(6, {10.0f, 0.0f, 0.0f, 5, 5})));
    EXPECT_TRUE(std::isnan(convertCounts(5, {10.0f, 0.0f, 0.0f, 5, 5})));
    // Beyond what a float holds the result is infinite, not undefined.
    EXPECT_TRUE(std::isinf(convertCounts(4000000000u, {3e38f, 0.0f, 0.0f, 1, 0})));
}

TEST(ConvertCounts, RangeIncludesBothBounds) {
    EXPECT_TRUE(countsInRange(0, kProbe));
    EXPECT_TRUE(countsInRange(1000, kProbe));
    EXPECT_FALSE(countsInRange(1001, kProbe));
    EXPECT_FALSE(countsInRange(50, {0, 0, 0, 10, 100})); // minimum above full scale
    EXPECT_TRUE(countsInRange(5, {0, 0, 0, 5, 5}));
}

TEST(FormatTemperature, OneDecimalHalfAwayFromZeroAndParenthesesOutsideTheRange) {
    const Calibration range = {100.0f, -50.0f, 0.0f, 0, 0};
    const std::pair<float, std::string> cases[] = {
        {20.25f, "20.3 \xB0"
                 "C"},
        {-20.25f, "-20.3 \xB0"
                  "C"},
        {20.75f, "20.8 \xB0"
                 "C"},
        {0.35f, "0.3 \xB0"
                "C"}, // 0.35f lies below 0.35: no tie
        {100.0f, "100.0 \xB0"
                 "C"},
        {-50.0f, "-50.0 \xB0"
                 "C"},
        {100.05f, "(100.1) \xB0"
                  "C"},
        {429496736.0f, "(429496736.0) \xB0"
                       "C"},
        {INFINITY, "(inf) \xB0"
                   "C"},
        {-INFINITY, "(-inf) \xB0"
                    "C"},
        {-NAN, "(nan) \xB0"
               "C"},
    };
    for (const auto& [t, text] : cases)
        EXPECT_EQ(formatTemperature(t, range), text) << t;
    EXPECT_EQ(formatOneDecimal(1125899906842624.25), "1125899906842624.3"); // 2^50 + 0.25
}

// Records what line processing writes, in order.
class RecordingTarget : public LineTarget {
public:
    void setStatus(const std::string& text) override { writes.push_back("status:" + text); }
    void setDisplay(int probe, const std::string& text) override {
        writes.push_back("p" + std::to_string(probe + 1) + ":" + text);
    }
    int channel(int probe) const override { return channels[std::size_t(probe)]; }
    bool loggingOn() const override { return logging; }
    std::string logPath() const override { return path; }

    std::vector<std::string> writes;
    std::array<int, 2> channels = {0, 1};
    bool logging = false;
    std::string path;
};

const std::array<Calibration, 2> kProbes = {
    {{100.0f, 0.0f, 0.0f, 1000, 0}, {50.0f, 0.0f, 0.0f, 500, 100}}};

TEST(ProcessLine, WritesStatusAndDisplaysInOrder) {
    RecordingTarget target;
    DataLog log;
    std::string line = "xsmadc 500 300 200";
    processLine(line, target, log, kProbes);
    EXPECT_EQ(line, "XSMADC 500 300 200");
    EXPECT_EQ(target.writes,
              (std::vector<std::string>{"status:XSMADC 500 300 200", "status:Data Received",
                                        "p1:50.0 \xB0"
                                        "C",
                                        "p2:25.0 \xB0"
                                        "C"}));
}

struct OutcomeCase {
    const char* name;
    std::string line;
    std::array<int, 2> channels;
    std::string finalStatus;
    std::size_t displays;
};

TEST(ProcessLine, LeavesTheStatusOfTheLastOutcome) {
    const OutcomeCase cases[] = {
        {"invalid", "SMADC,1,2,3", {0, 1}, "Invalid Data: 'SMADC,1,2,3'", 0},
        {"empty", "", {0, 1}, "Invalid Data: ''", 0},
        {"both in range", "XSMADC,1,200,3", {0, 1}, "Data Received", 2},
        {"probe 1 out of range", "XSMADC,1001,200,3", {0, 1}, "P1 Counts Out Of Range", 2},
        {"probe 2 out of range", "XSMADC,1,99,3", {0, 1}, "P2 Counts Out Of Range", 2},
        {"both out of range", "XSMADC,1001,99,3", {0, 1}, "P2 Counts Out Of Range", 2},
        {"same channel for both", "XSMADC,50,0,0", {0, 0}, "P2 Counts Out Of Range", 2},
        {"short line converts zero", "XSMADC,300", {1, 2}, "P2 Counts Out Of Range", 2},
        {"no channel selected", "XSMADC,1,99,3", {0, -1}, "Data Received", 1},
    };
    for (const auto& c : cases) {
        RecordingTarget target;
        target.channels = c.channels;
        DataLog log;
        std::string line = c.line;
        processLine(line, target, log, kProbes);
        std::size_t displays = 0;
        std::string last;
        for (const auto& w : target.writes)
            w.rfind("status:", 0) == 0 ? void(last = w.substr(7)) : void(++displays);
        EXPECT_EQ(last, c.finalStatus) << c.name;
        EXPECT_EQ(displays, c.displays) << c.name;
    }
}

TEST(ProcessLine, LogsAcceptedSamplesEvenOutOfRange) {
    ScratchDir dir;
    RecordingTarget target;
    target.logging = true;
    target.path = "samples.log";
    DataLog log([] { return std::time_t(963511402); });
    std::string line = "XSMADC,1001,200,3";
    processLine(line, target, log, kProbes);
    EXPECT_EQ(target.writes[1], "status:Writing Data...");
    EXPECT_EQ(target.writes[2], "status:Writing Data");
    EXPECT_EQ(target.writes.back(), "p2:12.5 \xB0"
                                    "C");
    EXPECT_NE(
        std::find(target.writes.begin(), target.writes.end(), "status:P1 Counts Out Of Range"),
        target.writes.end());
    EXPECT_TRUE(dir.read("samples.log").endsWith("Thu Jul 13 18:03:22 2000 194 1001 200 3\r\n"));

    std::string invalid = "nothing";
    processLine(invalid, target, log, kProbes);
    EXPECT_EQ(dir.read("samples.log").count('\n'), 3); // header and one sample only
}

TEST(ProcessLine, AnUnwritableLogIsReportedWithItsPathAndNotAsWritten) {
    ScratchDir dir;
    RecordingTarget target;
    target.logging = true;
    target.path = "missing/samples.log";
    DataLog log;
    std::string line = "XSMADC,1,200,3";
    processLine(line, target, log, kProbes);
    EXPECT_EQ(target.writes[2],
              "status:Cannot write log file 'missing/samples.log': No such file or directory");
    EXPECT_TRUE(log.headerPending());
}

} // namespace
