#include "Resources.h"

namespace {

using namespace ControlFlag;
using K = ControlKind;

// The class id under which the serial component registers.
constexpr const char* kSerialComponentClass = "{648A5600-2C6E-101B-82B6-000000000014}";

DialogTemplate aboutBox() {
    DialogTemplate t;
    t.id = kAboutBoxTemplate;
    t.caption = "About Vemo";
    t.size = {217, 55};
    t.controls = {
        {kNoId, K::Icon, iconPath(kAboutIcon), {11, 17, 20, 20}},
        {kNoId, K::StaticText, "Vemo Version 1.0", {40, 10, 119, 8}},
        {kNoId, K::StaticText, "Temperature probe monitor", {40, 25, 119, 8}},
        {1, K::PushButton, "OK", {178, 7, 32, 14}, TabStop | DefaultButton},
    };
    return t;
}

// The settings carriers are hidden: only their ids and contents matter.
ControlEntry hiddenEdit(int id) {
    return {id, K::Edit, "", {0, 0, 20, 12}, Hidden};
}

DialogTemplate mainWindow() {
    DialogTemplate t;
    t.id = kMainWindowTemplate;
    t.caption = "Vemo Temp Probe Interface";
    t.size = {242, 148};
    t.resizable = true;
    t.controls = {
        {1, K::PushButton, "Save && Exit", {165, 12, 61, 14}},
        {2, K::PushButton, "Quit", {165, 30, 61, 14}, TabStop},
        {kNoId, K::StaticText, "Probe 1 Temp", {28, 26, 48, 11}},
        {kNoId, K::StaticText, "Probe 2 Temp", {28, 50, 50, 11}},
        {kLoggingSwitch, K::CheckBox, "Logging Disabled", {14, 87, 66, 14}, TabStop | PushLike},
        {kNoId, K::StaticText, "Status", {13, 113, 25, 12}, Centered},
        {kStatusLine, K::StaticText, "", {41, 113, 185, 12}, Sunken},
        {kSetupButton, K::PushButton, "Setup...", {165, 87, 61, 14}, TabStop | DefaultButton},
        {kP1Display, K::Edit, "", {82, 24, 37, 13}, ReadOnly | ScrollsSideways},
        {kP2Display, K::Edit, "", {82, 49, 38, 13}, ReadOnly | ScrollsSideways},
        {kNoId, K::GroupBox, "Probe Output", {14, 9, 126, 63}},
        {kSerialControl, K::Component, "", {95, 68, 60, 25}, Hidden, {}, kSerialComponentClass},
        hiddenEdit(kP1FullScaleTemp),
        hiddenEdit(kP1MinTemp),
        hiddenEdit(kP1FullScaleCounts),
        hiddenEdit(kP1MinCounts),
        hiddenEdit(kP2FullScaleTemp),
        hiddenEdit(kP2MinTemp),
        hiddenEdit(kP2FullScaleCounts),
        hiddenEdit(kP2MinCounts),
        hiddenEdit(kP1Offset),
        hiddenEdit(kP2Offset),
        hiddenEdit(kLogPath),
        hiddenEdit(kPortNumber),
        {kP1Channel, K::ComboBox, "", {0, 0, 26, 49}, Hidden, {"0", "1", "2"}},
        {kP2Channel, K::ComboBox, "", {0, 0, 26, 41}, Hidden, {"0", "1", "2"}},
        {kLineSettings, K::StaticText, "", {0, 0, 47, 16}, Hidden},
        {kEcho, K::CheckBox, "Echo", {0, 0, 34, 9}, Hidden},
        hiddenEdit(kPortBox), // unused
    };
    return t;
}

ControlEntry label(const char* text, QRect rect) {
    return {kNoId, K::StaticText, text, rect};
}
ControlEntry group(const char* text, QRect rect) {
    return {kNoId, K::GroupBox, text, rect};
}
ControlEntry box(int id, QRect rect, unsigned flags = 0) {
    return {id, K::ComboBox, "", rect, TabStop | flags};
}
ControlEntry edit(int id, QRect rect) {
    return {id, K::Edit, "", rect, TabStop | ScrollsSideways};
}

// Controls stand in tab order; labels and frames sit beside what they describe.
DialogTemplate setupDialog() {
    DialogTemplate t;
    t.id = kSetupTemplate;
    t.caption = "Setup";
    t.size = {282, 237};
    t.controls = {
        {1, K::PushButton, "OK", {224, 7, 50, 14}, TabStop | DefaultButton},
        {2, K::PushButton, "Cancel", {224, 25, 50, 14}, TabStop},
        group("Com ", {7, 7, 122, 109}),
        label("Speed", {22, 40, 30, 12}),
        box(kSpeedBox, {58, 39, 44, 85}),
        label("Data Bits", {22, 57, 30, 12}),
        box(kDataBitsBox, {58, 56, 44, 58}),
        label("Stop Bits", {22, 74, 30, 12}),
        box(kStopBitsBox, {58, 73, 44, 44}),
        label("Parity", {22, 91, 30, 12}),
        box(kParityBox, {58, 90, 44, 72}),
        group("A/D Channels", {138, 7, 82, 41}),
        label("Probe 1", {149, 17, 34, 10}),
        box(kP1Channel, {183, 15, 26, 49}),
        label("Probe 2", {149, 31, 34, 10}),
        box(kP2Channel, {183, 31, 26, 41}),
        group("Calibration", {7, 124, 267, 106}),
        label("P1 Full Scale Temp", {28, 137, 66, 13}),
        edit(kP1FullScaleTemp, {101, 137, 32, 13}),
        label("P1 Min Temp", {28, 155, 66, 13}),
        edit(kP1MinTemp, {101, 155, 32, 13}),
        label("P1 Full Scale Counts", {28, 172, 66, 13}),
        edit(kP1FullScaleCounts, {101, 172, 32, 13}),
        label("P1 Min Counts", {28, 190, 66, 13}),
        edit(kP1MinCounts, {101, 190, 32, 13}),
        label("P2 Full Scale Temp", {142, 137, 66, 13}),
        edit(kP2FullScaleTemp, {221, 137, 32, 13}),
        label("P2 Min Temp", {142, 155, 66, 13}),
        edit(kP2MinTemp, {221, 155, 32, 13}),
        label("P2 Full Scale Counts", {142, 172, 66, 13}),
        edit(kP2FullScaleCounts, {221, 172, 32, 13}),
        label("P2 Min Counts", {142, 190, 66, 13}),
        edit(kP2MinCounts, {221, 190, 32, 13}),
        group("Log File", {138, 80, 137, 36}),
        edit(kLogPath, {149, 93, 114, 12}),
        label("P1 Offset", {28, 207, 66, 13}),
        edit(kP1Offset, {101, 208, 32, 13}),
        label("P2 Offset", {142, 207, 66, 13}),
        edit(kP2Offset, {221, 209, 32, 13}),
        label("Port", {22, 25, 30, 12}),
        box(kPortBox, {58, 22, 44, 61}, SortedList),
        group("Echo", {138, 50, 82, 28}),
        {kEcho, K::CheckBox, "Echo", {162, 62, 34, 9}, TabStop},
        {kLineSettings, K::StaticText, "", {227, 63, 47, 16}, Hidden | Border},
        {kPortNumber, K::Edit, "", {246, 44, 28, 14}, Hidden},
    };
    return t;
}

} // namespace

const DialogTemplate& dialogTemplate(ResourceId id) {
    static const DialogTemplate about = aboutBox(), main = mainWindow(), setup = setupDialog();
    switch (id) {
    case kAboutBoxTemplate:
        return about;
    case kSetupTemplate:
        return setup;
    default:
        return main;
    }
}

std::string loadString(ResourceId id) {
    return id == kAboutMenuString ? "&About Vemo..." : "";
}

// Both icons show the same thermometer; the About icon also has a 16 by 16 image.
const char* iconPath(ResourceId) {
    return ":/icons/vemo32.xpm";
}

QIcon loadIcon(ResourceId id) {
    QIcon icon(iconPath(id));
    if (id == kAboutIcon) icon.addFile(":/icons/vemo16.xpm", QSize(16, 16));
    return icon;
}
