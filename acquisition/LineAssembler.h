#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Builds received characters into lines. Each receive event contributes at most one
// character, the last one received so far, and a line ends only when a chunk's last
// character is a line feed. With echo on, only every other event's character is kept.
// The state lives as long as the object: port changes do not reset it.
class LineAssembler {
public:
    // A line longer than this is cut: later characters are dropped until the line end.
    static constexpr std::size_t kMaxLine = 4096;

    // Handles one receive chunk, which ends at its first NUL. Returns the completed line,
    // without its line feed, when this chunk ended one.
    std::optional<std::string> feed(std::string_view chunk, bool echo);

private:
    // Everything received since the last line end matters only through its last character.
    std::optional<char> m_rawLast;
    std::string m_line;
    bool m_echoPhase = false;
};
