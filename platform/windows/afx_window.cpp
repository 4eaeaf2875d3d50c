// The framework's window objects: message-map dispatch, the wrappers of windows, drawing
// contexts, fonts and menus.
#include <cstdarg>
#include <cstdio>
#include <map>
#include <utility>

#include "platform/gdi/gdi_internal.h"
#include "platform/windows/afxwin.h"
#include "platform/windows/window_internal.h"

// ---------------------------------------------------------------------------------------------
// Message maps

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base) {
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->handler; ++e) {
            if (e->message != message) continue;
            if (message == WM_COMMAND && (e->code != code || e->id != id)) continue;
            return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code) {
    const AFX_MSGMAP_ENTRY* e = FindEntry(WM_COMMAND, static_cast<UINT>(code), id);
    if (!e) return FALSE;
    e->handler(this, 0, 0);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// CString

BOOL CString::LoadString(UINT id) { return platform::LoadStringResource(static_cast<int>(id), text_) ? TRUE : FALSE; }

void CString::Format(LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) {
        text_.clear();
    } else {
        std::string out(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<std::size_t>(n));
        text_ = std::move(out);
    }
    va_end(args);
}

// ---------------------------------------------------------------------------------------------
// CWnd

CWnd::~CWnd() {
    if (m_hWnd) {
        if (platform::win::Window* w = platform::win::Find(m_hWnd); w && w->attached == this) w->attached = nullptr;
        m_hWnd = nullptr;
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    platform::win::Window* w = platform::win::Find(hwnd);
    if (!w) return nullptr;
    if (w->attached) return w->attached;
    // A wrapper for a window no framework object owns; it lives as long as the window.
    if (!w->temporaryWrapper) {
        w->temporaryWrapper = std::make_unique<CWnd>();
        w->temporaryWrapper->m_hWnd = hwnd;
    }
    return w->temporaryWrapper.get();
}

BOOL CWnd::Attach(HWND hwnd) {
    platform::win::Window* w = platform::win::Find(hwnd);
    if (!w || m_hWnd) return FALSE;
    m_hWnd = hwnd;
    w->attached = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (platform::win::Window* w = platform::win::Find(hwnd); w && w->attached == this) w->attached = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) { return Attach(hwnd); }

void CWnd::DetachFromDestroyedWindow() { m_hWnd = nullptr; }

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

void CWnd::GetWindowText(CString& text) const {
    const int length = GetWindowTextLength();
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int n = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    buffer.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    text = CString(std::move(buffer));
}

CMenu* CWnd::GetSystemMenu(BOOL revert) {
    HMENU menu = ::GetSystemMenu(m_hWnd, revert);
    if (!menu) return nullptr;
    if (!systemMenu_) systemMenu_ = std::make_unique<CMenu>();
    systemMenu_->m_hMenu = menu;
    return systemMenu_.get();
}

namespace {

// Wrappers of drawing contexts taken with CWnd::GetDC, until CWnd::ReleaseDC.
std::map<HDC, std::unique_ptr<CDC>>& WindowContexts() {
    static std::map<HDC, std::unique_ptr<CDC>> contexts;
    return contexts;
}

}  // namespace

CDC* CWnd::GetDC() {
    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc) return nullptr;
    auto dc = std::make_unique<CDC>();
    dc->m_hDC = hdc;
    CDC* raw = dc.get();
    WindowContexts()[hdc] = std::move(dc);
    return raw;
}

int CWnd::ReleaseDC(CDC* dc) {
    if (!dc) return 0;
    HDC hdc = dc->m_hDC;
    const int result = ::ReleaseDC(m_hWnd, hdc);
    auto& contexts = WindowContexts();
    if (auto it = contexts.find(hdc); it != contexts.end()) {
        it->second->m_hDC = nullptr;
        contexts.erase(it);
    }
    return result;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner)) ::GetWindowRect(owner, &area);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int x = (area.left + area.right - width) / 2;
    int y = (area.top + area.bottom - height) / 2;
    // Keep the window on the screen.
    x = std::max(0, std::min(x, GetSystemMetrics(SM_CXSCREEN) - width));
    y = std::max(0, std::min(y, GetSystemMetrics(SM_CYSCREEN) - height));
    ::MoveWindow(m_hWnd, x, y, width, height, FALSE);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::DispatchFromWindowManager(UINT message, WPARAM wParam, LPARAM lParam) {
    current_.push_back(CurrentMessage{message, wParam, lParam});
    struct Pop {
        std::vector<CurrentMessage>& stack;
        ~Pop() { stack.pop_back(); }
    } pop{current_};
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = Default();
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *result = 0;
            return TRUE;
        }
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(message, 0, 0);
    if (!e) return FALSE;
    *result = e->handler(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam)); }

LRESULT CWnd::Default() {
    if (current_.empty() || !m_hWnd) return 0;
    const CurrentMessage m = current_.back();
    return platform::win::CallClassProc(m_hWnd, m.message, m.wParam, m.lParam);
}

// ---------------------------------------------------------------------------------------------
// Drawing wrappers

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    const BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CGdiObject::Attach(HGDIOBJ obj) {
    if (m_hObject || !obj) return FALSE;
    m_hObject = obj;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() { return std::exchange(m_hObject, nullptr); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCSTR faceName) {
    m_hObject = ::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                              outPrecision, clipPrecision, quality, pitchAndFamily, faceName);
    return m_hObject ? TRUE : FALSE;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logfont) {
    m_hObject = ::CreateFontIndirectA(logfont);
    return m_hObject ? TRUE : FALSE;
}

CDC::~CDC() {
    for (auto& t : temporaries_) t->Detach();
}

CDC* CDC::FromHandle(HDC hdc) {
    auto& contexts = WindowContexts();
    auto it = contexts.find(hdc);
    if (it != contexts.end()) return it->second.get();
    auto dc = std::make_unique<CDC>();
    dc->m_hDC = hdc;
    CDC* raw = dc.get();
    contexts[hdc] = std::move(dc);
    return raw;
}

CFont* CDC::SelectObject(CFont* font) {
    HGDIOBJ old = ::SelectObject(m_hDC, font ? font->m_hObject : nullptr);
    if (!old) return nullptr;
    // The previous font is handed back in a wrapper that doesn't own it.
    auto wrapper = std::make_unique<CFont>();
    wrapper->m_hObject = old;
    CFont* raw = wrapper.get();
    temporaries_.push_back(std::move(wrapper));
    return raw;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}
