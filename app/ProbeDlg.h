#pragma once

#include "CCMSCommCtrl.h"
#include "DataLog.h"
#include "Dialog.h"
#include "LineAssembler.h"
#include "ProbeSettings.h"
#include "SampleLine.h"
#include "SettingsFile.h"

#include <QIcon>
#include <cstdint>
#include <string>

class LoadArchive;
class StoreArchive;

// The main window: shows the two probe temperatures, the logging switch and the status
// line, hosts the serial control and carries the probe settings in hidden controls. The
// settings members are bound to those controls by DoDataExchange.
class CProbeDlg : public Dialog,
                  public ProbeSettings,
                  private LineTarget,
                  private SettingsFileTarget,
                  private SettingsFileSource {
public:
    explicit CProbeDlg(QWidget* parent = nullptr, Clock clock = systemClock);

    // Reads or writes the settings file's sixteen fields through the carriers.
    void Serialize(LoadArchive& archive);
    void Serialize(StoreArchive& archive);

    // Display texts, bound to the status line and the two temperature displays.
    std::string m_status;
    std::string m_p1Temp;
    std::string m_p2Temp;

    CCMSCommCtrl m_comm;
    QIcon m_hIcon;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    const MessageTable& messageTable() const override;
    const EventTable& eventTable() const override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnComm();
    void OnLogging();
    void OnSetup();
    void OnSysCommand(int commandId);
    void OnPaint();

    // The port sequences at start-up, around the Setup dialog and on leaving.
    void StartPort();
    void ClosePort();
    void ReopenPort();
    void WriteStatusLine();
    void LoadSettingsFile();
    void SaveSettingsFile();
    std::array<Calibration, 2> Calibrations() const;

    // LineTarget
    void setStatus(const std::string& text) override;
    void setDisplay(int probe, const std::string& text) override;
    int channel(int probe) const override;
    bool loggingOn() const override;
    std::string logPath() const override;
    // SettingsFileTarget
    void setCarrierText(int controlId, const std::string& text) override;
    void selectChannel(int selectorId, std::int32_t position) override;
    void setPort(const std::string& carrierText, std::int16_t port) override;
    void setLineSettings(const std::string& text) override;
    void setEcho(bool on) override;
    // SettingsFileSource
    std::string carrierText(int controlId) const override;
    std::int32_t channelPosition(int selectorId) const override;
    std::int16_t commPort() const override;
    std::string commSettings() const override;
    bool echoChecked() const override;

    // State of the receive path, kept for the whole run whatever happens to the port.
    LineAssembler m_lineAssembler;
    DataLog m_dataLog;
    // The status texts of one line: only the last can be seen, so only it reaches the control.
    std::string m_lineStatus;
};
