#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class LoadArchive;
class StoreArchive;

// The settings file "vemo.dat": sixteen fields back to back, no header. Eleven are the
// texts of the main window's hidden carriers, two the positions of the channel selectors,
// then the port, the line settings and the echo flag as texts.

inline constexpr const char* kDefaultLineSettings = "9600,N,8,1";

// Where loaded fields go; each is applied as soon as it has been read, so a file that ends
// early leaves the fields before the end applied.
class SettingsFileTarget {
public:
    virtual ~SettingsFileTarget() = default;
    virtual void setCarrierText(int controlId, const std::string& text) = 0;
    // The position as stored, also when it lies outside the selector's list.
    virtual void selectChannel(int selectorId, std::int32_t position) = 0;
    virtual void setPort(const std::string& carrierText, std::int16_t port) = 0;
    virtual void setLineSettings(const std::string& text) = 0;
    virtual void setEcho(bool on) = 0;
};

// Where saved fields come from.
class SettingsFileSource {
public:
    virtual ~SettingsFileSource() = default;
    virtual std::string carrierText(int controlId) const = 0;
    // -1 when the selector has no selection.
    virtual std::int32_t channelPosition(int selectorId) const = 0;
    virtual std::int16_t commPort() const = 0;
    virtual std::string commSettings() const = 0;
    virtual bool echoChecked() const = 0;
};

// Both raise Error: loading when the file ends early, storing when the device fails.
void loadSettings(LoadArchive& archive, SettingsFileTarget& target);
void storeSettings(StoreArchive& archive, const SettingsFileSource& source);

// The port number in a stored text, read as scanf's "%i" reads it (leading white space, a
// sign, then 0x hexadecimal, leading-0 octal or decimal; the rest ignored), wrapped to 16
// bits; 1 when the text holds no number.
std::int16_t portFromText(const std::string& text);

// A line settings text read as scanf reads "%u,%c,%u,%g", when all four fields convert.
// Like scanf, the scan ends at a NUL byte. Numbers are read as in the "C" locale.
struct LineSettingsFields {
    unsigned speed;
    char parity;
    unsigned dataBits;
    double stopBits;
};
std::optional<LineSettingsFields> scanLineSettings(const std::string& text);
// Whether a line settings text is kept as it is when saved.
bool hasLineSettingsForm(const std::string& text);

// Opens the file and lets serialize read it. Returns false, silently, when the file is
// missing, is not a regular file or cannot be opened; Error from serialize escapes.
bool loadSettingsFile(const QString& path, const std::function<void(LoadArchive&)>& serialize);
bool loadSettingsFile(const QString& path, SettingsFileTarget& target);

// Writes a new file beside the old one and renames it over it, so a failed save leaves the
// old file whole. A file without its owner's write permission is left alone, also for root.
// Returns why it failed, or nothing on success.
std::optional<std::string> saveSettingsFile(const QString& path,
                                            const std::function<void(StoreArchive&)>& serialize);
std::optional<std::string> saveSettingsFile(const QString& path, const SettingsFileSource& source);
