#include "AboutDlg.h"

#include "Resources.h"

CAboutDlg::CAboutDlg(QWidget* owner)
    : Dialog(dialogTemplate(kAboutBoxTemplate), owner) {}
