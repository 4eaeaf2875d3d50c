#include "platform/controls/edit_model.h"

#include <algorithm>

#include "platform/base/codepage.h"

namespace platform::controls::edit {

namespace {

bool IsBreakAt(std::u32string_view text, std::size_t i) {
    return i + 1 < text.size() && text[i] == U'\r' && text[i + 1] == U'\n';
}

// What a word is made of: a word is a run of one class, and blanks separate words.
enum class CharClass { Blank, LineBreak, Punctuation, Latin, Hiragana, Katakana, Ideograph, Other };

CharClass ClassOf(char32_t c) {
    if (c == U' ' || c == U'\t' || c == 0x3000) return CharClass::Blank;
    if (c == U'\r' || c == U'\n') return CharClass::LineBreak;
    if ((c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'_' ||
        (c >= 0xC0 && c <= 0x24F) || (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) ||
        (c >= 0xFF41 && c <= 0xFF5A)) {
        return CharClass::Latin;
    }
    if (c < 0x80 || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
        (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65)) {
        return CharClass::Punctuation;
    }
    if (c >= 0x3040 && c <= 0x309F) return CharClass::Hiragana;
    if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) return CharClass::Katakana;
    if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF)) {
        return CharClass::Ideograph;
    }
    return CharClass::Other;
}

}  // namespace

KeyCommand CommandForKey(UINT vk, bool shift, bool ctrl) {
    switch (vk) {
        case VK_LEFT: return {ctrl ? Command::WordLeft : Command::Left, shift};
        case VK_RIGHT: return {ctrl ? Command::WordRight : Command::Right, shift};
        case VK_HOME: return {ctrl ? Command::DocumentStart : Command::Home, shift};
        case VK_END: return {ctrl ? Command::DocumentEnd : Command::End, shift};
        case VK_UP: return {Command::Up, shift};
        case VK_DOWN: return {Command::Down, shift};
        case VK_PRIOR: return {Command::PageUp, shift};
        case VK_NEXT: return {Command::PageDown, shift};
        case VK_DELETE:
            if (shift) return {Command::Cut, false};
            return {Command::Delete, false};
        case VK_INSERT:
            if (shift) return {Command::Paste, false};
            if (ctrl) return {Command::Copy, false};
            return {};
        default: break;
    }
    if (!ctrl || shift) return {};
    switch (vk) {
        case 'A': return {Command::SelectAll, false};
        case 'X': return {Command::Cut, false};
        case 'C': return {Command::Copy, false};
        case 'V': return {Command::Paste, false};
        case 'Z': return {Command::Undo, false};
        default: return {};
    }
}

EditModel::EditModel(bool multiline) : multiline_(multiline) {}

std::pair<std::size_t, std::size_t> EditModel::Selection() const {
    return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
}

bool EditModel::AllSelected() const {
    const auto [s, e] = Selection();
    return s == 0 && e == text_.size();
}

std::u32string EditModel::SelectedText() const {
    const auto [s, e] = Selection();
    return text_.substr(s, e - s);
}

std::size_t EditModel::ClampPosition(std::size_t position) const {
    position = std::min(position, text_.size());
    if (position > 0 && IsBreakAt(text_, position - 1)) --position;
    return position;
}

void EditModel::SetText(std::u32string text) {
    if (!multiline_) {
        const auto cut = text.find_first_of(U"\r\n");
        if (cut != std::u32string::npos) text.resize(cut);
    }
    text_ = std::move(text);
    caret_ = anchor_ = 0;
    undo_.reset();
    lastEditWasTyping_ = false;
    goalX_.reset();
    modified_ = false;
    const std::size_t oldLines = lineStarts_.size();
    lineStarts_.assign(1, 0);
    for (std::size_t i = 0; i + 1 < text_.size(); ++i) {
        if (IsBreakAt(text_, i)) lineStarts_.push_back(i + 2);
    }
    lastChange_ = LineChange{0, oldLines, lineStarts_.size()};
}

