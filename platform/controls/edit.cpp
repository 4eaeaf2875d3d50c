// Edit boxes: single-line and multi-line text with a caret and a selection.
//
// The text is kept in Unicode with CR LF between lines, as the original control keeps it; the
// ANSI messages convert to and from code page 932 at the edge.
#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/controls/controls.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/window_internal.h"

namespace platform::controls {

namespace {

constexpr int kMargin = 1;

class EditClass : public win::WindowClass {
public:
    explicit EditClass(DWORD style) : multiline_((style & ES_MULTILINE) != 0) {}

    LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_GETDLGCODE: {
                LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
                const MSG* msg = reinterpret_cast<const MSG*>(lParam);
                if (multiline_ && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
                    (GetWindowLongA(hwnd, GWL_STYLE) & ES_WANTRETURN)) {
                    code |= DLGC_WANTMESSAGE;
                }
                if (multiline_ && msg && msg->message == WM_CHAR && msg->wParam == '\r' &&
                    (GetWindowLongA(hwnd, GWL_STYLE) & ES_WANTRETURN)) {
                    code |= DLGC_WANTMESSAGE;
                }
                return code;
            }
            case WM_SETTEXT: {
                const char* text = reinterpret_cast<const char*>(lParam);
                SetText(hwnd, DecodeCp932(text ? text : ""));
                return TRUE;
            }
            case WM_GETTEXT: {
                char* buffer = reinterpret_cast<char*>(lParam);
                if (!buffer || wParam == 0) return 0;
                return win::CopyTextOut(EncodeCp932(text_), buffer, static_cast<int>(wParam));
            }
            case WM_GETTEXTLENGTH: return static_cast<LRESULT>(EncodeCp932(text_).size());
            case EM_GETSEL: {
                const auto [s, e] = Selection();
                if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(s);
                if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(e);
                return MAKELONG(static_cast<WORD>(std::min<std::size_t>(s, 0xFFFF)), static_cast<WORD>(std::min<std::size_t>(e, 0xFFFF)));
            }
            case EM_SETSEL: {
                const long start = static_cast<long>(static_cast<int>(wParam));
                const long end = static_cast<long>(static_cast<int>(lParam));
                if (start < 0) {
                    anchor_ = caret_;  // removes the selection
                } else {
                    anchor_ = ClampPosition(static_cast<std::size_t>(start));
                    caret_ = end < 0 ? text_.size() : ClampPosition(static_cast<std::size_t>(end));
                }
                Changed(hwnd, false);
                return 0;
            }
            case EM_REPLACESEL: {
                const char* text = reinterpret_cast<const char*>(lParam);
                ReplaceSelection(hwnd, DecodeCp932(text ? text : ""));
                return 0;
            }
            case WM_SETFOCUS:
                focused_ = true;
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            case WM_KILLFOCUS:
                focused_ = false;
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            case WM_LBUTTONDOWN:
                SetFocus(hwnd);
                SetCapture(hwnd);
                dragging_ = true;
                caret_ = PositionAt(hwnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                if (!(wParam & MK_SHIFT)) anchor_ = caret_;
                Changed(hwnd, false);
                return 0;
            case WM_MOUSEMOVE:
                if (dragging_) {
                    caret_ = PositionAt(hwnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                    Changed(hwnd, false);
                }
                return 0;
            case WM_LBUTTONUP:
                if (dragging_) {
                    dragging_ = false;
                    ReleaseCapture();
                }
                return 0;
            case WM_CAPTURECHANGED: dragging_ = false; return 0;
            case WM_CHAR: OnChar(hwnd, static_cast<char32_t>(wParam)); return 0;
            case WM_KEYDOWN: OnKeyDown(hwnd, static_cast<UINT>(wParam)); return 0;
            case WM_ERASEBKGND: return 1;
            case WM_PAINT: Paint(hwnd); return 0;
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

private:
    std::pair<std::size_t, std::size_t> Selection() const { return {std::min(anchor_, caret_), std::max(anchor_, caret_)}; }

    std::size_t ClampPosition(std::size_t p) const {
        p = std::min(p, text_.size());
        // Never between the CR and the LF of a line break.
        if (p > 0 && p < text_.size() && text_[p - 1] == U'\r' && text_[p] == U'\n') --p;
        return p;
    }

    void SetText(HWND hwnd, std::u32string text) {
        if (!multiline_) {
            // A single-line box holds one line.
            const auto cut = text.find_first_of(U"\r\n");
            if (cut != std::u32string::npos) text.resize(cut);
        }
        text_ = std::move(text);
        caret_ = anchor_ = 0;
        scrollX_ = 0;
        firstLine_ = 0;
        Changed(hwnd, true);
    }

    void ReplaceSelection(HWND hwnd, std::u32string insert) {
        const auto [s, e] = Selection();
        text_.replace(s, e - s, insert);
        caret_ = anchor_ = s + insert.size();
        Changed(hwnd, true);
    }

    void Changed(HWND hwnd, bool textChanged) {
        InvalidateRect(hwnd, nullptr, FALSE);
        if (textChanged) {
            SendMessageA(GetParent(hwnd), WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID(hwnd)), EN_CHANGE),
                         reinterpret_cast<LPARAM>(hwnd));
        }
    }

