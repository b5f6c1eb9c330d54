#include "ProbeApp.h"

#include "Component.h"
#include "ProbeDlg.h"
#include "SerialComponent.h"

CProbeApp theApp;

bool CProbeApp::InitInstance() {
    ComponentRegistry::enableHosting();
    registerSerialComponent();
    CProbeDlg dialog;
    m_mainWindow = &dialog;
    dialog.runModal(); // a window that could not be built ends the program silently
    m_mainWindow = nullptr;
    return false;
}
