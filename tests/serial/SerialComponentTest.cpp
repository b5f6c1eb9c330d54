#include "SerialComponent.h"
#include "CCMSCommCtrl.h"
#include "Error.h"
#include "Pty.h"
#include "ScratchDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kWaitMs = 5000;

// What the receive handler saw in one event: the event id, CommEvent, the first read of
// Input and a second read right after it.
struct Received {
    int id;
    std::int16_t commEvent;
    std::string input;
    std::string again;
};

class SerialComponentTest : public ::testing::Test {
protected:
    // No test may reach a real device: the system has no ports as far as these tests go.
    void SetUp() override {
        SerialComponent::setSystemPorts([] { return QStringList{}; });
    }

    // Records every event the way the window's receive handler reads it.
    void record(SerialComponent& component) {
        component.setEventSink([this, &component](int id) {
            Received r{id, component.commEvent(), component.input(), {}};
            r.again = component.input();
            received.push_back(r);
        });
    }

    std::string receivedText() const {
        std::string text;
        for (const auto& r : received)
            text += r.input;
        return text;
    }

    static QSerialPort& port(SerialComponent& component) {
        return *component.findChild<QSerialPort*>();
    }

    static bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, kWaitMs);
    }

    ScratchDir dir;
    std::vector<Received> received;
};

TEST_F(SerialComponentTest, StartsAsPortTwoAt9600EightBitsNoParityOneStop) {
    PtyPair pty;
    pty.linkAs("COM2");
    SerialComponent component;
    EXPECT_EQ(component.commPort(), 2);
    EXPECT_FALSE(component.portOpen());
    EXPECT_EQ(component.commEvent(), 0);
    EXPECT_EQ(component.input(), "");

    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();
    EXPECT_EQ(component.deviceName(), pty.slavePath());
    EXPECT_EQ(component.lastOpenError(), "");
    const termios t = pty.attributes();
    EXPECT_EQ(cfgetispeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);

    component.setPortOpen(false);
    EXPECT_FALSE(component.portOpen());
}

// Linux pseudo-terminals always keep 8 data bits and clear the parity enable bit, so the
// speed, the odd and mark/space parity bits and the stop bits are what a test can see.
TEST_F(SerialComponentTest, SettingsReachTheLine) {
    constexpr tcflag_t kVisible = PARODD | CMSPAR | CSTOPB;
    struct Case {
        const char* text;
        speed_t speed;
        tcflag_t flags; // of kVisible
    };
    const Case cases[] = {
        {"9600,N,8,1", B9600, 0},
        {"19200,e,7,2", B19200, CSTOPB},
        {"300,O,6,1", B300, PARODD},
        {"1200,m,7,1", B1200, PARODD | CMSPAR},
        {"2400,S,8,2", B2400, CMSPAR | CSTOPB},
        {"110,N,5,1.5", B110, CSTOPB},
    };
    PtyPair pty;
    pty.linkAs("COM1");
    SerialComponent component;
    component.setCommPort(1);
    for (const auto& c : cases) {
        component.setSettings(c.text);
        component.setPortOpen(true);
        ASSERT_TRUE(component.portOpen()) << c.text << ": " << component.lastOpenError();
        const termios t = pty.attributes();
        EXPECT_EQ(cfgetispeed(&t), c.speed) << c.text;
        EXPECT_EQ(t.c_cflag & kVisible, c.flags) << c.text;
        component.setPortOpen(false);
    }

    // An empty text keeps what was set before.
    component.setSettings("19200,O,7,1");
    component.setSettings("");
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();
    const termios t = pty.attributes();
    EXPECT_EQ(cfgetispeed(&t), speed_t(B19200));
    EXPECT_EQ(t.c_cflag & kVisible, tcflag_t(PARODD));
}

