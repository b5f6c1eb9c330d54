#include "ProbeDlg.h"

#include "AboutDlg.h"
#include "DataExchange.h"
#include "MessageBox.h"
#include "Resources.h"
#include "SerialComponent.h"
#include "SettingsArchive.h"
#include "SetupDlg.h"
#include "StatusLine.h"
#include "Win1252.h"

#include <QPainter>
#include <QStyle>

namespace {

constexpr const char* kSettingsFileName = "vemo.dat";
constexpr int kAboutCommand = 16;
constexpr int kReceiveEvent = 2;
constexpr int kOnCommEvent = 1;

} // namespace

CProbeDlg::CProbeDlg(QWidget* parent, Clock clock)
    : Dialog(dialogTemplate(kMainWindowTemplate), parent)
    , m_hIcon(loadIcon(kMainWindowIcon))
    , m_dataLog(std::move(clock)) {}

const MessageTable& CProbeDlg::messageTable() const {
    static const MessageTable table = {
        {Notify::SysCommand, 0, handler(&CProbeDlg::OnSysCommand)},
        {Notify::Clicked, kLoggingSwitch, handler(&CProbeDlg::OnLogging)},
        {Notify::Clicked, kSetupButton, handler(&CProbeDlg::OnSetup)},
    };
    return table;
}

const EventTable& CProbeDlg::eventTable() const {
    static const EventTable table = {
        {kSerialControl, kOnCommEvent, handler(&CProbeDlg::OnComm)},
    };
    return table;
}

void CProbeDlg::DoDataExchange(DataExchange& dx) {
    m_comm.attach(qobject_cast<SerialComponent*>(component(kSerialControl)));
    dx.number(kP1FullScaleTemp, m_p1FullScaleTemp);
    dx.number(kP2FullScaleTemp, m_p2FullScaleTemp);
    dx.number(kP1MinTemp, m_p1MinTemp);
    dx.number(kP2MinTemp, m_p2MinTemp);
    dx.text(kStatusLine, m_status);
    dx.unsignedInteger(kP1FullScaleCounts, m_p1FullScaleCounts, 0, kMaxCounts);
    dx.unsignedInteger(kP2FullScaleCounts, m_p2FullScaleCounts, 0, kMaxCounts);
    dx.unsignedInteger(kP1MinCounts, m_p1MinCounts, 0, kMaxCounts);
    dx.unsignedInteger(kP2MinCounts, m_p2MinCounts, 0, kMaxCounts);
    dx.text(kP1Display, m_p1Temp);
    dx.text(kP2Display, m_p2Temp);
    dx.text(kLogPath, m_logFile);
    dx.comboText(kP1Channel, m_p1Channel);
    dx.comboText(kP2Channel, m_p2Channel);
    dx.number(kP1Offset, m_p1Offset);
    dx.number(kP2Offset, m_p2Offset);
    dx.text(kLineSettings, m_commSettings);
    dx.shortInteger(kPortNumber, m_commPort, kMinPort, kMaxPort);
    dx.checkBox(kEcho, m_echo);
}

bool CProbeDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const std::string about = loadString(kAboutMenuString);
    if (!about.empty()) {
        appendWindowMenuSeparator();
        appendWindowMenuItem(about, kAboutCommand);
    }
    setWindowIcon(m_hIcon);
    LoadSettingsFile();
    StartPort();
    updateData(true);
    return true;
}

void CProbeDlg::OnOK() {
    const bool valid = updateData(true);
    SaveSettingsFile();
    ClosePort();
    if (valid) endDialog(Ok);
}

void CProbeDlg::OnCancel() {
    ClosePort();
    endDialog(Cancel);
}

void CProbeDlg::OnSysCommand(int commandId) {
    if ((commandId & ~0xF) == kAboutCommand) {
        CAboutDlg about(this);
        about.runModal();
    } else {
        defaultSysCommand(commandId);
    }
}

// Only a minimized window is painted by hand: it shows the icon centred.
void CProbeDlg::paintEvent(QPaintEvent* event) {
    if (isMinimized())
        OnPaint();
    else
        Dialog::paintEvent(event);
}

void CProbeDlg::OnPaint() {
    QPainter painter(this);
    const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const int x = (width() - size + 1) / 2;
    const int y = (height() - size + 1) / 2;
    m_hIcon.paint(&painter, x, y, size, size);
}

void CProbeDlg::OnLogging() {
    const bool enabled = controlText(kLoggingSwitch) == "Logging Enabled";
    setControlText(kLoggingSwitch, enabled ? "Logging Disabled" : "Logging Enabled");
}

void CProbeDlg::OnComm() {
    if (m_comm.GetCommEvent() != kReceiveEvent) return;
    const std::string chunk = m_comm.GetInput();
    if (auto line = m_lineAssembler.feed(chunk, m_echo != 0)) {
        processLine(*line, *this, m_dataLog, Calibrations());
        setControlText(kStatusLine, m_lineStatus);
    }
}

