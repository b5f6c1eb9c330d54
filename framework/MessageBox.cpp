#include "MessageBox.h"

#include "Win1252.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

class QtMessageSink : public MessageSink {
public:
    void show(const std::string& text, MessageIcon icon, QWidget* owner) override {
        QMessageBox box(qtIcon(icon), applicationTitle(), win1252::toQString(text), QMessageBox::Ok,
                        owner ? owner : QApplication::activeWindow());
        box.exec();
    }
};

QtMessageSink s_qtSink;
MessageSink* s_sink = &s_qtSink;

} // namespace

void showMessage(const std::string& text, MessageIcon icon, QWidget* owner) {
    s_sink->show(text, icon, owner);
}

void setMessageSink(MessageSink* sink) {
    s_sink = sink ? sink : &s_qtSink;
}

QString applicationTitle() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}
