// Drawing pieces shared by the controls.
#pragma once

#include "platform/base/windef.h"

namespace platform::controls {

void FrameRectColor(HDC dc, const RECT& r, COLORREF color);
// A raised (or, with `sunken`, a sunken) two-pixel 3-D edge inside `r`.
void DrawEdge3D(HDC dc, const RECT& r, bool sunken);
// A dotted rectangle, every other pixel inverted.
void DrawFocusRectangle(HDC dc, const RECT& r);

}  // namespace platform::controls
