// The dialog manager: dialogs from templates, dialog units, the keyboard interface, the default
// button, ending a dialog; and the framework's CDialog with its data exchange.
#include "platform/controls/dialog_internal.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/base/codepage.h"
#include "platform/controls/controls.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/afxwin.h"
#include "platform/windows/window_internal.h"

namespace platform::controls {

namespace {

constexpr LRESULT kHasDefId = 0x534B;  // DC_HASDEFID

// The dialog font of a template, one per face and size.
HFONT DialogFont(const DialogResource& dlg) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(dlg.pointSize, 96, 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::string face = Cp932FromUtf8(dlg.faceUtf8);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    static std::vector<std::pair<LOGFONTA, HFONT>> cache;
    for (auto& [key, font] : cache) {
        if (key.lfHeight == lf.lfHeight && std::string(key.lfFaceName) == lf.lfFaceName) return font;
    }
    HFONT font = CreateFontIndirectA(&lf);
    cache.emplace_back(lf, font);
    return font;
}

bool IsPushButton(HWND hwnd) {
    const LRESULT code = SendMessageA(hwnd, WM_GETDLGCODE, 0, 0);
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// The control's own styles decide: the dialog itself may not be shown yet.
bool IsTabStop(HWND hwnd) {
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// Gives a control the focus as the dialog manager does: an edit box's text is then all selected.
void FocusControl(HWND control) {
    SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
}

}  // namespace

SIZE DialogBaseUnits(HFONT font) {
    // The template was laid out for base units of 7 x 12 pixels (9-point "ＭＳ Ｐゴシック" at
    // 96 DPI): they make the page frame 480 x 641 pixels, which holds the 480 x 640 snapshot.
    // The substitute faces measure differently (IPAPGothic gives a narrower average width), and
    // with their units the frame would no longer hold the snapshot, so this font keeps 7 x 12.
    const SIZE measured = gdi::MeasureDialogBaseUnits(font);
    if (measured.cx == 7 && measured.cy == 12) return measured;
    return SIZE{7, 12};
}

RECT MapDialogUnits(const SIZE& base, int x, int y, int cx, int cy) {
    const int left = MulDiv(x, base.cx, 4);
    const int top = MulDiv(y, base.cy, 8);
    return RECT{left, top, left + MulDiv(cx, base.cx, 4), top + MulDiv(cy, base.cy, 8)};
}

DialogClass* FindDialogClass(HWND hwnd) {
    win::Window* w = win::Find(hwnd);
    return w ? dynamic_cast<DialogClass*>(w->classProc.get()) : nullptr;
}

LRESULT DialogClass::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_CLOSE: {
            // Closing a dialog is its cancel command, sent as if the cancel button were clicked.
            HWND cancel = GetDlgItem(hwnd, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) {
                MessageBeep(MB_OK);
                return 0;
            }
            PostMessageA(hwnd, WM_COMMAND, MAKELONG(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case DM_GETDEFID: return defaultId ? MAKELONG(static_cast<WORD>(defaultId), static_cast<WORD>(kHasDefId)) : 0;
        case DM_SETDEFID: defaultId = static_cast<int>(wParam); return TRUE;
        case WM_COMMAND:
            // A dialog without a framework object (a message box) ends with the button pressed.
            if (endOnCommands && HIWORD(wParam) == BN_CLICKED) {
                ended = true;
                result = LOWORD(wParam);
            }
            return 0;
        case WM_SETFOCUS:
            if (lastFocus && IsWindow(lastFocus) && IsWindowVisible(lastFocus)) SetFocus(lastFocus);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == 0) {
                HWND focus = GetFocus();
                if (focus && GetParent(focus) == hwnd) lastFocus = focus;
            } else if (lastFocus && IsWindow(lastFocus)) {
                SetFocus(lastFocus);
            }
            return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

HWND CreateDialogFromResource(const DialogResource& res, HWND owner, CWnd* framework, bool endOnCommands) {
    const HFONT font = DialogFont(res);
    const SIZE base = DialogBaseUnits(font);
    auto dialogClass = std::make_unique<DialogClass>();
    dialogClass->endOnCommands = endOnCommands;
    dialogClass->templateId = res.id;
    dialogClass->baseUnits = base;
    for (const DialogItemResource& item : res.items) {
        if (std::string(item.className) == "Button" && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            dialogClass->defaultId = item.id;
            break;
        }
    }
    if (!dialogClass->defaultId) dialogClass->defaultId = IDOK;

    win::CreateParams params;
    params.className = "#32770";
    params.text = DecodeUtf8(res.captionUtf8);
    // The window appears only after its controls exist and it has been initialised and centred.
    params.style = (res.style & ~WS_VISIBLE) | WS_POPUP;
    params.exStyle = res.exStyle;
    params.rect = MapDialogUnits(base, 0, 0, res.cx, res.cy);
    params.owner = owner;
    params.classProc = std::move(dialogClass);
    params.font = font;
    const HWND dialog = win::CreateWindowFromParams(std::move(params));
    if (!dialog) return nullptr;
    if (framework) framework->Attach(dialog);

    for (const DialogItemResource& item : res.items) {
        win::CreateParams child;
        child.className = item.className;
        child.text = DecodeUtf8(item.textUtf8);
        child.style = item.style | WS_CHILD;
        child.exStyle = item.exStyle;
        // Dialogs have the 3-D look: a bordered edit box gets the sunken client edge instead.
        if (std::string(item.className) == "Edit" && (child.style & WS_BORDER)) {
            child.style &= ~WS_BORDER;
            child.exStyle |= WS_EX_CLIENTEDGE;
        }
        child.rect = MapDialogUnits(base, item.x, item.y, item.cx, item.cy);
        child.parent = dialog;
        child.id = item.id;
        child.classProc = CreateControlClass(item.className, item.style);
        child.font = font;
        const HWND control = win::CreateWindowFromParams(std::move(child));
        if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    }

    const POINT before{win::Find(dialog)->rect.left, win::Find(dialog)->rect.top};
    HWND firstTab = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTab), 0) && firstTab) {
        FocusControl(firstTab);
    }
    win::Window* w = win::Find(dialog);
    if (!w) return nullptr;
    // A dialog whose initialisation didn't move it is centred over its owner, or on the screen.
    if (w->rect.left == before.x && w->rect.top == before.y) CWnd::FromHandle(dialog)->CenterWindow();
    if (res.style & WS_VISIBLE) ShowWindow(dialog, SW_SHOW);
    if (HWND focus = GetFocus(); focus && GetParent(focus) == dialog) {
        if (DialogClass* dc = FindDialogClass(dialog)) dc->lastFocus = focus;
    }
    return dialog;
}

INT_PTR RunModalDialog(HWND dialog, HWND owner) {
    DialogClass* dc = FindDialogClass(dialog);
    if (!dc) return -1;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    // A modal dialog shows even when its template doesn't say visible.
    if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOW);
    win::RunModalLoop(dialog, [dialog] {
        DialogClass* d = FindDialogClass(dialog);
        return !d || d->ended;
    });
    dc = FindDialogClass(dialog);
    const INT_PTR result = dc && dc->ended ? dc->result : -1;
    // The owner is enabled before the dialog goes, so that activation returns to it.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    if (owner && IsWindow(owner) && IsWindowVisible(owner)) SetActiveWindow(owner);
    return result;
}

}  // namespace platform::controls

