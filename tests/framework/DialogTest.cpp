#include "Dialog.h"
#include "Component.h"
#include "DataExchange.h"
#include "Error.h"
#include "RecordingMessageSink.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

enum Id {
    Number = 100,
    Counts,
    Port,
    Channel,
    Echo,
    Toggle,
    Path,
    Throws = 300,
    ThrowsEmpty,
    Host = 400
};

DialogTemplate testTemplate(const std::string& componentClass = "test.component") {
    using namespace ControlFlag;
    DialogTemplate t;
    t.caption = "Test";
    t.size = {200, 120};
    t.controls = {
        {Number, ControlKind::Edit, "", {10, 10, 40, 12}, TabStop},
        {Counts, ControlKind::Edit, "", {10, 30, 40, 12}, TabStop},
        {Port, ControlKind::Edit, "", {10, 50, 40, 12}, Hidden},
        {Channel, ControlKind::ComboBox, "", {60, 10, 30, 50}, TabStop, {"0", "1", "2"}},
        {Echo, ControlKind::CheckBox, "Echo", {60, 30, 40, 10}, TabStop},
        {Toggle, ControlKind::CheckBox, "Off", {60, 50, 40, 14}, TabStop | PushLike},
        {Path, ControlKind::Edit, "", {10, 70, 80, 12}, 0},
        {Dialog::Ok, ControlKind::PushButton, "OK", {140, 10, 50, 14}, TabStop | DefaultButton},
        {Dialog::Cancel, ControlKind::PushButton, "Cancel", {140, 30, 50, 14}, TabStop},
        {Throws, ControlKind::PushButton, "Throw", {140, 50, 50, 14}, 0},
        {ThrowsEmpty, ControlKind::PushButton, "Throw empty", {140, 70, 50, 14}, 0},
        {Host, ControlKind::Component, "", {0, 0, 10, 10}, Hidden, {}, componentClass},
    };
    return t;
}

class TestComponent : public Component {
public:
    using Component::Component;
    void fire(int eventId) { raiseEvent(eventId); }
};

class TestDialog : public Dialog {
public:
    explicit TestDialog(const DialogTemplate& t)
        : Dialog(t) {}

    float number = 0;
    std::uint32_t counts = 0;
    std::int16_t port = 0;
    std::string channel, path;
    int echo = 0;
    int okCalls = 0, cancelCalls = 0, events = 0;

protected:
    void DoDataExchange(DataExchange& dx) override {
        dx.number(Number, number);
        dx.unsignedInteger(Counts, counts, 0, 32767);
        dx.text(Path, path);
        dx.shortInteger(Port, port, 1, 4);
        dx.comboText(Channel, channel);
        dx.checkBox(Echo, echo);
    }
    void OnOK() override {
        ++okCalls;
        Dialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        Dialog::OnCancel();
    }
    const MessageTable& messageTable() const override {
        static const MessageTable table = {
            {Notify::Clicked, Throws, handler(&TestDialog::onThrow)},
            {Notify::Clicked, ThrowsEmpty, handler(&TestDialog::onThrowEmpty)},
        };
        return table;
    }
    const EventTable& eventTable() const override {
        static const EventTable table = {{Host, 7, handler(&TestDialog::onEvent)}};
        return table;
    }

private:
    void onThrow() { throw Error("boom"); }
    void onThrowEmpty() { throw Error(""); }
    void onEvent() {
        if (++events == 2) throw Error("event failed");
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ComponentRegistry::registerFactory(
            "test.component", [](QWidget* parent) { return new TestComponent(parent); });
        ComponentRegistry::enableHosting();
    }
    void TearDown() override { ComponentRegistry::disableHosting(); }

