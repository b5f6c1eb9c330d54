#include "SettingsFile.h"

#include "Error.h"
#include "SettingsArchive.h"
#include "SettingsFixtures.h"

#include <QBuffer>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> load(const QByteArray& file) {
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    LoadArchive archive(buffer);
    RecordingTarget target;
    loadSettings(archive, target);
    return target.calls;
}

QByteArray save(const SettingsFileSource& source) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    StoreArchive archive(buffer);
    storeSettings(archive, source);
    archive.flush();
    return bytes;
}

Carriers loaded(const QByteArray& file) {
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    LoadArchive archive(buffer);
    Carriers carriers;
    loadSettings(archive, carriers);
    return carriers;
}

TEST(SettingsFileTest, TheExampleLoadsFieldByFieldAndSavesBackTheSameBytes) {
    const QByteArray example = exampleWith();
    ASSERT_EQ(example.size(), 68);
    EXPECT_EQ(load(example), kExampleCalls);
    EXPECT_EQ(save(loaded(example)).toHex(' '), example.toHex(' '));
}

TEST(SettingsFileTest, BytesAfterTheLastFieldAreIgnored) {
    EXPECT_EQ(load(exampleWith() + QByteArray::fromHex("FF FF FF FF FF FF 7F 01 02")),
              kExampleCalls);
}

TEST(SettingsFileTest, FirstSaveWithoutAFileIsFortyFourBytes) {
    Carriers first;
    for (int id : {1032, 1031, 1030, 1029, 1022, 1020, 1018, 1016, 1033, 1025, 1064})
        first.texts[id] = "0";
    first.texts[1026] = "";
    first.texts[1064] = "1"; // the start-up has set port 1
    first.port = 1;
    first.positions = {{1042, -1}, {1041, -1}};
    const QByteArray expected =
        QByteArray::fromHex("01 30 01 30 01 30 01 30 01 30 01 30 01 30 01 30 01 30 01 30 00"
                            "FF FF FF FF FF FF FF FF 01 31"
                            "0A 39 36 30 30 2C 4E 2C 38 2C 31 01 30");
    ASSERT_EQ(expected.size(), 44);
    EXPECT_EQ(save(first).toHex(' '), expected.toHex(' '));
}

struct SaveCase {
    const char* name;
    std::int16_t port;
    const char* portText;
    const char* settings;
    bool echo;
    const char* savedPort;
    const char* savedSettings;
    const char* savedEcho;
};

class SaveRuleTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveRuleTest, WritesTheLastThreeFields) {
    const SaveCase& c = GetParam();
    Carriers carriers = loaded(exampleWith());
    carriers.port = c.port;
    carriers.texts[1064] = c.portText;
    carriers.settings = c.settings;
    carriers.echo = c.echo;
    const QByteArray tail =
        shortString(c.savedPort) + shortString(c.savedSettings) + shortString(c.savedEcho);
    EXPECT_EQ(save(carriers), exampleWith().left(53) + tail);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveRuleTest,
    ::testing::Values(
        SaveCase{"PortCarrierAsItIs", 3, "0x3", "9600,N,8,1", false, "0x3", "9600,N,8,1", "0"},
        SaveCase{"PortZeroWritesOne", 0, "0", "9600,N,8,1", false, "1", "9600,N,8,1", "0"},
        SaveCase{"NegativePortWritesOne", -2, "-2", "9600,N,8,1", false, "1", "9600,N,8,1", "0"},
        SaveCase{"EmptySettingsWriteTheDefault", 2, "2", "", false, "2", "9600,N,8,1", "0"},
        SaveCase{"ThreeFieldsWriteTheDefault", 2, "2", "9600,N,8", false, "2", "9600,N,8,1", "0"},
        SaveCase{"FourFieldsUnchanged", 2, "2", "19200,E,7,1.5", false, "2", "19200,E,7,1.5", "0"},
        SaveCase{"WhatFollowsIsKept", 2, "2", "9600,n,8,2 stop", false, "2", "9600,n,8,2 stop",
                 "0"},
        SaveCase{"BlankParityIsAField", 2, "2", "9600, ,8,1", false, "2", "9600, ,8,1", "0"},
        SaveCase{"EchoCheckedWritesOne", 2, "2", "9600,N,8,1", true, "2", "9600,N,8,1", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LoadCase {
    const char* name;
    int field;
    QByteArray bytes;
    std::string applied;
};

class LoadRuleTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadRuleTest, AppliesTheField) {
    const LoadCase& c = GetParam();
    const std::vector<std::string> calls = load(exampleWith(c.field, c.bytes));
    ASSERT_EQ(calls.size(), 16u);
    EXPECT_EQ(calls[std::size_t(c.field - 1)], c.applied);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadRuleTest,
    ::testing::Values(
        LoadCase{"PortZero", 14, shortString("0"), "port \"0\" 0"},
        LoadCase{"PortHexadecimal", 14, shortString("0x3"), "port \"0x3\" 3"},
        LoadCase{"PortOctal", 14, shortString("012"), "port \"012\" 10"},
        LoadCase{"PortNegative", 14, shortString("-2"), "port \"-2\" -2"},
        LoadCase{"PortEmpty", 14, shortString(""), "port \"\" 1"},
        LoadCase{"PortNoNumber", 14, shortString("COM2"), "port \"COM2\" 1"},
        LoadCase{"PortWrapsTo16Bits", 14, shortString("65538"), "port \"65538\" 2"},
        LoadCase{"ChannelOutsideTheList", 12, QByteArray::fromHex("03 00 00 00"), "channel 1042 3"},
        LoadCase{"ChannelNone", 13, QByteArray::fromHex("FF FF FF FF"), "channel 1041 -1"},
        LoadCase{"SettingsEmptyBecomeTheDefault", 15, shortString(""), "line \"9600,N,8,1\""},
        LoadCase{"SettingsNotCheckedOnLoad", 15, shortString("9600,N,8"), "line \"9600,N,8\""},
        LoadCase{"SettingsKept", 15, shortString("19200,E,7,1.5"), "line \"19200,E,7,1.5\""},
        LoadCase{"EchoOne", 16, shortString("1"), "echo 1"},
        LoadCase{"EchoZero", 16, shortString("0"), "echo 0"},
        LoadCase{"EchoEmpty", 16, shortString(""), "echo 0"},
        LoadCase{"EchoLeadingZero", 16, shortString("01"), "echo 0"},
        LoadCase{"EchoTrailingBlank", 16, shortString("1 "), "echo 0"},
        LoadCase{"EchoTrailingNul", 16, QByteArray::fromHex("02 31 00"), "echo 0"},
        LoadCase{"PathAsUtf16", 11, QByteArray::fromHex("FF FE FF 02 E9 00 AC 20"),
                 "text 1026 \"\xE9\x80\""}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the example ends early, and how many fields were applied before the error.
class TruncatedFileTest : public ::testing::TestWithParam<std::pair<int, std::size_t>> {};

TEST_P(TruncatedFileTest, AppliesTheFieldsBeforeTheEndAndRaisesTheEndOfFileError) {
    const auto [length, applied] = GetParam();
    QBuffer buffer;
    buffer.setData(exampleWith().left(length));
    buffer.open(QIODevice::ReadOnly);
    LoadArchive archive(buffer);
    RecordingTarget target;
    try {
        loadSettings(archive, target);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kEndOfFileMessage);
    }
    EXPECT_EQ(target.calls, std::vector<std::string>(kExampleCalls.begin(),
                                                     kExampleCalls.begin() + long(applied)));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, TruncatedFileTest,
    ::testing::Values(std::pair{0, 0u}, std::pair{1, 0u}, std::pair{2, 1u}, std::pair{7, 1u},
                      std::pair{44, 10u}, std::pair{45, 11u}, std::pair{48, 11u},
                      std::pair{49, 12u}, std::pair{52, 12u}, std::pair{54, 13u},
                      std::pair{60, 14u}, std::pair{66, 15u}, std::pair{67, 15u}),
    [](const auto& info) { return "After" + std::to_string(info.param.first) + "Bytes"; });

// Each row is also checked against the C library's own sscanf, which defines the rule.
TEST(PortFromTextTest, ReadsAsPercentI) {
    const std::vector<std::pair<std::string, std::int16_t>> cases = {
        {"2", 2},
        {"  \t4 and more", 4},
        {"+3", 3},
        {"-2", -2},
        {"012", 10},
        {"09", 0},
        {"0x1F", 31},
        {"0XfF", 255},
        {"0x", 0},
        {"0xg", 0},
        {"-0x10", -16},
        {"40000", -25536},
        {"65538", 2},
        {"4294967298", 2},
        {"", 1},
        {"x1", 1},
        {"+", 1},
        {"- 1", 1},
        {std::string("\0"
                     "5",
                     2),
         1},
    };
    for (const auto& [text, port] : cases) {
        EXPECT_EQ(portFromText(text), port) << '"' << text << '"';
        int scanned = 1;
        std::sscanf(text.c_str(), "%i", &scanned);
        EXPECT_EQ(std::int16_t(scanned), port) << '"' << text << "\" in the C library";
    }
}

TEST(ScanLineSettingsTest, ReadsAsTheFourConversions) {
    struct Case {
        std::string text;
        std::optional<LineSettingsFields> fields;
    };
    const double inf = INFINITY;
    const std::vector<Case> cases = {
        {"9600,N,8,1", LineSettingsFields{9600, 'N', 8, 1}},
        {"19200,e,7,1.5 and more", LineSettingsFields{19200, 'e', 7, 1.5}},
        {" 300, ,5, 2", LineSettingsFields{300, ' ', 5, 2}},
        {"-5,N,+8,.5", LineSettingsFields{4294967291u, 'N', 8, 0.5}},
        {"9600,N,8,-1e1", LineSettingsFields{9600, 'N', 8, -10}},
        {"9600,N,8,0x1p3", LineSettingsFields{9600, 'N', 8, 8}},
        {"9600,N,8,inf", LineSettingsFields{9600, 'N', 8, inf}},
        {std::string("9600,N,8,1\0junk", 15), LineSettingsFields{9600, 'N', 8, 1}},
        {"", std::nullopt},
        {"9600,N,8", std::nullopt},
        {"9600,N,8,", std::nullopt},
        {"9600 ,N,8,1", std::nullopt},
        {"9600,N,8,e1", std::nullopt},
        {"9600,N,8,--1", std::nullopt},
        {"9600,N,x,1", std::nullopt},
        {"9600,,,1", std::nullopt},
        {std::string("9600,\0,8,1", 10), std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        const auto fields = scanLineSettings(text);
        const bool shouldScan = expected.has_value();
        EXPECT_EQ(hasLineSettingsForm(text), shouldScan) << '"' << text << '"';
        unsigned speed = 0, dataBits = 0;
        char parity = 0;
        float stopBits = 0;
        const int converted =
            std::sscanf(text.c_str(), "%u,%c,%u,%g", &speed, &parity, &dataBits, &stopBits);
        EXPECT_EQ(converted == 4, shouldScan) << '"' << text << "\" in the C library";
        if (!fields || !expected) continue;
        EXPECT_EQ(fields->speed, expected->speed) << text;
        EXPECT_EQ(fields->parity, expected->parity) << text;
        EXPECT_EQ(fields->dataBits, expected->dataBits) << text;
        EXPECT_EQ(fields->stopBits, expected->stopBits) << text;
        EXPECT_EQ(float(fields->stopBits), stopBits) << text << " in the C library";
    }
}

} // namespace
