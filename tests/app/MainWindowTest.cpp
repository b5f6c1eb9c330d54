#include "Component.h"
#include "ProbeDlg.h"
#include "Pty.h"
#include "RecordingMessageSink.h"
#include "Resources.h"
#include "ScratchDir.h"
#include "SerialComponent.h"
#include "SettingsBytes.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr std::time_t kJuly13th2000 = 963511402; // Thu Jul 13 18:03:22 2000 UTC
const std::string kEndOfFile = "An attempt was made to access  past its end.";

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ComponentRegistry::enableHosting();
        registerSerialComponent();
        SerialComponent::setSystemPorts([] { return QStringList{}; }); // never a real device
    }

    std::unique_ptr<CProbeDlg> start() {
        auto window = std::make_unique<CProbeDlg>(nullptr, [] { return kJuly13th2000; });
        EXPECT_TRUE(window->create());
        window->show();
        return window;
    }

    // Starts with the example settings file, whose port 2 reads from the pseudo-terminal.
    std::unique_ptr<CProbeDlg> startOnExample(PtyPair& pty) {
        dir.write("vemo.dat", exampleSettingsFile());
        pty.linkAs("COM2");
        return start();
    }

    void send(PtyPair& pty, CProbeDlg& window, const QByteArray& line, const std::string& status) {
        pty.write(line);
        QTRY_COMPARE_WITH_TIMEOUT(window.controlText(kStatusLine), status, 5000);
    }

    ScratchDir dir;
    RecordingMessageSink messages;
};

TEST_F(MainWindowTest, StartsWithoutSettingsFileOnPortOne) {
    PtyPair pty;
    pty.linkAs("COM1");
    auto window = start();
    EXPECT_EQ(window->controlText(kStatusLine), "Com 1 OK:  echo:0");
    EXPECT_EQ(window->controlText(kPortNumber), "1");
    EXPECT_EQ(window->m_commPort, 1);
    EXPECT_EQ(window->controlText(kP1FullScaleCounts), "0");
    EXPECT_EQ(window->controlText(kLogPath), "");
    EXPECT_EQ(window->controlText(kP1Display), "");
    EXPECT_EQ(window->controlText(kLoggingSwitch), "Logging Disabled");
    EXPECT_TRUE(window->m_comm.GetPortOpen());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, LoadsTheExampleFileAndSavesItBackByteForByte) {
    PtyPair pty;
    auto window = startOnExample(pty);
    EXPECT_EQ(window->controlText(kStatusLine), "Com 2 OK: 9600,N,8,1 echo:0");
    EXPECT_EQ(window->m_p1FullScaleCounts, 32767u);
    EXPECT_EQ(window->m_p2MinTemp, -10.0f);
    EXPECT_EQ(window->m_p2Offset, 0.5f);
    EXPECT_EQ(window->m_logFile, "probe.log");
    EXPECT_EQ(window->m_p2Channel, "1");
    EXPECT_EQ(window->comboSelection(kP2Channel), 1);

    QTest::mouseClick(window->control(Dialog::Ok), Qt::LeftButton);
    EXPECT_EQ(window->result(), Dialog::Ok);
    EXPECT_FALSE(window->m_comm.GetPortOpen());
    EXPECT_EQ(dir.read("vemo.dat"), exampleSettingsFile());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, FirstSaveWithoutFileWritesTheDefaults) {
    auto window = start();
    QTest::mouseClick(window->control(Dialog::Ok), Qt::LeftButton);
    QByteArray expected;
    for (int i = 0; i < 10; ++i)
        expected.append("\x01"
                        "0");
    expected.append(QByteArray("\0\0\0\0\0\0\0\0\0", 9)); // empty path, channel 0 for both
    expected.append("\x01"
                    "1\x0a"
                    "9600,N,8,1\x01"
                    "0");
    EXPECT_EQ(dir.read("vemo.dat"), expected);
    EXPECT_EQ(expected.size(), 44);
}

struct StoredPort {
    char text;
    const char* link;
    std::string status;
    std::string carrier;
};

