#include "CCMSCommCtrl.h"

#include "Error.h"
#include "SerialComponent.h"

SerialComponent& CCMSCommCtrl::component() const {
    if (!m_component) throw Error("The serial control is not available.");
    return *m_component;
}

void CCMSCommCtrl::SetCommPort(short port) {
    component().setCommPort(port);
}
short CCMSCommCtrl::GetCommPort() const {
    return component().commPort();
}
void CCMSCommCtrl::SetSettings(const std::string& settings) {
    component().setSettings(settings);
}
void CCMSCommCtrl::SetPortOpen(bool open) {
    component().setPortOpen(open);
}
bool CCMSCommCtrl::GetPortOpen() const {
    return component().portOpen();
}
short CCMSCommCtrl::GetCommEvent() const {
    return component().commEvent();
}
std::string CCMSCommCtrl::GetInput() {
    return component().input();
}
std::string CCMSCommCtrl::GetLastOpenError() const {
    return component().lastOpenError();
}
QString CCMSCommCtrl::GetDeviceName() const {
    return component().deviceName();
}
