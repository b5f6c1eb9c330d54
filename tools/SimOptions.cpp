#include "SimOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>

namespace {

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    std::function<void(SimOptions&, std::string_view)> apply;
};

// The text in quotes, control characters written as escapes, so a message stays on one line.
std::string quoted(std::string_view text) {
    std::string out = "'";
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "'";
}

[[noreturn]] void badValue(std::string_view name, std::string_view value,
                           std::string_view expected) {
    throw UsageError("--" + std::string(name) + ": " + quoted(value) + " is not " +
                     std::string(expected));
}

template <typename T> std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

template <typename T>
T parseUnsigned(std::string_view name, std::string_view value, T min, T max,
                std::string_view expected) {
    const auto number = parseNumber<T>(value);
    if (!number || *number < min || *number > max) badValue(name, value, expected);
    return *number;
}

std::uint32_t parseCount(std::string_view name, std::string_view value) {
    return parseUnsigned<std::uint32_t>(name, value, 0, std::numeric_limits<std::uint32_t>::max(),
                                        "a count from 0 to 4294967295");
}

char parseCharacter(std::string_view name, std::string_view value) {
    if (value.size() != 1 || value[0] == '\n')
        badValue(name, value, "a single character other than a line feed");
    return value[0];
}

double parseRate(std::string_view name, std::string_view value) {
    constexpr double kMin = 0.001, kMax = 1e6;
    const auto rate = parseNumber<double>(value);
    if (!rate || !std::isfinite(*rate) || (*rate != 0 && (*rate < kMin || *rate > kMax)))
        badValue(name, value, "0 or a number of lines per second from 0.001 to 1000000");
    return *rate;
}

Counts parseCounts(std::string_view name, std::string_view value) {
    Counts counts{};
    std::string_view rest = value;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const auto comma = rest.find(',');
        const bool last = i + 1 == counts.size();
        if (last != (comma == std::string_view::npos))
            badValue(name, value, "three counts separated by commas, such as 100,200,300");
        const auto number = parseNumber<std::uint32_t>(rest.substr(0, comma));
        if (!number)
            badValue(name, value, "three counts from 0 to 4294967295, such as 100,200,300");
        counts[i] = *number;
        rest = last ? std::string_view{} : rest.substr(comma + 1);
    }
    return counts;
}

Pattern parsePattern(std::string_view name, std::string_view value) {
    if (value == "wave") return Pattern::Wave;
    if (value == "constant") return Pattern::Constant;
    if (value == "random") return Pattern::Random;
    if (value == "ramp") return Pattern::Ramp;
    badValue(name, value, "one of wave, constant, random, ramp");
}

const std::vector<OptionSpec>& optionSpecs() {
    using V = std::string_view;
    static const std::vector<OptionSpec> specs{
        {"port", true,
         [](SimOptions& o, V v) {
             o.port = parseUnsigned<int>("port", v, 1, 99, "a port number from 1 to 99");
         }},
        {"dir", true,
         [](SimOptions& o, V v) {
             if (v.empty()) badValue("dir", v, "a folder");
             o.dir = v;
         }},
        {"rate", true, [](SimOptions& o, V v) { o.rate = parseRate("rate", v); }},
        {"count", true,
         [](SimOptions& o, V v) {
             o.count = parseUnsigned<std::uint64_t>("count", v, 0,
                                                    std::numeric_limits<std::uint64_t>::max(),
                                                    "a number of lines (0 for no end)");
         }},
        {"pattern", true, [](SimOptions& o, V v) { o.lines.pattern = parsePattern("pattern", v); }},
        {"counts", true, [](SimOptions& o, V v) { o.lines.constant = parseCounts("counts", v); }},
        {"ramp-from", true,
         [](SimOptions& o, V v) { o.lines.rampFrom = parseCount("ramp-from", v); }},
        {"ramp-to", true, [](SimOptions& o, V v) { o.lines.rampTo = parseCount("ramp-to", v); }},
        {"ramp-step", true,
         [](SimOptions& o, V v) {
             o.lines.rampStep = parseUnsigned<std::uint32_t>(
                 "ramp-step", v, 1, std::numeric_limits<std::uint32_t>::max(),
                 "a step from 1 to 4294967295");
         }},
        {"seed", true,
         [](SimOptions& o, V v) {
             o.lines.seed = parseUnsigned<std::uint32_t>("seed", v, 0,
                                                         std::numeric_limits<std::uint32_t>::max(),
                                                         "a seed from 0 to 4294967295");
         }},
        {"lead", true, [](SimOptions& o, V v) { o.lines.format.lead = parseCharacter("lead", v); }},
        {"separator", true,
         [](SimOptions& o, V v) { o.lines.format.separator = parseCharacter("separator", v); }},
        {"crlf", false, [](SimOptions& o, V) { o.lines.format.crlf = true; }},
        {"echo", false, [](SimOptions& o, V) { o.lines.format.echo = true; }},
        {"malformed", true,
         [](SimOptions& o, V v) {
             o.lines.malformedPercent =
                 parseUnsigned<int>("malformed", v, 0, 100, "a percentage from 0 to 100");
         }},
        {"wait-open", false, [](SimOptions& o, V) { o.waitOpen = true; }},
        {"quiet", false, [](SimOptions& o, V) { o.quiet = true; }},
    };
    return specs;
}

} // namespace