    void showActive(Dialog& dialog) {
        ASSERT_TRUE(dialog.create());
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    DialogTemplate tpl = testTemplate();
    RecordingMessageSink messages;
};

TEST_F(DialogTest, PlacesControlsInDialogUnitsOfTheFont) {
    TestDialog dialog(tpl);
    ASSERT_TRUE(dialog.create());
    const QRect number = dialog.control(Number)->geometry();
    const QRect path = dialog.control(Path)->geometry();
    // Path is twice as wide as Number and seven times as far down.
    EXPECT_NEAR(path.width(), 2 * number.width(), 1);
    EXPECT_NEAR(path.y(), 7 * number.y(), 7);
    const QFontMetrics metrics(dialog.font());
    EXPECT_EQ(number.height(), 12 * metrics.height() / 8);
    EXPECT_NEAR(dialog.width() / 50.0, metrics.averageCharWidth(), 2.0); // 200 dlu = 50 chars
    EXPECT_TRUE(dialog.control(Port)->isHidden());
}

TEST_F(DialogTest, FocusStartsOnTheFirstTabStopAndTabWalksTemplateOrder) {
    TestDialog dialog(tpl);
    showActive(dialog);
    const int expected[] = {Number, Counts,     Channel,        Echo,
                            Toggle, Dialog::Ok, Dialog::Cancel, Number};
    for (int id : expected) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus == dialog.control(id) || focus->parentWidget() == dialog.control(id))
            << id;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndEscapeCancels) {
    TestDialog dialog(tpl);
    showActive(dialog);
    dialog.setControlText(Port, "2");
    QTest::keyClick(dialog.control(Number), Qt::Key_Return);
    EXPECT_EQ(dialog.okCalls, 1);
    EXPECT_EQ(dialog.result(), Dialog::Ok);

    TestDialog other(tpl);
    showActive(other);
    QTest::keyClick(other.control(Counts), Qt::Key_Escape);
    EXPECT_EQ(other.cancelCalls, 1);
    EXPECT_EQ(other.result(), Dialog::Cancel);
    EXPECT_FALSE(other.isVisible());
}

TEST_F(DialogTest, CloseBoxGivesCancel) {
    TestDialog dialog(tpl);
    showActive(dialog);
    dialog.close();
    EXPECT_EQ(dialog.cancelCalls, 1);
    EXPECT_EQ(dialog.result(), Dialog::Cancel);
}

TEST_F(DialogTest, AnEscapingErrorIsReportedOnceAndTheDialogGoesOn) {
    TestDialog dialog(tpl);
    showActive(dialog);
    QTest::mouseClick(dialog.control(Throws), Qt::LeftButton);
    QTest::mouseClick(dialog.control(ThrowsEmpty), Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "boom");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages.shown[1].text, "Internal application error.");
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(DialogTest, ComponentEventsRunThroughTheEventTable) {
    TestDialog dialog(tpl);
    ASSERT_TRUE(dialog.create());
    auto* component = static_cast<TestComponent*>(dialog.component(Host));
    component->fire(3); // not in the table
    component->fire(7);
    component->fire(7);
    EXPECT_EQ(dialog.events, 2);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"event failed"});
}

TEST_F(DialogTest, AComponentThatCannotBeCreatedFailsTheWindow) {
    const DialogTemplate unknown = testTemplate("no.such.component");
    TestDialog dialog(unknown);
    EXPECT_EQ(dialog.runModal(), Dialog::BuildFailed);

    ComponentRegistry::disableHosting();
    TestDialog unhosted(tpl);
    EXPECT_EQ(unhosted.runModal(), Dialog::BuildFailed);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DialogTest, CheckBoxesAndPushLikeToggles) {
    TestDialog dialog(tpl);
    showActive(dialog);
    QTest::mouseClick(dialog.control(Toggle), Qt::LeftButton);
    EXPECT_EQ(dialog.checkState(Toggle), 1);
    QTest::mouseClick(dialog.control(Toggle), Qt::LeftButton);
    EXPECT_EQ(dialog.checkState(Toggle), 0);
    dialog.setCheckState(Echo, 2);
    EXPECT_EQ(dialog.checkState(Echo), 2);
    QTest::mouseClick(dialog.control(Echo), Qt::LeftButton);
    EXPECT_NE(dialog.checkState(Echo), 2);
}

TEST_F(DialogTest, ComboBoxesSelectByPrefixIgnoringCase) {
    DialogTemplate t = tpl;
    t.controls.push_back(
        {500, ControlKind::ComboBox, "", {0, 90, 40, 40}, ControlFlag::SortedList});
    t.controls.push_back({501, ControlKind::ComboBox, "", {50, 90, 40, 40}, 0});
    TestDialog dialog(t);
    ASSERT_TRUE(dialog.create());
    for (const char* item : {"4", "2", "3", "1"})
        dialog.addComboItem(500, item);
    for (const char* item : {"E", "M", "N", "O", "S"})
        dialog.addComboItem(501, item);
    auto* sorted = static_cast<QComboBox*>(dialog.control(500));
    EXPECT_EQ(sorted->itemText(0), "1");
    EXPECT_EQ(sorted->itemText(3), "4");
    EXPECT_EQ(dialog.comboSelection(500), -1);
    EXPECT_EQ(dialog.controlText(500), "");

    EXPECT_TRUE(dialog.selectComboPrefix(501, "n"));
    EXPECT_EQ(dialog.comboSelection(501), 2);
    EXPECT_EQ(dialog.controlText(501), "N");
    EXPECT_FALSE(dialog.selectComboPrefix(501, "X"));
    EXPECT_EQ(dialog.comboSelection(501), 2);
    dialog.setControlText(501, "typed");
    EXPECT_TRUE(dialog.selectComboPrefix(501, "N")); // same entry again: the text follows
    EXPECT_EQ(dialog.controlText(501), "N");
    EXPECT_TRUE(dialog.selectComboPrefix(501, "")); // an empty text begins every entry
    EXPECT_EQ(dialog.comboSelection(501), 0);
}

