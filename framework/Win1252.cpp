#include "Win1252.h"

#include <QFile>
#include <array>

namespace win1252 {
namespace {

// Code points of the bytes 0x80 to 0x9F. The five bytes the code page leaves undefined
// map to the C1 control with the same value, which keeps the mapping one to one.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t codePoint(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t(byte);
}

char byteFor(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return char(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == unit) return char(0x80 + i);
    return '?';
}

} // namespace

QString toQString(const std::string& text) {
    QString result(qsizetype(text.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i)
        result[qsizetype(i)] = QChar(codePoint(static_cast<unsigned char>(text[i])));
    return result;
}

std::string fromQString(const QString& text) {
    std::string result;
    result.reserve(std::size_t(text.size()));
    for (QChar c : text)
        result.push_back(byteFor(c.unicode()));
    return result;
}

char toUpper(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') return char(byte - 0x20);
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return char(byte - 0x20);
    switch (byte) {
    case 0x9A: // š
    case 0x9C: // œ
    case 0x9E: // ž
        return char(byte - 0x10);
    case 0xFF: // ÿ
        return char(0x9F);
    default:
        return c;
    }
}

void toUpperInPlace(std::string& text) {
    for (char& c : text)
        c = toUpper(c);
}

QByteArray localPath(const std::string& path) {
    return QFile::encodeName(toQString(path));
}

} // namespace win1252
