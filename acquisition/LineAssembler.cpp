#include "LineAssembler.h"

std::optional<std::string> LineAssembler::feed(std::string_view chunk, bool echo) {
    chunk = chunk.substr(0, chunk.find('\0'));
    if (!chunk.empty()) m_rawLast = chunk.back();
    if (m_rawLast == '\n') {
        std::string line = std::move(m_line);
        m_line.clear();
        m_rawLast.reset();
        return line;
    }
    bool keep = true;
    if (echo) {
        m_echoPhase = !m_echoPhase;
        keep = m_echoPhase;
    }
    if (keep && m_rawLast && m_line.size() < kMaxLine) m_line.push_back(*m_rawLast);
    return std::nullopt;
}
