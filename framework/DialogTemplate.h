#pragma once

#include <QRect>
#include <QSize>
#include <string>
#include <vector>

// Dialog templates as data: what a dialog looks like, independent of the widgets that
// realise it. Rectangles are in dialog units, which scale with the dialog's font.

enum class ControlKind {
    PushButton,
    CheckBox,
    Edit,
    StaticText,
    GroupBox,
    Icon,
    ComboBox,
    Component
};

namespace ControlFlag {
enum : unsigned {
    Hidden = 1u << 0,
    TabStop = 1u << 1,
    DefaultButton = 1u << 2,
    ReadOnly = 1u << 3,
    Sunken = 1u << 4, // static text drawn in a sunken frame
    ScrollsSideways = 1u << 5,
    SortedList = 1u << 6, // combo box keeps its list sorted
    PushLike = 1u << 7,   // check box drawn as a push button that toggles on each click
    Centered = 1u << 8,   // static text centred
    Border = 1u << 9,     // static text with a plain border
};
}

inline constexpr int kNoId = -1;

struct ControlEntry {
    ControlEntry(int id, ControlKind kind, std::string text, QRect rect, unsigned flags = 0,
                 std::vector<std::string> items = {}, std::string classId = {})
        : id(id)
        , kind(kind)
        , text(std::move(text))
        , rect(rect)
        , flags(flags)
        , items(std::move(items))
        , classId(std::move(classId)) {}

    int id;
    ControlKind kind;
    std::string text; // caption, or the resource path of an icon
    QRect rect;       // x, y, width, height in dialog units
    unsigned flags;
    std::vector<std::string> items; // initial list of a combo box
    std::string classId;            // class id of a hosted component
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    QSize size; // dialog units
    int fontPoints = 8;
    bool resizable = false; // sizing border with minimize and maximize boxes
    std::vector<ControlEntry> controls;
};
