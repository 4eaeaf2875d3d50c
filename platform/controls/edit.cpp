// Edit boxes: single-line and multi-line text with a caret, a selection, the clipboard, undo,
// a context menu, the input method's composition, and (multi-line) a vertical scroll bar.
//
// The text is kept in Unicode with CR LF between lines; the ANSI messages convert to and from
// code page 932 at the edge. Each line is laid out once (FriBidi order and advances) and kept
// until an edit touches it, so a paint costs only the lines it shows.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/base/codepage.h"
#include "platform/controls/controls.h"
#include "platform/controls/edit_bidi.h"
#include "platform/controls/edit_messages.h"
#include "platform/controls/edit_model.h"
#include "platform/controls/edit_scrollbar.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/window_internal.h"

namespace platform::controls {

namespace {

using edit::Command;
using edit::EditResult;
using edit::LineLayout;
using edit::ScrollPart;

constexpr int kMarginX = 2;
constexpr int kMarginY = 1;
constexpr UINT_PTR kCaretTimer = 1;
constexpr UINT_PTR kScrollRepeatTimer = 2;
constexpr UINT kCaretBlinkMs = 530;
constexpr UINT kScrollFirstRepeatMs = 350;
constexpr UINT kScrollRepeatMs = 50;

// Test hook: with KOMALORE_TEST_DUMP naming a file, every edit box appends "<id> <hex bytes of
// its code page 932 text>" to it when it is destroyed, so that a test driving the real program
// from outside can read what was typed.
void DumpTextForTests(int id, const std::string& cp932) {
    const char* path = std::getenv("KOMALORE_TEST_DUMP");
    if (!path || !*path) return;
    std::FILE* f = std::fopen(path, "a");
    if (!f) return;
    std::fprintf(f, "%d ", id);
    for (unsigned char c : cp932) std::fprintf(f, "%02x", c);
    std::fprintf(f, "\n");
    std::fclose(f);
}

class EditClass : public win::WindowClass, private edit::LineGeometry {
public:
    explicit EditClass(DWORD style) : model_((style & ES_MULTILINE) != 0) {}

    LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        hwnd_ = hwnd;
        switch (message) {
            case WM_CREATE:
                model_.SetText(win::WindowText(hwnd));
                layouts_.assign(model_.LineCount(), nullptr);
                return 0;
            case WM_DESTROY:
                DumpTextForTests(GetDlgCtrlID(hwnd), EncodeCp932(model_.Text()));
                KillTimer(hwnd, kCaretTimer);
                KillTimer(hwnd, kScrollRepeatTimer);
                if (focused_) StopTextInput();
                return 0;
            case WM_GETDLGCODE: return DialogCode(reinterpret_cast<const MSG*>(lParam));
            case WM_SETTEXT: {
                const char* text = reinterpret_cast<const char*>(lParam);
                model_.SetText(DecodeCp932(text ? text : ""));
                layouts_.assign(model_.LineCount(), nullptr);
                firstLine_ = 0;
                scrollX_ = 0;
                composition_.clear();
                Notify(EN_UPDATE);
                // The platform's multi-line box doesn't report a change made through WM_SETTEXT.
                if (!model_.Multiline()) Notify(EN_CHANGE);
                SelectionMoved();
                return TRUE;
            }
            case WM_GETTEXT: {
                char* buffer = reinterpret_cast<char*>(lParam);
                if (!buffer || wParam == 0) return 0;
                return win::CopyTextOut(EncodeCp932(model_.Text()), buffer, static_cast<int>(std::min<WPARAM>(wParam, INT_MAX)));
            }
            case WM_GETTEXTLENGTH: return static_cast<LRESULT>(edit::ByteOffsetOf(model_.Text(), model_.Text().size()));
            case WM_SETFONT:
                DefWindowProcA(hwnd, message, wParam, 0);
                layouts_.assign(model_.LineCount(), nullptr);
                SelectionMoved();
                return 0;
            case EM_GETSEL: {
                const auto [s, e] = model_.Selection();
                const std::size_t sb = edit::ByteOffsetOf(model_.Text(), s);
                const std::size_t eb = sb + edit::ByteOffsetOf(std::u32string_view(model_.Text()).substr(s), e - s);
                if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(sb);
                if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(eb);
                return MAKELONG(static_cast<WORD>(std::min<std::size_t>(sb, 0xFFFF)), static_cast<WORD>(std::min<std::size_t>(eb, 0xFFFF)));
            }
            case EM_SETSEL: {
                const long start = static_cast<long>(static_cast<int>(wParam));
                const long end = static_cast<long>(static_cast<int>(lParam));
                if (start < 0) {
                    model_.SetSelection(model_.Caret(), model_.Caret());
                } else {
                    const std::size_t anchor = edit::PositionOfByteOffset(model_.Text(), static_cast<std::size_t>(start));
                    const std::size_t caret = end < 0 ? model_.Text().size() : edit::PositionOfByteOffset(model_.Text(), static_cast<std::size_t>(end));
                    model_.SetSelection(anchor, caret);
                }
                SelectionMoved();
                return 0;
            }
            case EM_REPLACESEL: {
                const char* text = reinterpret_cast<const char*>(lParam);
                Edited(model_.ReplaceSelection(DecodeCp932(text ? text : "")));
                if (!wParam) model_.ForgetUndo();
                return 0;
            }
            case EM_LIMITTEXT: model_.SetLimit(static_cast<std::size_t>(wParam)); return 0;
            case EM_GETLIMITTEXT: return static_cast<LRESULT>(model_.Limit());
            case EM_CANUNDO: return model_.CanUndo() ? TRUE : FALSE;
            case EM_UNDO:
            case WM_UNDO: return Edited(model_.Undo() ? EditResult::Changed : EditResult::Unchanged) ? TRUE : FALSE;
            case edit::EM_EMPTYUNDOBUFFER: model_.ForgetUndo(); return 0;
            case edit::EM_GETMODIFY: return model_.Modified() ? TRUE : FALSE;
            case edit::EM_SETMODIFY: model_.SetModified(wParam != 0); return 0;
            case edit::EM_GETLINECOUNT: return static_cast<LRESULT>(model_.LineCount());
            case edit::EM_LINEINDEX: {
                const int asked = static_cast<int>(wParam);
                const std::size_t line = asked < 0 ? model_.LineOf(model_.Caret()) : static_cast<std::size_t>(asked);
                if (line >= model_.LineCount()) return -1;
                return static_cast<LRESULT>(edit::ByteOffsetOf(model_.Text(), model_.LineStart(line)));
            }
            case edit::EM_LINEFROMCHAR: {
                const int asked = static_cast<int>(wParam);
                const std::size_t p = asked < 0 ? model_.Caret() : edit::PositionOfByteOffset(model_.Text(), static_cast<std::size_t>(asked));
                return static_cast<LRESULT>(model_.LineOf(p));
            }
            case edit::EM_LINELENGTH: {
                const int asked = static_cast<int>(wParam);
                const std::size_t p = asked < 0 ? model_.Caret() : edit::PositionOfByteOffset(model_.Text(), static_cast<std::size_t>(asked));
                return static_cast<LRESULT>(edit::ByteOffsetOf(model_.LineText(model_.LineOf(p)), SIZE_MAX));
            }
            case edit::EM_GETFIRSTVISIBLELINE: return static_cast<LRESULT>(firstLine_);
            case edit::EM_LINESCROLL:
                scrollX_ = static_cast<int>(std::clamp<long long>(scrollX_ + static_cast<long long>(static_cast<int>(wParam)) * AverageCharWidth(),
                                                                  -(INT_MAX / 2), INT_MAX / 2));
                ScrollTo(static_cast<long>(firstLine_) + static_cast<long>(lParam));
                InvalidateRect(hwnd, nullptr, FALSE);
                return TRUE;
            case edit::EM_SCROLL: {
                const std::size_t before = firstLine_;
                VerticalScroll(static_cast<UINT>(wParam), 0);
                return MAKELONG(static_cast<WORD>(static_cast<long>(firstLine_) - static_cast<long>(before)), TRUE);
            }
            case edit::EM_SCROLLCARET: ScrollCaretIntoView(); InvalidateRect(hwnd, nullptr, FALSE); return TRUE;
            case WM_CUT: RunCommand(Command::Cut); return 0;
            case WM_COPY: RunCommand(Command::Copy); return 0;
            case WM_PASTE: RunCommand(Command::Paste); return 0;
            case WM_CLEAR: Edited(model_.HasSelection() ? model_.ReplaceSelection(U"") : EditResult::Unchanged); return 0;
            case WM_VSCROLL: VerticalScroll(LOWORD(wParam), HIWORD(wParam)); return 0;
            case WM_MOUSEWHEEL: OnWheel(static_cast<short>(HIWORD(wParam))); return 0;
            case WM_SETFOCUS: OnSetFocus(); return 0;
            case WM_KILLFOCUS: OnKillFocus(); return 0;
            case WM_TIMER: OnTimer(wParam); return 0;
            case WM_ENABLE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
            case WM_LBUTTONDOWN: OnLeftDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0, false); return 0;
            case WM_LBUTTONDBLCLK: OnLeftDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), false, true); return 0;
            case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
            case WM_LBUTTONUP: EndMouse(); return 0;
            case WM_CAPTURECHANGED:
                if (reinterpret_cast<HWND>(lParam) != hwnd) EndMouse();
                return 0;
            case WM_CONTEXTMENU: OnContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
            case WM_CHAR: OnChar(static_cast<char32_t>(wParam)); return 0;
            case WM_KEYDOWN:
                if (wParam == VK_APPS) {
                    OnContextMenu(-1, -1);
                    return 0;
                }
                OnKeyDown(static_cast<UINT>(wParam));
                return 0;
            case WM_SYSKEYDOWN:
                // Shift+F10 opens the context menu at the caret, as the menu key does.
                if (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
                    OnContextMenu(-1, -1);
                    return 0;
                }
                return DefWindowProcA(hwnd, message, wParam, lParam);
            case WM_IME_STARTCOMPOSITION:
            case WM_IME_COMPOSITION: OnComposition(); return 0;
            case WM_IME_ENDCOMPOSITION:
                composition_.clear();
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            case WM_ERASEBKGND: return 1;
            case WM_PAINT: Paint(); return 0;
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

private:
    // --- Styles and geometry ------------------------------------------------------------

