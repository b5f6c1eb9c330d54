#include "Dialog.h"

#include "Component.h"
#include "DataExchange.h"
#include "Error.h"
#include "MessageBox.h"
#include "Win1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <climits>
#include <cmath>

using win1252::fromQString;
using win1252::toQString;

namespace {

// Dialog units scale with the font: a quarter of the average width of the letters and an
// eighth of the line height.
QSize baseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = int(std::lround(metrics.horizontalAdvance(letters) / 52.0));
    return {width, metrics.height()};
}

int comboIndexFor(const QComboBox& box, const QString& item) {
    if (!box.property("sorted").toBool()) return box.count();
    int i = 0;
    while (i < box.count() && box.itemText(i).compare(item, Qt::CaseInsensitive) <= 0)
        ++i;
    return i;
}

// Adds an entry in list order or sorted, keeping the selection and the edit text.
void insertComboItem(QComboBox& box, const std::string& item) {
    const QString text = box.currentText();
    const bool noSelection = box.currentIndex() < 0;
    const QString value = toQString(item);
    box.insertItem(comboIndexFor(box, value), value);
    if (noSelection) { // inserting into an empty list would select the new item
        box.setCurrentIndex(-1);
        box.setEditText(text);
    }
}

} // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* owner)
    : QDialog(owner)
    , m_template(dialogTemplate) {}

Dialog::~Dialog() = default;

QRect Dialog::toPixels(const QRect& dlu) const {
    const int bx = m_baseUnits.width(), by = m_baseUnits.height();
    return {dlu.x() * bx / 4, dlu.y() * by / 8, dlu.width() * bx / 4, dlu.height() * by / 8};
}

bool Dialog::build() {
    QFont font = QApplication::font();
    font.setPointSize(m_template.fontPoints);
    setFont(font);
    m_baseUnits = baseUnits(font);
    setWindowTitle(toQString(m_template.caption));
    Qt::WindowFlags flags =
        Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    flags |= m_template.resizable ? Qt::Window | Qt::WindowMinMaxButtonsHint : Qt::Dialog;
    setWindowFlags(flags);
    setSizeGripEnabled(false);
    const QSize size = toPixels(QRect(QPoint(), m_template.size)).size();
    if (m_template.resizable)
        resize(size);
    else
        setFixedSize(size);

    for (const ControlEntry& entry : m_template.controls) {
        QWidget* widget = buildControl(entry);
        if (!widget) return false;
        if (entry.id != kNoId) m_controls[entry.id] = widget;
        if (entry.flags & ControlFlag::TabStop && !(entry.flags & ControlFlag::Hidden))
            m_tabStops.push_back(widget);
    }
    for (std::size_t i = 1; i < m_tabStops.size(); ++i)
        setTabOrder(m_tabStops[i - 1], m_tabStops[i]);
    auto* shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(shiftF10, &QShortcut::activated, this,
            [this] { showWindowMenu(mapToGlobal(rect().center())); });
    m_built = true;
    return true;
}