TEST_F(DialogTest, ExchangeToTheControlsFormatsWithoutChecks) {
    TestDialog dialog(tpl);
    ASSERT_TRUE(dialog.create());
    dialog.number = 12.25f;
    dialog.counts = 40000;
    dialog.port = 7;
    dialog.channel = "7";
    dialog.echo = 5;
    dialog.setComboSelection(Channel, 1);
    ASSERT_TRUE(dialog.updateData(false));
    EXPECT_EQ(dialog.controlText(Number), "12.25");
    EXPECT_EQ(dialog.controlText(Counts), "40000");
    EXPECT_EQ(dialog.controlText(Port), "7");
    EXPECT_EQ(dialog.comboSelection(Channel), 1); // no entry begins with 7
    EXPECT_EQ(dialog.controlText(Channel), "7");
    EXPECT_EQ(dialog.echo, 0);
    EXPECT_EQ(dialog.checkState(Echo), 0);
    EXPECT_TRUE(messages.shown.empty());
}

struct FailingRun {
    const char* name;
    int control;
    std::string text;
    std::string message;
};

TEST_F(DialogTest, ExchangeFromTheControlsStopsAtTheFirstFailure) {
    const FailingRun runs[] = {
        {"number", Number, "12.5x", "Please enter a number."},
        {"counts form", Counts, "-0", "Please enter a positive integer."},
        {"counts range", Counts, "40000", "Please enter an integer between 0 and 32767."},
        {"negative counts", Counts, "-5", "Please enter an integer between 0 and 32767."},
        {"port form", Port, "abc", "Please enter an integer."},
        {"port range", Port, "5", "Please enter an integer between 1 and 4."},
        {"port beyond 16 bits", Port, "65537", "Please enter an integer between 1 and 4."},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        RecordingMessageSink sink;
        TestDialog dialog(tpl);
        showActive(dialog);
        dialog.number = 1.0f;
        dialog.counts = 11;
        dialog.port = 3;
        dialog.channel = "old";
        dialog.echo = 0;
        dialog.setControlText(Number, "2.5");
        dialog.setControlText(Counts, "12");
        dialog.setControlText(Port, "2");
        dialog.setControlText(Path, "new.log");
        dialog.setControlText(Channel, "1");
        dialog.setCheckState(Echo, 1);
        dialog.setControlText(run.control, run.text);

        EXPECT_FALSE(dialog.updateData(true));
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, run.message);
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
        // Members after the failing one keep their old values.
        EXPECT_EQ(dialog.channel, "old");
        EXPECT_EQ(dialog.echo, 0);
        if (run.control != Number) {
            EXPECT_EQ(dialog.number, 2.5f);
        }
        if (run.control == Port) {
            EXPECT_EQ(dialog.counts, 12u);
            EXPECT_EQ(dialog.path, "new.log");
        }
        if (auto* edit = qobject_cast<QLineEdit*>(dialog.control(run.control)); edit->isVisible()) {
            EXPECT_EQ(QApplication::focusWidget(), edit);
            EXPECT_EQ(edit->selectedText(), edit->text());
        }
    }
}

TEST_F(DialogTest, ExchangeFromTheControlsKeepsOrStoresTheRejectedValue) {
    TestDialog dialog(tpl);
    ASSERT_TRUE(dialog.create());
    dialog.setControlText(Number, "1");
    dialog.setControlText(Counts, "40000");
    EXPECT_FALSE(dialog.updateData(true));
    EXPECT_EQ(dialog.counts, 40000u); // stored, then refused by the range check

    dialog.setControlText(Counts, "1");
    dialog.setControlText(Port, "65537");
    EXPECT_FALSE(dialog.updateData(true));
    EXPECT_EQ(dialog.port, 1); // the 16-bit value of 65537

    dialog.port = 3;
    dialog.setControlText(Port, "abc");
    EXPECT_FALSE(dialog.updateData(true));
    EXPECT_EQ(dialog.port, 3); // a conversion failure leaves the member alone

    dialog.setControlText(Port, "4");
    dialog.setControlText(Channel, "1");
    dialog.setCheckState(Echo, 1);
    EXPECT_TRUE(dialog.updateData(true));
    EXPECT_EQ(dialog.port, 4);
    EXPECT_EQ(dialog.channel, "1");
    EXPECT_EQ(dialog.echo, 1);
}

} // namespace