void EditModel::SetSelection(std::size_t anchor, std::size_t caret) {
    anchor_ = ClampPosition(anchor);
    caret_ = ClampPosition(caret);
    lastEditWasTyping_ = false;
    goalX_.reset();
}

std::size_t EditModel::Room() const {
    const auto [s, e] = Selection();
    const std::size_t kept = text_.size() - (e - s);
    return kept >= limit_ ? 0 : limit_ - kept;
}

void EditModel::Replace(std::size_t start, std::size_t end, std::u32string_view insert) {
    // Lines from the one before the edit (a CR there may meet a new LF) up to the first line
    // that begins beyond it are scanned again; the later ones only shift.
    const std::size_t firstLine = LineOf(start > 0 ? start - 1 : 0);
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), end + 1);
    const std::size_t endLine = static_cast<std::size_t>(after - lineStarts_.begin());
    const std::size_t scanFrom = lineStarts_[firstLine];

    text_.replace(start, end - start, insert);
    const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(insert.size()) - static_cast<std::ptrdiff_t>(end - start);
    for (std::size_t i = endLine; i < lineStarts_.size(); ++i) lineStarts_[i] = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(lineStarts_[i]) + delta);
    const bool lastLines = endLine == lineStarts_.size();
    const std::size_t scanTo = lastLines ? text_.size() : lineStarts_[endLine];

    std::vector<std::size_t> fresh{scanFrom};
    for (std::size_t i = scanFrom; i + 1 < text_.size(); ++i) {
        if (!lastLines && i + 2 >= scanTo) break;
        if (IsBreakAt(text_, i)) fresh.push_back(i + 2);
    }
    lineStarts_.erase(lineStarts_.begin() + static_cast<std::ptrdiff_t>(firstLine),
                      lineStarts_.begin() + static_cast<std::ptrdiff_t>(endLine));
    lineStarts_.insert(lineStarts_.begin() + static_cast<std::ptrdiff_t>(firstLine), fresh.begin(), fresh.end());
    lastChange_ = LineChange{firstLine, endLine - firstLine, fresh.size()};
    modified_ = true;
}

EditResult EditModel::ReplaceSelection(std::u32string_view insert, bool typing) {
    if (!multiline_) insert = insert.substr(0, std::min(insert.size(), insert.find_first_of(U"\r\n")));
    const auto [s, e] = Selection();
    if (s == e && insert.empty()) return EditResult::Unchanged;
    if (insert.size() > Room()) return EditResult::Refused;
    const bool joins = typing && lastEditWasTyping_ && undo_ && s == e && undo_->typing &&
                       s == undo_->position + undo_->inserted.size();
    if (joins) {
        undo_->inserted.append(insert);
    } else {
        undo_ = UndoRecord{s, text_.substr(s, e - s), std::u32string(insert), typing};
    }
    Replace(s, e, insert);
    caret_ = anchor_ = s + insert.size();
    lastEditWasTyping_ = typing;
    goalX_.reset();
    return EditResult::Changed;
}

EditResult EditModel::Backspace() {
    if (!HasSelection()) {
        if (caret_ == 0) return EditResult::Unchanged;
        anchor_ = CharLeft(caret_);
    }
    return ReplaceSelection(U"");
}

EditResult EditModel::DeleteForward() {
    if (!HasSelection()) {
        if (caret_ >= text_.size()) return EditResult::Unchanged;
        anchor_ = CharRight(caret_);
    }
    return ReplaceSelection(U"");
}

bool EditModel::Undo() {
    if (!undo_) return false;
    UndoRecord record = std::move(*undo_);
    const std::size_t end = std::min(record.position + record.inserted.size(), text_.size());
    Replace(record.position, end, record.removed);
    // The text that came back is selected, as the platform's box shows it.
    anchor_ = record.position;
    caret_ = record.position + record.removed.size();
    undo_ = UndoRecord{record.position, std::move(record.inserted), std::move(record.removed), false};
    lastEditWasTyping_ = false;
    goalX_.reset();
    return true;
}

