#pragma once

#include <cstdint>
#include <string>

// The sixteen settings that the Setup dialog edits and the settings file keeps. The main
// window and the Setup dialog each hold one set.
struct ProbeSettings {
    float m_p1FullScaleTemp = 0;
    float m_p2FullScaleTemp = 0;
    float m_p1MinTemp = 0;
    float m_p2MinTemp = 0;
    std::uint32_t m_p1FullScaleCounts = 0;
    std::uint32_t m_p2FullScaleCounts = 0;
    std::uint32_t m_p1MinCounts = 0;
    std::uint32_t m_p2MinCounts = 0;
    std::string m_logFile;
    std::string m_p1Channel;
    std::string m_p2Channel;
    float m_p1Offset = 0;
    float m_p2Offset = 0;
    std::string m_commSettings; // such as "9600,N,8,1"
    std::int16_t m_commPort = 0;
    int m_echo = 0;
};

// Copies the calibration, channel and log-file fields, leaving port, line settings and echo:
// those three reach the serial control one at a time.
inline void copyProbeFields(const ProbeSettings& from, ProbeSettings& to) {
    ProbeSettings copy = from;
    copy.m_commSettings = std::move(to.m_commSettings);
    copy.m_commPort = to.m_commPort;
    copy.m_echo = to.m_echo;
    to = std::move(copy);
}

inline constexpr std::uint32_t kMaxCounts = 32767;
inline constexpr int kMinPort = 1;
inline constexpr int kMaxPort = 4;
