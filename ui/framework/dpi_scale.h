#pragma once
// Sizes and system metrics for a DPI.

#include <windows.h>

namespace Tessel {

// The DPI that the framework's design sizes are given for (100 % on Windows).
inline constexpr UINT kDesignDpi = 96;

// A design size in pixels at 96 DPI, as many pixels at the given DPI (rounded to the nearest).
inline int ScaleForDpi(int nValue, UINT nDpi) {
    return MulDiv(nValue, static_cast<int>(nDpi), static_cast<int>(kDesignDpi));
}

// The DPI the window is shown at: its monitor's on Windows 10 and later (GetDpiForWindow), the
// system's on older systems, which scale every window alike.
UINT GetWindowDpi(HWND hWnd);

// A system metric for that DPI: GetSystemMetricsForDpi where the system has it (Windows 10, 1607
// on), else the metric for the system's own DPI.
int GetSystemMetricForDpi(int nIndex, UINT nDpi);

} // namespace Tessel
