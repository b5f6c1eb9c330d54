#include "SimPort.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t g_stopAsked = 0;

void onStopSignal(int) {
    g_stopAsked = 1;
}

// A hang-up is reported at once for as long as it lasts, so it cannot be waited for: a wait
// for a reader looks again at this interval instead.
constexpr Nanos kReaderPoll = std::chrono::milliseconds(50);
// Also long enough for bytes just written to reach the reader's input queue.
constexpr Nanos kDrainPoll = std::chrono::milliseconds(10);

[[noreturn]] void failWithErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

Descriptor openSlave(const std::string& path) {
    Descriptor slave(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave) failWithErrno("cannot open " + path);
    return slave;
}

} // namespace

Descriptor::~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
}

StopSignals::StopSignals() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int signal : kStopSignals)
        sigaddset(&stops, signal);
    if (sigprocmask(SIG_BLOCK, &stops, &m_originalMask) != 0) failWithErrno("cannot block signals");
    m_waitMask = m_originalMask;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        sigdelset(&m_waitMask, kStopSignals[i]);
        sigaction(kStopSignals[i], &action, &m_previousActions[i]);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &m_previousActions[i], nullptr);
    sigprocmask(SIG_SETMASK, &m_originalMask, nullptr);
}

bool StopSignals::wait(std::span<pollfd> fds, std::optional<Nanos> timeout) {
    if (g_stopAsked) return false;
    timespec limit{};
    if (timeout) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(*timeout);
        limit.tv_sec = seconds.count();
        limit.tv_nsec = (*timeout - seconds).count();
    }
    if (::ppoll(fds.data(), fds.size(), timeout ? &limit : nullptr, &m_waitMask) < 0 &&
        errno != EINTR)
        failWithErrno("cannot wait");
    return !g_stopAsked;
}

PseudoTerminal::PseudoTerminal()
    : m_master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (!m_master) failWithErrno("cannot open a pseudo-terminal");
    char name[128];
    if (::grantpt(m_master.get()) != 0 || ::unlockpt(m_master.get()) != 0 ||
        ::ptsname_r(m_master.get(), name, sizeof name) != 0)
        failWithErrno("cannot set up the pseudo-terminal");
    m_slavePath = name;
    // On Linux the terminal settings made through the master are the slave's.
    termios settings{};
    if (::tcgetattr(m_master.get(), &settings) != 0) failWithErrno("cannot read terminal settings");
    ::cfmakeraw(&settings);
    if (::tcsetattr(m_master.get(), TCSANOW, &settings) != 0 ||
        ::fcntl(m_master.get(), F_SETFL, O_NONBLOCK) != 0)
        failWithErrno("cannot set up " + m_slavePath);
}

bool PseudoTerminal::readerGone() const {
    pollfd fd{m_master.get(), 0, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLHUP);
}

void PseudoTerminal::discardInput() {
    char buffer[256];
    while (::read(m_master.get(), buffer, sizeof buffer) > 0) {
    }
}

bool PseudoTerminal::waitForReader(StopSignals& signals) {
    // Until the slave has been opened once the master reports no hang-up: open and close it,
    // so that the hang-up then says that no reader is there yet.
    openSlave(m_slavePath);
    while (readerGone())
        if (!signals.wait({}, kReaderPoll)) return false;
    return true;
}

bool PseudoTerminal::send(std::string_view bytes, StopSignals& signals) {
    while (!bytes.empty()) {
        pollfd fd{m_master.get(), POLLIN | POLLOUT, 0};
        if (!signals.wait({&fd, 1}, std::nullopt)) return false;
        if (fd.revents & POLLHUP) {
            // The reader closed the port: hold the rest until one opens it again.
            if (!signals.wait({}, kReaderPoll)) return false;
            continue;
        }
        if (fd.revents & (POLLERR | POLLNVAL)) {
            errno = EIO;
            failWithErrno("cannot write to " + m_slavePath);
        }
        // Whatever the reader sends is of no interest to the unit, but must not pile up.
        if (fd.revents & POLLIN) discardInput();
        if (!(fd.revents & POLLOUT)) continue;
        const ssize_t written = ::write(m_master.get(), bytes.data(), bytes.size());
        if (written > 0)
            bytes.remove_prefix(static_cast<std::size_t>(written));
        else if (written < 0 && errno != EAGAIN && errno != EINTR)
            failWithErrno("cannot write to " + m_slavePath);
    }
    return true;
}

int PseudoTerminal::unreadAfter(Nanos limit, StopSignals& signals) {
    // A descriptor of our own on the slave sees the same input queue as the reader's.
    const Descriptor slave = openSlave(m_slavePath);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int unread = 0;
    do {
        if (!signals.wait({}, kDrainPoll)) return 0;
        if (::ioctl(slave.get(), FIONREAD, &unread) != 0)
            failWithErrno("cannot look at " + m_slavePath);
    } while (unread > 0 && std::chrono::steady_clock::now() < deadline);
    return unread;
}

PortLink::PortLink(std::string path, std::string target)
    : m_path(std::move(path))
    , m_target(std::move(target)) {
    struct stat status {};
    if (::lstat(m_path.c_str(), &status) == 0) {
        if (!S_ISLNK(status.st_mode))
            throw std::runtime_error(m_path + " exists and is not a symbolic link; left as it is");
        if (::unlink(m_path.c_str()) != 0 && errno != ENOENT)
            failWithErrno("cannot replace " + m_path);
    }
    if (::symlink(m_target.c_str(), m_path.c_str()) != 0) failWithErrno("cannot link " + m_path);
}

PortLink::~PortLink() {
    // Only while it is still ours: the name may have been linked anew meanwhile.
    std::string current(m_target.size() + 1, '\0');
    const ssize_t length = ::readlink(m_path.c_str(), current.data(), current.size());
    if (length != static_cast<ssize_t>(m_target.size()) ||
        current.compare(0, m_target.size(), m_target) != 0)
        return;
    if (::unlink(m_path.c_str()) != 0)
        std::fprintf(stderr, "vemo-sim: cannot remove %s: %s\n", m_path.c_str(),
                     std::strerror(errno));
}
