#include "StatusLine.h"

#include "Win1252.h"

std::string formatStatusLine(std::int16_t port, bool open, const std::string& settings, int echo) {
    return "Com " + std::to_string(port) + (open ? " OK: " : " ERR: ") + settings +
           " echo:" + std::to_string(echo);
}

QString statusToolTip(std::int16_t port, bool open, const QString& device,
                      const std::string& problem) {
    if (open) return QStringLiteral("COM%1 is %2").arg(port).arg(device);
    if (!problem.empty()) return win1252::toQString(problem);
    return QStringLiteral("COM%1 is closed").arg(port);
}
