#include "app/lettering_app.h"

#include "editor/lettering_dlg.h"

BEGIN_MESSAGE_MAP(CLetteringApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CLetteringApp::CLetteringApp() : CWinApp(nullptr) {}

CLetteringApp::~CLetteringApp() = default;

BOOL CLetteringApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    CLetteringDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
