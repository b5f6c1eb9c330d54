#pragma once

#include "DialogTemplate.h"

#include <QIcon>
#include <string>

// Resource ids of the program: dialog templates, icons and strings.
enum ResourceId {
    kAboutBoxTemplate = 100,
    kAboutMenuString = 101,
    kMainWindowTemplate = 102,
    kAboutIcon = 128,
    kMainWindowIcon = 132,
    kSetupTemplate = 133,
};

// Control ids shared by the main window and the Setup dialog.
enum ControlId {
    kSerialControl = 1003,
    kP2FullScaleTemp = 1016,
    kP2MinTemp = 1018,
    kP2FullScaleCounts = 1020,
    kP2MinCounts = 1022,
    kStatusLine = 1023,
    kP2Offset = 1025,
    kLogPath = 1026,
    kP1FullScaleTemp = 1029,
    kP1MinTemp = 1030,
    kP1FullScaleCounts = 1031,
    kP1MinCounts = 1032,
    kP1Offset = 1033,
    kLoggingSwitch = 1013,
    kP2Channel = 1041,
    kP1Channel = 1042,
    kSpeedBox = 1045,
    kDataBitsBox = 1046,
    kStopBitsBox = 1047,
    kParityBox = 1048,
    kSetupButton = 1051,
    kP1Display = 1052,
    kP2Display = 1053,
    kPortBox = 1061,
    kLineSettings = 1062,
    kPortNumber = 1064,
    kEcho = 1067,
};

const DialogTemplate& dialogTemplate(ResourceId id);
// Empty for an id that has no string.
std::string loadString(ResourceId id);
QIcon loadIcon(ResourceId id);
// The resource path of an icon, as an icon control of a template names it.
const char* iconPath(ResourceId id);
