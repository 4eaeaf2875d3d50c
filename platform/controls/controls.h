// The built-in control classes: push buttons, static texts, frames and icons, edit boxes.
#pragma once

#include <memory>

#include "platform/windows/window_internal.h"

namespace platform::controls {

std::unique_ptr<win::WindowClass> CreateControlClass(std::string_view className, DWORD style);
std::unique_ptr<win::WindowClass> CreateButtonClass();
std::unique_ptr<win::WindowClass> CreateStaticClass();
std::unique_ptr<win::WindowClass> CreateEditClass(DWORD style);

}  // namespace platform::controls

// The dialog a control belongs to.
HWND GetParentDialog(HWND control);
