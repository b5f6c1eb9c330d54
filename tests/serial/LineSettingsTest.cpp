#include "LineSettings.h"

#include <gtest/gtest.h>

namespace {

struct Accepted {
    const char* text;
    qint32 baudRate;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
};

TEST(LineSettings, ReadsEveryFieldTheLineCanUse) {
    using P = QSerialPort;
    const Accepted cases[] = {
        {"9600,N,8,1", 9600, P::NoParity, P::Data8, P::OneStop},
        {"9600,n,8,1", 9600, P::NoParity, P::Data8, P::OneStop},
        {"19200,E,7,2", 19200, P::EvenParity, P::Data7, P::TwoStop},
        {"300,o,6,1", 300, P::OddParity, P::Data6, P::OneStop},
        {"1200,M,7,1", 1200, P::MarkParity, P::Data7, P::OneStop},
        {"2400,s,8,2", 2400, P::SpaceParity, P::Data8, P::TwoStop},
        // A speed no standard table holds is still a speed.
        {"12345,N,8,1", 12345, P::NoParity, P::Data8, P::OneStop},
        {"1,N,8,1", 1, P::NoParity, P::Data8, P::OneStop},
        // The UART sends two stop bits as one and a half when the character has 5 bits.
        {"110,N,5,1.5", 110, P::NoParity, P::Data5, P::TwoStop},
        {"110,N,5,2", 110, P::NoParity, P::Data5, P::TwoStop},
        {" 9600 , N , 8 , 1 ", 9600, P::NoParity, P::Data8, P::OneStop},
    };
    for (const auto& c : cases) {
        std::string reason;
        const auto settings = parseLineSettings(c.text, reason);
        ASSERT_TRUE(settings) << c.text << ": " << reason;
        EXPECT_EQ(settings->baudRate, c.baudRate) << c.text;
        EXPECT_EQ(settings->parity, c.parity) << c.text;
        EXPECT_EQ(settings->dataBits, c.dataBits) << c.text;
        EXPECT_EQ(settings->stopBits, c.stopBits) << c.text;
    }
}

struct Refused {
    const char* name;
    std::string text;
    const char* reason; // part of the reason given
};

TEST(LineSettings, RefusesWhatTheLineCannotUseAndSaysWhy) {
    using namespace std::string_literals;
    const Refused cases[] = {
        {"empty", "", "such as 9600,N,8,1"},
        {"three fields", "9600,N,8", "such as 9600,N,8,1"},
        {"five fields", "9600,N,8,1,1", "such as 9600,N,8,1"},
        {"zero speed", "0,N,8,1", "positive whole number"},
        {"negative speed", "-9600,N,8,1", "positive whole number"},
        {"speed with a fraction", "9600.5,N,8,1", "positive whole number"},
        {"speed beyond any line", "99999999999,N,8,1", "positive whole number"},
        {"no speed", ",N,8,1", "positive whole number"},
        {"unknown parity", "9600,X,8,1", "E, M, N, O or S"},
        {"parity as a word", "9600,None,8,1", "E, M, N, O or S"},
        {"parity byte above 127", "9600,\xC5,8,1", "E, M, N, O or S"},
        {"4 data bits", "9600,N,4,1", "Linux has no 4 data bits"},
        {"9 data bits", "9600,N,9,1", "5, 6, 7 or 8"},
        {"no data bits", "9600,N,,1", "5, 6, 7 or 8"},
        {"1.5 stop bits with 8 data bits", "9600,N,8,1.5", "1.5 stop bits need 5 data bits"},
        {"3 stop bits", "9600,N,8,3", "1, 1.5 or 2"},
        {"a NUL inside", "9600,N,8,1\0"s, "1, 1.5 or 2"},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(parseLineSettings(c.text, reason)) << c.name;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
    }
}

} // namespace
