// The edit box's text model: movement, selection, deletion across line breaks, undo, the
// limit, the line index, what keys mean, pasting, code page offsets and the context menu.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/controls/edit_model.h"

using platform::DecodeUtf8;
using platform::EncodeUtf8;
using namespace platform::controls::edit;

namespace {

// A box state written as text: "|" is the caret and "[" or "]" the other end of the selection.
EditModel ModelFrom(const std::string& state, bool multiline = true) {
    std::u32string text;
    std::size_t caret = 0;
    std::size_t anchor = SIZE_MAX;
    for (char32_t c : DecodeUtf8(state)) {
        if (c == U'|') caret = text.size();
        else if (c == U'[' || c == U']') anchor = text.size();
        else text.push_back(c);
    }
    EditModel model(multiline);
    model.SetText(text);
    model.SetSelection(anchor == SIZE_MAX ? caret : anchor, caret);
    return model;
}

std::string StateOf(const EditModel& model) {
    std::u32string out;
    const std::u32string& text = model.Text();
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == model.Caret()) out += U'|';
        if (i == model.Anchor() && model.HasSelection()) out += model.Anchor() < model.Caret() ? U'[' : U']';
        if (i < text.size()) out += text[i];
    }
    return EncodeUtf8(out);
}

// Every character is 10 pixels wide; a page is two lines.
class MonospaceLines : public LineGeometry {
public:
    explicit MonospaceLines(const EditModel& model) : model_(model) {}
    int CaretX(std::size_t p) override { return static_cast<int>(p - model_.LineStart(model_.LineOf(p))) * 10; }
    std::size_t PositionAtX(std::size_t line, int x) override {
        const std::size_t length = model_.LineEnd(line) - model_.LineStart(line);
        const std::size_t column = static_cast<std::size_t>(std::max(0, (x + 5) / 10));
        return model_.LineStart(line) + std::min(column, length);
    }
    std::size_t PageLines() override { return 2; }

private:
    const EditModel& model_;
};

struct Step {
    Command command = Command::None;
    bool extend = false;
    const char* typed = nullptr;  // typed text instead of a command
};

Step Do(Command c) { return Step{c, false, nullptr}; }
Step Extend(Command c) { return Step{c, true, nullptr}; }
Step TypeText(const char* text) { return Step{Command::None, false, text}; }

struct Case {
    const char* name;
    const char* before;
    std::vector<Step> steps;
    const char* after;
};

void RunCases(const std::vector<Case>& cases, bool multiline = true) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditModel model = ModelFrom(c.before, multiline);
        MonospaceLines geometry(model);
        for (const Step& step : c.steps) {
            if (step.typed) {
                for (char32_t ch : DecodeUtf8(step.typed)) model.ReplaceSelection(std::u32string(1, ch), true);
            } else {
                model.Apply(step.command, step.extend, geometry);
            }
        }
        EXPECT_EQ(StateOf(model), c.after);
    }
}

}  // namespace

TEST(EditModel, Movement) {
    RunCases({
        {"left", "ab|c", {Do(Command::Left)}, "a|bc"},
        {"left at the start", "|ab", {Do(Command::Left)}, "|ab"},
        {"left collapses a selection to its start", "a[bc|d", {Do(Command::Left)}, "a|bcd"},
        {"right collapses a selection to its end", "a|bc]d", {Do(Command::Right)}, "abc|d"},
        {"left over a line break at once", "ab\r\n|cd", {Do(Command::Left)}, "ab|\r\ncd"},
        {"right over a line break at once", "ab|\r\ncd", {Do(Command::Right)}, "ab\r\n|cd"},
        {"word left", "foo bar| baz", {Do(Command::WordLeft)}, "foo |bar baz"},
        {"word left again", "foo |bar baz", {Do(Command::WordLeft)}, "|foo bar baz"},
        {"word right skips the blank after", "|foo bar", {Do(Command::WordRight)}, "foo |bar"},
        {"kana and kanji are two words", "|こんにちは世界", {Do(Command::WordRight)}, "こんにちは|世界"},
        {"word left over kanji", "こんにちは世界|", {Do(Command::WordLeft)}, "こんにちは|世界"},
        {"word left stops at a line break", "ab\r\n|cd", {Do(Command::WordLeft)}, "ab|\r\ncd"},
        {"word right stops after a line break", "ab|\r\ncd", {Do(Command::WordRight)}, "ab\r\n|cd"},
        {"home", "ab\r\nc|d", {Do(Command::Home)}, "ab\r\n|cd"},
        {"end", "ab\r\n|cd\r\nef", {Do(Command::End)}, "ab\r\ncd|\r\nef"},
        {"ctrl home", "ab\r\nc|d", {Do(Command::DocumentStart)}, "|ab\r\ncd"},
        {"ctrl end", "a|b\r\ncd", {Do(Command::DocumentEnd)}, "ab\r\ncd|"},
        {"up keeps the x", "abc\r\nd|e", {Do(Command::Up)}, "a|bc\r\nde"},
        {"down to a shorter line", "ab|c\r\nd", {Do(Command::Down)}, "abc\r\nd|"},
        {"the column is kept over a shorter line", "ab|c\r\nd\r\nxyz", {Do(Command::Down), Do(Command::Down)}, "abc\r\nd\r\nxy|z"},
        {"up on the first line stays", "a|b\r\ncd", {Do(Command::Up)}, "a|b\r\ncd"},
        {"down on the last line stays", "ab\r\nc|d", {Do(Command::Down)}, "ab\r\nc|d"},
        {"page up goes a page of lines", "a\r\nb\r\nc\r\n|d", {Do(Command::PageUp)}, "a\r\n|b\r\nc\r\nd"},
        {"page down stops at the last line", "|a\r\nb\r\nc", {Do(Command::PageDown), Do(Command::PageDown)}, "a\r\nb\r\n|c"},
    });
}

