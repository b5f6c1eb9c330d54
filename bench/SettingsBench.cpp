// Settings file load and save over an in-memory device.
#include "SettingsArchive.h"
#include "SettingsFile.h"

#include <QBuffer>
#include <benchmark/benchmark.h>

namespace {

class Fields : public SettingsFileTarget, public SettingsFileSource {
public:
    void setCarrierText(int, const std::string& text) override {
        benchmark::DoNotOptimize(text.data());
    }
    void selectChannel(int, std::int32_t) override {}
    void setPort(const std::string&, std::int16_t) override {}
    void setLineSettings(const std::string&) override {}
    void setEcho(bool) override {}
    std::string carrierText(int) const override { return "32767"; }
    std::int32_t channelPosition(int) const override { return 1; }
    std::int16_t commPort() const override { return 2; }
    std::string commSettings() const override { return "9600,N,8,1"; }
    bool echoChecked() const override { return false; }
};

QByteArray savedFile() {
    Fields fields;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    StoreArchive archive(buffer);
    storeSettings(archive, fields);
    archive.flush();
    return buffer.data();
}

void BM_SettingsSave(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(savedFile());
}
BENCHMARK(BM_SettingsSave);

void BM_SettingsLoad(benchmark::State& state) {
    QByteArray bytes = savedFile();
    Fields fields;
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        LoadArchive archive(buffer);
        loadSettings(archive, fields);
    }
}
BENCHMARK(BM_SettingsLoad);

} // namespace
