#include "dpi_scale.h"

namespace Tessel {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// GetDpiForWindow exists from Windows 10 (1607) on; resolved once.
GetDpiForWindowFn FindGetDpiForWindow() {
    static const auto pfn = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return pfn;
}

UINT GetSystemDpi() {
    const HDC hScreen = GetDC(nullptr);
    const int nDpi = GetDeviceCaps(hScreen, LOGPIXELSY);
    ReleaseDC(nullptr, hScreen);
    return nDpi > 0 ? static_cast<UINT>(nDpi) : kDesignDpi;
}

} // namespace

UINT GetWindowDpi(HWND hWnd) {
    if (const GetDpiForWindowFn pfn = FindGetDpiForWindow()) {
        if (const UINT nDpi = pfn(hWnd))
            return nDpi;
    }
    return GetSystemDpi();
}

} // namespace Tessel
