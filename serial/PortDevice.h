#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

// Which device a port number opens: the entry COMn in the working directory when there is
// one (a link such as COM1 -> /dev/serial/by-id/...), otherwise the n-th serial port the
// system reports, USB adapters first (ttyUSB, then ttyACM, each by number), then built-in
// ports (ttyS by number).
struct PortDevice {
    QString path;        // empty when there is none
    std::string problem; // why there is none
};

using SystemPorts = std::function<QStringList()>; // names such as "ttyUSB0"

PortDevice findPortDevice(int port, const SystemPorts& systemPorts);
// The system's ports in the order port numbers count them.
QStringList orderSystemPorts(QStringList names);
// The ports that QSerialPortInfo reports as present.
QStringList presentSystemPorts();
