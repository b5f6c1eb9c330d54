#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

// Which device a port number opens: the entry COMn in the working directory when there is
// one (a link such as COM1 -> /dev/serial/by-id/...), otherwise the n-th serial port the
// system reports, USB adapters first (ttyUSB, then ttyACM, each by number), then built-in
// ports (ttyS by number). A link resolves to the device it names.
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
// Why QSerialPort could not open a device that exists, in words that say what to do.
// `accessible` tells whether this user may read the device at all: a permission error on
// a device the user may read comes from another program holding it.
std::string openFailureReason(QSerialPort::SerialPortError error, const QString& errorString,
                              bool accessible);
