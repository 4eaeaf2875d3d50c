// What both fuzz targets share: a drive folder for the whole run, and a script for the editor
// that answers every message box the program raises, so that no input leaves it waiting.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "tests/support/headless_app.h"

namespace komalore_fuzz {

// The drive folder is named by KOMALORE_DRIVE_C, which the layer reads as it needs it; one
// folder serves every input of a run.
inline komalore_test::TemporaryDrive& Drive() {
    static komalore_test::TemporaryDrive drive;
    return drive;
}

// Runs the editor on the headless display: each action runs once the program waits for input
// with no box of its own open ("NOT BITMAP" and the like are answered with Enter first); after
// the last one Esc ends the editor. A step budget ends a program that keeps raising boxes.
inline void RunEditor(std::vector<std::function<void(komalore_test::HeadlessApp&)>> actions) {
    komalore_test::HeadlessApp app;
    std::size_t next = 0;
    int budget = 64;
    std::function<void()> step = [&] {
        if (--budget < 0) return;  // no further step: the loop ends the program
        if (komalore_test::HeadlessApp::FindTopLevel("komalore")) {
            app.Key(VK_RETURN);
        } else if (next < actions.size()) {
            actions[next++](app);
        } else {
            app.Key(VK_ESCAPE);
            return;
        }
        app.Then(step);
    };
    app.Then(step);
    app.Run();
}

// The program's own repaint request, and a mouse move over an empty corner of the editor so
// that the loop paints before the next step.
inline void RepaintEditor(komalore_test::HeadlessApp& app) {
    HWND editor = app.EditorWindow();
    InvalidateRect(editor, nullptr, FALSE);
    platform::win::Window* top = platform::win::Find(editor);
    if (!top) return;
    RECT client{};
    GetClientRect(editor, &client);
    const POINT origin = platform::win::ClientOriginOnSurface(*top);
    platform::display::Event e;
    e.type = platform::display::EventType::MouseMove;
    e.window = top->native;
    e.x = origin.x + client.right - 2;
    e.y = origin.y + client.bottom - 2;
    app.Display().Push(e);
}

}  // namespace komalore_fuzz