SimOptions parseOptions(const std::vector<std::string>& args) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help") {
            options.help = true;
            return options;
        }
        if (!arg.starts_with("--")) throw UsageError("unexpected argument " + quoted(arg));
        const auto equals = arg.find('=');
        const std::string_view name = arg.substr(2, equals == arg.npos ? arg.npos : equals - 2);
        const auto& specs = optionSpecs();
        const auto spec = std::find_if(specs.begin(), specs.end(),
                                       [&](const OptionSpec& s) { return s.name == name; });
        if (spec == specs.end())
            throw UsageError("unknown option " + quoted(arg.substr(0, equals)));
        std::string_view value;
        if (!spec->takesValue) {
            if (equals != arg.npos) throw UsageError("--" + std::string(name) + " takes no value");
        } else if (equals != arg.npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            throw UsageError("--" + std::string(name) + " needs a value");
        }
        spec->apply(options, value);
    }
    if (options.lines.rampFrom > options.lines.rampTo)
        throw UsageError("--ramp-from must not be above --ramp-to");
    return options;
}

std::string helpText() {
    return R"(Usage: vemo-sim [OPTION]...
Simulates the temperature probes' converter unit on a pseudo-terminal linked as COMn, so
that a vemo started in that folder reads it on port n.

Each line is a lead character, "SMADC" and three counts, each count preceded by a
separator, then a line feed: XSMADC,100,200,300

  --port N            link the port as COMN, N from 1 to 99 (default 1)
  --dir PATH          folder for the link (default: the current folder); a stale link
                      of that name is replaced, any other file there is left alone
  --rate R            lines per second (default 2); 0 sends as fast as they are read
  --count N           stop after N lines, once they are read (default 0: until stopped)
  --pattern P         counts on the three channels (default wave):
                        wave      slow sine waves, periods 40, 65 and 90 s, within 0..32767
                        constant  the counts given by --counts
                        random    uniform within 0..32767, reproducible by --seed
                        ramp      the same count on all channels, from --ramp-from to
                                  --ramp-to in steps of --ramp-step, then again from the start
  --counts A,B,C      the constant pattern's counts (default 100,200,300)
  --ramp-from N       first ramp count (default 0)
  --ramp-to N         last ramp count, at most (default 32767)
  --ramp-step N       ramp step, at least 1 (default 1)
  --seed N            seed of the random counts and of the malformed lines (default 1)
  --lead C            lead character (default X)
  --separator C       separator before each count (default ,); a digit runs into the
                      count before it, so the reader then sees one long first count
  --crlf              end lines with a carriage return and a line feed
  --echo              send every byte twice but the closing line feed, as the unit
                      does with its echo on
  --malformed PCT     make PCT percent of the lines malformed (missing lead, bad count,
                      cut short or garbage), chosen by --seed (default 0)
  --wait-open         send the first line only once a reader has opened the port;
                      otherwise lines sent before that wait in the pseudo-terminal
  --quiet             do not print the port and its link on start
  --help              show this help

Lines wait while the reader is slow, and while no one has the port open after a reader
closed it. The link is removed on exit: after --count lines, or on SIGINT, SIGTERM or
SIGHUP. Exit status: 0 done or stopped, 1 failure, 2 bad options.
)";
}
