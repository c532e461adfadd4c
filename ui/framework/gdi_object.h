#pragma once
// GDI objects that their holder owns: released through OwnedHandle, replaced in place.

#include "base/owned_handle.h"

#include <windows.h>

#include <utility>

namespace Tessel {

inline void DeleteGdiObject(HGDIOBJ hObject) {
    DeleteObject(hObject);
}
using OwnedGdiObject = OwnedHandle<HGDIOBJ, DeleteGdiObject>;

// Deletes a GDI object that the caller owns, if set, and clears the handle. The framework's
// classes keep plain handles, which their copy operations copy, and release them here at their
// release points (a window at WM_DESTROY, a layout node in its destructor).
template <typename THandle> void ReleaseGdiObject(THandle& hObject) {
    const OwnedGdiObject released(std::exchange(hObject, nullptr));
}

// Replaces an owned brush by a new solid brush of the colour (an int holding a COLORREF).
inline void ReplaceSolidBrush(HBRUSH& hBrush, int color) {
    ReleaseGdiObject(hBrush);
    hBrush = CreateSolidBrush(static_cast<COLORREF>(color));
}

} // namespace Tessel
