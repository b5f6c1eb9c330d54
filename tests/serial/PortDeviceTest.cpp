#include "PortDevice.h"
#include "Pty.h"
#include "ScratchDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(PortDevice, CountsUsbAdaptersFirstThenBuiltInPortsEachByNumber) {
    struct Case {
        const char* name;
        QStringList present;
        QStringList ordered;
    };
    const Case cases[] = {
        {"one adapter", {"ttyUSB0"}, {"ttyUSB0"}},
        {"USB before ACM before built-in",
         {"ttyS0", "ttyACM0", "ttyUSB0"},
         {"ttyUSB0", "ttyACM0", "ttyS0"}},
        {"numbers compare as numbers, not as text",
         {"ttyUSB10", "ttyUSB2", "ttyS10", "ttyS9", "ttyACM1", "ttyACM0"},
         {"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyACM1", "ttyS9", "ttyS10"}},
        {"other kinds come last, by name",
         {"ttyAMA0", "rfcomm0", "ttyS1"},
         {"ttyS1", "rfcomm0", "ttyAMA0"}},
        {"none", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(orderSystemPorts(c.present), c.ordered) << c.name;
}

TEST(PortDevice, PortNumberPicksTheNthSystemPortOrSaysHowToLinkOne) {
    ScratchDir dir;
    const SystemPorts two = [] { return QStringList{"ttyS0", "ttyUSB3"}; };
    EXPECT_EQ(findPortDevice(1, two).path, "/dev/ttyUSB3");
    EXPECT_EQ(findPortDevice(2, two).path, "/dev/ttyS0");
    for (int port : {3, 0, -1}) {
        const PortDevice none = findPortDevice(port, two);
        EXPECT_TRUE(none.path.isEmpty()) << port;
        const std::string name = "COM" + std::to_string(port);
        EXPECT_NE(none.problem.find("No serial port " + std::to_string(port)), std::string::npos)
            << none.problem;
        EXPECT_NE(none.problem.find("ln -s /dev/serial/by-id/... " + name), std::string::npos)
            << none.problem;
    }
}

TEST(PortDevice, ComLinkInTheWorkingFolderComesBeforeTheSystemPorts) {
    ScratchDir dir;
    PtyPair pty;
    pty.linkAs("COM2");
    bool asked = false;
    const SystemPorts ports = [&] {
        asked = true;
        return QStringList{"ttyUSB0", "ttyUSB1"};
    };
    // The link resolves to the device itself.
    EXPECT_EQ(findPortDevice(2, ports).path, pty.slavePath());
    EXPECT_FALSE(asked);
    EXPECT_EQ(findPortDevice(1, ports).path, "/dev/ttyUSB0");

    // A broken link still names the port: opening it fails with the system's reason.
    ASSERT_TRUE(QFile::link(dir.path() + "/gone", "COM3"));
    EXPECT_EQ(findPortDevice(3, ports).path, dir.path() + "/COM3");
}

TEST(PortDevice, OpenFailureReasonTellsPermissionFromBusy) {
    const std::string denied =
        openFailureReason(QSerialPort::PermissionError, "Permission denied", false);
    EXPECT_NE(denied.find("Permission denied"), std::string::npos) << denied;
    EXPECT_NE(denied.find("dialout group"), std::string::npos) << denied;

    const std::string busy =
        openFailureReason(QSerialPort::PermissionError, "Device or resource busy", true);
    EXPECT_NE(busy.find("busy: another program"), std::string::npos) << busy;
    EXPECT_EQ(busy.find("dialout"), std::string::npos) << busy;

    EXPECT_EQ(
        openFailureReason(QSerialPort::DeviceNotFoundError, "No such file or directory", false),
        "No such file or directory");
}

} // namespace
