#include "SerialComponent.h"

#include "Error.h"
#include "Win1252.h"

#include <QFile>
#include <unistd.h>

namespace {

SystemPorts& systemPorts() {
    static SystemPorts ports = presentSystemPorts;
    return ports;
}

} // namespace

SerialComponent::SerialComponent(QWidget* parent)
    : Component(parent) {
    setSettings("9600,n,8,1");
    m_port.setReadBufferSize(kInBufferSize);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialComponent::deliverReceived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialComponent::onError);
}

void SerialComponent::setSystemPorts(SystemPorts ports) {
    systemPorts() = std::move(ports);
}

std::string SerialComponent::portName() const {
    return "COM" + std::to_string(m_commPort);
}

std::string SerialComponent::deviceLabel() const {
    return portName() + " (" + win1252::fromQString(m_device) + ")";
}

void SerialComponent::setCommPort(std::int16_t port) {
    if (m_port.isOpen()) throw Error("The port number cannot change while the port is open.");
    m_commPort = port;
}

void SerialComponent::setSettings(const std::string& text) {
    if (text.empty()) return;
    std::string problem;
    m_settings = parseLineSettings(text, problem);
    m_settingsProblem = problem;
}

void SerialComponent::setPortOpen(bool open) {
    if (open && !m_port.isOpen())
        openPort();
    else if (!open && m_port.isOpen())
        m_port.close();
}

void SerialComponent::openPort() {
    m_lastError.clear();
    const PortDevice device = findPortDevice(m_commPort, systemPorts());
    m_device = device.path;
    if (!m_settings) {
        m_lastError = portName() + ": " + m_settingsProblem;
        return;
    }
    if (device.path.isEmpty()) {
        m_lastError = device.problem;
        return;
    }
    m_port.setPortName(device.path);
    m_port.setBaudRate(m_settings->baudRate);
    m_port.setParity(m_settings->parity);
    m_port.setDataBits(m_settings->dataBits);
    m_port.setStopBits(m_settings->stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadOnly)) {
        const bool accessible = ::access(QFile::encodeName(m_device).constData(), R_OK) == 0;
        m_lastError = deviceLabel() + ": " +
                      openFailureReason(m_port.error(), m_port.errorString(), accessible);
        return;
    }
    // Pseudo-terminals have no modem lines: a refusal here is not an error of the port.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(false);
    m_port.clearError();
}

// Hands each waiting character on as an event of its own, in arrival order, and stops when
// the buffer is empty or the handler closed the port. Qt never emits readyRead recursively;
// the flag holds this loop to the same promise, so a handler that runs an event loop of its
// own (a message box) is not entered again from here.
void SerialComponent::deliverReceived() {
    if (m_delivering) return;
    m_delivering = true;
    char c = 0;
    while (m_port.isOpen() && m_port.getChar(&c)) {
        m_input = c;
        m_commEvent = kReceiveEvent;
        raiseEvent(kOnComm);
        m_input.reset();
    }
    m_delivering = false;
}

std::string SerialComponent::input() {
    if (!m_input) return {};
    const char c = *m_input;
    m_input.reset();
    return std::string(1, c);
}

// A device that goes away (an adapter pulled, a pseudo-terminal closed) shows as a read or
// resource error that repeats until the port is closed, so it is closed at once.
void SerialComponent::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    m_lastError = deviceLabel() + " was lost: the device went away or cannot be read.";
    m_port.close();
}

void registerSerialComponent() {
    ComponentRegistry::registerFactory(kSerialClassId,
                                       [](QWidget* parent) { return new SerialComponent(parent); });
}
