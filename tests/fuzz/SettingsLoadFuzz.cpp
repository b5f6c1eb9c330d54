// The settings loader over any bytes: the end-of-file error is the only way out of it.
#include "Error.h"
#include "SettingsArchive.h"
#include "SettingsFile.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Takes every field and drops it; the line settings are scanned as the Setup dialog scans
// them, so that scan meets the same bytes.
class DroppingTarget : public SettingsFileTarget {
public:
    void setCarrierText(int, const std::string&) override {}
    void selectChannel(int, std::int32_t) override {}
    void setPort(const std::string&, std::int16_t) override {}
    void setLineSettings(const std::string& text) override { scanLineSettings(text); }
    void setEcho(bool) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    LoadArchive archive(buffer);
    DroppingTarget target;
    try {
        loadSettings(archive, target);
    } catch (const Error& error) {
        if (std::string_view(error.what()) != kEndOfFileMessage) std::abort();
    }
    return 0;
}