std::size_t EditModel::LineStart(std::size_t line) const {
    return lineStarts_[std::min(line, lineStarts_.size() - 1)];
}

std::size_t EditModel::LineEnd(std::size_t line) const {
    if (line + 1 < lineStarts_.size()) return lineStarts_[line + 1] - 2;
    return text_.size();
}

std::size_t EditModel::LineOf(std::size_t position) const {
    const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position);
    return static_cast<std::size_t>(it - lineStarts_.begin()) - 1;
}

std::u32string_view EditModel::LineText(std::size_t line) const {
    const std::size_t start = LineStart(line);
    return std::u32string_view(text_).substr(start, LineEnd(line) - start);
}

std::size_t EditModel::CharLeft(std::size_t position) const {
    if (position == 0) return 0;
    return position >= 2 && IsBreakAt(text_, position - 2) ? position - 2 : position - 1;
}

std::size_t EditModel::CharRight(std::size_t position) const {
    if (position >= text_.size()) return text_.size();
    return IsBreakAt(text_, position) ? position + 2 : position + 1;
}

std::size_t EditModel::WordRight(std::size_t p) const {
    if (p >= text_.size()) return text_.size();
    if (IsBreakAt(text_, p)) return p + 2;
    const CharClass first = ClassOf(text_[p]);
    if (first != CharClass::Blank) {
        while (p < text_.size() && ClassOf(text_[p]) == first) ++p;
    }
    while (p < text_.size() && ClassOf(text_[p]) == CharClass::Blank) ++p;
    return p;
}

std::size_t EditModel::WordLeft(std::size_t p) const {
    if (p == 0) return 0;
    if (p >= 2 && IsBreakAt(text_, p - 2)) return p - 2;
    while (p > 0 && ClassOf(text_[p - 1]) == CharClass::Blank) --p;
    if (p == 0 || ClassOf(text_[p - 1]) == CharClass::LineBreak) return p;
    const CharClass cls = ClassOf(text_[p - 1]);
    while (p > 0 && ClassOf(text_[p - 1]) == cls) --p;
    return p;
}

std::pair<std::size_t, std::size_t> EditModel::WordAt(std::size_t p) const {
    p = ClampPosition(p);
    std::size_t at = p;
    // At the end of a word, the word just left of the pointer is meant.
    if (at >= text_.size() || ClassOf(text_[at]) == CharClass::LineBreak) {
        if (at == 0 || ClassOf(text_[at - 1]) == CharClass::LineBreak) return {p, p};
        --at;
    }
    const CharClass cls = ClassOf(text_[at]);
    std::size_t start = at;
    std::size_t end = at + 1;
    while (start > 0 && ClassOf(text_[start - 1]) == cls) --start;
    while (end < text_.size() && ClassOf(text_[end]) == cls) ++end;
    return {start, end};
}

void EditModel::MoveCaret(std::size_t position, bool extend) {
    caret_ = ClampPosition(position);
    if (!extend) anchor_ = caret_;
    lastEditWasTyping_ = false;
}

void EditModel::MoveVertically(long lines, bool extend, LineGeometry& geometry) {
    const long line = static_cast<long>(LineOf(caret_));
    const long target = std::clamp<long>(line + lines, 0, static_cast<long>(LineCount()) - 1);
    if (!goalX_) goalX_ = geometry.CaretX(caret_);
    const int goal = *goalX_;
    // Up on the first line and down on the last stay where they are.
    MoveCaret(target == line ? caret_ : geometry.PositionAtX(static_cast<std::size_t>(target), goal), extend);
    goalX_ = goal;
}

