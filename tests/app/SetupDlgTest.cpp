#include "SetupDlg.h"
#include "Component.h"
#include "ProbeDlg.h"
#include "Pty.h"
#include "RecordingMessageSink.h"
#include "Resources.h"
#include "ScratchDir.h"
#include "SerialComponent.h"
#include "SettingsBytes.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SetupDlgTest : public ::testing::Test {
protected:
    std::unique_ptr<CSetupDlg> open(const std::string& lineSettings, std::int16_t port = 2) {
        auto dialog = std::make_unique<CSetupDlg>();
        dialog->m_commSettings = lineSettings;
        dialog->m_commPort = port;
        EXPECT_TRUE(dialog->create());
        dialog->show();
        return dialog;
    }
    static std::vector<std::string> boxes(const CSetupDlg& d) {
        return {d.controlText(kSpeedBox), d.controlText(kParityBox), d.controlText(kDataBitsBox),
                d.controlText(kStopBitsBox)};
    }

    RecordingMessageSink messages;
};

struct LineSettingsCase {
    std::string stored;
    std::vector<std::string> shown; // speed, parity, data bits, stop bits
    std::string afterOk;
};

TEST_F(SetupDlgTest, SplitsTheLineSettingsOverFourBoxesAndJoinsThemOnOk) {
    const LineSettingsCase cases[] = {
        {"9600,n,8,1", {"9600", "N", "8", "1"}, "9600,N,8,1"},
        {"19200,E,7,1.5", {"19200", "E", "7", "1.5"}, "19200,E,7,1.5"},
        {"", {"9600", "N", "8", "1"}, "9600,N,8,1"},
        {"9600,N,8", {"9600", "N", "8", "1"}, "9600,N,8,1"},
        {"57600,N,8,1", {"", "N", "8", "1"}, ",N,8,1"},
        {"1,N,8,1", {"110", "N", "8", "1"}, "110,N,8,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        auto dialog = open(c.stored);
        EXPECT_EQ(boxes(*dialog), c.shown);
        QTest::mouseClick(dialog->control(Dialog::Ok), Qt::LeftButton);
        EXPECT_EQ(dialog->result(), Dialog::Ok);
        EXPECT_EQ(dialog->m_commSettings, c.afterOk);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SetupDlgTest, OpensWithListsFilledAndTheFocusOnOk) {
    auto dialog = open("9600,N,8,1", 3);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(QApplication::focusWidget(), dialog->control(Dialog::Ok));
    EXPECT_EQ(dialog->controlText(kPortBox), "3");
    EXPECT_EQ(dialog->controlText(kP1Channel), "0"); // an empty channel selects the first entry
    EXPECT_EQ(dialog->windowTitle(), "Setup");
    QDir().mkpath(ARTIFACTS_DIR);
    EXPECT_TRUE(dialog->grab().save(ARTIFACTS_DIR "/setup-dialog.png"));
}

struct RefusedField {
    const char* name;
    std::vector<std::pair<int, std::string>> typed;
    std::string message;
    int focus;
};

TEST_F(SetupDlgTest, RefusedFieldsKeepTheDialogOpenWithTheFirstMessage) {
    const RefusedField cases[] = {
        {"port out of range",
         {{kPortBox, "5"}},
         "Please enter an integer between 1 and 4.",
         kPortBox},
        {"counts with text",
         {{kP1FullScaleCounts, "12abc"}},
         "Please enter a positive integer.",
         kP1FullScaleCounts},
        {"counts out of range",
         {{kP2MinCounts, "40000"}},
         "Please enter an integer between 0 and 32767.",
         kP2MinCounts},
        {"counts before temperature",
         {{kP1FullScaleTemp, "abc"}, {kP1FullScaleCounts, "40000"}},
         "Please enter an integer between 0 and 32767.",
         kP1FullScaleCounts},
        {"temperature", {{kP1FullScaleTemp, "abc"}}, "Please enter a number.", kP1FullScaleTemp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMessageSink sink;
        auto dialog = open("9600,N,8,1");
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        for (const auto& [id, text] : c.typed)
            dialog->setControlText(id, text);
        QTest::mouseClick(dialog->control(Dialog::Ok), Qt::LeftButton);
        EXPECT_EQ(sink.texts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(dialog->isVisible());
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus == dialog->control(c.focus) ||
                    focus->parentWidget() == dialog->control(c.focus))
            << focus->metaObject()->className() << " "
            << focus->parentWidget()->metaObject()->className();
    }
}

TEST_F(SetupDlgTest, EchoBoxSetsTheFlag) {
    auto dialog = open("9600,N,8,1");
    QTest::mouseClick(dialog->control(kEcho), Qt::LeftButton);
    QTest::mouseClick(dialog->control(Dialog::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog->m_echo, 1);
}

// The Setup button of the main window, with the real dialog driven while it runs modally.
class SetupButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ComponentRegistry::enableHosting();
        registerSerialComponent();
        SerialComponent::setSystemPorts([] { return QStringList{}; }); // never a real device
    }
    void SetUp() override {
        dir.write("vemo.dat", exampleSettingsFile());
        pty.linkAs("COM2");
        window = std::make_unique<CProbeDlg>();
        ASSERT_TRUE(window->create());
        window->show();
    }
    // Runs the Setup dialog; `drive` acts on it while it is up.
    void runSetup(const std::function<void(CSetupDlg&)>& drive) {
        QTimer::singleShot(0, [&] {
            auto* setup = dynamic_cast<CSetupDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(setup, nullptr);
            portOpenDuringSetup = window->m_comm.GetPortOpen();
            drive(*setup);
        });
        QTest::mouseClick(window->control(kSetupButton), Qt::LeftButton);
    }

    ScratchDir dir;
    PtyPair pty;
    RecordingMessageSink messages;
    std::unique_ptr<CProbeDlg> window;
    bool portOpenDuringSetup = true;
};

TEST_F(SetupButtonTest, CancelChangesNothingAndReopensThePort) {
    window->setControlText(kStatusLine, "Data Received");
    runSetup([](CSetupDlg& setup) {
        setup.setControlText(kP1FullScaleCounts, "123");
        setup.setControlText(kLogPath, "other.log");
        QTest::keyClick(&setup, Qt::Key_Escape);
    });
    EXPECT_FALSE(portOpenDuringSetup);
    EXPECT_TRUE(window->m_comm.GetPortOpen());
    EXPECT_EQ(window->controlText(kStatusLine), "Com 2 OK: 9600,N,8,1 echo:0");
    EXPECT_EQ(window->m_p1FullScaleCounts, 32767u);
    EXPECT_EQ(window->controlText(kP1FullScaleCounts), "32767");
    EXPECT_EQ(window->controlText(kLogPath), "probe.log");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SetupButtonTest, OkCopiesTheSettingsBackAndReconfiguresThePort) {
    PtyPair other;
    other.linkAs("COM3");
    runSetup([](CSetupDlg& setup) {
        setup.selectComboPrefix(kPortBox, "3");
        setup.selectComboPrefix(kSpeedBox, "19200");
        setup.setControlText(kP1Offset, "1.25");
        setup.setControlText(kLogPath, "new.log");
        setup.selectComboPrefix(kP1Channel, "2");
        QTest::mouseClick(setup.control(kEcho), Qt::LeftButton);
        QTest::mouseClick(setup.control(Dialog::Ok), Qt::LeftButton);
    });
    EXPECT_EQ(window->controlText(kStatusLine), "Com 3 OK: 19200,N,8,1 echo:1");
    EXPECT_EQ(window->m_p1Offset, 1.25f);
    EXPECT_EQ(window->controlText(kP1Offset), "1.25");
    EXPECT_EQ(window->controlText(kLogPath), "new.log");
    EXPECT_EQ(window->comboSelection(kP1Channel), 2);
    EXPECT_EQ(window->controlText(kPortNumber), "3");
    EXPECT_EQ(window->controlText(kLineSettings), "19200,N,8,1");
    EXPECT_EQ(window->checkState(kEcho), 1);

    // The new port delivers, on the new channel, with every character echoed.
    other.write("XXSSMMAADDCC,,00,,00,,1166338844\n");
    QTRY_COMPARE_WITH_TIMEOUT(window->controlText(kStatusLine), std::string("Data Received"), 5000);
    EXPECT_EQ(window->controlText(kP1Display), "51.3 \xB0"
                                               "C");
}

} // namespace
