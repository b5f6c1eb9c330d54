#include "ExchangeRules.h"
#include "Win1252.h"

#include <gtest/gtest.h>

using namespace exchange;

struct FloatCase {
    const char* name;
    std::string text;
    std::optional<float> expected;
};

TEST(ExchangeRules, ParsesNumbersAsTheFieldRulesSay) {
    const FloatCase cases[] = {
        {"blanks around", " \t12.5 \t", 12.5f},
        {"plain zero", "0", 0.0f},
        {"zero with fraction", "0.0", 0.0f},
        {"exponent", "1e3", 1000.0f},
        {"negative", "-10", -10.0f},
        {"trailing text", "12.5x", std::nullopt},
        {"zero without leading digit", ".0", std::nullopt},
        {"signed zero", "-0", std::nullopt},
        {"plus zero", "+0", std::nullopt},
        {"empty", "", std::nullopt},
        {"letters", "abc", std::nullopt},
        {"only the first 31 characters count", std::string(30, ' ') + "12", 1.0f},
        {"31 characters hold the number", std::string(29, ' ') + "12", 12.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseFloat(c.text), c.expected) << c.name;
}

TEST(ExchangeRules, FormatsFloatsWithSixSignificantDigits) {
    EXPECT_EQ(formatFloat(25.0f), "25");
    EXPECT_EQ(formatFloat(0.1f), "0.1");
    EXPECT_EQ(formatFloat(12.25f), "12.25");
    EXPECT_EQ(formatFloat(0.0f), "0");
    EXPECT_EQ(formatFloat(1234567.0f), "1.23457e+06");
    for (float value : {0.1f, -273.15f, 32767.5f, 1e-5f})
        EXPECT_EQ(parseFloat(formatFloat(value)), value) << value;
}

TEST(ExchangeRules, ParsesUnsignedIntegersLikeStrtoul) {
    const std::pair<std::string, std::optional<std::uint32_t>> cases[] = {
        {"40000", 40000u},       {" 7 ", 7u},           {"0", 0u},
        {"-5", 4294967291u},     {"-0", std::nullopt},  {"", std::nullopt},
        {"12abc", std::nullopt}, {"1.5", std::nullopt}, {"99999999999", 4294967295u},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseUnsigned(text), expected) << '"' << text << '"';
}

TEST(ExchangeRules, ParsesSignedIntegersLikeStrtol) {
    const std::pair<std::string, std::optional<std::int32_t>> cases[] = {
        {"5", 5},
        {"-2", -2},
        {"65537", 65537},
        {"0x3", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseSigned(text), expected) << '"' << text << '"';
}

TEST(ExchangeRules, RangeMessageNamesBothBounds) {
    EXPECT_EQ(rangeMessage(0, 32767), "Please enter an integer between 0 and 32767.");
    EXPECT_EQ(rangeMessage(1, 4), "Please enter an integer between 1 and 4.");
}

TEST(Win1252, EveryByteRoundTripsThroughQString) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    const QString text = win1252::toQString(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(win1252::fromQString(text), all);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x81], QChar(0x0081));
    EXPECT_EQ(text[0xB0], QChar(0x00B0));
    EXPECT_EQ(win1252::fromQString(QString(QChar(0x4E2D))), "?");
}

TEST(Win1252, UpperCasesLikeTheCodePage) {
    std::string text = "xsmadc \xE9\xFF\x9A\x9C\x9E\xF7\xB5\xDF 1";
    win1252::toUpperInPlace(text);
    EXPECT_EQ(text, "XSMADC \xC9\x9F\x8A\x8C\x8E\xF7\xB5\xDF 1");
}