EditResult EditModel::Apply(Command command, bool extend, LineGeometry& geometry) {
    const auto [s, e] = Selection();
    const bool collapse = !extend && s != e;
    switch (command) {
        case Command::Left: MoveCaret(collapse ? s : CharLeft(caret_), extend); break;
        case Command::Right: MoveCaret(collapse ? e : CharRight(caret_), extend); break;
        case Command::WordLeft: MoveCaret(WordLeft(caret_), extend); break;
        case Command::WordRight: MoveCaret(WordRight(caret_), extend); break;
        case Command::Home: MoveCaret(LineStart(LineOf(caret_)), extend); break;
        case Command::End: MoveCaret(LineEnd(LineOf(caret_)), extend); break;
        case Command::DocumentStart: MoveCaret(0, extend); break;
        case Command::DocumentEnd: MoveCaret(text_.size(), extend); break;
        case Command::Up:
        case Command::Down:
            if (!multiline_) {
                // A single line has nowhere to go up or down: the arrows move along it instead.
                MoveCaret(command == Command::Up ? CharLeft(caret_) : CharRight(caret_), extend);
                break;
            }
            MoveVertically(command == Command::Up ? -1 : 1, extend, geometry);
            return EditResult::Unchanged;
        case Command::PageUp:
        case Command::PageDown: {
            if (!multiline_) return EditResult::Unchanged;
            const long page = static_cast<long>(std::max<std::size_t>(1, geometry.PageLines()));
            MoveVertically(command == Command::PageUp ? -page : page, extend, geometry);
            return EditResult::Unchanged;
        }
        case Command::SelectAll: SelectAll(); break;
        case Command::Backspace: return Backspace();
        case Command::Delete: return DeleteForward();
        case Command::Undo: return Undo() ? EditResult::Changed : EditResult::Unchanged;
        default: return EditResult::Unchanged;
    }
    goalX_.reset();
    return EditResult::Unchanged;
}

std::optional<std::u32string> PrepareInsertion(std::string_view utf8, bool multiline, std::size_t room) {
    if (!multiline) {
        const auto cut = utf8.find_first_of("\r\n");
        if (cut != std::string_view::npos) utf8 = utf8.substr(0, cut);
    }
    // A character takes at most four bytes, so a longer prefix than this holds more than `room`
    // characters whatever it says: the rest need not be looked at.
    const std::size_t enough = room >= (SIZE_MAX / 4) - 1 ? SIZE_MAX : (room + 1) * 4;
    std::u32string decoded = DecodeUtf8(utf8.substr(0, std::min(utf8.size(), enough)));
    // The text stops at a NUL, as a C string handed to the box would.
    if (const auto nul = decoded.find(U'\0'); nul != std::u32string::npos) decoded.resize(nul);
    if (decoded.size() > room) return std::nullopt;
    if (!multiline) return decoded;
    std::u32string out;
    out.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char32_t c = decoded[i];
        if (c == U'\r' || c == U'\n') {
            out += U"\r\n";
            if (c == U'\r' && i + 1 < decoded.size() && decoded[i + 1] == U'\n') ++i;
            if (out.size() > room) return std::nullopt;
        } else {
            out.push_back(c);
        }
    }
    if (out.size() > room) return std::nullopt;
    return out;
}

std::size_t ByteOffsetOf(std::u32string_view text, std::size_t position) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < std::min(position, text.size()); ++i) bytes += static_cast<std::size_t>(Cp932Length(text[i]));
    return bytes;
}

std::size_t PositionOfByteOffset(std::u32string_view text, std::size_t byteOffset) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes += static_cast<std::size_t>(Cp932Length(text[i]));
        // An offset inside a two-byte character means the character's start.
        if (bytes > byteOffset) return i;
    }
    return text.size();
}

std::vector<MenuItem> ContextMenuItems(const EditModel& model, bool clipboardHasText) {
    const bool selection = model.HasSelection();
    return {
        {WM_UNDO, "元に戻す(&U)", model.CanUndo()},
        {WM_CUT, "切り取り(&T)", selection},
        {WM_COPY, "コピー(&C)", selection},
        {WM_PASTE, "貼り付け(&P)", clipboardHasText},
        {WM_CLEAR, "削除(&D)", selection},
        {0, "", false},
        {kSelectAllCommand, "すべて選択(&A)", !model.Text().empty() && !model.AllSelected()},
    };
}

}  // namespace platform::controls::edit