TEST(EditModel, MovementInASingleLineBox) {
    RunCases({
        {"up moves left", "ab|c", {Do(Command::Up)}, "a|bc"},
        {"down moves right", "a|bc", {Do(Command::Down)}, "ab|c"},
        {"page keys do nothing", "a|bc", {Do(Command::PageDown)}, "a|bc"},
    }, false);
}

TEST(EditModel, Selection) {
    RunCases({
        {"shift left", "ab|c", {Extend(Command::Left)}, "a|b]c"},
        {"shift right twice", "|abc", {Extend(Command::Right), Extend(Command::Right)}, "[ab|c"},
        {"shift right over a line break", "a|\r\nb", {Extend(Command::Right)}, "a[\r\n|b"},
        {"shift word right", "|foo bar", {Extend(Command::WordRight)}, "[foo |bar"},
        {"shift down", "a|b\r\ncd", {Extend(Command::Down)}, "a[b\r\nc|d"},
        {"shift end after shift home", "ab|c", {Extend(Command::Home), Extend(Command::End)}, "ab[c|"},
        {"select all", "ab|c\r\nd", {Do(Command::SelectAll)}, "[abc\r\nd|"},
        {"a plain move drops the selection", "[ab|c", {Do(Command::End)}, "abc|"},
    });
}

TEST(EditModel, Deletion) {
    RunCases({
        {"backspace takes a whole line break", "ab\r\n|cd", {Do(Command::Backspace)}, "ab|cd"},
        {"delete takes a whole line break", "ab|\r\ncd", {Do(Command::Delete)}, "ab|cd"},
        {"backspace takes the selection only", "a[bc|d", {Do(Command::Backspace)}, "a|d"},
        {"delete takes the selection only", "a|bc]d", {Do(Command::Delete)}, "a|d"},
        {"a selection over line breaks", "x\r\n[ab\r\n|c", {Do(Command::Delete)}, "x\r\n|c"},
        {"backspace at the start", "|ab", {Do(Command::Backspace)}, "|ab"},
        {"delete at the end", "ab|", {Do(Command::Delete)}, "ab|"},
        {"backspace of a kanji", "日本|", {Do(Command::Backspace)}, "日|"},
        {"typing replaces the selection", "a[bc|d", {TypeText("x")}, "ax|d"},
        {"typing never overwrites", "a|bc", {TypeText("xy")}, "axy|bc"},
    });
}

TEST(EditModel, UndoTogglesAndTakesTypingAsOneEdit) {
    RunCases({
        {"typing is one edit", "ab|", {TypeText("cd"), Do(Command::Undo)}, "ab|"},
        {"a second undo redoes", "ab|", {TypeText("cd"), Do(Command::Undo), Do(Command::Undo)}, "ab[cd|"},
        {"a third undo undoes again", "ab|", {TypeText("cd"), Do(Command::Undo), Do(Command::Undo), Do(Command::Undo)}, "ab|"},
        {"typing over a selection comes back with it", "a[bc|d", {TypeText("xy"), Do(Command::Undo)}, "a[bc|d"},
        {"a move ends the typing", "|a", {TypeText("x"), Do(Command::Right), TypeText("y"), Do(Command::Undo)}, "xa|"},
        {"a backspace is its own edit", "abc|", {Do(Command::Backspace), Do(Command::Undo)}, "ab[c|"},
        {"a line break deleted comes back", "ab\r\n|cd", {Do(Command::Backspace), Do(Command::Undo)}, "ab[\r\n|cd"},
        {"nothing to undo", "ab|", {Do(Command::Undo)}, "ab|"},
    });
    EditModel model = ModelFrom("ab|");
    EXPECT_FALSE(model.CanUndo());
    model.ReplaceSelection(U"c", true);
    EXPECT_TRUE(model.CanUndo());
    model.SetText(U"fresh");
    EXPECT_FALSE(model.CanUndo());
}

