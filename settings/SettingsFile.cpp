#include "SettingsFile.h"

#include "Error.h"
#include "Resources.h"
#include "SettingsArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cstdlib>

namespace {

// Fields 1 to 11: within each probe the counts come before the temperatures, minimum
// before full scale; the offsets and the log path follow.
constexpr std::array<int, 11> kCarrierFields = {
    kP1MinCounts, kP1FullScaleCounts, kP1MinTemp, kP1FullScaleTemp,
    kP2MinCounts, kP2FullScaleCounts, kP2MinTemp, kP2FullScaleTemp,
    kP1Offset,    kP2Offset,          kLogPath};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// An integer conversion of scanf: white space, a sign, digits in the base (0: as "%i"
// chooses it). The value wraps modulo 2^32. Nothing when no digit follows.
std::optional<std::uint32_t> scanInteger(const std::string& text, std::size_t& pos, int base) {
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    if (base == 0) {
        base = 10;
        if (pos < text.size() && text[pos] == '0') {
            base = 8;
            if (pos + 2 < text.size() && (text[pos + 1] | 0x20) == 'x' &&
                digitValue(text[pos + 2]) < 16) {
                base = 16;
                pos += 2;
            }
        }
    }
    const std::size_t first = pos;
    std::uint32_t value = 0;
    for (; pos < text.size() && digitValue(text[pos]) < base; ++pos)
        value = value * std::uint32_t(base) + std::uint32_t(digitValue(text[pos]));
    if (pos == first) return std::nullopt;
    return negative ? 0u - value : value;
}

bool literal(const std::string& text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

} // namespace

std::int16_t portFromText(const std::string& text) {
    std::size_t pos = 0;
    const auto value = scanInteger(text, pos, 0);
    return value ? std::int16_t(std::uint16_t(*value)) : std::int16_t(1);
}

std::optional<LineSettingsFields> scanLineSettings(const std::string& text) {
    std::size_t pos = 0;
    LineSettingsFields fields{};
    const auto speed = scanInteger(text, pos, 10);
    if (!speed || !literal(text, pos, ',') || pos >= text.size()) return std::nullopt;
    fields.speed = *speed;
    fields.parity = text[pos++];
    if (!literal(text, pos, ',')) return std::nullopt;
    const auto dataBits = scanInteger(text, pos, 10);
    if (!dataBits || !literal(text, pos, ',')) return std::nullopt;
    fields.dataBits = *dataBits;
    const std::string rest = text.substr(pos, text.find('\0', pos) - pos);
    char* end = nullptr;
    fields.stopBits = std::strtod(rest.c_str(), &end);
    if (end == rest.c_str()) return std::nullopt;
    return fields;
}

void loadSettings(LoadArchive& archive, SettingsFileTarget& target) {
    for (int id : kCarrierFields)
        target.setCarrierText(id, archive.readString());
    target.selectChannel(kP1Channel, archive.readInt());
    target.selectChannel(kP2Channel, archive.readInt());
    const std::string port = archive.readString();
    target.setPort(port, portFromText(port));
    const std::string line = archive.readString();
    target.setLineSettings(line.empty() ? kDefaultLineSettings : line);
    target.setEcho(archive.readString() == "1");
}

void storeSettings(StoreArchive& archive, const SettingsFileSource& source) {
    for (int id : kCarrierFields)
        archive.writeString(source.carrierText(id));
    archive.writeInt(source.channelPosition(kP1Channel));
    archive.writeInt(source.channelPosition(kP2Channel));
    archive.writeString(source.commPort() > 0 ? source.carrierText(kPortNumber) : "1");
    const std::string line = source.commSettings();
    archive.writeString(scanLineSettings(line) ? line : kDefaultLineSettings);
    archive.writeString(source.echoChecked() ? "1" : "0");
}

bool loadSettingsFile(const QString& path, const std::function<void(LoadArchive&)>& serialize) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    LoadArchive archive(file);
    serialize(archive);
    return true;
}

std::optional<std::string> saveSettingsFile(const QString& path,
                                            const std::function<void(StoreArchive&)>& serialize) {
    const QFileInfo existing(path);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner))
        return path.toStdString() + " is read-only";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    try {
        StoreArchive archive(file);
        serialize(archive);
        archive.flush();
    } catch (const Error& error) {
        file.cancelWriting();
        return error.what();
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}
