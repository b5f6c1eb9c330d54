#include "LineAssembler.h"

#include <gtest/gtest.h>

namespace {

struct Event {
    std::string chunk;
    bool echo = false;
};

struct AssemblyCase {
    const char* name;
    std::vector<Event> events;
    std::vector<std::string> lines; // lines completed, in order
};

std::vector<std::string> run(LineAssembler& assembler, const std::vector<Event>& events) {
    std::vector<std::string> lines;
    for (const auto& e : events)
        if (auto line = assembler.feed(e.chunk, e.echo)) lines.push_back(*line);
    return lines;
}

TEST(LineAssembler, KeepsOneCharacterPerEventAndEndsLinesOnAFinalLineFeed) {
    using namespace std::string_literals;
    const AssemblyCase cases[] = {
        {"one character per event", {{"A"}, {"B"}, {"C"}, {"\n"}}, {"ABC"}},
        {"only a chunk's last character counts", {{"AB"}, {"\n"}}, {"B"}},
        {"a final line feed ends the line", {{"A\n"}}, {""}},
        {"a line feed inside a chunk goes unseen", {{"\nA"}, {"B"}, {"\n"}}, {"AB"}},
        {"two line feeds give an empty line", {{"X"}, {"\n"}, {"\n"}}, {"X", ""}},
        {"carriage return stays at the end", {{"A"}, {"\r"}, {"\n"}}, {"A\r"}},
        {"carriage return after the end starts the next line",
         {{"\n"}, {"\r"}, {"B"}, {"\n"}},
         {"", "\rB"}},
        {"an empty chunk repeats the last character", {{"A"}, {""}, {"\n"}}, {"AA"}},
        {"a chunk ends at a NUL", {{"A"}, {"\0B"s}, {"C\0\n"s}, {"\n"}}, {"AAC"}},
        {"an empty chunk with nothing received adds nothing", {{""}, {"\n"}}, {""}},
    };
    for (const auto& c : cases) {
        LineAssembler assembler;
        EXPECT_EQ(run(assembler, c.events), c.lines) << c.name;
    }
}

TEST(LineAssembler, EchoKeepsEveryOtherEventAndItsPhaseCarriesOver) {
    LineAssembler assembler;
    EXPECT_EQ(run(assembler, {{"X", true}, {"X", true}, {"Y", true}, {"Y", true}, {"\n", true}}),
              std::vector<std::string>{"XY"});
    // Three events with echo on leave the phase set: the next line's first event is dropped.
    EXPECT_EQ(run(assembler, {{"A", true}, {"B", true}, {"C", true}, {"\n", true}}),
              std::vector<std::string>{"AC"});
    EXPECT_EQ(run(assembler, {{"D", true}, {"E", true}, {"\n", true}}),
              std::vector<std::string>{"E"});
    // Events with echo off keep their character and leave the phase alone.
    EXPECT_EQ(run(assembler, {{"F", false}, {"G", true}, {"H", true}, {"\n", false}}),
              std::vector<std::string>{"FH"});
    // An empty chunk on an empty raw buffer adds nothing but still turns the phase.
    EXPECT_EQ(run(assembler, {{"", true}, {"I", true}, {"J", true}, {"\n", true}}),
              std::vector<std::string>{"I"});
    // An empty chunk repeats the last character only when its event falls on a keeping phase.
    EXPECT_EQ(run(assembler, {{"K", true}, {"", true}, {"", true}, {"\n", true}}),
              std::vector<std::string>{"KK"});
}

TEST(LineAssembler, ALineStopsGrowingAtItsBound) {
    LineAssembler assembler;
    for (std::size_t i = 0; i < LineAssembler::kMaxLine + 100; ++i)
        EXPECT_FALSE(assembler.feed(std::string(1, char('a' + i % 26)), false));
    const auto line = assembler.feed("\n", false);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->size(), LineAssembler::kMaxLine);
    EXPECT_EQ(line->substr(0, 3), "abc");
    EXPECT_EQ(assembler.feed("Z", false), std::nullopt);
    EXPECT_EQ(assembler.feed("\n", false), std::string("Z")); // the next line starts afresh
}

} // namespace
