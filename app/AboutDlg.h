#pragma once

#include "Dialog.h"

// The About box: the program's name, version and a line about what it does.
class CAboutDlg : public Dialog {
public:
    explicit CAboutDlg(QWidget* owner = nullptr);
};
