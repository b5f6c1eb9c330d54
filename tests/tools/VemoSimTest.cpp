// Runs the built vemo-sim and reads its port through the COMn link, as the program does.
#include "SampleLine.h"
#include "ScratchDir.h"

#include <QTest>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTimeout = std::chrono::seconds(20);

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max(0, static_cast<int>(left.count()));
}

// vemo-sim as a child process, its standard output and error read through pipes.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        std::vector<std::string> argv{VEMO_SIM_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        for (auto& arg : argv)
            pointers.push_back(arg.data());
        pointers.push_back(nullptr);
        const int spawned =
            ::posix_spawn(&m_pid, VEMO_SIM_PATH, &actions, nullptr, pointers.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        m_fds[0] = {out[0], POLLIN, 0};
        m_fds[1] = {err[0], POLLIN, 0};
        if (spawned != 0) {
            m_pid = -1;
            throw std::runtime_error("cannot start " VEMO_SIM_PATH);
        }
    }

    ~SimProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        for (auto& fd : m_fds)
            if (fd.fd >= 0) ::close(fd.fd);
    }

    void signal(int number) const { ::kill(m_pid, number); }

    // Reads standard error until it holds a whole line; false if the process ends or the
    // time runs out first.
    bool waitForStderrLine() {
        const auto deadline = Clock::now() + kTimeout;
        while (m_err.find('\n') == std::string::npos)
            if (!pump(deadline)) return false;
        return true;
    }

    // Reads both outputs to their end and returns the exit code; -1 if the process had to be
    // killed after the time ran out.
    int finish() {
        const auto deadline = Clock::now() + kTimeout;
        while (m_fds[0].fd >= 0 || m_fds[1].fd >= 0)
            if (!pump(deadline)) {
                ::kill(m_pid, SIGKILL);
                break;
            }
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        const bool timedOut = m_fds[0].fd >= 0 || m_fds[1].fd >= 0;
        m_pid = -1;
        if (timedOut || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    const std::string& out() const { return m_out; }
    const std::string& err() const { return m_err; }

private:
    // One wait for output; false when there is none left to read or the time ran out.
    bool pump(Clock::time_point deadline) {
        if (m_fds[0].fd < 0 && m_fds[1].fd < 0) return false;
        if (::poll(m_fds, 2, remainingMs(deadline)) <= 0) return false;
        std::string* texts[] = {&m_out, &m_err};
        for (int i = 0; i < 2; ++i) {
            if (m_fds[i].fd < 0 || !m_fds[i].revents) continue;
            char buffer[4096];
            const ssize_t n = ::read(m_fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(m_fds[i].fd);
                m_fds[i].fd = -1; // poll skips negative descriptors
            }
        }
        return true;
    }

    pid_t m_pid = -1;
    pollfd m_fds[2]{{-1, 0, 0}, {-1, 0, 0}};
    std::string m_out, m_err;
};

// The reading end of the port, opened through the link as the program opens it.
class PortReader {
public:
    explicit PortReader(const std::string& link)
        : m_fd(::open(link.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~PortReader() { close(); }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    void close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

    // Reads until `lines` line feeds have arrived (0: until the other end hangs up).
    std::string read(std::size_t lines) {
        const auto deadline = Clock::now() + kTimeout;
        std::string bytes;
        while (lines == 0 || std::count(bytes.begin(), bytes.end(), '\n') < std::ptrdiff_t(lines)) {
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, remainingMs(deadline)) <= 0) break;
            char buffer[4096];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                break; // hung up
        }
        return bytes;
    }

private:
    int m_fd;
};

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

bool exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::string linkTarget(const std::string& path) {
    char target[256] = {};
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

TEST(VemoSim, SendsTheGivenNumberOfLinesThenRemovesItsLink) {
    for (const char* when : {"at once", "--wait-open"}) {
        ScratchDir dir;
        const std::string link = dir.file("COM1");
        std::vector<std::string> args{"--count", "5",     "--rate",
                                      "0",       "--dir", dir.path().toStdString()};
        if (when == std::string_view("--wait-open")) args.push_back(when);
        SimProcess sim(args);
        ASSERT_TRUE(sim.waitForStderrLine()) << when << ": " << sim.err();
        EXPECT_NE(sim.err().find(" linked as " + link), std::string::npos) << sim.err();
        EXPECT_TRUE(linkTarget(link).starts_with("/dev/pts/")) << linkTarget(link);

        PortReader port(link);
        ASSERT_TRUE(port.isOpen()) << std::strerror(errno);
        const auto lines = splitLines(port.read(0));
        ASSERT_EQ(lines.size(), 5u) << when;
        const std::regex format(R"(XSMADC,\d{1,5},\d{1,5},\d{1,5})");
        for (const auto& line : lines) {
            EXPECT_TRUE(std::regex_match(line, format)) << line;
            const Sample sample = decodeSample(line);
            EXPECT_TRUE(sample.accepted()) << line;
            for (auto count : sample.counts)
                EXPECT_LE(count, 32767u) << line;
        }
        EXPECT_EQ(sim.finish(), 0) << sim.err();
        EXPECT_FALSE(exists(link)) << when;
    }
}

TEST(VemoSim, LineOptionsShapeTheBytesAndQuietPrintsNothing) {
    ScratchDir dir;
    const std::string link = dir.file("COM7");
    SimProcess sim({"--port", "7", "--dir", dir.path().toStdString(), "--count", "2", "--rate", "0",
                    "--pattern", "constant", "--counts", "1,2,3", "--lead", "Y", "--separator", ";",
                    "--echo", "--crlf", "--quiet"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return exists(link); }, 20000));
    PortReader port(link);
    ASSERT_TRUE(port.isOpen()) << std::strerror(errno);
    EXPECT_EQ(port.read(0), "YYSSMMAADDCC;;11;;22;;33\r\r\nYYSSMMAADDCC;;11;;22;;33\r\r\n");
    EXPECT_EQ(sim.finish(), 0);
    EXPECT_EQ(sim.err(), "");
}

TEST(VemoSim, BadOptionsExitWith2AndAOneLineMessage) {
    const std::vector<std::string> cases[] = {
        {"--bogus"}, {"--rate", "-1"}, {"--port", "0"}, {"--count"}, {"--pattern", "square"}};
    for (const auto& bad : cases) {
        ScratchDir dir;
        std::vector<std::string> args{"--dir", dir.path().toStdString()};
        args.insert(args.end(), bad.begin(), bad.end());
        SimProcess sim(args);
        EXPECT_EQ(sim.finish(), 2) << bad[0];
        EXPECT_TRUE(sim.err().starts_with("vemo-sim: ")) << sim.err();
        EXPECT_NE(sim.err().find(bad[0]), std::string::npos) << sim.err();
        EXPECT_EQ(std::count(sim.err().begin(), sim.err().end(), '\n'), 1) << sim.err();
        EXPECT_EQ(sim.out(), "");
        EXPECT_FALSE(exists(dir.file("COM1")));
    }
}

TEST(VemoSim, HelpGoesToStandardOutput) {
    SimProcess sim({"--help"});
    EXPECT_EQ(sim.finish(), 0);
    EXPECT_TRUE(sim.out().starts_with("Usage: vemo-sim")) << sim.out();
    EXPECT_EQ(sim.err(), "");
}

TEST(VemoSim, StopSignalsEndItAndRemoveTheLink) {
    struct Case {
        const char* name;
        int signal;
        bool readerThatDoesNotRead; // the simulator is then waiting to write
    };
    const Case cases[] = {
        {"SIGTERM with no reader", SIGTERM, false},
        {"SIGINT with no reader", SIGINT, false},
        {"SIGHUP with no reader", SIGHUP, false},
        {"SIGTERM while waiting on a slow reader", SIGTERM, true},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const std::string link = dir.file("COM1");
        SimProcess sim({"--dir", dir.path().toStdString(), "--rate", "0"});
        ASSERT_TRUE(sim.waitForStderrLine()) << c.name << ": " << sim.err();
        PortReader port(link);
        if (c.readerThatDoesNotRead)
            ASSERT_TRUE(port.isOpen());
        else
            port.close();
        sim.signal(c.signal);
        EXPECT_EQ(sim.finish(), 0) << c.name << ": " << sim.err();
        EXPECT_FALSE(exists(link)) << c.name;
    }
}

TEST(VemoSim, ReplacesAStaleLinkButNoOtherFile) {
    ScratchDir dir;
    const std::string link = dir.file("COM1");
    ASSERT_EQ(::symlink("/dev/no-such-port", link.c_str()), 0);
    {
        SimProcess sim({"--dir", dir.path().toStdString()});
        ASSERT_TRUE(sim.waitForStderrLine()) << sim.err();
        EXPECT_TRUE(linkTarget(link).starts_with("/dev/pts/")) << linkTarget(link);
        sim.signal(SIGTERM);
        EXPECT_EQ(sim.finish(), 0) << sim.err();
        EXPECT_FALSE(exists(link));
    }

    dir.write("COM1", "a file of the user's");
    SimProcess sim({"--dir", dir.path().toStdString()});
    EXPECT_EQ(sim.finish(), 1);
    EXPECT_NE(sim.err().find(link + " exists and is not a symbolic link"), std::string::npos)
        << sim.err();
    EXPECT_EQ(dir.read("COM1"), "a file of the user's");
}

TEST(VemoSim, AMissingFolderIsReportedWithItsReason) {
    ScratchDir dir;
    const std::string missing = dir.file("no-such-folder");
    SimProcess sim({"--dir", missing});
    EXPECT_EQ(sim.finish(), 1);
    EXPECT_EQ(sim.err(), "vemo-sim: cannot link " + missing + "/COM1: No such file or directory\n");
}

TEST(VemoSim, AReaderThatClosesAndReopensMissesNothing) {
    ScratchDir dir;
    const std::string link = dir.file("COM1");
    SimProcess sim({"--dir", dir.path().toStdString(), "--rate", "0", "--pattern", "ramp",
                    "--ramp-to", "4294967295"});
    ASSERT_TRUE(sim.waitForStderrLine()) << sim.err();
    std::string bytes;
    {
        PortReader first(link);
        ASSERT_TRUE(first.isOpen());
        bytes = first.read(10);
    }
    // Far more than the pseudo-terminal holds, so the simulator must have gone on writing.
    constexpr std::size_t kLines = 5000;
    PortReader second(link);
    ASSERT_TRUE(second.isOpen());
    bytes += second.read(kLines);
    const auto lines = splitLines(bytes);
    ASSERT_GE(lines.size(), kLines);
    for (std::size_t i = 0; i < kLines; ++i) {
        const std::string count = std::to_string(i);
        ASSERT_EQ(lines[i], "XSMADC," + count + "," + count + "," + count) << "line " << i;
    }
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.finish(), 0) << sim.err();
}

} // namespace