    void OnChar(HWND hwnd, char32_t c) {
        if (c == U'\r') {
            if (multiline_ && (GetWindowLongA(hwnd, GWL_STYLE) & ES_WANTRETURN)) ReplaceSelection(hwnd, U"\r\n");
            return;
        }
        if (c == 8) {
            const auto [s, e] = Selection();
            if (s != e) {
                ReplaceSelection(hwnd, U"");
            } else if (s > 0) {
                const std::size_t from = (s >= 2 && text_[s - 2] == U'\r' && text_[s - 1] == U'\n') ? s - 2 : s - 1;
                anchor_ = from;
                caret_ = s;
                ReplaceSelection(hwnd, U"");
            }
            return;
        }
        if (c < 0x20 && c != U'\t') return;
        ReplaceSelection(hwnd, std::u32string(1, c));
    }

    void OnKeyDown(HWND hwnd, UINT vk) {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        std::size_t target = caret_;
        switch (vk) {
            case VK_LEFT:
                if (!shift && anchor_ != caret_) target = Selection().first;
                else if (target > 0) target = (target >= 2 && text_[target - 2] == U'\r' && text_[target - 1] == U'\n') ? target - 2 : target - 1;
                break;
            case VK_RIGHT:
                if (!shift && anchor_ != caret_) target = Selection().second;
                else if (target < text_.size()) target = (text_[target] == U'\r' && target + 1 < text_.size() && text_[target + 1] == U'\n') ? target + 2 : target + 1;
                break;
            case VK_HOME: target = LineStart(caret_); break;
            case VK_END: target = LineEnd(caret_); break;
            case VK_UP:
            case VK_DOWN: {
                if (!multiline_) return;
                const std::size_t start = LineStart(caret_);
                const std::size_t column = caret_ - start;
                if (vk == VK_UP) {
                    if (start == 0) return;
                    const std::size_t prevStart = LineStart(start - 2);
                    target = std::min(prevStart + column, LineEnd(prevStart));
                } else {
                    const std::size_t end = LineEnd(caret_);
                    if (end >= text_.size()) return;
                    const std::size_t nextStart = end + 2;
                    target = std::min(nextStart + column, LineEnd(nextStart));
                }
                break;
            }
            case VK_DELETE: {
                const auto [s, e] = Selection();
                if (s != e) {
                    ReplaceSelection(hwnd, U"");
                } else if (s < text_.size()) {
                    anchor_ = s;
                    caret_ = (text_[s] == U'\r' && s + 1 < text_.size() && text_[s + 1] == U'\n') ? s + 2 : s + 1;
                    ReplaceSelection(hwnd, U"");
                }
                return;
            }
            default: return;
        }
        caret_ = target;
        if (!shift) anchor_ = caret_;
        Changed(hwnd, false);
    }

    std::size_t LineStart(std::size_t p) const {
        while (p > 0 && text_[p - 1] != U'\n') --p;
        return p;
    }

    std::size_t LineEnd(std::size_t p) const {
        while (p < text_.size() && text_[p] != U'\r') ++p;
        return p;
    }

