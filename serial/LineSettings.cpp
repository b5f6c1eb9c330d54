#include "LineSettings.h"

#include <vector>

namespace {

std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else if (c != ' ' && c != '\t')
            fields.back().push_back(c);
    }
    return fields;
}

std::optional<qint32> speed(const std::string& field) {
    if (field.empty() || field.size() > 9 ||
        field.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long value = std::stol(field);
    return value > 0 ? std::optional<qint32>(qint32(value)) : std::nullopt;
}

std::optional<QSerialPort::Parity> parity(const std::string& field) {
    if (field.size() != 1) return std::nullopt;
    switch (field[0] | 0x20) {
    case 'e':
        return QSerialPort::EvenParity;
    case 'm':
        return QSerialPort::MarkParity;
    case 'n':
        return QSerialPort::NoParity;
    case 'o':
        return QSerialPort::OddParity;
    case 's':
        return QSerialPort::SpaceParity;
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<LineSettings> parseLineSettings(const std::string& text, std::string& reason) {
    const auto fail = [&](const std::string& why) {
        reason = "Unusable line settings \"" + text + "\": " + why;
        return std::nullopt;
    };
    const std::vector<std::string> fields = splitFields(text);
    if (fields.size() != 4)
        return fail("give speed, parity, data bits and stop bits, such as 9600,N,8,1.");
    LineSettings settings;
    const auto baud = speed(fields[0]);
    if (!baud) return fail("the speed must be a positive whole number.");
    settings.baudRate = *baud;
    const auto p = parity(fields[1]);
    if (!p) return fail("the parity must be E, M, N, O or S.");
    settings.parity = *p;
    const std::string& bits = fields[2];
    if (bits == "4") return fail("Linux has no 4 data bits.");
    if (bits.size() != 1 || bits[0] < '5' || bits[0] > '8')
        return fail("the data bits must be 5, 6, 7 or 8.");
    settings.dataBits = QSerialPort::DataBits(bits[0] - '0');
    const std::string& stop = fields[3];
    if (stop == "1")
        settings.stopBits = QSerialPort::OneStop;
    else if (stop == "2")
        settings.stopBits = QSerialPort::TwoStop;
    else if (stop == "1.5" && settings.dataBits == QSerialPort::Data5)
        settings.stopBits = QSerialPort::TwoStop;
    else if (stop == "1.5")
        return fail("1.5 stop bits need 5 data bits.");
    else
        return fail("the stop bits must be 1, 1.5 or 2.");
    return settings;
}