QWidget* Dialog::buildControl(const ControlEntry& e) {
    const QString text = toQString(e.text);
    QWidget* widget = nullptr;
    switch (e.kind) {
    case ControlKind::PushButton: {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(true);
        button->setDefault(e.flags & ControlFlag::DefaultButton);
        connect(button, &QPushButton::clicked, this,
                [this, id = e.id] { dispatch(Notify::Clicked, id, 0); });
        widget = button;
        break;
    }
    case ControlKind::CheckBox: {
        QAbstractButton* box = nullptr;
        if (e.flags & ControlFlag::PushLike) {
            auto* button = new QPushButton(text, this);
            button->setCheckable(true);
            button->setAutoDefault(false);
            box = button;
        } else {
            box = new QCheckBox(text, this);
        }
        connect(box, &QAbstractButton::clicked, this,
                [this, id = e.id] { dispatch(Notify::Clicked, id, 0); });
        widget = box;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, this);
        edit->setMaxLength(INT_MAX); // the settings file holds texts of any length
        edit->setReadOnly(e.flags & ControlFlag::ReadOnly);
        widget = edit;
        break;
    }
    case ControlKind::StaticText: {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment((e.flags & ControlFlag::Centered ? Qt::AlignHCenter : Qt::AlignLeft) |
                            Qt::AlignVCenter);
        if (e.flags & ControlFlag::Sunken)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        else if (e.flags & ControlFlag::Border)
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
        widget = label;
        break;
    }
    case ControlKind::GroupBox:
        widget = new QGroupBox(text, this);
        break;
    case ControlKind::Icon: {
        auto* label = new QLabel(this);
        label->setPixmap(QIcon(text).pixmap(32, 32));
        widget = label;
        break;
    }
    case ControlKind::ComboBox: {
        auto* box = new QComboBox(this);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        box->setProperty("sorted", bool(e.flags & ControlFlag::SortedList));
        widget = box;
        break;
    }
    case ControlKind::Component: {
        Component* component = ComponentRegistry::create(e.classId, this);
        if (!component) return nullptr;
        component->setEventSink([this, id = e.id](int eventId) { dispatchEvent(id, eventId); });
        widget = component;
        break;
    }
    }
    QRect geometry = toPixels(e.rect);
    if (e.kind == ControlKind::ComboBox) // the template height includes the drop-down list
        geometry.setHeight(widget->sizeHint().height());
    if (e.kind == ControlKind::Icon) geometry.setSize(QSize(32, 32));
    widget->setGeometry(geometry);
    if (e.kind == ControlKind::GroupBox)
        widget->lower(); // a frame behind the controls it surrounds
    const bool takesFocus = e.kind != ControlKind::StaticText && e.kind != ControlKind::GroupBox &&
                            e.kind != ControlKind::Icon && e.kind != ControlKind::Component;
    if (takesFocus)
        widget->setFocusPolicy(e.flags & ControlFlag::TabStop ? Qt::StrongFocus : Qt::ClickFocus);
    widget->setHidden(e.flags & ControlFlag::Hidden);
    if (auto* box = qobject_cast<QComboBox*>(widget))
        for (const std::string& item : e.items)
            insertComboItem(*box, item);
    return widget;
}

bool Dialog::create() {
    if (!m_built && !build()) return false;
    runHandler([this] {
        if (OnInitDialog()) focusFirstTabStop();
    });
    return true;
}

int Dialog::runModal() {
    if (!create()) return BuildFailed;
    return exec();
}

void Dialog::endDialog(int code) {
    done(code);
}

bool Dialog::updateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    try {
        DoDataExchange(dx);
    } catch (const DataExchange::Failed& failed) {
        m_failedControl = failed.controlId;
        return false;
    }
    return true;
}

bool Dialog::OnInitDialog() {
    updateData(false);
    return true;
}

void Dialog::OnOK() {
    if (updateData(true)) endDialog(Ok);
}

void Dialog::OnCancel() {
    endDialog(Cancel);
}

void Dialog::DoDataExchange(DataExchange&) {}

const MessageTable& Dialog::messageTable() const {
    static const MessageTable none;
    return none;
}

const EventTable& Dialog::eventTable() const {
    static const EventTable none;
    return none;
}

void Dialog::reportError(std::exception_ptr escaped) {
    try {
        std::rethrow_exception(escaped);
    } catch (const Error& error) {
        const std::string text = error.what();
        showMessage(text.empty() ? kInternalError : text, MessageIcon::Stop, this);
    } catch (...) {
        showMessage(kInternalError, MessageIcon::Stop, this);
    }
}

void Dialog::dispatch(Notify code, int id, int param) {
    runHandler([&] {
        for (const MessageEntry& entry : messageTable())
            if (entry.code == code && (code == Notify::SysCommand || entry.id == id))
                return entry.handler(*this, param);
        if (code == Notify::SysCommand)
            defaultSysCommand(param);
        else if (id == Ok)
            OnOK();
        else if (id == Cancel)
            OnCancel();
    });
}

void Dialog::dispatchEvent(int controlId, int eventId) {
    runHandler([&] {
        for (const EventEntry& entry : eventTable())
            if (entry.controlId == controlId && entry.eventId == eventId)
                return entry.handler(*this, 0);
    });
}

void Dialog::reject() {
    runHandler([this] { OnCancel(); });
}

void Dialog::defaultSysCommand(int commandId) {
    switch (commandId & 0xFFF0) {
    case WindowCommand::Minimize:
        showMinimized();
        break;
    case WindowCommand::Maximize:
        showMaximized();
        break;
    case WindowCommand::Restore:
        showNormal();
        break;
    case WindowCommand::Close:
        reject();
        break;
    default:
        break;
    }
}

