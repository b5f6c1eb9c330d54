#include "SettingsFile.h"

#include "Error.h"
#include "Resources.h"
#include "SettingsArchive.h"
#include "Win1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <charconv>
#include <string_view>

namespace {

// Fields 1 to 11: within each probe the counts come before the temperatures, minimum
// before full scale; the offsets and the log path follow.
constexpr std::array<int, 11> kCarrierFields = {
    kP1MinCounts, kP1FullScaleCounts, kP1MinTemp, kP1FullScaleTemp,
    kP2MinCounts, kP2FullScaleCounts, kP2MinTemp, kP2FullScaleTemp,
    kP1Offset,    kP2Offset,          kLogPath};

// A text as scanf sees it: a C string, so it ends at the first NUL byte.
class Scanner {
public:
    explicit Scanner(const std::string& text)
        : m_text(std::string_view(text).substr(0, text.find('\0'))) {}

    // An integer conversion: white space, a sign, digits in the base (0: as "%i" chooses
    // it). The value wraps modulo 2^32, as the C library's conversions do. Nothing when no
    // digit follows.
    std::optional<std::uint32_t> integer(int base) {
        const bool negative = spaceAndSign();
        if (base == 0) base = prefixBase();
        const std::size_t first = m_pos;
        std::uint32_t value = 0;
        for (; m_pos < m_text.size() && digitValue(m_text[m_pos]) < base; ++m_pos)
            value = value * std::uint32_t(base) + std::uint32_t(digitValue(m_text[m_pos]));
        if (m_pos == first) return std::nullopt;
        return negative ? 0u - value : value;
    }

    // "%g": white space, a sign, then a decimal or 0x hexadecimal number, inf or nan.
    std::optional<double> floating() {
        const bool negative = spaceAndSign();
        double value = 0;
        const char* begin = m_text.data() + m_pos;
        const char* end = m_text.data() + m_text.size();
        // from_chars takes a minus sign of its own, which scanf does not after the sign.
        if (begin == end || *begin == '-') return std::nullopt;
        std::from_chars_result result{begin, std::errc::invalid_argument};
        if (end - begin > 2 && begin[0] == '0' && (begin[1] | 0x20) == 'x' && begin[2] != '-')
            result = std::from_chars(begin + 2, end, value, std::chars_format::hex);
        if (result.ec == std::errc::invalid_argument) result = std::from_chars(begin, end, value);
        // A number out of range still counts as converted, as it does for scanf.
        if (result.ptr == begin) return std::nullopt;
        m_pos = std::size_t(result.ptr - m_text.data());
        return negative ? -value : value;
    }

    // "%c": any one character, white space included.
    std::optional<char> character() {
        if (m_pos >= m_text.size()) return std::nullopt;
        return m_text[m_pos++];
    }

    bool literal(char c) {
        if (m_pos >= m_text.size() || m_text[m_pos] != c) return false;
        ++m_pos;
        return true;
    }

private:
    static int digitValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return 99;
    }

    // Skips white space and a sign; true for a minus sign.
    bool spaceAndSign() {
        skipSpace();
        if (m_pos >= m_text.size() || (m_text[m_pos] != '+' && m_text[m_pos] != '-')) return false;
        return m_text[m_pos++] == '-';
    }

    void skipSpace() {
        while (m_pos < m_text.size() &&
               std::string_view(" \t\n\v\f\r").find(m_text[m_pos]) != std::string_view::npos)
            ++m_pos;
    }

    // "%i" reads 0x with a hexadecimal digit after it as hexadecimal, another leading 0 as
    // octal, anything else as decimal.
    int prefixBase() {
        if (m_pos >= m_text.size() || m_text[m_pos] != '0') return 10;
        if (m_pos + 2 < m_text.size() && (m_text[m_pos + 1] | 0x20) == 'x' &&
            digitValue(m_text[m_pos + 2]) < 16) {
            m_pos += 2;
            return 16;
        }
        return 8;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

std::int16_t portFromText(const std::string& text) {
    const auto value = Scanner(text).integer(0);
    return value ? std::int16_t(std::uint16_t(*value)) : std::int16_t(1);
}

std::optional<LineSettingsFields> scanLineSettings(const std::string& text) {
    Scanner scan(text);
    const auto speed = scan.integer(10);
    if (!speed || !scan.literal(',')) return std::nullopt;
    const auto parity = scan.character();
    if (!parity || !scan.literal(',')) return std::nullopt;
    const auto dataBits = scan.integer(10);
    if (!dataBits || !scan.literal(',')) return std::nullopt;
    const auto stopBits = scan.floating();
    if (!stopBits) return std::nullopt;
    return LineSettingsFields{*speed, *parity, *dataBits, *stopBits};
}

bool hasLineSettingsForm(const std::string& text) {
    return scanLineSettings(text).has_value();
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
    archive.writeString(hasLineSettingsForm(line) ? line : kDefaultLineSettings);
    archive.writeString(source.echoChecked() ? "1" : "0");
}

bool loadSettingsFile(const QString& path, const std::function<void(LoadArchive&)>& serialize) {
    // Opening a FIFO or a device would wait for a writer or read without end.
    if (!QFileInfo(path).isFile()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    LoadArchive archive(file);
    serialize(archive);
    return true;
}

bool loadSettingsFile(const QString& path, SettingsFileTarget& target) {
    return loadSettingsFile(path,
                            [&target](LoadArchive& archive) { loadSettings(archive, target); });
}

std::optional<std::string> saveSettingsFile(const QString& path,
                                            const std::function<void(StoreArchive&)>& serialize) {
    // Renaming over a file ignores its permissions, so a read-only file is refused here.
    const QFileInfo existing(path);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner))
        return "the file is read-only";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return win1252::fromQString(file.errorString());
    try {
        StoreArchive archive(file);
        serialize(archive);
        archive.flush();
    } catch (const Error& error) {
        file.cancelWriting();
        return error.what();
    }
    if (!file.commit()) return win1252::fromQString(file.errorString());
    return std::nullopt;
}

std::optional<std::string> saveSettingsFile(const QString& path, const SettingsFileSource& source) {
    return saveSettingsFile(path,
                            [&source](StoreArchive& archive) { storeSettings(archive, source); });
}
