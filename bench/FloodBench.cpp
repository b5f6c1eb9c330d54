// End-to-end throughput of the receive path: the simulator floods N lines as fast as the
// pseudo-terminal takes them into the real main window (offscreen), with logging on. In the
// same run a floor reads the same stream with a plain loop and appends each line with its own
// open, write and close. Reports characters per second, CPU per line for both, lines lost,
// peak memory, memory growth from 10% to 100% of the run, and how long a click on the
// logging switch waited while the flood ran.
#include "Component.h"
#include "ProbeDlg.h"
#include "Resources.h"
#include "SerialComponent.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

QProcess* startSimulator(const QString& dir, int lines) {
    auto* sim = new QProcess;
    sim->start(SIMULATOR,
               {"--port", "1", "--dir", dir, "--rate", "0", "--count", QString::number(lines),
                "--pattern", "ramp", "--ramp-to", "2000000000", "--wait-open", "--quiet"});
    sim->waitForStarted();
    while (!QFile::exists(dir + "/COM1") && sim->state() == QProcess::Running)
        sim->waitForFinished(10);
    return sim;
}

// A settings file for port 1 with probe.log as the log.
QByteArray settingsFile() {
    QByteArray bytes;
    for (int i = 0; i < 10; ++i)
        bytes.append("\x01"
                     "0");
    bytes.append("\x09probe.log");
    bytes.append(QByteArray("\0\0\0\0\1\0\0\0", 8));
    bytes.append("\x01"
                 "1\x0a"
                 "9600,N,8,1\x01"
                 "0");
    return bytes;
}

struct Run {
    double wallSeconds = 0, cpuSeconds = 0;
    long long lines = 0, characters = 0;
};

// Counts data lines in the log and checks that the ramp's first count runs without a gap,
// except for the lines that arrived while logging was switched off and on again.
long long loggedLines(const QString& path, long long& gaps) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    long long lines = 0, last = -1;
    gaps = 0;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().split(' ');
        if (fields.size() != 9) continue;
        const long long count = fields[6].toLongLong();
        if (last >= 0 && count != last + 1) gaps += count - last - 1;
        last = count;
        ++lines;
    }
    return lines;
}

Run runProgram(const QString& dir, int lines, double& clickMs, long& growthKiB) {
    QFile::remove(dir + "/probe.log");
    QProcess* sim = startSimulator(dir, lines);
    CProbeDlg window;
    window.create();
    window.show();
    auto* logging = static_cast<QAbstractButton*>(window.control(kLoggingSwitch));
    logging->setFocus();
    window.setCheckState(kLoggingSwitch, 1);
    window.setControlText(kLoggingSwitch, "Logging Enabled");

    QElapsedTimer wall;
    wall.start();
    const double cpu0 = cpuSeconds();
    long rssAtTenth = 0;
    QElapsedTimer clickPosted;
    QTimer probe;
    probe.setInterval(20);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 logged = QFileInfo(dir + "/probe.log").size() / 45; // about 45 bytes a line
        if (!rssAtTenth && logged > lines / 10) rssAtTenth = residentKiB();
        if (!clickPosted.isValid() && logged > lines / 2) { // off and on again, mid-flood
            clickPosted.start();
            for (int i = 0; i < 2; ++i)
                for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                    QCoreApplication::postEvent(
                        logging,
                        new QMouseEvent(type, QPointF(5, 5), logging->mapToGlobal(QPointF(5, 5)),
                                        Qt::LeftButton,
                                        type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                         : Qt::NoButton,
                                        Qt::NoModifier));
        }
    });
    QObject::connect(logging, &QAbstractButton::clicked, [&] {
        if (clickPosted.isValid() && clickMs < 0)
            clickMs = double(clickPosted.nsecsElapsed()) / 1e6;
    });
    probe.start();
    QEventLoop loop;
    QObject::connect(sim, &QProcess::finished, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
    Run run;
    run.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    run.cpuSeconds = cpuSeconds() - cpu0;
    growthKiB = residentKiB() - rssAtTenth;
    window.setCheckState(kLoggingSwitch, 0);
    delete sim;
    return run;
}

// The floor: read the same stream and append each line with its own open, write and close.
Run runFloor(const QString& dir, int lines) {
    QProcess* sim = startSimulator(dir, lines);
    const QByteArray device = QFile::symLinkTarget(dir + "/COM1").toLocal8Bit();
    const int fd = ::open(device.constData(), O_RDONLY | O_NOCTTY);
    const QByteArray logPath = (dir + "/floor.log").toLocal8Bit();
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = cpuSeconds();
    Run run;
    std::string line;
    char buffer[4096];
    pollfd p{fd, POLLIN, 0};
    while (run.lines < lines && poll(&p, 1, 2000) > 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        run.characters += n;
        for (ssize_t i = 0; i < n; ++i) {
            line.push_back(buffer[i]);
            if (buffer[i] != '\n') continue;
            const int log = ::open(logPath.constData(), O_WRONLY | O_APPEND | O_CREAT, 0666);
            if (::write(log, line.data(), line.size()) < 0) std::perror("floor log");
            ::close(log);
            line.clear();
            ++run.lines;
        }
    }
    run.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    run.cpuSeconds = cpuSeconds() - cpu0;
    ::close(fd);
    sim->waitForFinished(10000);
    delete sim;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 200000;
    ComponentRegistry::enableHosting();
    registerSerialComponent();
    SerialComponent::setSystemPorts([] { return QStringList{}; });
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QFile settings("vemo.dat");
    settings.open(QIODevice::WriteOnly);
    settings.write(settingsFile());
    settings.close();

    double clickMs = -1;
    long growthKiB = 0;
    Run program = runProgram(dir.path(), lines, clickMs, growthKiB);
    long long gaps = 0;
    program.lines = loggedLines(dir.path() + "/probe.log", gaps);
    program.characters = QFileInfo(dir.path() + "/probe.log").size(); // not the line's bytes
    const Run floor = runFloor(dir.path(), lines);
    const double lineBytes = floor.lines ? double(floor.characters) / double(floor.lines) : 0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    const double programUs = program.cpuSeconds / double(lines) * 1e6;
    const double floorUs = floor.lines ? floor.cpuSeconds / double(floor.lines) * 1e6 : 0;
    std::printf("lines sent                %d\n", lines);
    std::printf("lines logged              %lld (+%lld while logging was off for the click)\n",
                program.lines, gaps);
    std::printf("lines lost                %lld\n", lines - program.lines - gaps);
    std::printf("characters per second     %.0f (floor %.0f)\n",
                double(lines) * lineBytes / program.wallSeconds,
                double(floor.characters) / floor.wallSeconds);
    std::printf("CPU per line              %.2f us (floor %.2f us, ratio %.2f)\n", programUs,
                floorUs, floorUs > 0 ? programUs / floorUs : 0);
    std::printf("peak memory               %ld KiB\n", usage.ru_maxrss);
    std::printf("memory growth 10%%..100%%   %ld KiB\n", growthKiB);
    std::printf("click on logging switch   %.1f ms\n", clickMs);
    return 0;
}
