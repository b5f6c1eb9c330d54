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

// Where loaded fields go; each is applied as soon as it has been read.
class SettingsFileTarget {
public:
    virtual ~SettingsFileTarget() = default;
    virtual void setCarrierText(int controlId, const std::string& text) = 0;
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
    virtual std::int32_t channelPosition(int selectorId) const = 0;
    virtual std::int16_t commPort() const = 0;
    virtual std::string commSettings() const = 0;
    virtual bool echoChecked() const = 0;
};

void loadSettings(LoadArchive& archive, SettingsFileTarget& target);
void storeSettings(StoreArchive& archive, const SettingsFileSource& source);

// The port number in a stored text, read as "%i" reads it (decimal, 0x hexadecimal or
// leading-0 octal) and cut to 16 bits; 1 when the text holds no number.
std::int16_t portFromText(const std::string& text);

// A line settings text read as "%u,%c,%u,%g" reads it, when all four fields convert.
struct LineSettingsFields {
    std::uint32_t speed;
    char parity;
    std::uint32_t dataBits;
    double stopBits;
};
std::optional<LineSettingsFields> scanLineSettings(const std::string& text);

// Opens the file and lets serialize read it; false, silently, when it cannot be opened.
bool loadSettingsFile(const QString& path, const std::function<void(LoadArchive&)>& serialize);
// Writes a new file beside the old one and renames it over it, so a failed save leaves the
// old file whole. A file without write permission is left alone. Returns why it failed.
std::optional<std::string> saveSettingsFile(const QString& path,
                                            const std::function<void(StoreArchive&)>& serialize);
