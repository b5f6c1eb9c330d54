#pragma once

#include <QSerialPort>
#include <optional>
#include <string>

// Line settings as the serial control takes them: "speed,parity,data bits,stop bits", such
// as "9600,N,8,1". Speed is any positive integer, parity one of E, M, N, O, S in either
// case, data bits 5 to 8, stop bits 1, 1.5 or 2.
struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// The settings, or nothing with the reason in `reason` when the line hardware cannot use
// them. 1.5 stop bits exist only with 5 data bits, where the UART sends two stop bits as
// one and a half.
std::optional<LineSettings> parseLineSettings(const std::string& text, std::string& reason);
