#pragma once

#include <windows.h>

namespace Tessel {

// Deletes a GDI object that the caller owns, if set, and clears the handle.
template <typename THandle> void ReleaseGdiObject(THandle& hObject) {
    if (hObject)
        DeleteObject(hObject);
    hObject = nullptr;
}

// Replaces an owned brush by a new solid brush of the colour (an int holding a COLORREF).
inline void ReplaceSolidBrush(HBRUSH& hBrush, int color) {
    ReleaseGdiObject(hBrush);
    hBrush = CreateSolidBrush(static_cast<COLORREF>(color));
}

} // namespace Tessel