TEST_F(SerialComponentTest, BurstReachesTheHandlerOneCharacterPerEventInOrder) {
    PtyPair pty;
    pty.linkAs("COM1");
    SerialComponent component;
    record(component);
    component.setCommPort(1);
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();

    // Every byte value matters: NUL is passed on, CR and LF are plain characters here.
    QByteArray burst;
    for (int i = 0; i < 200; ++i)
        burst.append(char((i * 77 + 10) % 256));
    burst[0] = '\0';
    pty.write(burst);
    ASSERT_TRUE(waitFor([&] { return received.size() >= 200; })) << received.size();

    EXPECT_EQ(received.size(), 200u);
    EXPECT_EQ(QByteArray::fromStdString(receivedText()), burst);
    for (const auto& r : received) {
        EXPECT_EQ(r.id, SerialComponent::kOnComm);
        EXPECT_EQ(r.commEvent, 2);
        EXPECT_EQ(r.input.size(), 1u);
        EXPECT_EQ(r.again, "");
    }
    EXPECT_EQ(component.input(), "");
}

// A handler that runs an event loop of its own (as a message box does) while more
// characters arrive is not entered again, and the characters still come in order.
TEST_F(SerialComponentTest, HandlerRunningAnEventLoopIsNotReentered) {
    PtyPair pty;
    pty.linkAs("COM1");
    SerialComponent component;
    component.setCommPort(1);
    int depth = 0;
    int deepest = 0;
    std::string text;
    component.setEventSink([&](int) {
        ++depth;
        deepest = std::max(deepest, depth);
        text += component.input();
        if (text == "A") {
            pty.write("DEF");
            const bool arrived =
                QTest::qWaitFor([&] { return port(component).bytesAvailable() >= 5; }, kWaitMs);
            EXPECT_TRUE(arrived) << "the nested loop did not read the second burst";
        }
        --depth;
    });
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();

    pty.write("ABC");
    ASSERT_TRUE(waitFor([&] { return text.size() >= 6; })) << text;
    EXPECT_EQ(text, "ABCDEF");
    EXPECT_EQ(deepest, 1);
}

// While the handler is busy, at most the in-buffer's worth waits inside the program; the
// rest stays in the line until there is room, and nothing is lost.
TEST_F(SerialComponentTest, WaitingInputStaysBoundedWhileTheHandlerIsBusy) {
    PtyPair pty;
    pty.linkAs("COM1");
    SerialComponent component;
    component.setCommPort(1);
    QByteArray flood(3000, '\0');
    for (int i = 0; i < flood.size(); ++i)
        flood[i] = char('a' + i % 26);
    qint64 heldInside = 0;
    int heldInLine = 0;
    std::string text;
    component.setEventSink([&](int) {
        text += component.input();
        if (text != "A") return;
        pty.write(flood);
        QSerialPort& serial = port(component);
        const bool full = QTest::qWaitFor(
            [&] { return serial.bytesAvailable() >= SerialComponent::kInBufferSize; }, kWaitMs);
        EXPECT_TRUE(full);
        heldInside = serial.bytesAvailable();
        heldInLine = pty.pendingInput();
    });
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();

    pty.write("A");
    ASSERT_TRUE(waitFor([&] { return text.size() >= std::size_t(flood.size()) + 1; }))
        << text.size();
    EXPECT_EQ(heldInside, SerialComponent::kInBufferSize);
    EXPECT_EQ(heldInLine, flood.size() - SerialComponent::kInBufferSize);
    EXPECT_EQ(QByteArray::fromStdString(text), "A" + flood);
}