using namespace platform;
using namespace platform::controls;

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    win::Window* d = win::Find(dialog);
    if (!d) return nullptr;
    std::vector<HWND> stops;
    for (HWND child : d->children) {
        if (IsTabStop(child) || child == control) stops.push_back(child);
    }
    if (stops.empty()) return nullptr;
    auto it = std::find(stops.begin(), stops.end(), control);
    if (it == stops.end()) {
        for (HWND h : stops) {
            if (IsTabStop(h)) return h;
        }
        return nullptr;
    }
    const std::size_t n = stops.size();
    std::size_t i = static_cast<std::size_t>(it - stops.begin());
    for (std::size_t step = 1; step <= n; ++step) {
        const std::size_t j = previous ? (i + n - step) % n : (i + step) % n;
        if (IsTabStop(stops[j])) return stops[j];
    }
    return control;
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
    if (!msg || !msg->hwnd) return FALSE;
    if (msg->hwnd != dialog && GetParentDialog(msg->hwnd) != dialog) return FALSE;
    if (msg->message == WM_KEYDOWN) {
        const UINT vk = static_cast<UINT>(msg->wParam);
        HWND focus = GetFocus();
        const LRESULT code = focus ? SendMessageA(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) : 0;
        const bool control = GetKeyState(VK_CONTROL) < 0;
        switch (vk) {
            case VK_TAB:
                if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) break;
                if (control) break;
                if (HWND next = GetNextDlgTabItem(dialog, focus, GetKeyState(VK_SHIFT) < 0 ? TRUE : FALSE)) {
                    FocusControl(next);
                }
                return TRUE;
            case VK_RETURN: {
                if (code & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS)) break;
                int id = 0;
                HWND button = nullptr;
                if (focus && IsPushButton(focus)) {
                    button = focus;
                    id = GetDlgCtrlID(focus);
                } else {
                    const LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
                    id = HIWORD(static_cast<WPARAM>(def)) == 0x534B ? LOWORD(static_cast<WPARAM>(def)) : IDOK;
                    button = GetDlgItem(dialog, id);
                }
                if (button && !IsWindowEnabled(button)) {
                    MessageBeep(MB_OK);
                    return TRUE;
                }
                SendMessageA(dialog, WM_COMMAND, MAKELONG(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
                return TRUE;
            }
            case VK_ESCAPE: {
                if (code & DLGC_WANTALLKEYS) break;
                HWND cancel = GetDlgItem(dialog, IDCANCEL);
                if (cancel && !IsWindowEnabled(cancel)) {
                    MessageBeep(MB_OK);
                    return TRUE;
                }
                SendMessageA(dialog, WM_COMMAND, MAKELONG(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
                return TRUE;
            }
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN: {
                if (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)) break;
                // Arrows move through the controls as Tab does, among buttons.
                if (HWND next = GetNextDlgTabItem(dialog, focus, (vk == VK_LEFT || vk == VK_UP) ? TRUE : FALSE)) {
                    FocusControl(next);
                }
                return TRUE;
            }
            default: break;
        }
    }
    if (msg->message == WM_CHAR) {
        HWND focus = GetFocus();
        const LRESULT code = focus ? SendMessageA(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) : 0;
        // Return, Esc and Tab were acted on as keys; their characters go only where they're wanted.
        const WPARAM ch = msg->wParam;
        if ((ch == '\r' || ch == 27 || ch == '\t') && !(code & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS | DLGC_WANTTAB))) {
            return TRUE;
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

LRESULT DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return win::CallClassProc(hwnd, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// CDialog

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal() {
    const DialogResource* res = FindDialogResource(static_cast<int>(m_nIDTemplate));
    if (!res) return -1;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        // A dialog without a parent is owned by the main window, unless it is the main window.
        CWnd* main = AfxGetMainWnd();
        if (main && main != this && main->m_hWnd && ::IsWindowVisible(main->m_hWnd)) owner = main->m_hWnd;
    }
    HWND dialog = CreateDialogFromResource(*res, owner, this, false);
    if (!dialog) return -1;
    const INT_PTR result = RunModalDialog(dialog, owner);
    if (m_hWnd && !::IsWindow(m_hWnd)) m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) return FALSE;
    return TRUE;
}

void CDialog::EndDialog(int result) {
    if (DialogClass* dc = FindDialogClass(m_hWnd)) {
        dc->ended = true;
        dc->result = result;
    }
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    // Commands the dialog doesn't handle go to the application, as the framework routes them.
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == 0 && id >= 0x8000 && id < 0xF000) {
        if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(id, 0)) return TRUE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------------------------
// Data exchange

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_idLastControl = control;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_idLastControl) {
        ::SetFocus(m_idLastControl);
        if (m_bEditLastControl) ::SendMessageA(m_idLastControl, EM_SETSEL, 0, -1);
    }
    throw CUserException();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    HWND hwnd = dx->PrepareCtrl(id);
    control.SubclassWindow(hwnd);
}