    std::vector<std::pair<std::size_t, std::size_t>> Lines() const {
        std::vector<std::pair<std::size_t, std::size_t>> lines;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = LineEnd(start);
            lines.emplace_back(start, end);
            if (end >= text_.size()) break;
            start = end + 2 <= text_.size() ? end + 2 : text_.size();
        }
        return lines;
    }

    int LineHeight(HDC dc) const {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        return tm.tmHeight > 0 ? tm.tmHeight : 12;
    }

    std::size_t PositionAt(HWND hwnd, int x, int y) {
        HDC dc = GetDC(hwnd);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
        const auto lines = Lines();
        const int lineHeight = LineHeight(dc);
        std::size_t lineIndex = 0;
        if (multiline_) {
            const int row = std::max(0, y - kMargin) / lineHeight + firstLine_;
            lineIndex = std::min<std::size_t>(static_cast<std::size_t>(row), lines.size() - 1);
        }
        const auto [start, end] = lines[lineIndex];
        std::size_t best = start;
        int pen = kMargin - scrollX_;
        for (std::size_t i = start; i < end; ++i) {
            const int w = gdi::MeasureTextU32(dc, std::u32string_view(&text_[i], 1)).cx;
            if (x < pen + w / 2) break;
            pen += w;
            best = i + 1;
        }
        ReleaseDC(hwnd, dc);
        return best;
    }

    void Paint(HWND hwnd) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
        const int lineHeight = LineHeight(dc);
        const auto lines = Lines();
        const auto [selStart, selEnd] = Selection();
        // Keep the caret in view.
        std::size_t caretLine = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (caret_ >= lines[i].first && caret_ <= lines[i].second) caretLine = i;
        }
        const int visibleLines = std::max(1, (client.bottom - kMargin) / lineHeight);
        if (multiline_) {
            if (static_cast<int>(caretLine) < firstLine_) firstLine_ = static_cast<int>(caretLine);
            if (static_cast<int>(caretLine) >= firstLine_ + visibleLines) firstLine_ = static_cast<int>(caretLine) - visibleLines + 1;
        }
        const auto [cs, ce] = lines[caretLine];
        const int caretX = gdi::MeasureTextU32(dc, std::u32string_view(text_).substr(cs, caret_ - cs)).cx;
        const int width = client.right - 2 * kMargin;
        if (caretX - scrollX_ > width - 1) scrollX_ = caretX - width + width / 3;
        if (caretX < scrollX_) scrollX_ = std::max(0, caretX - width / 3);
        (void)ce;
        for (int row = 0; row < visibleLines + 1; ++row) {
            const std::size_t li = static_cast<std::size_t>(firstLine_ + row);
            if (li >= lines.size() || (!multiline_ && li > 0)) break;
            const auto [start, end] = lines[li];
            const int y = kMargin + row * lineHeight;
            int x = kMargin - scrollX_;
            for (std::size_t i = start; i < end; ++i) {
                const std::u32string_view ch(&text_[i], 1);
                const int w = gdi::MeasureTextU32(dc, ch).cx;
                const bool selected = focused_ && i >= selStart && i < selEnd;
                if (selected) {
                    RECT cell{x, y, x + w, y + lineHeight};
                    FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
                }
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
                RECT cell{x, y, x + w, y + lineHeight};
                gdi::DrawTextU32(dc, ch, &cell, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
                x += w;
            }
        }
        if (focused_) {
            const int row = static_cast<int>(caretLine) - firstLine_;
            RECT caret{kMargin - scrollX_ + caretX, kMargin + row * lineHeight, kMargin - scrollX_ + caretX + 1,
                       kMargin + (row + 1) * lineHeight};
            FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
        EndPaint(hwnd, &ps);
    }

    bool multiline_;
    std::u32string text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    int scrollX_ = 0;
    int firstLine_ = 0;
    bool focused_ = false;
    bool dragging_ = false;
};

}  // namespace

std::unique_ptr<win::WindowClass> CreateEditClass(DWORD style) { return std::make_unique<EditClass>(style); }

}  // namespace platform::controls