TEST_F(SerialComponentTest, HandlerClosingThePortEndsTheBatch) {
    PtyPair pty;
    pty.linkAs("COM1");
    SerialComponent component;
    component.setCommPort(1);
    std::string text;
    component.setEventSink([&](int) {
        text += component.input();
        if (text.size() == 3) component.setPortOpen(false);
    });
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();

    pty.write("ABCDEF");
    ASSERT_TRUE(waitFor([&] { return !component.portOpen(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(text, "ABC");
    EXPECT_EQ(component.lastOpenError(), "");
}

TEST_F(SerialComponentTest, FailedOpenReadsClosedAndKeepsTheReason) {
    PtyPair pty;
    pty.linkAs("COM1");
    ASSERT_TRUE(QFile::link(dir.path() + "/nothing-here", "COM4"));
    struct Case {
        const char* name;
        std::int16_t port;
        std::string settings;
        std::string reason; // part of the reason kept
    };
    const Case cases[] = {
        {"no link and no system port", 3, "9600,N,8,1",
         "No serial port 3 (the system reports 0): link one as COM3 in the working folder"},
        {"port number 0", 0, "9600,N,8,1", "link one as COM0"},
        {"link to a missing device", 4, "9600,N,8,1",
         "COM4 (" + dir.path().toStdString() + "/COM4)"},
        {"4 data bits", 1, "9600,N,4,1",
         "COM1: Unusable line settings \"9600,N,4,1\": Linux has no 4 data bits"},
        {"1.5 stop bits with 7 data bits", 1, "9600,N,7,1.5", "1.5 stop bits need 5 data bits"},
        {"no speed", 1, "fast,N,8,1", "the speed must be a positive whole number"},
    };
    for (const auto& c : cases) {
        SerialComponent component;
        record(component);
        component.setCommPort(c.port);
        EXPECT_NO_THROW(component.setSettings(c.settings)) << c.name;
        EXPECT_NO_THROW(component.setPortOpen(true)) << c.name;
        EXPECT_FALSE(component.portOpen()) << c.name;
        EXPECT_NE(component.lastOpenError().find(c.reason), std::string::npos)
            << c.name << ": " << component.lastOpenError();
        EXPECT_TRUE(received.empty()) << c.name;
    }
}

TEST_F(SerialComponentTest, PortHeldByAnotherIsReportedBusy) {
    PtyPair pty;
    pty.linkAs("COM1");
    SerialComponent first;
    first.setCommPort(1);
    first.setPortOpen(true);
    ASSERT_TRUE(first.portOpen()) << first.lastOpenError();

    SerialComponent second;
    second.setCommPort(1);
    second.setPortOpen(true);
    EXPECT_FALSE(second.portOpen());
    EXPECT_NE(second.lastOpenError().find("busy"), std::string::npos) << second.lastOpenError();

    // Once the first lets go, the second opens and forgets the old reason.
    first.setPortOpen(false);
    second.setPortOpen(true);
    EXPECT_TRUE(second.portOpen()) << second.lastOpenError();
    EXPECT_EQ(second.lastOpenError(), "");
}

TEST_F(SerialComponentTest, ReopensWithNewPortAndSettings) {
    PtyPair one;
    one.linkAs("COM1");
    PtyPair two;
    two.linkAs("COM2");
    SerialComponent component;
    record(component);
    component.setCommPort(1);
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();
    EXPECT_EQ(component.deviceName(), one.slavePath());
    EXPECT_THROW(component.setCommPort(2), Error);
    EXPECT_EQ(component.commPort(), 1);

    component.setPortOpen(false);
    component.setCommPort(2);
    component.setSettings("19200,E,7,1");
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();
    EXPECT_EQ(component.deviceName(), two.slavePath());
    const termios t = two.attributes();
    EXPECT_EQ(cfgetispeed(&t), speed_t(B19200));

    two.write("xy");
    ASSERT_TRUE(waitFor([&] { return received.size() >= 2; }));
    EXPECT_EQ(receivedText(), "xy");
}

// A lost pseudo-terminal makes QSerialPort report a read error over and over until the
// port is closed: the component closes it on the first one and raises no events for it.
TEST_F(SerialComponentTest, LostDeviceClosesThePortAtOnce) {
    auto pty = std::make_unique<PtyPair>();
    pty->linkAs("COM1");
    SerialComponent component;
    record(component);
    component.setCommPort(1);
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();
    QSignalSpy errors(&port(component), &QSerialPort::errorOccurred);

    pty->write("ok");
    ASSERT_TRUE(waitFor([&] { return received.size() >= 2; }));
    received.clear();

    pty->closeMaster();
    ASSERT_TRUE(waitFor([&] { return !component.portOpen(); }));
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(received.empty());
    EXPECT_GE(errors.count(), 1);
    EXPECT_LE(errors.count(), 2);
    EXPECT_NE(
        component.lastOpenError().find("COM1 (" + pty->slavePath().toStdString() + ") was lost"),
        std::string::npos)
        << component.lastOpenError();

    // A new device under the same name opens again.
    pty = std::make_unique<PtyPair>();
    pty->linkAs("COM1");
    component.setPortOpen(true);
    ASSERT_TRUE(component.portOpen()) << component.lastOpenError();
    EXPECT_EQ(component.lastOpenError(), "");
    pty->write("z");
    ASSERT_TRUE(waitFor([&] { return !received.empty(); }));
    EXPECT_EQ(receivedText(), "z");
}

TEST_F(SerialComponentTest, RegistryCreatesTheComponentOnlyWhileHostingIsOn) {
    registerSerialComponent();
    ComponentRegistry::enableHosting();
    std::unique_ptr<Component> created(ComponentRegistry::create(kSerialClassId, nullptr));
    ComponentRegistry::disableHosting();
    auto* serial = qobject_cast<SerialComponent*>(created.get());
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->commPort(), 2);
    EXPECT_FALSE(serial->portOpen());
    EXPECT_EQ(ComponentRegistry::create(kSerialClassId, nullptr), nullptr);
}

TEST_F(SerialComponentTest, WrapperWithoutComponentRefusesEveryRequest) {
    CCMSCommCtrl comm;
    const std::function<void()> requests[] = {
        [&] { comm.SetCommPort(1); },
        [&] { comm.GetCommPort(); },
        [&] { comm.SetSettings("9600,N,8,1"); },
        [&] { comm.SetPortOpen(true); },
        [&] { comm.GetPortOpen(); },
        [&] { comm.GetCommEvent(); },
        [&] { comm.GetInput(); },
        [&] { comm.GetLastOpenError(); },
        [&] { comm.GetDeviceName(); },
    };
    for (std::size_t i = 0; i < std::size(requests); ++i) {
        try {
            requests[i]();
            ADD_FAILURE() << "request " << i << " did not throw";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "The serial control is not available.") << i;
        }
    }
}

TEST_F(SerialComponentTest, WrapperReachesTheComponent) {
    PtyPair pty;
    pty.linkAs("COM3");
    SerialComponent component;
    CCMSCommCtrl comm;
    comm.attach(&component);
    std::string text;
    component.setEventSink([&](int) {
        if (comm.GetCommEvent() == 2) text += comm.GetInput();
    });

    comm.SetSettings("4800,N,8,1");
    comm.SetCommPort(3);
    comm.SetPortOpen(true);
    ASSERT_TRUE(comm.GetPortOpen()) << comm.GetLastOpenError();
    EXPECT_EQ(comm.GetCommPort(), 3);
    EXPECT_EQ(comm.GetDeviceName(), pty.slavePath());
    const termios t = pty.attributes();
    EXPECT_EQ(cfgetispeed(&t), speed_t(B4800));
    pty.write("hi");
    ASSERT_TRUE(waitFor([&] { return text.size() >= 2; }));
    EXPECT_EQ(text, "hi");

    comm.SetPortOpen(false);
    comm.SetCommPort(4);
    comm.SetPortOpen(true);
    EXPECT_FALSE(comm.GetPortOpen());
    EXPECT_NE(comm.GetLastOpenError().find("COM4"), std::string::npos);
}

} // namespace
