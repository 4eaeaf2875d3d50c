// The application framework: the application object, windows with message maps, dialogs and
// their data exchange, drawing-context and font wrappers, message boxes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/windef.h"
#include "platform/controls/resources.h"
#include "platform/files/afx_file.h"
#include "platform/files/winbase.h"
#include "platform/gdi/wingdi.h"
#include "platform/windows/winuser.h"

class CCmdTarget;
class CWnd;
class CDC;
class CMenu;
class CDataExchange;

// ---------------------------------------------------------------------------------------------
// Message maps

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT message;  // the window message, WM_COMMAND for commands
    UINT code;     // the notification code of a command
    UINT id;       // the control or command id
    AFX_PMSG handler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* base;
    const AFX_MSGMAP_ENTRY* entries;
};

namespace afx_thunk {
// Each kind of handler signature has a thunk that unpacks the message's parameters.
template <class T, auto F>
LRESULT Void(CCmdTarget* t, WPARAM, LPARAM) {
    (static_cast<T*>(t)->*F)();
    return 0;
}
template <class T, auto F>
LRESULT SysCommand(CCmdTarget* t, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(t)->*F)(static_cast<UINT>(wParam), lParam);
    return 0;
}
template <class T, auto F>
LRESULT Handle(CCmdTarget* t, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((static_cast<T*>(t)->*F)());
}
template <class T, auto F>
LRESULT Mouse(CCmdTarget* t, WPARAM wParam, LPARAM lParam);
}  // namespace afx_thunk

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
                                                                \
public:                                                         \
    const AFX_MSGMAP* GetMessageMap() const override;           \
                                                                \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                               \
        using ThisClass = theClass;                                                 \
        using TheBaseClass = baseClass;                                             \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                    \
    {0, 0, 0, nullptr}                                                       \
    }                                                                        \
    ;                                                                        \
    static const AFX_MSGMAP map = {TheBaseClass::GetThisMessageMap(), entries}; \
    return &map;                                                             \
    }

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, static_cast<UINT>(id), &afx_thunk::Void<ThisClass, &ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), &afx_thunk::Void<ThisClass, &ThisClass::memberFxn>},
#define ON_STN_CLICKED(id, memberFxn) \
    {WM_COMMAND, STN_CLICKED, static_cast<UINT>(id), &afx_thunk::Void<ThisClass, &ThisClass::memberFxn>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &afx_thunk::Void<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, &afx_thunk::SysCommand<ThisClass, &ThisClass::OnSysCommand>},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, &afx_thunk::Handle<ThisClass, &ThisClass::OnQueryDragIcon>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, &afx_thunk::Mouse<ThisClass, &ThisClass::OnLButtonDown>},
#define ON_WM_RBUTTONDOWN() {WM_RBUTTONDOWN, 0, 0, &afx_thunk::Mouse<ThisClass, &ThisClass::OnRButtonDown>},

// ---------------------------------------------------------------------------------------------
// Small value types

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int x, int y) : POINT{x, y} {}
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

// A string of the program's code page.
class CString {
public:
    CString() = default;
    CString(LPCSTR s) : text_(s ? s : "") {}
    CString(std::string s) : text_(std::move(s)) {}
    BOOL LoadString(UINT id);
    BOOL IsEmpty() const { return text_.empty() ? TRUE : FALSE; }
    int GetLength() const { return static_cast<int>(text_.size()); }
    operator LPCSTR() const { return text_.c_str(); }
    const std::string& Str() const { return text_; }
    void Format(LPCSTR format, ...);
    bool operator==(const CString& o) const { return text_ == o.text_; }

private:
    std::string text_;
};

// ---------------------------------------------------------------------------------------------
// Command targets and windows

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

    // Runs the handler of a command in this object's map chain; FALSE when it has none.
    virtual BOOL OnCmdMsg(UINT id, int code);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() { DeleteObject(); }
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ obj);
    HGDIOBJ Detach();

    HGDIOBJ m_hObject = nullptr;
};

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCSTR faceName);
    BOOL CreateFontIndirect(const LOGFONTA* logfont);
    operator HFONT() const { return m_hObject; }
};