void Dialog::appendWindowMenuSeparator() {
    if (!m_windowMenu) m_windowMenu = new QMenu(this);
    m_windowMenu->addSeparator();
}

void Dialog::appendWindowMenuItem(const std::string& text, int commandId) {
    if (!m_windowMenu) m_windowMenu = new QMenu(this);
    QAction* action = m_windowMenu->addAction(toQString(text));
    connect(action, &QAction::triggered, this, [this, commandId] { sendSysCommand(commandId); });
}

void Dialog::contextMenuEvent(QContextMenuEvent* event) {
    showWindowMenu(event->globalPos());
}

void Dialog::showWindowMenu(const QPoint& globalPos) {
    if (!m_windowMenu) return;
    QMenu menu(this);
    const auto add = [&](const char* text, int command, bool enabled) {
        QAction* action = menu.addAction(tr(text));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, command] { sendSysCommand(command); });
    };
    const bool resizable = m_template.resizable;
    add("&Restore", WindowCommand::Restore, resizable && (isMaximized() || isMinimized()));
    add("Mi&nimize", WindowCommand::Minimize, resizable && !isMinimized());
    add("Ma&ximize", WindowCommand::Maximize, resizable && !isMaximized());
    menu.addSeparator();
    add("&Close", WindowCommand::Close, true);
    menu.addActions(m_windowMenu->actions());
    menu.exec(globalPos);
}

void Dialog::focusFirstTabStop() {
    for (QWidget* widget : m_tabStops)
        if (widget->isEnabled()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
}

QWidget* Dialog::control(int id) const {
    const auto it = m_controls.find(id);
    if (it == m_controls.end())
        throw Error("The window has no control " + std::to_string(id) + ".");
    return it->second;
}

std::string Dialog::controlText(int id) const {
    QWidget* w = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return fromQString(edit->text());
    if (auto* box = qobject_cast<QComboBox*>(w)) return fromQString(box->currentText());
    if (auto* label = qobject_cast<QLabel*>(w)) return fromQString(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return fromQString(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) return fromQString(group->title());
    return {};
}

void Dialog::setControlText(int id, const std::string& text) {
    QWidget* w = control(id);
    const QString value = toQString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(value);
    else if (auto* box = qobject_cast<QComboBox*>(w))
        box->setEditText(value);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(value);
}

int Dialog::checkState(int id) const {
    QWidget* w = control(id);
    if (auto* box = qobject_cast<QCheckBox*>(w))
        return box->checkState() == Qt::Checked            ? 1
               : box->checkState() == Qt::PartiallyChecked ? 2
                                                           : 0;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->isChecked() ? 1 : 0;
    return 0;
}

void Dialog::setCheckState(int id, int state) {
    QWidget* w = control(id);
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        if (state == 2) box->setTristate(true);
        box->setCheckState(state == 1   ? Qt::Checked
                           : state == 2 ? Qt::PartiallyChecked
                                        : Qt::Unchecked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setChecked(state == 1);
    }
}

static QComboBox* comboBox(QWidget* w) {
    auto* box = qobject_cast<QComboBox*>(w);
    if (!box) throw Error("The control is not a combo box.");
    return box;
}

int Dialog::comboSelection(int id) const {
    return comboBox(control(id))->currentIndex();
}

void Dialog::setComboSelection(int id, int position) {
    QComboBox* box = comboBox(control(id));
    box->setCurrentIndex(position >= 0 && position < box->count() ? position : -1);
}

void Dialog::addComboItem(int id, const std::string& item) {
    insertComboItem(*comboBox(control(id)), item);
}

bool Dialog::selectComboPrefix(int id, const std::string& text) {
    QComboBox* box = comboBox(control(id));
    const QString prefix = toQString(text);
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
            box->setCurrentIndex(i);
            box->setEditText(box->itemText(i));
            return true;
        }
    return false;
}

void Dialog::focusControl(int id) {
    QWidget* w = control(id);
    if (w->isHidden()) return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->selectAll();
    else if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit())
        box->lineEdit()->selectAll();
}

Component* Dialog::component(int id) const {
    return qobject_cast<Component*>(control(id));
}
