// Micro-benchmarks of the receive path's pure parts: line assembly per character, decoding
// and conversion per line, and one log append per sample.
#include "DataLog.h"
#include "LineAssembler.h"
#include "SampleLine.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const std::string kLine = "XSMADC,12345,23456,345\n";

void BM_LineAssemblyPerCharacter(benchmark::State& state) {
    LineAssembler assembler;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(assembler.feed(std::string_view(&kLine[i], 1), false));
        i = (i + 1) % kLine.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineAssemblyPerCharacter);

class NullTarget : public LineTarget {
public:
    void setStatus(const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
    void setDisplay(int, const std::string& text) override {
        benchmark::DoNotOptimize(text.data());
    }
    int channel(int probe) const override { return probe; }
    bool loggingOn() const override { return false; }
    std::string logPath() const override { return {}; }
};

void BM_DecodeAndConvertPerLine(benchmark::State& state) {
    NullTarget target;
    DataLog log;
    const std::array<Calibration, 2> probes = {{{100, 0, 0, 32767, 0}, {50, -10, 0.5f, 32767, 0}}};
    for (auto _ : state) {
        std::string line = "xsmadc,12345,23456,345";
        processLine(line, target, log, probes);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeAndConvertPerLine);

void BM_LogAppendPerSample(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/bench.log").toStdString();
    DataLog log;
    for (auto _ : state)
        benchmark::DoNotOptimize(log.append(path, {12345, 23456, 345}));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogAppendPerSample);

} // namespace
