// The application object, message boxes of the framework, help, and the program's entry.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/base/codepage.h"
#include "platform/display/display.h"
#include "platform/files/drive.h"
#include "platform/windows/afxwin.h"
#include "platform/windows/window_internal.h"

namespace {

// The one application object, registered by its constructor.
CWinApp*& TheApp() {
    static CWinApp* app = nullptr;
    return app;
}

class NoHelpEngine : public platform::HelpEngine {
public:
    bool ShowContext(const std::string&, DWORD) override { return false; }
};

std::unique_ptr<platform::HelpEngine>& HelpEngineSlot() {
    static std::unique_ptr<platform::HelpEngine> engine = std::make_unique<NoHelpEngine>();
    return engine;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string ExecutablePath(const char* argv0) {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) return std::string(buffer, static_cast<std::size_t>(n));
    return argv0 ? argv0 : "komalore";
}

}  // namespace

namespace platform {

void InstallHelpEngine(std::unique_ptr<HelpEngine> engine) {
    HelpEngineSlot() = engine ? std::move(engine) : std::make_unique<NoHelpEngine>();
}

HelpEngine& CurrentHelpEngine() { return *HelpEngineSlot(); }

int RunApplication(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "komalore: no application object\n");
        return 1;
    }
    std::string error;
    std::unique_ptr<display::Display> display = display::OpenSdlDisplay(error);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display: %s\n", BaseName(ExecutablePath(argc > 0 ? argv[0] : nullptr)).c_str(),
                     error.c_str());
        return 1;
    }
    display::InstallDisplay(std::move(display));
    app->StartUp(ExecutablePath(argc > 0 ? argv[0] : nullptr));
    int status = 0;
    if (!app->InitInstance()) status = app->ExitInstance();
    display::RemoveDisplay();
    return status;
}

}  // namespace platform

namespace platform::win {

bool FilterDialogMessage(HWND, const MSG& msg) {
    // F1 alone asks the main window for help.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) {
            SendMessageA(main->m_hWnd, WM_COMMAND, ID_HELP, 0);
            return true;
        }
    }
    return false;
}

}  // namespace platform::win

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR appName) {
    if (appName) appName_ = appName;
    TheApp() = this;
}

CWinApp::~CWinApp() {
    if (TheApp() == this) TheApp() = nullptr;
}

void CWinApp::StartUp(const std::string& executablePath) {
    exeName_ = BaseName(executablePath);
    // Without a name of its own, the application is named after its executable.
    if (appName_.empty()) appName_ = exeName_;
    const auto dot = executablePath.find_last_of('.');
    const auto slash = executablePath.find_last_of('/');
    helpPath_ = (dot != std::string::npos && (slash == std::string::npos || dot > slash) ? executablePath.substr(0, dot)
                                                                                         : executablePath) +
                ".HLP";
    m_pszAppName = appName_.c_str();
    m_pszExeName = exeName_.c_str();
    m_pszHelpFilePath = helpPath_.c_str();
    if (!platform::files::EnsureDriveRoot()) {
        std::fprintf(stderr, "%s: cannot create the drive folder %s\n", m_pszAppName, platform::files::DriveRoot().c_str());
    }
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

BOOL CWinApp::Enable3dControlsStatic() {
    // Controls here are always drawn in 3-D.
    return TRUE;
}

int CWinApp::DoMessageBox(LPCSTR prompt, UINT type, UINT) {
    // A box without an icon of its own gets the one that suits its buttons.
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
            case MB_OK:
            case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
            case MB_YESNO: type |= MB_ICONQUESTION; break;
            default: break;
        }
    }
    HWND owner = nullptr;
    if (HWND active = GetActiveWindow(); active && IsWindowEnabled(active)) owner = active;
    else if (m_pMainWnd && m_pMainWnd->m_hWnd && IsWindowEnabled(m_pMainWnd->m_hWnd)) owner = m_pMainWnd->m_hWnd;
    return MessageBoxA(owner, prompt, m_pszAppName, type);
}

void CWinApp::WinHelp(DWORD data, UINT) {
    if (!platform::CurrentHelpEngine().ShowContext(helpPath_, data)) AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP);
}

void CWinApp::OnHelp() {
    // The context is that of the active dialog's template.
    DWORD context = HID_BASE_RESOURCE;
    HWND active = GetActiveWindow();
    if (CWnd* wnd = CWnd::FromHandle(active)) {
        if (auto* dialog = dynamic_cast<CDialog*>(wnd)) context += dialog->m_nIDHelp;
    }
    WinHelp(context);
}

CWinApp* AfxGetApp() { return TheApp(); }

CWnd* AfxGetMainWnd() { return TheApp() ? TheApp()->m_pMainWnd : nullptr; }

void AfxEnableControlContainer() {
    // No control of this program hosts embedded components; there is nothing to switch on.
}

int AfxMessageBox(LPCSTR text, UINT type, UINT helpId) {
    if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(text, type, helpId);
    return MessageBoxA(nullptr, text, nullptr, type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
    const std::string text = AfxFrameworkString(promptId);
    return AfxMessageBox(text.c_str(), type, helpId == static_cast<UINT>(-1) ? promptId : helpId);
}

std::string AfxFrameworkString(UINT id) {
    switch (id) {
        case AFX_IDP_PARSE_INT: return platform::Cp932FromUtf8("整数を入力してください。");
        case AFX_IDP_FAILED_TO_LAUNCH_HELP: return platform::Cp932FromUtf8("ﾍﾙﾌﾟの起動に失敗しました。");
        default: return {};
    }
}
