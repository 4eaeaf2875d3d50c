#include "tests/support/headless_app.h"

#include <fstream>
#include <random>
#include <sstream>

#include "platform/base/codepage.h"

namespace komalore_test {

using platform::display::Event;
using platform::display::EventType;
using platform::display::MouseButton;

TemporaryDrive::TemporaryDrive() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("komalore-drive-" + std::to_string(rd()) + "-" + std::to_string(::getpid()));
    fs::create_directories(path_);
    setenv("KOMALORE_DRIVE_C", path_.c_str(), 1);
}

TemporaryDrive::~TemporaryDrive() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
    unsetenv("KOMALORE_DRIVE_C");
}

void TemporaryDrive::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TemporaryDrive::Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

HeadlessApp::HeadlessApp() {
    auto display = std::make_unique<platform::display::HeadlessDisplay>();
    display_ = display.get();
    platform::display::InstallDisplay(std::move(display));
    platform::win::ResetMessageState();
    app_.StartUp("/usr/bin/komalore");
}

HeadlessApp::~HeadlessApp() {
    // Whatever the script left open goes with the test.
    for (HWND hwnd : platform::win::AllWindows()) {
        if (IsWindow(hwnd) && !GetParent(hwnd)) DestroyWindow(hwnd);
    }
    platform::win::ResetMessageState();
    platform::display::RemoveDisplay();
}

HeadlessApp& HeadlessApp::Then(std::function<void()> step) {
    display_->Then(std::move(step));
    return *this;
}

BOOL HeadlessApp::Run() { return app_.InitInstance(); }

CLetteringDlg* HeadlessApp::Editor() const { return dynamic_cast<CLetteringDlg*>(app_.m_pMainWnd); }

HWND HeadlessApp::EditorWindow() const {
    CLetteringDlg* editor = Editor();
    return editor ? editor->m_hWnd : nullptr;
}

void HeadlessApp::QueueMouse(HWND hwnd, int x, int y, EventType type, MouseButton button) {
    platform::win::Window* w = platform::win::Find(hwnd);
    platform::win::Window* top = platform::win::TopLevelOf(hwnd);
    if (!w || !top) return;
    const POINT o = platform::win::ClientOriginOnSurface(*w);
    Event e;
    e.type = type;
    e.window = top->native;
    e.x = o.x + x;
    e.y = o.y + y;
    e.button = button;
    display_->Push(e);
}

void HeadlessApp::MouseDown(HWND hwnd, int x, int y) { QueueMouse(hwnd, x, y, EventType::MouseDown, MouseButton::Left); }
void HeadlessApp::MouseUp(HWND hwnd, int x, int y) { QueueMouse(hwnd, x, y, EventType::MouseUp, MouseButton::Left); }

void HeadlessApp::Click(HWND hwnd, int x, int y, MouseButton button) {
    QueueMouse(hwnd, x, y, EventType::MouseDown, button);
    QueueMouse(hwnd, x, y, EventType::MouseUp, button);
}

void HeadlessApp::ClickCenter(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    Click(hwnd, r.right / 2, r.bottom / 2);
}

void HeadlessApp::ClickCloseBox(HWND topLevel) {
    platform::win::Window* w = platform::win::Find(topLevel);
    if (!w) return;
    Event e;
    e.window = w->native;
    e.x = (w->rect.right - w->rect.left) - platform::win::kDialogFrame - 2 - platform::win::kCaptionButtonWidth / 2;
    e.y = platform::win::kDialogFrame + platform::win::kCaptionHeight / 2;
    e.type = EventType::MouseDown;
    display_->Push(e);
    e.type = EventType::MouseUp;
    display_->Push(e);
}

void HeadlessApp::Key(UINT vk, bool shift, bool ctrl, bool alt) {
    Event e;
    e.type = EventType::KeyDown;
    e.vk = vk;
    e.shift = shift;
    e.ctrl = ctrl;
    e.alt = alt;
    display_->Push(e);
    e.type = EventType::KeyUp;
    display_->Push(e);
}

void HeadlessApp::Type(const std::string& utf8) {
    Event e;
    e.type = EventType::Text;
    e.text = utf8;
    display_->Push(e);
}

std::string HeadlessApp::Text(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string cp932(static_cast<std::size_t>(length) + 1, '\0');
    cp932.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, cp932.data(), length + 1)));
    return platform::Utf8FromCp932(cp932);
}

HWND HeadlessApp::FindTopLevel(const std::string& captionUtf8) {
    HWND found = nullptr;
    for (HWND hwnd : platform::win::AllWindows()) {
        platform::win::Window* w = platform::win::Find(hwnd);
        if (w && w->IsTopLevel() && w->className == "#32770" && platform::EncodeUtf8(w->text) == captionUtf8) found = hwnd;
    }
    return found;
}

platform::Pixel HeadlessApp::PixelAt(HWND hwnd, int x, int y) {
    platform::win::Window* w = platform::win::Find(hwnd);
    platform::win::Window* top = platform::win::TopLevelOf(hwnd);
    if (!w || !top) return 0xFFFFFFFF;
    const POINT o = platform::win::ClientOriginOnSurface(*w);
    if (!top->surface->Contains(o.x + x, o.y + y)) return 0xFFFFFFFF;
    return top->surface->At(o.x + x, o.y + y);
}

}  // namespace komalore_test