TEST(EditModel, TheLimitRefusesWholeInsertions) {
    EditModel model = ModelFrom("abc|");
    EXPECT_EQ(model.Limit(), 32767u);
    model.SetLimit(5);
    EXPECT_EQ(model.ReplaceSelection(U"de", true), EditResult::Changed);
    EXPECT_EQ(model.ReplaceSelection(U"f", true), EditResult::Refused);
    EXPECT_EQ(StateOf(model), "abcde|");
    // Three characters into a box with room for none is refused whole, not cut to fit.
    model.SetSelection(4, 5);
    EXPECT_EQ(model.Room(), 1u);
    EXPECT_EQ(model.ReplaceSelection(U"xyz"), EditResult::Refused);
    EXPECT_EQ(StateOf(model), "abcd[e|");
    EXPECT_EQ(model.ReplaceSelection(U"x"), EditResult::Changed);
    EXPECT_EQ(StateOf(model), "abcdx|");
    model.SetLimit(0);
    EXPECT_EQ(model.Limit(), kLargestLimit);
}

TEST(EditModel, TheLineIndexFollowsEveryEdit) {
    std::mt19937 random(7);
    const std::u32string pieces[] = {U"a", U"\r\n", U"\r", U"\n", U"日本", U"", U"xy\r\nz", U"\r\n\r\n"};
    EditModel model(true);
    model.SetLimit(0);
    for (int i = 0; i < 2000; ++i) {
        const std::size_t size = model.Text().size();
        const std::size_t a = size ? random() % (size + 1) : 0;
        const std::size_t b = size ? random() % (size + 1) : 0;
        model.SetSelection(a, b);
        model.ReplaceSelection(pieces[random() % std::size(pieces)]);
        std::vector<std::size_t> expected{0};
        const std::u32string& t = model.Text();
        for (std::size_t p = 0; p + 1 < t.size(); ++p) {
            if (t[p] == U'\r' && t[p + 1] == U'\n') expected.push_back(p + 2);
        }
        ASSERT_EQ(model.LineCount(), expected.size()) << "after edit " << i;
        for (std::size_t line = 0; line < expected.size(); ++line) ASSERT_EQ(model.LineStart(line), expected[line]) << "after edit " << i;
    }
}

TEST(EditModel, WhatKeysMean) {
    struct KeyCase {
        UINT vk;
        bool shift, ctrl;
        Command command;
        bool extend;
    };
    const std::vector<KeyCase> cases = {
        {VK_LEFT, false, false, Command::Left, false},     {VK_LEFT, true, true, Command::WordLeft, true},
        {VK_RIGHT, false, true, Command::WordRight, false}, {VK_HOME, false, true, Command::DocumentStart, false},
        {VK_END, true, false, Command::End, true},          {VK_PRIOR, false, false, Command::PageUp, false},
        {VK_NEXT, true, false, Command::PageDown, true},    {VK_DELETE, false, false, Command::Delete, false},
        {VK_DELETE, true, false, Command::Cut, false},      {VK_INSERT, false, true, Command::Copy, false},
        {VK_INSERT, true, false, Command::Paste, false},    {'A', false, true, Command::SelectAll, false},
        {'X', false, true, Command::Cut, false},            {'C', false, true, Command::Copy, false},
        {'V', false, true, Command::Paste, false},          {'Z', false, true, Command::Undo, false},
        {'Z', false, false, Command::None, false},          {VK_INSERT, false, false, Command::None, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "vk " << c.vk << " shift " << c.shift << " ctrl " << c.ctrl);
        const KeyCommand k = CommandForKey(c.vk, c.shift, c.ctrl);
        EXPECT_EQ(k.command, c.command);
        EXPECT_EQ(k.extend, c.extend);
    }
}

