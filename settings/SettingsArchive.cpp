#include "SettingsArchive.h"

#include "Error.h"
#include "Win1252.h"

#include <QIODevice>
#include <QString>

namespace {

// Prefix values: 0xFF leads to a 16-bit length; of those, 0xFFFE marks UTF-16 text and
// 0xFFFF leads to a 32-bit length.
constexpr std::uint32_t kLong = 0xFF;
constexpr std::uint32_t kWide = 0xFFFE;
constexpr std::uint32_t kLonger = 0xFFFF;
// The reader refuses 32-bit lengths from here on, so the writer never writes one.
constexpr std::uint64_t kLengthLimit = 0x80000000u;

} // namespace

QByteArray LoadArchive::readBytes(qint64 count) {
    // Checked before reading, so a length from the file never sizes an allocation alone.
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

// A length in one of the three forms; the UTF-16 mark is returned as -1.
qint64 LoadArchive::readLength() {
    const std::uint32_t byte = readLittleEndian(1);
    if (byte < kLong) return byte;
    const std::uint32_t word = readLittleEndian(2);
    if (word == kWide) return -1;
    if (word < kLonger) return word;
    const std::uint32_t length = readLittleEndian(4);
    if (length >= kLengthLimit) throw Error(kEndOfFileMessage);
    return length;
}

std::string LoadArchive::readString() {
    const qint64 length = readLength();
    if (length >= 0) return readBytes(length).toStdString();
    // The character count after a UTF-16 mark has one of the three plain forms only.
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
    char raw[4];
    for (int i = 0; i < bytes; ++i, value >>= 8)
        raw[i] = char(value & 0xFF);
    write(raw, bytes);
}

void StoreArchive::writeString(const std::string& text) {
    const std::size_t length = text.size();
    if (length >= kLengthLimit) throw Error("A text of 2 GB or more cannot be stored.");
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
    write(text.data(), qsizetype(length));
}

void StoreArchive::writeInt(std::int32_t value) {
    writeLittleEndian(std::uint32_t(value), 4);
}

void StoreArchive::write(const char* data, qsizetype size) {
    if (m_buffer.size() + size > kBufferSize) flush();
    if (size >= kBufferSize)
        writeToDevice(data, size);
    else
        m_buffer.append(data, size);
}

void StoreArchive::writeToDevice(const char* data, qsizetype size) {
    if (m_device.write(data, size) != size)
        throw Error(win1252::fromQString(m_device.errorString()));
}

void StoreArchive::flush() {
    if (m_buffer.isEmpty()) return;
    writeToDevice(m_buffer.constData(), m_buffer.size());
    m_buffer.clear();
}
