#pragma once

#include <QString>
#include <cstdint>
#include <string>

// "Com 2 OK: 9600,N,8,1 echo:1": the port number the control reports, whether it is open,
// the line settings as the window holds them and the state of the echo box.
std::string formatStatusLine(std::int16_t port, bool open, const std::string& settings, int echo);
// The status line's tool tip: the device an open port uses, or why the port is not open.
QString statusToolTip(std::int16_t port, bool open, const QString& device,
                      const std::string& problem);