    DWORD Style() const { return static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)); }
    DWORD ExStyle() const { return static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)); }
    bool HasScrollBar() const { return model_.Multiline() && (Style() & WS_VSCROLL); }
    bool RightAligned() const { return (ExStyle() & WS_EX_RIGHT) != 0; }
    bool RightToLeft() const { return (ExStyle() & WS_EX_RTLREADING) != 0; }

    RECT Client() const {
        RECT r;
        GetClientRect(hwnd_, &r);
        return r;
    }

    RECT ScrollBarRect() const {
        const RECT c = Client();
        if (ExStyle() & WS_EX_LEFTSCROLLBAR) return RECT{c.left, c.top, std::min<LONG>(c.right, c.left + edit::kScrollBarWidth), c.bottom};
        return RECT{std::max<LONG>(c.left, c.right - edit::kScrollBarWidth), c.top, c.right, c.bottom};
    }

    RECT TextRect() const {
        RECT r = Client();
        if (HasScrollBar()) {
            const RECT bar = ScrollBarRect();
            if (ExStyle() & WS_EX_LEFTSCROLLBAR) r.left = bar.right;
            else r.right = bar.left;
        }
        r.left += kMarginX;
        r.right = std::max(r.left, r.right - kMarginX);
        r.top += kMarginY;
        r.bottom = std::max(r.top, r.bottom);
        return r;
    }

    int TextWidth() const {
        const RECT r = TextRect();
        return r.right - r.left;
    }

    fonts::FontInstance* Font() const {
        const HFONT font = reinterpret_cast<HFONT>(DefWindowProcA(hwnd_, WM_GETFONT, 0, 0));
        if (gdi::FontObject* f = gdi::LookupFont(font); f && f->instance) return f->instance.get();
        if (gdi::FontObject* f = gdi::LookupFont(gdi::StockSystemFont()); f && f->instance) return f->instance.get();
        return nullptr;
    }

    int LineHeight() const {
        fonts::FontInstance* font = Font();
        return font && font->Metrics().height > 0 ? font->Metrics().height : 12;
    }

    int AverageCharWidth() const {
        fonts::FontInstance* font = Font();
        return font && font->Metrics().aveCharWidth > 0 ? font->Metrics().aveCharWidth : 6;
    }

    std::size_t VisibleLines() const {
        if (!model_.Multiline()) return 1;
        const RECT r = TextRect();
        return static_cast<std::size_t>(std::max(1, static_cast<int>(r.bottom - r.top) / LineHeight()));
    }

    std::size_t MaxFirstLine() const {
        const std::size_t visible = VisibleLines();
        return model_.LineCount() > visible ? model_.LineCount() - visible : 0;
    }

    std::unique_ptr<LineLayout> MakeLayout(std::u32string_view text) const {
        fonts::FontInstance* font = Font();
        const int tab = AverageCharWidth() * 8;
        return std::make_unique<LineLayout>(text, RightToLeft(), [font, tab](char32_t c) {
            if (c == U'\t') return tab;
            return font ? font->Advance(c) : 0;
        });
    }

    const LineLayout& Layout(std::size_t line) {
        if (layouts_.size() != model_.LineCount()) layouts_.assign(model_.LineCount(), nullptr);
        auto& slot = layouts_[line];
        if (!slot) slot = MakeLayout(model_.LineText(line));
        return *slot;
    }

    // The x of a line's left end, from the text rectangle's left, before horizontal scrolling.
    int LineLeft(int lineWidth) const { return RightAligned() ? TextWidth() - lineWidth : 0; }

    int CaretX(std::size_t position) override {
        const std::size_t line = model_.LineOf(position);
        const LineLayout& layout = Layout(line);
        return LineLeft(layout.Width()) + layout.CaretX(position - model_.LineStart(line));
    }

    std::size_t PositionAtX(std::size_t line, int x) override {
        const LineLayout& layout = Layout(line);
        return model_.LineStart(line) + layout.PositionAt(x - LineLeft(layout.Width()));
    }

    std::size_t PageLines() override { return VisibleLines(); }

    std::size_t PositionFromPoint(int x, int y) {
        const RECT r = TextRect();
        std::size_t line = 0;
        if (model_.Multiline()) {
            const int dy = y - r.top;
            const long row = dy >= 0 ? dy / LineHeight() : -((-dy + LineHeight() - 1) / LineHeight());
            line = static_cast<std::size_t>(std::clamp<long>(static_cast<long>(firstLine_) + row, 0, static_cast<long>(model_.LineCount()) - 1));
        }
        return PositionAtX(line, x - r.left + scrollX_);
    }

    // The caret's rectangle in client coordinates.
    RECT CaretRect() {
        const RECT r = TextRect();
        const std::size_t line = model_.LineOf(model_.Caret());
        const int x = r.left + CaretX(model_.Caret()) - scrollX_;
        const int y = r.top + (static_cast<int>(line) - static_cast<int>(firstLine_)) * LineHeight();
        return RECT{x, y, x + 1, y + LineHeight()};
    }

    // --- Scrolling ---------------------------------------------------------------------

    void ScrollTo(long first) {
        const std::size_t clamped = static_cast<std::size_t>(std::clamp<long>(first, 0, static_cast<long>(MaxFirstLine())));
        if (clamped == firstLine_) return;
        firstLine_ = clamped;
        InvalidateRect(hwnd_, nullptr, FALSE);
        UpdateInputMethodWindow();
    }

    void ScrollCaretIntoView() {
        if (model_.Multiline()) {
            const std::size_t line = model_.LineOf(model_.Caret());
            const std::size_t visible = VisibleLines();
            if (line < firstLine_) firstLine_ = line;
            else if (line >= firstLine_ + visible) firstLine_ = line - visible + 1;
            firstLine_ = std::min(firstLine_, MaxFirstLine());
        }
        const int width = std::max(1, TextWidth());
        const int x = CaretX(model_.Caret());
        // Jump by a quarter of the width, so that typing at an edge doesn't scroll each time.
        if (x - scrollX_ < 0) scrollX_ = x - width / 4;
        else if (x - scrollX_ > width - 1) scrollX_ = x - width + 1 + width / 4;
        if (RightAligned()) scrollX_ = std::min(scrollX_, 0);
        else scrollX_ = std::max(scrollX_, 0);
        // Text that fits needs no scrolling.
        const LineLayout& layout = Layout(model_.LineOf(model_.Caret()));
        if (layout.Width() <= width && !model_.Multiline()) scrollX_ = 0;
    }

    void VerticalScroll(UINT code, UINT thumb) {
        if (!model_.Multiline()) return;
        const long first = static_cast<long>(firstLine_);
        const long page = static_cast<long>(std::max<std::size_t>(1, VisibleLines()));
        switch (code) {
            case edit::SB_LINEUP: ScrollTo(first - 1); break;
            case edit::SB_LINEDOWN: ScrollTo(first + 1); break;
            case edit::SB_PAGEUP: ScrollTo(first - page); break;
            case edit::SB_PAGEDOWN: ScrollTo(first + page); break;
            case edit::SB_THUMBTRACK:
            case edit::SB_THUMBPOSITION: ScrollTo(static_cast<long>(thumb)); break;
            case edit::SB_TOP: ScrollTo(0); break;
            case edit::SB_BOTTOM: ScrollTo(static_cast<long>(MaxFirstLine())); break;
            default: break;
        }
    }

    void OnWheel(int delta) {
        if (!model_.Multiline()) return;
        wheelRemainder_ += delta;
        const int notches = wheelRemainder_ / 120;
        wheelRemainder_ -= notches * 120;
        if (notches) ScrollTo(static_cast<long>(firstLine_) - notches * 3);
    }

    edit::ScrollBarLayout ScrollBar() const {
        return edit::LayOutScrollBar(ScrollBarRect(), firstLine_, VisibleLines(), model_.LineCount());
    }

    void ScrollBy(ScrollPart part) {
        switch (part) {
            case ScrollPart::LineUp: VerticalScroll(edit::SB_LINEUP, 0); break;
            case ScrollPart::LineDown: VerticalScroll(edit::SB_LINEDOWN, 0); break;
            case ScrollPart::PageUp: VerticalScroll(edit::SB_PAGEUP, 0); break;
            case ScrollPart::PageDown: VerticalScroll(edit::SB_PAGEDOWN, 0); break;
            default: break;
        }
    }

    // --- Changes -----------------------------------------------------------------------

    void Notify(WORD code) {
        HWND parent = GetParent(hwnd_);
        if (!parent) return;
        SendMessageA(parent, WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID(hwnd_)), code), reinterpret_cast<LPARAM>(hwnd_));
    }

    void Refuse() {
        MessageBeep(MB_OK);
        Notify(EN_MAXTEXT);
    }

    // After the caret or the selection moved; `changed` limits the repaint when only part of
    // the box needs it.
    void SelectionMoved(const RECT* changed = nullptr) {
        ScrollCaretIntoView();
        caretOn_ = true;
        if (focused_) SetTimer(hwnd_, kCaretTimer, kCaretBlinkMs, nullptr);
        InvalidateRect(hwnd_, changed, FALSE);
        UpdateInputMethodWindow();
    }

    // The rows of lines [first, first + count) across the text area, in client coordinates.
    RECT RowsOf(std::size_t first, std::size_t count) const {
        RECT r = Client();
        if (HasScrollBar()) {
            const RECT bar = ScrollBarRect();
            if (ExStyle() & WS_EX_LEFTSCROLLBAR) r.left = bar.right;
            else r.right = bar.left;
        }
        const long top = TextRect().top + (static_cast<long>(first) - static_cast<long>(firstLine_)) * LineHeight();
        r.top = std::clamp<long>(top, 0, r.bottom);
        r.bottom = std::clamp<long>(top + static_cast<long>(count) * LineHeight(), r.top, r.bottom);
        return r;
    }

    // After an edit: the touched lines are laid out again, the parent hears of it. Returns
    // whether the text changed.
    bool Edited(EditResult result) {
        if (result == EditResult::Refused) {
            Refuse();
            return false;
        }
        if (result == EditResult::Unchanged) {
            SelectionMoved();
            return false;
        }
        const edit::LineChange& change = model_.LastLineChange();
        if (layouts_.size() >= change.firstLine + change.removedLines) {
            const auto first = layouts_.begin() + static_cast<std::ptrdiff_t>(change.firstLine);
            layouts_.erase(first, first + static_cast<std::ptrdiff_t>(change.removedLines));
            layouts_.insert(layouts_.begin() + static_cast<std::ptrdiff_t>(change.firstLine), change.insertedLines, nullptr);
        }
        if (layouts_.size() != model_.LineCount()) layouts_.assign(model_.LineCount(), nullptr);
        firstLine_ = std::min(firstLine_, MaxFirstLine());
        // An edit inside the same lines that scrolls nothing repaints only those lines: typing
        // costs one line's drawing, not the box's.
        const std::size_t firstBefore = firstLine_;
        const int scrollBefore = scrollX_;
        ScrollCaretIntoView();
        const bool sameRows = change.removedLines == change.insertedLines && firstLine_ == firstBefore &&
                              scrollX_ == scrollBefore && composition_.empty();
        const RECT rows = RowsOf(change.firstLine, change.insertedLines);
        Notify(EN_UPDATE);
        SelectionMoved(sameRows ? &rows : nullptr);
        Notify(EN_CHANGE);
        return true;
    }

    bool ClipboardHasText() const {
        display::Display* d = display::CurrentDisplay();
        if (!d) return false;
        const auto text = d->ClipboardText();
        return text && !text->empty();
    }

    void CopySelection() {
        if (!model_.HasSelection()) return;
        if (display::Display* d = display::CurrentDisplay()) d->SetClipboardText(EncodeUtf8(model_.SelectedText()));
    }

    void RunCommand(Command command, bool extend = false) {
        switch (command) {
            case Command::None: return;
            case Command::Copy: CopySelection(); return;
            case Command::Cut:
                if (!model_.HasSelection()) return;
                CopySelection();
                Edited(model_.ReplaceSelection(U""));
                return;
            case Command::Paste: {
                display::Display* d = display::CurrentDisplay();
                const auto text = d ? d->ClipboardText() : std::nullopt;
                if (!text || text->empty()) return;
                const auto insert = edit::PrepareInsertion(*text, model_.Multiline(), model_.Room());
                if (!insert) {
                    Refuse();
                    return;
                }
                Edited(model_.ReplaceSelection(*insert));
                return;
            }
            default: Edited(model_.Apply(command, extend, *this)); return;
        }
    }

    // --- Keyboard ----------------------------------------------------------------------

    LRESULT DialogCode(const MSG* msg) const {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        if (model_.Multiline() && msg && (Style() & ES_WANTRETURN) &&
            ((msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) || (msg->message == WM_CHAR && msg->wParam == '\r'))) {
            code |= DLGC_WANTMESSAGE;
        }
        return code;
    }

    void OnChar(char32_t c) {
        if (c == 8) {
            Edited(model_.Backspace());
            return;
        }
        if (c == U'\r') {
            if (model_.Multiline() && (Style() & ES_WANTRETURN)) Edited(model_.ReplaceSelection(U"\r\n", true));
            return;
        }
        if (c == U'\t' && !model_.Multiline()) return;
        if ((c < 0x20 && c != U'\t') || c == 0x7F || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return;
        const char32_t typed[1] = {c};
        Edited(model_.ReplaceSelection(std::u32string_view(typed, 1), true));
    }

    void OnKeyDown(UINT vk) {
        const edit::KeyCommand key = edit::CommandForKey(vk, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0);
        if (key.command == Command::None) return;
        RunCommand(key.command, key.extend);
    }

    // --- Mouse -------------------------------------------------------------------------

    void OnLeftDown(int x, int y, bool shift, bool doubleClick) {
        if (HasScrollBar() && RectContains(ScrollBarRect(), x, y)) {
            const edit::ScrollBarLayout bar = ScrollBar();
            pressed_ = edit::HitScrollBar(bar, x, y);
            if (pressed_ == ScrollPart::None) return;
            SetCapture(hwnd_);
            mouse_ = POINT{x, y};
            if (pressed_ == ScrollPart::Thumb) {
                thumbGrab_ = y - bar.thumb.top;
            } else {
                ScrollBy(pressed_);
                SetTimer(hwnd_, kScrollRepeatTimer, kScrollFirstRepeatMs, nullptr);
            }
            InvalidateRect(hwnd_, nullptr, FALSE);
            return;
        }
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        const std::size_t p = PositionFromPoint(x, y);
        if (doubleClick) {
            const auto [s, e] = model_.WordAt(p);
            model_.SetSelection(s, e);
        } else {
            model_.SetSelection(shift ? model_.Anchor() : p, p);
            SetCapture(hwnd_);
            selecting_ = true;
        }
        SelectionMoved();
    }

    void OnMouseMove(int x, int y) {
        mouse_ = POINT{x, y};
        if (selecting_) {
            const std::size_t p = PositionFromPoint(x, y);
            if (p != model_.Caret()) {
                model_.SetSelection(model_.Anchor(), p);
                SelectionMoved();
            }
        } else if (pressed_ == ScrollPart::Thumb) {
            const edit::ScrollBarLayout bar = ScrollBar();
            VerticalScroll(edit::SB_THUMBTRACK,
                           static_cast<UINT>(edit::FirstLineForThumb(bar, y - thumbGrab_, VisibleLines(), model_.LineCount())));
        }
    }

    void EndMouse() {
        const bool had = selecting_ || pressed_ != ScrollPart::None;
        selecting_ = false;
        if (pressed_ != ScrollPart::None) {
            pressed_ = ScrollPart::None;
            KillTimer(hwnd_, kScrollRepeatTimer);
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        if (had && GetCapture() == hwnd_) ReleaseCapture();
    }

    void OnContextMenu(int screenX, int screenY) {
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        if (screenX == -1 && screenY == -1) {
            // From the keyboard: at the caret.
            const RECT caret = CaretRect();
            POINT p{caret.left, caret.bottom};
            ClientToScreen(hwnd_, &p);
            screenX = p.x;
            screenY = p.y;
        }
        HMENU menu = CreatePopupMenu();
        if (!menu) return;
        for (const edit::MenuItem& item : edit::ContextMenuItems(model_, ClipboardHasText())) {
            if (item.id == 0) {
                AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            } else {
                AppendMenuA(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.id, Cp932FromUtf8(item.textUtf8).c_str());
            }
        }
        const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, screenX, screenY, 0, hwnd_, nullptr));
        DestroyMenu(menu);
        if (!IsWindow(hwnd_) || chosen == 0) return;
        if (chosen == edit::kSelectAllCommand) {
            model_.SelectAll();
            SelectionMoved();
            return;
        }
        SendMessageA(hwnd_, chosen, 0, 0);
    }

    // --- Focus, caret, input method ----------------------------------------------------

    void OnSetFocus() {
        focused_ = true;
        caretOn_ = true;
        SetTimer(hwnd_, kCaretTimer, kCaretBlinkMs, nullptr);
        lastImeRect_ = RECT{-1, -1, -1, -1};
        UpdateInputMethodWindow();
        InvalidateRect(hwnd_, nullptr, FALSE);
        Notify(EN_SETFOCUS);
    }

    void OnKillFocus() {
        focused_ = false;
        KillTimer(hwnd_, kCaretTimer);
        composition_.clear();
        StopTextInput();
        EndMouse();
        InvalidateRect(hwnd_, nullptr, FALSE);
        Notify(EN_KILLFOCUS);
    }

    static void StopTextInput() {
        if (display::Display* d = display::CurrentDisplay()) d->StopTextInput();
    }

    void OnTimer(WPARAM id) {
        if (id == kCaretTimer) {
            if (!focused_) return;
            caretOn_ = !caretOn_;
            RECT caret = CaretRect();
            caret.right = caret.left + 1;
            InvalidateRect(hwnd_, &caret, FALSE);
        } else if (id == kScrollRepeatTimer) {
            if (pressed_ == ScrollPart::None || pressed_ == ScrollPart::Thumb) return;
            SetTimer(hwnd_, kScrollRepeatTimer, kScrollRepeatMs, nullptr);
            if (edit::HitScrollBar(ScrollBar(), mouse_.x, mouse_.y) == pressed_) ScrollBy(pressed_);
        }
    }

    // The candidate window follows the caret: its rectangle in window pixels of the top-level
    // surface goes to the display whenever it moves while the box has the focus.
    void UpdateInputMethodWindow() {
        if (!focused_) return;
        display::Display* d = display::CurrentDisplay();
        win::Window* w = win::Find(hwnd_);
        win::Window* top = win::TopLevelOf(hwnd_);
        if (!d || !w || !top) return;
        const POINT o = win::ClientOriginOnSurface(*w);
        RECT caret = CaretRect();
        caret = RECT{caret.left + o.x, caret.top + o.y, caret.right + o.x, caret.bottom + o.y};
        if (caret.left == lastImeRect_.left && caret.top == lastImeRect_.top && caret.bottom == lastImeRect_.bottom) return;
        lastImeRect_ = caret;
        d->StartTextInput(top->native, caret);
    }

    void OnComposition() {
        int cursor = 0;
        composition_ = win::CurrentComposition(&cursor);
        compositionCursor_ = static_cast<std::size_t>(std::clamp<int>(cursor, 0, static_cast<int>(std::min<std::size_t>(composition_.size(), INT_MAX))));
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

    // --- Painting ----------------------------------------------------------------------

    void Paint() {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd_, &ps);
        gdi::DeviceContext* dc = gdi::LookupDC(hdc);
        fonts::FontInstance* font = Font();
        if (dc && dc->surface && font) PaintOn(*dc, ps.rcPaint, *font);
        EndPaint(hwnd_, &ps);
    }

    void PaintOn(gdi::DeviceContext& dc, const RECT& dirty, fonts::FontInstance& font) {
        Surface& surface = *dc.surface;
        const POINT o{dc.originX, dc.originY};
        Region clip = dc.clip;
        clip.IntersectWith(RECT{0, 0, surface.Width(), surface.Height()});
        const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
        const Pixel background = gdi::PixelFromColorRef(GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
        const Pixel textColor = gdi::PixelFromColorRef(GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        const Pixel highlight = gdi::PixelFromColorRef(GetSysColor(COLOR_HIGHLIGHT));
        const Pixel highlightText = gdi::PixelFromColorRef(GetSysColor(COLOR_HIGHLIGHTTEXT));
        auto fill = [&](const Region& where, int l, int t, int r, int b, Pixel color) {
            fonts::FillClipped(surface, where, o.x + l, o.y + t, o.x + r, o.y + b, color);
        };

        const RECT client = Client();
        const RECT text = TextRect();
        RECT textArea = client;  // the client without the scroll bar
        if (HasScrollBar()) {
            const RECT bar = ScrollBarRect();
            if (ExStyle() & WS_EX_LEFTSCROLLBAR) textArea.left = bar.right;
            else textArea.right = bar.left;
        }
        fill(clip, textArea.left, textArea.top, textArea.right, textArea.bottom, background);
        Region textClip = clip;
        textClip.IntersectWith(RECT{o.x + text.left, o.y + text.top, o.x + text.right, o.y + text.bottom});

        const int lineHeight = LineHeight();
        const int ascent = font.Metrics().ascent;
        const auto [selStart, selEnd] = model_.Selection();
        const bool showSelection = focused_ && selStart != selEnd;
        const std::size_t caretLine = model_.LineOf(model_.Caret());
        const bool composing = focused_ && !composition_.empty();
        int caretX = INT_MIN;
        int caretY = 0;

        const int firstRow = std::max(0, static_cast<int>(dirty.top - text.top) / lineHeight);
        const int lastRow = std::min(static_cast<int>(VisibleLines()), static_cast<int>(dirty.bottom - text.top + lineHeight - 1) / lineHeight);
        for (int row = firstRow; row <= lastRow; ++row) {
            const std::size_t line = firstLine_ + static_cast<std::size_t>(row);
            if (line >= model_.LineCount()) break;
            const int y = text.top + row * lineHeight;
            const std::size_t lineStart = model_.LineStart(line);
            // The composition shows inside the caret's line until it is committed.
            std::unique_ptr<LineLayout> composed;
            std::size_t compositionAt = 0;
            if (composing && line == caretLine) {
                std::u32string withComposition(model_.LineText(line));
                compositionAt = model_.Caret() - lineStart;
                withComposition.insert(compositionAt, composition_);
                composed = MakeLayout(withComposition);
            }
            const LineLayout& layout = composed ? *composed : Layout(line);
            const int left = text.left + LineLeft(layout.Width()) - scrollX_;
            const std::size_t n = layout.Length();
            std::size_t v = layout.FirstVisualReaching(std::max<int>(dirty.left, text.left) - left);
            const int rightLimit = std::min<int>(dirty.right, text.right) - left;
            // The bounds are copied: clang before 16 can't capture structured bindings.
            auto kindOf = [&, selStart = selStart, selEnd = selEnd](std::size_t visual) {
                const std::size_t logical = layout.LogicalAt(visual);
                if (composed) return (logical >= compositionAt && logical < compositionAt + composition_.size()) ? 2 : 0;
                const std::size_t at = lineStart + logical;
                return showSelection && at >= selStart && at < selEnd ? 1 : 0;
            };
            while (v < n && layout.LeftOf(v) < rightLimit) {
                const int kind = kindOf(v);
                std::size_t end = v + 1;
                while (end < n && layout.LeftOf(end) < rightLimit && kindOf(end) == kind) ++end;
                const int x0 = left + layout.LeftOf(v);
                const int x1 = left + layout.LeftOf(end);
                if (kind == 1) fill(textClip, x0, y, x1, y + lineHeight, highlight);
                if (kind == 2) fill(textClip, x0, y + lineHeight - 1, x1, y + lineHeight, textColor);
                font.DrawRun(surface, textClip, o.x + x0, o.y + y + ascent,
                             std::u32string_view(layout.VisualText()).substr(v, end - v), kind == 1 ? highlightText : textColor);
                v = end;
            }
            if (line == caretLine) {
                caretX = left + (composed ? layout.CaretX(compositionAt + compositionCursor_) : layout.CaretX(model_.Caret() - lineStart));
                caretY = y;
            }
        }
        if (focused_ && caretOn_ && caretX != INT_MIN && caretX >= text.left - 1 && caretX <= text.right) {
            fill(clip, caretX, caretY, caretX + 1, caretY + lineHeight, gdi::PixelFromColorRef(GetSysColor(COLOR_WINDOWTEXT)));
        }
        if (HasScrollBar()) edit::DrawScrollBar(surface, clip, o, ScrollBar(), pressed_);
    }

    HWND hwnd_ = nullptr;
    edit::EditModel model_;
    std::vector<std::shared_ptr<const LineLayout>> layouts_;  // one per line, made when first shown
    std::size_t firstLine_ = 0;
    int scrollX_ = 0;
    bool focused_ = false;
    bool caretOn_ = true;
    bool selecting_ = false;
    ScrollPart pressed_ = ScrollPart::None;
    int thumbGrab_ = 0;
    POINT mouse_{};
    int wheelRemainder_ = 0;
    std::u32string composition_;
    std::size_t compositionCursor_ = 0;
    RECT lastImeRect_{-1, -1, -1, -1};
};

}  // namespace

std::unique_ptr<win::WindowClass> CreateEditClass(DWORD style) { return std::make_unique<EditClass>(style); }

}  // namespace platform::controls
