#pragma once

#include "DialogTemplate.h"

#include <QDialog>
#include <QIcon>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

class Component;
class DataExchange;
class QMenu;

// What a message-table entry reacts to.
enum class Notify {
    Clicked,    // a button or check box of the given id was clicked
    SysCommand, // a command of the window menu; the handler receives the command id
};

class Dialog;
using Handler = std::function<void(Dialog&, int param)>;

struct MessageEntry {
    Notify code;
    int id; // control id; ignored for SysCommand
    Handler handler;
};
using MessageTable = std::vector<MessageEntry>;

struct EventEntry {
    int controlId; // the hosted component
    int eventId;
    Handler handler;
};
using EventTable = std::vector<EventEntry>;

// Makes a table handler from a member function of a dialog class.
template <class D> Handler handler(void (D::*f)()) {
    return [f](Dialog& d, int) { (static_cast<D&>(d).*f)(); };
}
template <class D> Handler handler(void (D::*f)(int)) {
    return [f](Dialog& d, int param) { (static_cast<D&>(d).*f)(param); };
}

// Window-menu commands that the window system handles itself.
namespace WindowCommand {
enum : int { Minimize = 0xF020, Maximize = 0xF030, Close = 0xF060, Restore = 0xF120 };
}

// A dialog built from a template. Subclasses override the initialisation, OK and Cancel
// steps and the data exchange, and route clicks and component events through their message
// and event tables. Every handler runs behind one boundary that reports an escaping error
// in a stop box and lets the program go on.
class Dialog : public QDialog {
    Q_OBJECT
public:
    enum EndCode { Ok = 1, Cancel = 2, BuildFailed = -1 };
    static constexpr const char* kInternalError = "Internal application error.";

    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* owner = nullptr);
    ~Dialog() override;

    // Builds the window and runs the initialisation step, without showing it. False when a
    // hosted component could not be created; the window is then unusable.
    bool create();
    // create(), then shows the dialog modally: Ok, Cancel or BuildFailed.
    int runModal();
    void endDialog(int code);

    // Runs the data exchange: to the controls (no checks) or from them (validated, stops at
    // the first failure with its message and focus on the failing control).
    bool updateData(bool saveAndValidate);
    // The control whose value stopped the last failed run from the controls.
    int failedControl() const { return m_failedControl; }

    // Controls by id.
    QWidget* control(int id) const;
    std::string controlText(int id) const;
    void setControlText(int id, const std::string& text);
    int checkState(int id) const; // 0 clear, 1 checked, 2 indeterminate
    void setCheckState(int id, int state);
    int comboSelection(int id) const; // -1 when nothing is selected
    void setComboSelection(int id, int position);
    void addComboItem(int id, const std::string& item);
    // Selects the first entry that begins with the text, case ignored; false when none
    // does, leaving selection and text as they were.
    bool selectComboPrefix(int id, const std::string& text);
    void focusControl(int id);
    Component* component(int id) const;

    // The window menu (right-click, the Menu key or Shift+F10): the window commands, then
    // the items appended here. Choosing an item dispatches a SysCommand.
    void appendWindowMenuSeparator();
    void appendWindowMenuItem(const std::string& text, int commandId);

    // Handles a window-menu command as if the user had chosen it.
    void sendSysCommand(int commandId) { dispatch(Notify::SysCommand, 0, commandId); }

    // Runs a handler behind the error boundary.
    template <class Body> void runHandler(Body&& body) {
        try {
            body();
        } catch (...) {
            reportError(std::current_exception());
        }
    }

protected:
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& dx);
    virtual const MessageTable& messageTable() const;
    virtual const EventTable& eventTable() const;
    // The window commands' usual effect (minimize, maximize, restore, close).
    void defaultSysCommand(int commandId);

    void reject() override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The error report: a stop box with the error's text, or the generic text.
    void reportError(std::exception_ptr error);
    bool build();
    QWidget* buildControl(const ControlEntry& entry);
    void dispatch(Notify code, int id, int param);
    void dispatchEvent(int controlId, int eventId);
    void focusFirstTabStop();
    void showWindowMenu(const QPoint& globalPos);
    QRect toPixels(const QRect& dlu) const;

    const DialogTemplate& m_template;
    std::map<int, QWidget*> m_controls;
    std::vector<QWidget*> m_tabStops;
    QMenu* m_windowMenu = nullptr;
    QSize m_baseUnits;
    bool m_built = false;
    int m_failedControl = kNoId;
};
