// vemo-sim: a stand-in for the temperature probes' converter unit on a pseudo-terminal.

#include "LineGenerator.h"
#include "SimOptions.h"
#include "SimPort.h"

#include <chrono>
#include <cstdio>
#include <exception>

namespace {

// How long a finished run waits for the reader to take its last lines.
constexpr auto kDrainLimit = std::chrono::seconds(5);

int run(const SimOptions& options) {
    StopSignals signals;
    PseudoTerminal terminal;
    const PortLink link(options.dir + "/COM" + std::to_string(options.port), terminal.slavePath());
    if (!options.quiet)
        std::fprintf(stderr, "vemo-sim: %s linked as %s\n", terminal.slavePath().c_str(),
                     link.path().c_str());
    if (options.waitOpen && !terminal.waitForReader(signals)) return 0;

    using Clock = std::chrono::steady_clock;
    LineGenerator generator(options.lines);
    const Nanos period = linePeriod(options.rate);
    const auto start = Clock::now();
    Nanos due{0};
    for (std::uint64_t sent = 0; options.count == 0 || sent < options.count; ++sent) {
        const Nanos wait = start + due - Clock::now();
        if (wait > Nanos{0} && !signals.wait({}, wait)) return 0;
        const std::string line = generator.next(std::chrono::duration<double>(due).count());
        if (!terminal.send(line, signals)) return 0;
        due = nextDue(due, Clock::now() - start, period);
    }
    const int unread = terminal.unreadAfter(kDrainLimit, signals);
    if (unread > 0)
        std::fprintf(stderr, "vemo-sim: %d bytes were still unread when it ended\n", unread);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    try {
        options = parseOptions({argv + 1, argv + argc});
    } catch (const UsageError& error) {
        std::fprintf(stderr, "vemo-sim: %s (see --help)\n", error.what());
        return 2;
    }
    if (options.help) {
        std::fputs(helpText().c_str(), stdout);
        return 0;
    }
    try {
        return run(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vemo-sim: %s\n", error.what());
        return 1;
    }
}
