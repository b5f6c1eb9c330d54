#include "SimOptions.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(SimOptions, ReadsEachOption) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::function<void(SimOptions&)> expect; // applied to the defaults
    };
    const Case cases[] = {
        {"no options", {}, [](SimOptions&) {}},
        {"port and folder",
         {"--port", "99", "--dir", "demo"},
         [](SimOptions& o) {
             o.port = 99;
             o.dir = "demo";
         }},
        {"a value after '='", {"--rate=0.5"}, [](SimOptions& o) { o.rate = 0.5; }},
        {"rate 0", {"--rate", "0"}, [](SimOptions& o) { o.rate = 0; }},
        {"count", {"--count", "5"}, [](SimOptions& o) { o.count = 5; }},
        {"constant counts",
         {"--pattern", "constant", "--counts", "0,32767,4294967295"},
         [](SimOptions& o) {
             o.lines.pattern = Pattern::Constant;
             o.lines.constant = {0, 32767, 4294967295u};
         }},
        {"ramp",
         {"--pattern", "ramp", "--ramp-from", "100", "--ramp-to", "40000", "--ramp-step", "3"},
         [](SimOptions& o) {
             o.lines.pattern = Pattern::Ramp;
             o.lines.rampFrom = 100;
             o.lines.rampTo = 40000;
             o.lines.rampStep = 3;
         }},
        {"random with a seed",
         {"--pattern=random", "--seed", "42"},
         [](SimOptions& o) {
             o.lines.pattern = Pattern::Random;
             o.lines.seed = 42;
         }},
        {"line format",
         {"--lead", "\r", "--separator", " ", "--crlf", "--echo"},
         [](SimOptions& o) {
             o.lines.format = {'\r', ' ', true, true};
         }},
        {"a digit as separator",
         {"--separator=5"},
         [](SimOptions& o) { o.lines.format.separator = '5'; }},
        {"malformed share",
         {"--malformed", "100"},
         [](SimOptions& o) { o.lines.malformedPercent = 100; }},
        {"switches",
         {"--wait-open", "--quiet"},
         [](SimOptions& o) {
             o.waitOpen = true;
             o.quiet = true;
         }},
        {"help ends the reading", {"--help", "--bogus"}, [](SimOptions& o) { o.help = true; }},
    };
    for (const auto& c : cases) {
        SimOptions expected;
        c.expect(expected);
        EXPECT_EQ(parseOptions(c.args), expected) << c.name;
    }
}

TEST(SimOptions, DefaultsSendAWaveTwiceASecondForeverOnPort1Here) {
    const SimOptions defaults = parseOptions({});
    EXPECT_EQ(defaults.port, 1);
    EXPECT_EQ(defaults.dir, ".");
    EXPECT_EQ(defaults.rate, 2);
    EXPECT_EQ(defaults.count, 0u);
    EXPECT_EQ(defaults.lines.pattern, Pattern::Wave);
    EXPECT_EQ(defaults.lines.format, (LineFormat{'X', ',', false, false}));
}

TEST(SimOptions, RejectsBadOptionsAndValuesWithAOneLineMessage) {
    struct Case {
        std::vector<std::string> args;
        std::string message; // part of the message
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"COM1"}, "unexpected argument 'COM1'"},
        {{"--count"}, "--count needs a value"},
        {{"--echo=yes"}, "--echo takes no value"},
        {{"--rate", "-1"}, "--rate: '-1' is not"},
        {{"--rate", "fast"}, "--rate: 'fast'"},
        {{"--rate", "inf"}, "--rate: 'inf'"},
        {{"--rate", "0.0001"}, "--rate: '0.0001'"},
        {{"--rate", "2x"}, "--rate: '2x'"},
        {{"--port", "0"}, "--port: '0' is not a port number from 1 to 99"},
        {{"--port", "100"}, "--port: '100'"},
        {{"--port", " 1"}, "--port: ' 1'"},
        {{"--count", "-5"}, "--count: '-5'"},
        {{"--pattern", "square"}, "one of wave, constant, random, ramp"},
        {{"--counts", "1,2"}, "--counts: '1,2'"},
        {{"--counts", "1,2,3,4"}, "--counts: '1,2,3,4'"},
        {{"--counts", "1,,3"}, "--counts: '1,,3'"},
        {{"--counts", "1,2,4294967296"}, "--counts: '1,2,4294967296'"},
        {{"--ramp-to", "-1"}, "--ramp-to: '-1'"},
        {{"--ramp-step", "0"}, "--ramp-step: '0'"},
        {{"--ramp-from", "10", "--ramp-to", "5"}, "--ramp-from must not be above --ramp-to"},
        {{"--seed", "4294967296"}, "--seed: '4294967296'"},
        {{"--lead", "XY"}, "--lead: 'XY' is not a single character"},
        {{"--lead", ""}, "--lead: ''"},
        {{"--separator", "\n"},
         "--separator: '\\x0A' is not a single character other than a line feed"},
        {{"--bogus\r"}, "unknown option '--bogus\\x0D'"},
        {{"--malformed", "101"}, "--malformed: '101' is not a percentage"},
        {{"--dir", ""}, "--dir: ''"},
    };
    for (const auto& c : cases) {
        try {
            parseOptions(c.args);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const UsageError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
    }
}

TEST(SimOptions, HelpDocumentsEveryOptionAndTheLineFormat) {
    const std::string help = helpText();
    for (const char* option :
         {"--port",      "--dir",       "--rate",  "--count",     "--pattern",   "wave",
          "constant",    "random",      "ramp",    "--counts",    "--ramp-from", "--ramp-to",
          "--ramp-step", "--seed",      "--lead",  "--separator", "--crlf",      "--echo",
          "--malformed", "--wait-open", "--quiet", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_NE(help.find("XSMADC,100,200,300"), std::string::npos);
}

} // namespace
