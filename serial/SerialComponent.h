#pragma once

#include "Component.h"
#include "LineSettings.h"
#include "PortDevice.h"

#include <QSerialPort>
#include <cstdint>
#include <optional>
#include <string>

inline constexpr const char* kSerialClassId = "{648A5600-2C6E-101B-82B6-000000000014}";

// The serial communications component: a receive-only port whose characters reach the
// hosting window one per OnComm event (id 1), each with CommEvent 2 and Input holding that
// one character. It starts as port 2 with "9600,n,8,1", no flow control, DTR raised while
// open and RTS low; NUL characters are passed on.
class SerialComponent : public Component {
    Q_OBJECT
public:
    static constexpr int kOnComm = 1;
    static constexpr std::int16_t kReceiveEvent = 2;
    // At most this many received bytes wait inside the program; the rest wait in the line.
    static constexpr qint64 kInBufferSize = 1024;

    explicit SerialComponent(QWidget* parent = nullptr);

    // Takes effect at the next open; refused while the port is open.
    void setCommPort(std::int16_t port);
    std::int16_t commPort() const { return m_commPort; }
    // An empty text keeps the current settings. A text the line cannot use is taken without
    // complaint and makes the next open fail with its reason.
    void setSettings(const std::string& text);
    void setPortOpen(bool open);
    bool portOpen() const { return m_port.isOpen(); }
    std::int16_t commEvent() const { return m_commEvent; }
    // The character of the event being handled, once; empty when none waits.
    std::string input();
    // Why the last open failed or the open port was lost, as program text (Windows-1252);
    // empty while all is well.
    std::string lastOpenError() const { return m_lastError; }
    QString deviceName() const { return m_device; }

    // Where the system's ports come from; tests replace it so that no real device is used.
    static void setSystemPorts(SystemPorts ports);

private:
    void openPort();
    void deliverReceived();
    void onError(QSerialPort::SerialPortError error);
    std::string portName() const;
    std::string deviceLabel() const;

    QSerialPort m_port{this};
    std::int16_t m_commPort = 2;
    std::optional<LineSettings> m_settings;
    std::string m_settingsProblem;
    std::int16_t m_commEvent = 0;
    std::optional<char> m_input;
    bool m_delivering = false;
    std::string m_lastError;
    QString m_device;
};

// Makes the component available to dialog templates under kSerialClassId.
void registerSerialComponent();
