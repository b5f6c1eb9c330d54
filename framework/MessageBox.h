#pragma once

#include <QString>
#include <string>

class QWidget;

enum class MessageIcon { Stop, Exclamation, Information };

// Every message box of the program goes through here. Tests install a sink that records
// what would have been shown instead of opening a window.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const std::string& text, MessageIcon icon, QWidget* owner) = 0;
};

// Shows a modal box with an OK button, titled with the application's title.
void showMessage(const std::string& text, MessageIcon icon, QWidget* owner = nullptr);
// Null restores the real message boxes. The caller keeps ownership.
void setMessageSink(MessageSink* sink);
// The program file's name without its extension.
QString applicationTitle();
