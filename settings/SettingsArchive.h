#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>

class QIODevice;

// "%1" of the end-of-file message stays empty, hence the two blanks.
inline constexpr const char* kEndOfFileMessage = "An attempt was made to access  past its end.";

// Reads the settings file's two encodings: counted strings and 32-bit little-endian
// integers. A counted string's length is one byte (0-254), or 0xFF and 16 bits (up to
// 65533), or 0xFF 0xFFFF and 32 bits; 0xFF 0xFFFE announces a UTF-16 text whose character
// count follows in one of those forms. Reading past the end of the device, or a 32-bit
// length of 2^31 or more, raises Error(kEndOfFileMessage); nothing larger than what is left
// of the device is ever allocated. The device does its own read buffering.
class LoadArchive {
public:
    explicit LoadArchive(QIODevice& device)
        : m_device(device) {}
    std::string readString();
    std::int32_t readInt();

private:
    QByteArray readBytes(qint64 count);
    std::uint32_t readLittleEndian(int bytes);
    qint64 readLength();

    QIODevice& m_device;
};

// Writes the same encodings through a 4096-byte buffer; texts longer than the buffer go to
// the device directly. flush() writes out what is buffered. A failed device write raises
// Error with the device's errorString().
class StoreArchive {
public:
    explicit StoreArchive(QIODevice& device)
        : m_device(device) {}
    void writeString(const std::string& text);
    void writeInt(std::int32_t value);
    void flush();

private:
    void writeLittleEndian(std::uint32_t value, int bytes);
    void write(const char* data, qsizetype size);
    void writeToDevice(const char* data, qsizetype size);

    static constexpr qsizetype kBufferSize = 4096;
    QIODevice& m_device;
    QByteArray m_buffer;
};
