#pragma once

#include "platform/base/windef.h"
#include "platform/gdi/surface.h"

namespace platform::win {

// The picture of an icon nearest to `size` (16 or 32); the top byte of each pixel is its
// opacity (0 or 0xFF).
const Surface* IconPicture(HICON icon, int size);

}  // namespace platform::win