class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    static CDC* FromHandle(HDC hdc);
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    CFont* SelectObject(CFont* font);
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    int DrawText(LPCSTR text, int length, LPRECT rect, UINT format) { return ::DrawTextA(m_hDC, text, length, rect, format); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL TextOut(int x, int y, LPCSTR text, int length) { return ::TextOutA(m_hDC, x, y, text, length); }

    HDC m_hDC = nullptr;

private:
    std::vector<std::unique_ptr<CFont>> temporaries_;  // wrappers of fonts handed back by SelectObject
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    static CWnd* FromHandle(HWND hwnd);
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);

    // The usual window operations on m_hWnd.
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(LPSTR buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    HICON SetIcon(HICON icon, BOOL bigIcon) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    CMenu* GetSystemMenu(BOOL revert);
    CDC* GetDC();
    int ReleaseDC(CDC* dc);
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void CenterWindow(CWnd* alternateOwner = nullptr);
    BOOL DestroyWindow();

    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The framework's entry for messages of the window this object handles.
    LRESULT DispatchFromWindowManager(UINT message, WPARAM wParam, LPARAM lParam);
    void DetachFromDestroyedWindow();

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange* dx) {}
    // Handles the current message the way the window would without this object.
    LRESULT Default();

    // Handlers with the default behaviour, for the maps of derived classes to name.
    void OnPaint() { Default(); }
    void OnSysCommand(UINT id, LPARAM lParam) { Default(); }
    void OnLButtonDown(UINT flags, CPoint point) { Default(); }
    void OnRButtonDown(UINT flags, CPoint point) { Default(); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<CurrentMessage> current_;
    std::unique_ptr<CMenu> systemMenu_;

    friend class CDialog;
};

template <class T, auto F>
LRESULT afx_thunk::Mouse(CCmdTarget* t, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(t)->*F)(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return 0;
}

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CStatic : public CWnd {};

class CButton : public CWnd {};

class CMenu {
public:
    explicit CMenu(HMENU menu = nullptr) : m_hMenu(menu) {}
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) { return ::AppendMenuA(m_hMenu, flags, id, text); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    HMENU m_hMenu = nullptr;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Dialogs

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Puts the focus back on the control that failed, selects its text and ends the exchange.
    [[noreturn]] void Fail();

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    HWND m_idLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// Thrown by a failed exchange; the framework catches it where it started the exchange.
class CUserException {};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, int& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int result);

    UINT m_nIDHelp = 0;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------------------------
// The application

constexpr UINT ID_HELP = 0xE146;
constexpr UINT AFX_IDP_FAILED_TO_LAUNCH_HELP = 0xF107;  // 61703
constexpr UINT AFX_IDP_PARSE_INT = 0xF110;              // 61712
constexpr DWORD HID_BASE_RESOURCE = 0x00020000;
constexpr UINT HELP_CONTEXT = 0x0001;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int DoMessageBox(LPCSTR prompt, UINT type, UINT helpId);
    virtual void WinHelp(DWORD data, UINT command = HELP_CONTEXT);

    HICON LoadIcon(UINT id) const { return ::LoadIconA(m_hInstance, static_cast<int>(id)); }
    BOOL Enable3dControlsStatic();

    // Called by the entry point before InitInstance, with the executable's path.
    void StartUp(const std::string& executablePath);

    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;
    LPCSTR m_pszExeName = nullptr;
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

    void OnHelp();

private:
    std::string appName_;
    std::string exeName_;
    std::string helpPath_;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
void AfxEnableControlContainer();
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

// The framework's own prompts, in code page 932.
std::string AfxFrameworkString(UINT id);

// ---------------------------------------------------------------------------------------------
// The help engine. The platform has none, so the installed engine reports failure; tests put in
// one that records what it was asked.

namespace platform {

class HelpEngine {
public:
    virtual ~HelpEngine() = default;
    virtual bool ShowContext(const std::string& helpFile, DWORD context) = 0;
};

void InstallHelpEngine(std::unique_ptr<HelpEngine> engine);
HelpEngine& CurrentHelpEngine();

// The entry point's body: opens the display, runs the application object and returns the exit
// status.
int RunApplication(int argc, char** argv);

}  // namespace platform
