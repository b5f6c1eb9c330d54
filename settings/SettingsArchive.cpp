#include "SettingsArchive.h"

#include "Error.h"
#include "Win1252.h"

#include <QIODevice>

namespace {

constexpr std::uint32_t kLong = 0xFF;
constexpr std::uint32_t kWide = 0xFFFE;
constexpr std::uint32_t kLonger = 0xFFFF;

} // namespace

QByteArray LoadArchive::readBytes(qint64 count) {
    if (count > m_device.bytesAvailable()) throw Error(kEndOfFileMessage);
    QByteArray bytes = m_device.read(count);
    if (bytes.size() != count) throw Error(kEndOfFileMessage);
    return bytes;
}

std::uint32_t LoadArchive::readLittleEndian(int bytes) {
    const QByteArray raw = readBytes(bytes);
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(raw[i]);
    return value;
}

// A length in one of the three forms; a UTF-16 mark is returned as -1.
qint64 LoadArchive::readLength() {
    const std::uint32_t byte = readLittleEndian(1);
    if (byte < kLong) return byte;
    const std::uint32_t word = readLittleEndian(2);
    if (word == kWide) return -1;
    if (word < kLonger) return word;
    const std::uint32_t length = readLittleEndian(4);
    if (length >= 0x80000000u) throw Error(kEndOfFileMessage);
    return length;
}

std::string LoadArchive::readString() {
    const qint64 length = readLength();
    if (length >= 0) {
        const QByteArray bytes = readBytes(length);
        return bytes.toStdString();
    }
    const qint64 characters = readLength();
    if (characters < 0) throw Error(kEndOfFileMessage);
    const QByteArray utf16 = readBytes(characters * 2);
    QString text(qsizetype(characters), Qt::Uninitialized);
    for (qsizetype i = 0; i < characters; ++i)
        text[i] = QChar(char16_t(static_cast<unsigned char>(utf16[2 * i]) |
                                 static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
    return win1252::fromQString(text);
}

std::int32_t LoadArchive::readInt() {
    return std::int32_t(readLittleEndian(4));
}

void StoreArchive::writeLittleEndian(std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i, value >>= 8)
        m_buffer.append(char(value & 0xFF));
    if (m_buffer.size() >= kBufferSize) flush();
}

void StoreArchive::writeString(const std::string& text) {
    const std::size_t length = text.size();
    if (length < kLong) {
        writeLittleEndian(std::uint32_t(length), 1);
    } else if (length < kWide) {
        writeLittleEndian(kLong, 1);
        writeLittleEndian(std::uint32_t(length), 2);
    } else {
        writeLittleEndian(kLong, 1);
        writeLittleEndian(kLonger, 2);
        writeLittleEndian(std::uint32_t(length), 4);
    }
    m_buffer.append(text.data(), qsizetype(length));
    if (m_buffer.size() >= kBufferSize) flush();
}

void StoreArchive::writeInt(std::int32_t value) {
    writeLittleEndian(std::uint32_t(value), 4);
}

void StoreArchive::flush() {
    if (m_buffer.isEmpty()) return;
    if (m_device.write(m_buffer) != m_buffer.size())
        throw Error(m_device.errorString().toStdString());
    m_buffer.clear();
}
