#include "SetupDlg.h"

#include "DataExchange.h"
#include "Resources.h"
#include "SettingsFile.h"

#include <array>
#include <cstdio>

namespace {

struct List {
    int id;
    std::vector<std::string> items;
};

const std::array<List, 7> kLists = {{
    {kPortBox, {"1", "2", "3", "4"}},
    {kSpeedBox, {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400"}},
    {kDataBitsBox, {"4", "5", "6", "7", "8"}},
    {kStopBitsBox, {"1", "1.5", "2"}},
    {kParityBox, {"E", "M", "N", "O", "S"}},
    {kP1Channel, {"0", "1", "2"}},
    {kP2Channel, {"0", "1", "2"}},
}};

struct LineSettingsTexts {
    std::string speed = "9600", parity = "N", dataBits = "8", stopBits = "1";
};

// The four box values of a line settings text; the defaults unless all four fields convert.
LineSettingsTexts splitLineSettings(const std::string& text) {
    const auto fields = scanLineSettings(text);
    if (!fields) return {};
    char stopBits[32];
    std::snprintf(stopBits, sizeof stopBits, "%g", fields->stopBits);
    return {std::to_string(fields->speed), std::string(1, fields->parity),
            std::to_string(fields->dataBits), stopBits};
}

} // namespace

CSetupDlg::CSetupDlg(QWidget* owner)
    : Dialog(dialogTemplate(kSetupTemplate), owner) {}

void CSetupDlg::DoDataExchange(DataExchange& dx) {
    dx.comboText(kP1Channel, m_p1Channel);
    dx.comboText(kP2Channel, m_p2Channel);
    dx.unsignedInteger(kP1FullScaleCounts, m_p1FullScaleCounts, 0, kMaxCounts);
    dx.number(kP1FullScaleTemp, m_p1FullScaleTemp);
    dx.unsignedInteger(kP2FullScaleCounts, m_p2FullScaleCounts, 0, kMaxCounts);
    dx.unsignedInteger(kP1MinCounts, m_p1MinCounts, 0, kMaxCounts);
    dx.unsignedInteger(kP2MinCounts, m_p2MinCounts, 0, kMaxCounts);
    dx.number(kP2FullScaleTemp, m_p2FullScaleTemp);
    dx.number(kP1MinTemp, m_p1MinTemp);
    dx.number(kP2MinTemp, m_p2MinTemp);
    dx.text(kLogPath, m_logFile);
    dx.number(kP1Offset, m_p1Offset);
    dx.number(kP2Offset, m_p2Offset);
    dx.text(kLineSettings, m_commSettings);
    dx.shortInteger(kPortNumber, m_commPort, kMinPort, kMaxPort);
    dx.checkBox(kEcho, m_echo);
}

void CSetupDlg::FillLists() {
    for (const List& list : kLists)
        for (const std::string& item : list.items)
            addComboItem(list.id, item);
}

bool CSetupDlg::OnInitDialog() {
    FillLists();
    updateData(false);
    selectComboPrefix(kPortBox, controlText(kPortNumber));
    const LineSettingsTexts line = splitLineSettings(m_commSettings);
    selectComboPrefix(kSpeedBox, line.speed);
    selectComboPrefix(kParityBox, line.parity);
    selectComboPrefix(kDataBitsBox, line.dataBits);
    selectComboPrefix(kStopBitsBox, line.stopBits);
    return true;
}

void CSetupDlg::OnOK() {
    const std::string speed = controlText(kSpeedBox);
    const std::string dataBits = controlText(kDataBitsBox);
    const std::string parity = controlText(kParityBox);
    const std::string stopBits = controlText(kStopBitsBox);
    setControlText(kLineSettings, speed + "," + parity + "," + dataBits + "," + stopBits);
    setControlText(kPortNumber, controlText(kPortBox));
    if (!updateData(true)) {
        if (failedControl() == kPortNumber) // the hidden field stands for the Port box
            focusControl(kPortBox);
        return;
    }
    m_echo = checkState(kEcho) == 1 ? 1 : 0;
    endDialog(Ok);
}
