#include "PortDevice.h"

#include "Win1252.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>
#include <tuple>

namespace {

// Sort key: family (USB, ACM, built-in, other), then the number, then the name.
std::tuple<int, int, QString> orderKey(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^tty(USB|ACM|S)(\\d+)$"));
    const auto match = pattern.match(name);
    if (!match.hasMatch()) return {3, 0, name};
    const QString family = match.captured(1);
    const int rank = family == QLatin1String("USB") ? 0 : family == QLatin1String("ACM") ? 1 : 2;
    return {rank, match.captured(2).toInt(), name};
}

} // namespace

QStringList orderSystemPorts(QStringList names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return orderKey(a) < orderKey(b); });
    return names;
}

QStringList presentSystemPorts() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return names;
}

PortDevice findPortDevice(int port, const SystemPorts& systemPorts) {
    const QString link = QStringLiteral("COM%1").arg(port);
    const QFileInfo entry(QDir::current().absoluteFilePath(link));
    if (entry.isSymLink() || entry.exists()) {
        // The device itself, not the link, so that the port's lock file is the one other
        // programs use for it; a broken link stays as it is and fails to open.
        const QString device = entry.canonicalFilePath();
        return {device.isEmpty() ? entry.absoluteFilePath() : device, {}};
    }
    const QStringList ports = orderSystemPorts(systemPorts());
    if (port >= 1 && port <= ports.size()) return {QStringLiteral("/dev/") + ports[port - 1], {}};
    const std::string name = link.toStdString();
    return {{},
            "No serial port " + std::to_string(port) + " (the system reports " +
                std::to_string(ports.size()) + "): link one as " + name +
                " in the working folder (ln -s /dev/serial/by-id/... " + name + ")"};
}

std::string openFailureReason(QSerialPort::SerialPortError error, const QString& errorString,
                              bool accessible) {
    const std::string text = win1252::fromQString(errorString);
    if (error != QSerialPort::PermissionError) return text;
    if (accessible) return "busy: another program is using the port (" + text + ")";
    return text +
           ": add yourself to the dialout group (sudo adduser $USER dialout) and log in again";
}
