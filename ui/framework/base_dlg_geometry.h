#pragma once
// The window base's placement arithmetic: the origin that centres a window on a screen.

#include <windows.h>

namespace Tessel {

// The top-left corner that centres a box on a screen; integer halves truncated toward zero, so
// a box larger than the screen gets negative coordinates.
POINT CenteredOrigin(int nScreenWidth, int nScreenHeight, int nWidth, int nHeight);

} // namespace Tessel
