#pragma once

class CProbeDlg;

// The application: runs the main window modally; the program ends when it closes.
class CProbeApp {
public:
    // Always false: there is nothing to run once the main window has closed.
    bool InitInstance();

    CProbeDlg* m_mainWindow = nullptr;
};

extern CProbeApp theApp;