TEST_F(MainWindowTest, StoredPortNumbersReachTheControl) {
    const StoredPort cases[] = {
        {'0', "COM1", "Com 1 OK: 9600,N,8,1 echo:0", "1"},
        {'3', "COM3", "Com 3 OK: 9600,N,8,1 echo:0", "3"},
        {'7', nullptr, "Com 7 ERR: 9600,N,8,1 echo:0", "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ScratchDir scratch;
        scratch.write("vemo.dat", exampleSettingsFile(c.text));
        PtyPair pty;
        if (c.link) pty.linkAs(c.link);
        RecordingMessageSink sink;
        auto window = start();
        EXPECT_EQ(window->controlText(kStatusLine), c.status);
        EXPECT_EQ(window->controlText(kPortNumber), c.carrier);
        const QString tip = window->control(kStatusLine)->toolTip();
        EXPECT_FALSE(tip.isEmpty());
        if (!c.link) { // port 7 has no device, and the tip says why the open failed
            EXPECT_TRUE(tip.contains("COM7")) << tip.toStdString();
        }
    }
}

TEST_F(MainWindowTest, ATruncatedFileStopsInitialisationWithTheEndOfFileError) {
    dir.write("vemo.dat", exampleSettingsFile().left(48)); // ends inside field 12
    PtyPair pty;
    pty.linkAs("COM1");
    auto window = start();
    ASSERT_EQ(messages.texts(), std::vector<std::string>{kEndOfFile});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(window->controlText(kLogPath), "probe.log");
    EXPECT_EQ(window->controlText(kP2MinTemp), "-10");
    EXPECT_EQ(window->controlText(kStatusLine), "");
    EXPECT_FALSE(window->m_comm.GetPortOpen());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ReceivedLinesUpdateDisplaysAndStatus) {
    PtyPair pty;
    auto window = startOnExample(pty);
    send(pty, *window, "XSMADC,16384,100,200\n", "Data Received");
    EXPECT_EQ(window->controlText(kP1Display), "50.0 \xB0"
                                               "C");
    EXPECT_EQ(window->controlText(kP2Display), "-9.3 \xB0"
                                               "C");
    send(pty, *window, "xsmadc,40000,0,0\n", "P1 Counts Out Of Range");
    EXPECT_EQ(window->controlText(kP1Display), "(122.1) \xB0"
                                               "C");
    send(pty, *window, "garbage\n", "Invalid Data: 'GARBAGE'");
    EXPECT_EQ(window->controlText(kP1Display), "(122.1) \xB0"
                                               "C");
}

TEST_F(MainWindowTest, LoggingSwitchLogsSamplesWithAHeaderOncePerRun) {
    PtyPair pty;
    auto window = startOnExample(pty);
    QTest::mouseClick(window->control(kLoggingSwitch), Qt::LeftButton);
    EXPECT_EQ(window->controlText(kLoggingSwitch), "Logging Enabled");
    send(pty, *window, "XSMADC,1,2,3\n", "Writing Data");
    QTest::mouseClick(window->control(kLoggingSwitch), Qt::LeftButton);
    EXPECT_EQ(window->controlText(kLoggingSwitch), "Logging Disabled");
    EXPECT_EQ(window->checkState(kLoggingSwitch), 0);
    send(pty, *window, "XSMADC,4,5,6\n", "Data Received");
    QTest::mouseClick(window->control(kLoggingSwitch), Qt::LeftButton);
    send(pty, *window, "XSMADC,40000,8,9\n", "P1 Counts Out Of Range");
    EXPECT_EQ(dir.read("probe.log"), "Begin Logging...Data Format:\r\n"
                                     "WWW MMM DD HH:MM:SS (gmt) YYYY JJJ cccc cccc cccc\r\n"
                                     "Thu Jul 13 18:03:22 2000 194 1 2 3\r\n"
                                     "Thu Jul 13 18:03:22 2000 194 40000 8 9\r\n");
}

TEST_F(MainWindowTest, SaveAndExitWithAnInvalidValueSavesClosesThePortAndStaysOpen) {
    QByteArray file = exampleSettingsFile();
    file.replace("32767", "40000"); // both full-scale counts out of range
    dir.write("vemo.dat", file);
    PtyPair pty;
    pty.linkAs("COM2");
    auto window = start();
    const std::string range = "Please enter an integer between 0 and 32767.";
    EXPECT_EQ(messages.texts(), std::vector<std::string>{range});
    const std::string status = window->controlText(kStatusLine);
    QFile::remove("vemo.dat");

    QTest::mouseClick(window->control(Dialog::Ok), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{range, range}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->m_comm.GetPortOpen());
    EXPECT_EQ(window->controlText(kStatusLine), status);
    EXPECT_EQ(dir.read("vemo.dat"), file);
}

TEST_F(MainWindowTest, QuitEscapeAndTheCloseBoxNeverWriteTheFile) {
    const std::function<void(CProbeDlg&)> ways[] = {
        [](CProbeDlg& w) { QTest::mouseClick(w.control(Dialog::Cancel), Qt::LeftButton); },
        [](CProbeDlg& w) { QTest::keyClick(&w, Qt::Key_Escape); },
        [](CProbeDlg& w) { w.close(); },
    };
    PtyPair pty;
    pty.linkAs("COM1");
    for (const auto& leave : ways) {
        auto window = start();
        ASSERT_TRUE(window->m_comm.GetPortOpen());
        leave(*window);
        EXPECT_EQ(window->result(), Dialog::Cancel);
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->m_comm.GetPortOpen());
        EXPECT_FALSE(QFile::exists("vemo.dat"));
    }
}

TEST_F(MainWindowTest, StatusLineShowsTheEchoBox) {
    dir.write("vemo.dat", exampleSettingsFile('2', '1'));
    PtyPair pty;
    pty.linkAs("COM2");
    auto window = start();
    EXPECT_EQ(window->controlText(kStatusLine), "Com 2 OK: 9600,N,8,1 echo:1");
    EXPECT_EQ(window->m_echo, 1);
    send(pty, *window, "XXSSMMAADDCC,,11,,22,,33\n", "Data Received"); // every character twice
    EXPECT_EQ(window->controlText(kP1Display), "0.0 \xB0"
                                               "C");
}

TEST_F(MainWindowTest, AboutBoxIsModalWhileSamplesKeepArriving) {
    PtyPair pty;
    auto window = startOnExample(pty);
    std::string caption, statusBehind;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle().toStdString();
        box->grab().save(ARTIFACTS_DIR "/about-box.png");
        pty.write("XSMADC,0,0,0\n");
        QTRY_COMPARE_WITH_TIMEOUT(window->controlText(kStatusLine), std::string("Data Received"),
                                  5000);
        statusBehind = window->controlText(kStatusLine);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    window->sendSysCommand(16);
    EXPECT_EQ(caption, "About Vemo");
    EXPECT_EQ(statusBehind, "Data Received");
    EXPECT_TRUE(window->m_comm.GetPortOpen());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->m_p1FullScaleCounts, 32767u);
}

TEST_F(MainWindowTest, ScreenshotOfTheMainWindow) {
    PtyPair pty;
    auto window = startOnExample(pty);
    send(pty, *window, "XSMADC,16384,100,200\n", "Data Received");
    const QImage shot = window->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(ARTIFACTS_DIR);
    EXPECT_TRUE(shot.save(ARTIFACTS_DIR "/main-window.png"));
}

} // namespace