std::array<Calibration, 2> CProbeDlg::Calibrations() const {
    return {{{m_p1FullScaleTemp, m_p1MinTemp, m_p1Offset, m_p1FullScaleCounts, m_p1MinCounts},
             {m_p2FullScaleTemp, m_p2MinTemp, m_p2Offset, m_p2FullScaleCounts, m_p2MinCounts}}};
}

void CProbeDlg::OnSetup() {
    CSetupDlg setup(this);
    updateData(true);
    static_cast<ProbeSettings&>(setup) = *this;
    ClosePort();
    if (setup.runModal() == Ok) {
        copyProbeFields(setup, *this);
        m_commPort = setup.m_commPort;
        m_comm.SetCommPort(m_commPort);
        m_commSettings = setup.m_commSettings;
        m_comm.SetSettings(m_commSettings);
        m_echo = setup.m_echo;
        updateData(false);
    }
    ReopenPort();
}

void CProbeDlg::StartPort() {
    if (m_commPort <= 0) {
        m_commPort = 1;
        setControlText(kPortNumber, "1");
    }
    m_comm.SetSettings(m_commSettings);
    m_comm.SetCommPort(m_commPort);
    m_comm.SetPortOpen(true);
    setCheckState(kEcho, m_echo != 0 ? 1 : 0);
    WriteStatusLine();
}

void CProbeDlg::ClosePort() {
    if (m_comm.GetPortOpen()) m_comm.SetPortOpen(false);
}

void CProbeDlg::ReopenPort() {
    m_comm.SetPortOpen(true);
    WriteStatusLine();
}

void CProbeDlg::WriteStatusLine() {
    const bool open = m_comm.GetPortOpen();
    const std::int16_t port = m_comm.GetCommPort();
    setControlText(kStatusLine, formatStatusLine(port, open, m_commSettings, checkState(kEcho)));
    control(kStatusLine)
        ->setToolTip(statusToolTip(port, open, m_comm.GetDeviceName(), m_comm.GetLastOpenError()));
}

void CProbeDlg::LoadSettingsFile() {
    loadSettingsFile(kSettingsFileName, [this](LoadArchive& archive) { Serialize(archive); });
}

// A failed save is told, not hidden; leaving the program goes on either way.
void CProbeDlg::SaveSettingsFile() {
    const auto failure =
        saveSettingsFile(kSettingsFileName, [this](StoreArchive& archive) { Serialize(archive); });
    if (failure)
        showMessage(std::string("The settings could not be saved to ") + kSettingsFileName + ": " +
                        *failure,
                    MessageIcon::Exclamation, this);
}

void CProbeDlg::Serialize(LoadArchive& archive) {
    loadSettings(archive, *this);
}
void CProbeDlg::Serialize(StoreArchive& archive) {
    storeSettings(archive, *this);
}

void CProbeDlg::setStatus(const std::string& text) {
    m_lineStatus = text;
}

void CProbeDlg::setDisplay(int probe, const std::string& text) {
    setControlText(probe == 0 ? kP1Display : kP2Display, text);
}

int CProbeDlg::channel(int probe) const {
    return comboSelection(probe == 0 ? kP1Channel : kP2Channel);
}
bool CProbeDlg::loggingOn() const {
    return checkState(kLoggingSwitch) == 1;
}
std::string CProbeDlg::logPath() const {
    return controlText(kLogPath);
}

void CProbeDlg::setCarrierText(int controlId, const std::string& text) {
    setControlText(controlId, text);
}

void CProbeDlg::selectChannel(int selectorId, std::int32_t position) {
    setComboSelection(selectorId, position);
    if (comboSelection(selectorId) < 0) return;
    (selectorId == kP1Channel ? m_p1Channel : m_p2Channel) = controlText(selectorId);
}

void CProbeDlg::setPort(const std::string& carrierText, std::int16_t port) {
    setControlText(kPortNumber, carrierText);
    m_commPort = port;
}

void CProbeDlg::setLineSettings(const std::string& text) {
    m_commSettings = text;
    setControlText(kLineSettings, text);
    m_comm.SetSettings(text);
}

void CProbeDlg::setEcho(bool on) {
    m_echo = on ? 1 : 0;
    setCheckState(kEcho, m_echo);
}

std::string CProbeDlg::carrierText(int controlId) const {
    return controlText(controlId);
}
std::int32_t CProbeDlg::channelPosition(int selectorId) const {
    return comboSelection(selectorId);
}
std::int16_t CProbeDlg::commPort() const {
    return m_commPort;
}
std::string CProbeDlg::commSettings() const {
    return m_commSettings;
}
bool CProbeDlg::echoChecked() const {
    return checkState(kEcho) == 1;
}
