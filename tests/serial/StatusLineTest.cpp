#include "StatusLine.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusLine, ShowsPortStateSettingsAndEcho) {
    struct Case {
        std::int16_t port;
        bool open;
        std::string settings;
        int echo;
        std::string expected;
    };
    const Case cases[] = {
        {2, true, "9600,N,8,1", 1, "Com 2 OK: 9600,N,8,1 echo:1"},
        {1, false, "9600,N,8,1", 0, "Com 1 ERR: 9600,N,8,1 echo:0"},
        {1, true, "", 0, "Com 1 OK:  echo:0"},
        {7, false, "19200,e,7,2", 0, "Com 7 ERR: 19200,e,7,2 echo:0"},
        {-3, false, "x", 1, "Com -3 ERR: x echo:1"},
        {32767, true, "9600,N,8,1", 0, "Com 32767 OK: 9600,N,8,1 echo:0"},
        // The settings text is shown as it is, never read as a format.
        {1, true, "%s%n%d,N,8,1", 0, "Com 1 OK: %s%n%d,N,8,1 echo:0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatStatusLine(c.port, c.open, c.settings, c.echo), c.expected);
}

TEST(StatusLine, ToolTipNamesTheDeviceOrTheReason) {
    EXPECT_EQ(statusToolTip(1, true, "/dev/ttyUSB0", ""), "COM1 is /dev/ttyUSB0");
    // A reason kept from an earlier failure no longer applies once the port is open.
    EXPECT_EQ(statusToolTip(1, true, "/dev/ttyUSB0", "old"), "COM1 is /dev/ttyUSB0");
    EXPECT_EQ(statusToolTip(3, false, "", "No port \xB0"), QString("No port ") + QChar(0xB0));
    EXPECT_EQ(statusToolTip(2, false, "/dev/ttyS0", ""), "COM2 is closed");
}

} // namespace
