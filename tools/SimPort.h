#pragma once

#include "LineGenerator.h"

#include <array>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <span>
#include <string>
#include <string_view>
#include <utility>

// SIGINT, SIGTERM and SIGHUP ask the simulator to stop. They are blocked except inside
// wait(), so a stop is never missed between checking for it and waiting.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Waits for the descriptors' events or the timeout (none: no limit). Returns false once
    // a stop was asked for. Throws std::system_error when the wait itself fails.
    bool wait(std::span<pollfd> fds, std::optional<Nanos> timeout);

private:
    sigset_t m_originalMask;
    sigset_t m_waitMask; // the original mask with the stop signals let through
    std::array<struct sigaction, 3> m_previousActions;
};

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1)) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

// The master side of a pseudo-terminal in raw mode, the converter's end of the line.
// A reader on the slave side is seen through the master: it reports a hang-up while a
// reader had the slave open and no one has it open now.
class PseudoTerminal {
public:
    PseudoTerminal(); // throws std::system_error
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return m_slavePath; }

    // Waits until a reader opens the slave. False when stopped first.
    bool waitForReader(StopSignals& signals);
    // Writes all bytes, waiting while the reader is slow or while no one has the port open
    // after a reader closed it. False when stopped first.
    bool send(std::string_view bytes, StopSignals& signals);
    // Waits up to `limit` for the reader to take everything sent, and returns the number of
    // bytes still unread (0 when stopped).
    int unreadAfter(Nanos limit, StopSignals& signals);

private:
    bool readerGone() const;
    void discardInput();

    Descriptor m_master;
    std::string m_slavePath;
};

// A symbolic link to the slave, as COMn in a folder, removed again when the object ends.
class PortLink {
public:
    // Replaces a symbolic link of that name but never another kind of file; throws
    // std::system_error or std::runtime_error.
    PortLink(std::string path, std::string target);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_target;
};
