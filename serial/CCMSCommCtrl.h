#pragma once

#include <QString>
#include <cstdint>
#include <string>

class SerialComponent;

// The program's only way to the serial component: one accessor per property. It keeps no
// state but the component it is attached to.
class CCMSCommCtrl {
public:
    void attach(SerialComponent* component) { m_component = component; }

    void SetCommPort(short port);
    short GetCommPort() const;
    void SetSettings(const std::string& settings);
    void SetPortOpen(bool open);
    bool GetPortOpen() const;
    short GetCommEvent() const;
    std::string GetInput();
    std::string GetLastOpenError() const;
    QString GetDeviceName() const;

private:
    SerialComponent& component() const;

    SerialComponent* m_component = nullptr;
};
