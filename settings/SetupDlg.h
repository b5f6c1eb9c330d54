#pragma once

#include "Dialog.h"
#include "ProbeSettings.h"

// The Setup dialog: edits a copy of the probe settings. The port number and the line
// settings text travel through hidden fields; the line settings are split over four boxes.
class CSetupDlg : public Dialog, public ProbeSettings {
public:
    explicit CSetupDlg(QWidget* owner = nullptr);

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void FillLists();
};
