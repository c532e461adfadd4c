#include "ui/framework/dpi_scale.h"

namespace Tessel {

namespace {

// A user32 function that older systems lack (those of DPI exist from Windows 10, 1607, on), or
// null.
template <typename Function> Function FindUser32Function(const char* pszName) {
    // The cast goes through void*, as GetProcAddress results must.
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), pszName)));
}

UINT GetSystemDpi() {
    const HDC hScreen = GetDC(nullptr);
    const int nDpi = GetDeviceCaps(hScreen, LOGPIXELSY);
    ReleaseDC(nullptr, hScreen);
    return nDpi > 0 ? static_cast<UINT>(nDpi) : kDesignDpi;
}

} // namespace

UINT GetWindowDpi(HWND hWnd) {
    static const auto pfn = FindUser32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (pfn) {
        if (const UINT nDpi = pfn(hWnd))
            return nDpi;
    }
    return GetSystemDpi();
}

int GetSystemMetricForDpi(int nIndex, UINT nDpi) {
    static const auto pfn = FindUser32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return pfn ? pfn(nIndex, nDpi) : GetSystemMetrics(nIndex);
}

} // namespace Tessel