namespace platform::controls {

bool ParseDialogInteger(std::string_view text, int& value) {
    // Blanks or tabs around one decimal integer with an optional sign; a zero is written without
    // one; values past the 32-bit range are clamped to its ends.
    std::size_t i = 0;
    auto blank = [&](std::size_t k) { return k < text.size() && (text[k] == ' ' || text[k] == '\t'); };
    while (blank(i)) ++i;
    bool negative = false;
    bool signed_ = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        signed_ = true;
        ++i;
    }
    const std::size_t digitsStart = i;
    long long magnitude = 0;
    bool overflow = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (!overflow) {
            magnitude = magnitude * 10 + (text[i] - '0');
            if (magnitude > 2147483648LL) overflow = true;
        }
        ++i;
    }
    if (i == digitsStart) return false;
    while (blank(i)) ++i;
    if (i != text.size()) return false;
    if (signed_ && magnitude == 0 && !overflow) return false;
    if (overflow) {
        value = negative ? INT_MIN : INT_MAX;
        return true;
    }
    const long long v = negative ? -magnitude : magnitude;
    value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return true;
}

}  // namespace platform::controls

void DDX_Text(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        // The framework looks at no more than the first 31 characters of the box.
        char text[32] = {};
        ::GetWindowTextA(control, text, sizeof text);
        if (!ParseDialogInteger(text, value)) {
            AfxMessageBox(AFX_IDP_PARSE_INT);
            dx->Fail();
        }
    } else {
        char text[32];
        std::snprintf(text, sizeof text, "%d", value);
        ::SetWindowTextA(control, text);
    }
}
