// The text of an edit box without its window: the characters, the caret and the selection, the
// line index, the one-step undo and the text limit. The window class (edit.cpp) turns messages
// into these operations and draws the result.
//
// Positions are indices into the Unicode text. Lines are separated by CR LF, which the caret
// never splits and which Backspace and Delete remove as one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/windef.h"

namespace platform::controls::edit {

// The limit a fresh box has, and the one EM_LIMITTEXT 0 asks for.
constexpr std::size_t kDefaultLimit = 32767;
constexpr std::size_t kLargestLimit = 0x7FFFFFFE;

enum class Command {
    None,
    Left,
    Right,
    WordLeft,
    WordRight,
    Home,
    End,
    DocumentStart,
    DocumentEnd,
    Up,
    Down,
    PageUp,
    PageDown,
    Backspace,
    Delete,
    SelectAll,
    Cut,
    Copy,
    Paste,
    Undo,
};

struct KeyCommand {
    Command command = Command::None;
    bool extend = false;  // movement that drags the selection along (Shift)
};

// What a key press does in an edit box, the modifiers held as given.
KeyCommand CommandForKey(UINT vk, bool shift, bool ctrl);

// How the lines look, for the movements that depend on it (up, down, a page).
class LineGeometry {
public:
    virtual ~LineGeometry() = default;
    // The x of the caret at `position`, in pixels from a fixed left edge shared by all lines.
    virtual int CaretX(std::size_t position) = 0;
    // The position nearest to `x` on line `line`.
    virtual std::size_t PositionAtX(std::size_t line, int x) = 0;
    // How many whole lines a page holds (at least 1).
    virtual std::size_t PageLines() = 0;
};

enum class EditResult { Unchanged, Changed, Refused };

// The lines that an edit replaced, in the line index, so that per-line caches can follow.
struct LineChange {
    std::size_t firstLine = 0;
    std::size_t removedLines = 0;   // old lines [firstLine, firstLine + removedLines) are gone
    std::size_t insertedLines = 0;  // and these many new ones stand in their place
};

class EditModel {
public:
    explicit EditModel(bool multiline);

    bool Multiline() const { return multiline_; }
    const std::u32string& Text() const { return text_; }
    std::size_t Caret() const { return caret_; }
    std::size_t Anchor() const { return anchor_; }
    std::pair<std::size_t, std::size_t> Selection() const;
    bool HasSelection() const { return caret_ != anchor_; }
    bool AllSelected() const;
    std::u32string SelectedText() const;

    // Replaces the whole text; the caret goes to the start and the undo is forgotten. A
    // single-line box keeps only the first line.
    void SetText(std::u32string text);
    // Both ends clamped to the text and moved off the middle of a CR LF.
    void SetSelection(std::size_t anchor, std::size_t caret);
    void SelectAll() { SetSelection(0, text_.size()); }

    // Replaces the selection with `insert`. Refused, with nothing changed, when the result would
    // pass the limit. `typing` joins the edit to the previous one when it continues it, so
    // that undo takes back a typed word at once.
    EditResult ReplaceSelection(std::u32string_view insert, bool typing = false);
    EditResult Backspace();
    EditResult DeleteForward();
    // Movement, selection and deletion commands; the clipboard ones are the window's.
    EditResult Apply(Command command, bool extend, LineGeometry& geometry);

    bool CanUndo() const { return undo_.has_value(); }
    // Takes back the last edit; a second undo takes back the undo.
    bool Undo();
    void ForgetUndo() { undo_.reset(); }

    std::size_t Limit() const { return limit_; }
    void SetLimit(std::size_t limit) { limit_ = limit == 0 ? kLargestLimit : std::min(limit, kLargestLimit); }
    // How many more characters fit after the selection is replaced.
    std::size_t Room() const;

    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // The line index.
    std::size_t LineCount() const { return lineStarts_.size(); }
    std::size_t LineStart(std::size_t line) const;
    std::size_t LineEnd(std::size_t line) const;  // before its CR LF
    std::size_t LineOf(std::size_t position) const;
    std::u32string_view LineText(std::size_t line) const;
    // What the last edit did to the line index (the whole index after SetText).
    const LineChange& LastLineChange() const { return lastChange_; }

    // Neighbouring stops: one character (a CR LF counts as one), one word.
    std::size_t CharLeft(std::size_t position) const;
    std::size_t CharRight(std::size_t position) const;
    std::size_t WordLeft(std::size_t position) const;
    std::size_t WordRight(std::size_t position) const;
    // The word (or the run of blanks) under `position`, as a double click selects it.
    std::pair<std::size_t, std::size_t> WordAt(std::size_t position) const;

    std::size_t ClampPosition(std::size_t position) const;

private:
    struct UndoRecord {
        std::size_t position = 0;
        std::u32string removed;
        std::u32string inserted;
        bool typing = false;
    };

    void Replace(std::size_t start, std::size_t end, std::u32string_view insert);
    void MoveCaret(std::size_t position, bool extend);
    void MoveVertically(long lines, bool extend, LineGeometry& geometry);

    bool multiline_;
    std::u32string text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    std::size_t limit_ = kDefaultLimit;
    bool modified_ = false;
    std::optional<UndoRecord> undo_;
    bool lastEditWasTyping_ = false;
    std::optional<int> goalX_;  // kept across successive up and down moves
    std::vector<std::size_t> lineStarts_{0};
    LineChange lastChange_{0, 1, 1};
};

// The clipboard's UTF-8 text made ready to paste: in a multi-line box a CR or LF on its own
// becomes CR LF; a single-line box takes only the first line. Text longer than `room` is
// refused (nullopt) without being decoded whole.
std::optional<std::u32string> PrepareInsertion(std::string_view utf8, bool multiline, std::size_t room);

// Code page 932 byte offsets, which the ANSI messages (EM_GETSEL, EM_SETSEL, ...) count in,
// and character positions.
std::size_t ByteOffsetOf(std::u32string_view text, std::size_t position);
std::size_t PositionOfByteOffset(std::u32string_view text, std::size_t byteOffset);

// The context menu: its items in order, each with whether it can act now.
struct MenuItem {
    UINT id = 0;  // 0 for the separator
    const char* textUtf8 = "";
    bool enabled = false;
};
constexpr UINT kSelectAllCommand = 0x00B1;  // EM_SETSEL, as the platform's menu numbers it
std::vector<MenuItem> ContextMenuItems(const EditModel& model, bool clipboardHasText);

}  // namespace platform::controls::edit
