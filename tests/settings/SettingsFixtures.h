#pragma once

#include "SettingsFile.h"

#include <QByteArray>
#include <array>
#include <map>
#include <string>
#include <vector>

// The example file, one row per field: probe 1 at 0 and 32767 counts for 0 and 100 degrees,
// probe 2 at 0 and 32767 counts for -10 and 50 degrees, offsets 0 and 0.5, log probe.log,
// channels 0 and 1, port 2, 9600,N,8,1, echo off.
inline const std::array<QByteArray, 16> kExampleFields = {
    QByteArray::fromHex("01 30"),
    QByteArray::fromHex("05 33 32 37 36 37"),
    QByteArray::fromHex("01 30"),
    QByteArray::fromHex("03 31 30 30"),
    QByteArray::fromHex("01 30"),
    QByteArray::fromHex("05 33 32 37 36 37"),
    QByteArray::fromHex("03 2D 31 30"),
    QByteArray::fromHex("02 35 30"),
    QByteArray::fromHex("01 30"),
    QByteArray::fromHex("03 30 2E 35"),
    QByteArray::fromHex("09 70 72 6F 62 65 2E 6C 6F 67"),
    QByteArray::fromHex("00 00 00 00"),
    QByteArray::fromHex("01 00 00 00"),
    QByteArray::fromHex("01 32"),
    QByteArray::fromHex("0A 39 36 30 30 2C 4E 2C 38 2C 31"),
    QByteArray::fromHex("01 30"),
};

// The example with field `number` (1 to 16) replaced by `bytes`.
inline QByteArray exampleWith(int number = 0, const QByteArray& bytes = {}) {
    QByteArray file;
    for (int i = 0; i < int(kExampleFields.size()); ++i)
        file += i + 1 == number ? bytes : kExampleFields[std::size_t(i)];
    return file;
}

// A counted string in the one-byte form.
inline QByteArray shortString(const std::string& text) {
    return QByteArray(1, char(text.size())) + QByteArray::fromStdString(text);
}

// What loading the example applies, in order.
inline const std::vector<std::string> kExampleCalls = {
    "text 1032 \"0\"", "text 1031 \"32767\"", "text 1030 \"0\"",         "text 1029 \"100\"",
    "text 1022 \"0\"", "text 1020 \"32767\"", "text 1018 \"-10\"",       "text 1016 \"50\"",
    "text 1033 \"0\"", "text 1025 \"0.5\"",   "text 1026 \"probe.log\"", "channel 1042 0",
    "channel 1041 1",  "port \"2\" 2",        "line \"9600,N,8,1\"",     "echo 0",
};

// Writes down every field that a load applies, as one line each.
class RecordingTarget : public SettingsFileTarget {
public:
    std::vector<std::string> calls;

    void setCarrierText(int controlId, const std::string& text) override {
        calls.push_back("text " + std::to_string(controlId) + " \"" + text + "\"");
    }
    void selectChannel(int selectorId, std::int32_t position) override {
        calls.push_back("channel " + std::to_string(selectorId) + " " + std::to_string(position));
    }
    void setPort(const std::string& carrierText, std::int16_t port) override {
        calls.push_back("port \"" + carrierText + "\" " + std::to_string(port));
    }
    void setLineSettings(const std::string& text) override {
        calls.push_back("line \"" + text + "\"");
    }
    void setEcho(bool on) override { calls.push_back(on ? "echo 1" : "echo 0"); }
};

// The main window's carriers as plain values: what a load puts in, a save takes out.
class Carriers : public SettingsFileTarget, public SettingsFileSource {
public:
    std::map<int, std::string> texts;
    std::map<int, std::int32_t> positions;
    std::int16_t port = 0;
    std::string settings;
    bool echo = false;

    void setCarrierText(int controlId, const std::string& text) override {
        texts[controlId] = text;
    }
    void selectChannel(int selectorId, std::int32_t position) override {
        positions[selectorId] = position;
    }
    void setPort(const std::string& carrierText, std::int16_t value) override {
        texts[1064] = carrierText;
        port = value;
    }
    void setLineSettings(const std::string& text) override { settings = text; }
    void setEcho(bool on) override { echo = on; }

    std::string carrierText(int controlId) const override { return texts.at(controlId); }
    std::int32_t channelPosition(int selectorId) const override { return positions.at(selectorId); }
    std::int16_t commPort() const override { return port; }
    std::string commSettings() const override { return settings; }
    bool echoChecked() const override { return echo; }
};
