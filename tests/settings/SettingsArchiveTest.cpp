#include "SettingsArchive.h"

#include "Error.h"

#include <QBuffer>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VEMO_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VEMO_ASAN 1
#endif
#ifdef VEMO_ASAN
// From the sanitizer runtime; not every compiler ships its header.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));
#endif

namespace {

QByteArray store(const std::function<void(StoreArchive&)>& write) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    StoreArchive archive(buffer);
    write(archive);
    archive.flush();
    return bytes;
}

// A text of the given length that runs through the byte values 0x01 to 0xFF.
std::string byteRun(std::size_t length) {
    std::string text(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = char(i % 255 + 1);
    return text;
}

// The largest single allocation since reset(), where AddressSanitizer can tell it.
class LargestAllocation {
public:
    LargestAllocation() {
#ifdef VEMO_ASAN
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(
            [](const volatile void*, std::size_t size) {
                std::size_t seen = s_largest.load();
                while (size > seen && !s_largest.compare_exchange_weak(seen, size)) {
                }
            },
            [](const volatile void*) {});
        (void)installed;
#endif
        s_largest = 0;
    }
    static bool known() {
#ifdef VEMO_ASAN
        return true;
#else
        return false;
#endif
    }
    std::size_t bytes() const {
        return s_largest;
    }

private:
    static inline std::atomic<std::size_t> s_largest{0};
};

struct FormCase {
    const char* name;
    std::size_t length;
    const char* prefix;
};

class StringFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(StringFormTest, WritesThePrefixAndReadsTheTextBack) {
    const std::string text = byteRun(GetParam().length);
    const QByteArray bytes = store([&](StoreArchive& a) { a.writeString(text); });
    const QByteArray prefix = QByteArray::fromHex(GetParam().prefix);
    ASSERT_EQ(bytes.size(), prefix.size() + qsizetype(text.size()));
    EXPECT_EQ(bytes.left(prefix.size()).toHex(' '), prefix.toHex(' '));
    EXPECT_EQ(bytes.mid(prefix.size()).toStdString(), text);

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(LoadArchive(buffer).readString(), text);
    EXPECT_TRUE(buffer.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Lengths, StringFormTest,
                         ::testing::Values(FormCase{"Empty", 0, "00"}, FormCase{"OneByte", 1, "01"},
                                           FormCase{"LongestShort", 254, "FE"},
                                           FormCase{"FirstMiddle", 255, "FF FF 00"},
                                           FormCase{"Middle300", 300, "FF 2C 01"},
                                           FormCase{"LongestMiddle", 65533, "FF FD FF"},
                                           FormCase{"FirstLong", 65534, "FF FF FF FE FF 00 00"},
                                           FormCase{"Long70000", 70000, "FF FF FF 70 11 01 00"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StoreArchiveTest, KeepsTheOrderAcrossTheBufferAndDirectWrites) {
    const std::vector<std::size_t> lengths = {3, 4090, 0, 4096, 5000, 254, 70000, 1};
    const QByteArray bytes = store([&](StoreArchive& a) {
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            a.writeString(byteRun(lengths[i]));
            a.writeInt(std::int32_t(i) - 4);
        }
    });
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadArchive load(buffer);
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        EXPECT_EQ(load.readString(), byteRun(lengths[i])) << "text " << i;
        EXPECT_EQ(load.readInt(), std::int32_t(i) - 4) << "integer " << i;
    }
    EXPECT_TRUE(buffer.atEnd());
}

TEST(SettingsArchiveTest, IntegersAreLittleEndianTwosComplement) {
    const std::vector<std::pair<std::int32_t, const char*>> cases = {
        {0, "00 00 00 00"},          {1, "01 00 00 00"},         {-1, "ff ff ff ff"},
        {0x12345678, "78 56 34 12"}, {INT32_MAX, "ff ff ff 7f"}, {INT32_MIN, "00 00 00 80"},
    };
    for (const auto& [value, hex] : cases) {
        const std::int32_t written = value;
        const QByteArray bytes = store([written](StoreArchive& a) { a.writeInt(written); });
        EXPECT_EQ(bytes.toHex(' '), QByteArray(hex)) << value;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(LoadArchive(buffer).readInt(), value) << hex;
    }
}

TEST(LoadArchiveTest, ReadsUtf16TextIntoTheCodePage) {
    const std::string threeHundredAs(300, 'A');
    QByteArray wideAs;
    for (int i = 0; i < 300; ++i)
        wideAs += QByteArray::fromHex("41 00");
    const std::vector<std::tuple<const char*, QByteArray, std::string>> cases = {
        {"empty", QByteArray::fromHex("FF FE FF 00"), ""},
        {"one-byte count", QByteArray::fromHex("FF FE FF 03 47 00 FC 00 AC 20"), "G\xFC\x80"},
        {"16-bit count", QByteArray::fromHex("FF FE FF FF 2C 01") + wideAs, threeHundredAs},
        {"32-bit count", QByteArray::fromHex("FF FE FF FF FF FF 02 00 00 00 61 00 62 00"), "ab"},
        {"outside the code page", QByteArray::fromHex("FF FE FF 02 2D 4E 78 00"), "?x"},
    };
    for (const auto& [name, bytes, text] : cases) {
        QBuffer buffer;
        buffer.setData(bytes + QByteArray::fromHex("2A 00 00 00"));
        buffer.open(QIODevice::ReadOnly);
        LoadArchive load(buffer);
        EXPECT_EQ(load.readString(), text) << name;
        EXPECT_EQ(load.readInt(), 42) << name << ": the text ends where its count says";
    }
}

struct BadCase {
    const char* name;
    const char* hex;
    bool integer;
};

class EndOfFileTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(EndOfFileTest, RaisesTheEndOfFileErrorWithoutALargeAllocation) {
    QBuffer buffer;
    buffer.setData(QByteArray::fromHex(GetParam().hex));
    buffer.open(QIODevice::ReadOnly);
    LoadArchive load(buffer);
    const LargestAllocation largest;
    try {
        if (GetParam().integer)
            load.readInt();
        else
            load.readString();
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kEndOfFileMessage);
    }
    if (LargestAllocation::known()) {
        EXPECT_LT(largest.bytes(), 1u << 16);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EndOfFileTest,
    ::testing::Values(BadCase{"NothingForAText", "", false},
                      BadCase{"ThreeBytesForAnInteger", "01 02 03", true},
                      BadCase{"ShortLengthPastTheEnd", "05 41 42", false},
                      BadCase{"MiddlePrefixCut", "FF 2C", false},
                      BadCase{"MiddleLengthPastTheEnd", "FF 2C 01 41", false},
                      BadCase{"LongPrefixCut", "FF FF FF 00 00", false},
                      BadCase{"LongLengthTwoToThe31", "FF FF FF 00 00 00 80 41 42", false},
                      BadCase{"LongLengthAllOnes", "FF FF FF FF FF FF FF", false},
                      BadCase{"LongLengthPastTheEnd", "FF FF FF FF FF FF 7F 41 42", false},
                      BadCase{"Utf16CountPastTheEnd", "FF FE FF 05 41 00", false},
                      BadCase{"Utf16LongCountPastTheEnd", "FF FE FF FF FF FF FF FF FF 3F 41 00",
                              false},
                      BadCase{"Utf16OddByteAtTheEnd", "FF FE FF 01 41", false},
                      BadCase{"Utf16MarkTwice", "FF FE FF FF FE FF 00", false}),
    [](const auto& info) { return std::string(info.param.name); });

// A device whose every write fails, as a full disk does.
class FullDevice : public QIODevice {
public:
    FullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override {
        setErrorString("No space left on device");
        return -1;
    }
};

TEST(StoreArchiveTest, AFailedWriteRaisesTheDevicesReason) {
    FullDevice device;
    StoreArchive buffered(device);
    buffered.writeString("abc"); // still in the buffer
    try {
        buffered.flush();
        FAIL() << "no error on flush";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "No space left on device");
    }
    StoreArchive direct(device);
    EXPECT_THROW(direct.writeString(std::string(5000, 'x')), Error);
}

} // namespace