TEST(EditModel, PastedTextIsPreparedForTheBox) {
    struct PasteCase {
        const char* name;
        std::string utf8;
        bool multiline;
        std::size_t room;
        std::optional<std::u32string> expected;
    };
    const std::vector<PasteCase> cases = {
        {"LF alone becomes CR LF", "a\nb", true, 100, U"a\r\nb"},
        {"CR alone becomes CR LF", "a\rb", true, 100, U"a\r\nb"},
        {"CR LF stays", "a\r\nb\r\n", true, 100, U"a\r\nb\r\n"},
        {"single line takes the first line", "ab\ncd", false, 100, U"ab"},
        {"single line stops at CR too", "ab\rcd", false, 100, U"ab"},
        {"invalid UTF-8 is replaced", "a\xff" "b", true, 100, U"a\uFFFDb"},
        {"cut UTF-8 at the end is replaced", "a\xe6\x97", true, 100, U"a\uFFFD"},
        {"the text stops at a NUL", std::string("ab\0cd", 5), true, 100, U"ab"},
        {"exactly the room fits", "abc", true, 3, U"abc"},
        {"one over the room is refused", "abcd", true, 3, std::nullopt},
        {"line breaks count after they grow", "a\nb", true, 3, std::nullopt},
        {"kanji count as one each", "日本語", true, 3, U"日本語"},
        {"a huge text is refused", std::string(10 * 1024 * 1024, 'x'), true, 32767, std::nullopt},
        {"a huge second line doesn't matter to a single line", "ok\n" + std::string(1024 * 1024, 'x'), false, 5, U"ok"},
    };
    for (const PasteCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PrepareInsertion(c.utf8, c.multiline, c.room), c.expected);
    }
}

TEST(EditModel, CodePageOffsetsCountBytes) {
    // "a", half-width katakana (one byte), a kanji (two bytes), a character the code page lacks
    // ("?", one byte).
    const std::u32string text = U"aｱ日\u00e9b";
    EXPECT_EQ(ByteOffsetOf(text, 0), 0u);
    EXPECT_EQ(ByteOffsetOf(text, 2), 2u);
    EXPECT_EQ(ByteOffsetOf(text, 3), 4u);
    EXPECT_EQ(ByteOffsetOf(text, 5), 6u);
    EXPECT_EQ(ByteOffsetOf(text, 99), 6u);
    EXPECT_EQ(PositionOfByteOffset(text, 2), 2u);
    EXPECT_EQ(PositionOfByteOffset(text, 3), 2u);  // inside the kanji: its start
    EXPECT_EQ(PositionOfByteOffset(text, 4), 3u);
    EXPECT_EQ(PositionOfByteOffset(text, 1000), text.size());
}

TEST(EditModel, ContextMenuItemsAreEnabledWhenTheyCanAct) {
    struct MenuCase {
        const char* name;
        const char* state;
        bool typeFirst;
        bool clipboard;
        std::vector<bool> enabled;  // undo, cut, copy, paste, delete, (separator), select all
    };
    const std::vector<MenuCase> cases = {
        {"empty box, empty clipboard", "|", false, false, {false, false, false, false, false, false, false}},
        {"text, no selection", "ab|c", false, false, {false, false, false, false, false, false, true}},
        {"a selection", "a[b|c", false, true, {false, true, true, true, true, false, true}},
        {"all selected", "[abc|", false, false, {false, true, true, false, true, false, false}},
        {"after typing", "ab|", true, false, {true, false, false, false, false, false, true}},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.name);
        EditModel model = ModelFrom(c.state);
        if (c.typeFirst) model.ReplaceSelection(U"x", true);
        const std::vector<MenuItem> items = ContextMenuItems(model, c.clipboard);
        ASSERT_EQ(items.size(), 7u);
        std::vector<bool> enabled;
        for (const MenuItem& item : items) enabled.push_back(item.enabled);
        EXPECT_EQ(enabled, c.enabled);
    }
    const std::vector<MenuItem> items = ContextMenuItems(EditModel(true), false);
    const std::vector<std::string> texts = {"元に戻す(&U)", "切り取り(&T)", "コピー(&C)", "貼り付け(&P)", "削除(&D)", "", "すべて選択(&A)"};
    const std::vector<UINT> ids = {WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, 0, kSelectAllCommand};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].textUtf8, texts[i]);
        EXPECT_EQ(items[i].id, ids[i]);
    }
}

TEST(EditModel, DoubleClickWords) {
    const EditModel model = ModelFrom("|foo  日本語です\r\nx");
    EXPECT_EQ(model.WordAt(1), (std::pair<std::size_t, std::size_t>{0, 3}));
    EXPECT_EQ(model.WordAt(3), (std::pair<std::size_t, std::size_t>{3, 5}));  // the blanks
    EXPECT_EQ(model.WordAt(6), (std::pair<std::size_t, std::size_t>{5, 8}));  // the kanji
    EXPECT_EQ(model.WordAt(9), (std::pair<std::size_t, std::size_t>{8, 10})); // the kana
    EXPECT_EQ(model.WordAt(10), (std::pair<std::size_t, std::size_t>{8, 10}));  // at the line end: the word before
}

TEST(EditModel, ASingleLineBoxKeepsOneLine) {
    EditModel model(false);
    model.SetText(U"one\r\ntwo");
    EXPECT_EQ(model.Text(), U"one");
    model.SetSelection(3, 3);
    model.ReplaceSelection(U"!\r\nmore");
    EXPECT_EQ(model.Text(), U"one!");
    EXPECT_EQ(model.LineCount(), 1u);
}
