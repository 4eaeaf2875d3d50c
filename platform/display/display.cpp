#include "platform/display/display.h"

namespace platform::display {

namespace {

std::unique_ptr<Display>& Slot() {
    static std::unique_ptr<Display> display;
    return display;
}

}  // namespace

Display* CurrentDisplay() { return Slot().get(); }
void InstallDisplay(std::unique_ptr<Display> display) { Slot() = std::move(display); }
std::unique_ptr<Display> RemoveDisplay() { return std::move(Slot()); }

}  // namespace platform::display
