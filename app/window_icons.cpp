#include "window_icons.h"

#include "app_globals.h"
#include "app_texts.h"

namespace {

// A user32 function that older systems lack, or null.
template <typename Function> Function FindUser32Function(const char* name) {
    // The cast goes through void*, as GetProcAddress results must.
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// Not shared (LR_SHARED), which is not for sizes that change after loading (a new DPI): the
// window owns each icon it is given.
HICON LoadMainIcon(int width, int height) {
    return static_cast<HICON>(LoadImageW(g_hInstance, MAKEINTRESOURCEW(kMainIconId), IMAGE_ICON,
                                         width, height, LR_DEFAULTCOLOR));
}

void ReplaceIcon(HWND hWnd, WPARAM which, HICON hIcon) {
    const auto hOld = reinterpret_cast<HICON>(
        SendMessageW(hWnd, WM_SETICON, which, reinterpret_cast<LPARAM>(hIcon)));
    if (hOld)
        DestroyIcon(hOld);
}

} // namespace

UINT WindowDpi(HWND hWnd) {
    static const auto forWindow = FindUser32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (forWindow)
        return forWindow(hWnd);
    const HDC hScreen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(hScreen, LOGPIXELSY);
    ReleaseDC(nullptr, hScreen);
    return static_cast<UINT>(dpi);
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto forDpi =
        FindUser32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

void SetWindowIcons(HWND hWnd, UINT dpi) {
    ReplaceIcon(
        hWnd, ICON_BIG,
        LoadMainIcon(SystemMetricForDpi(SM_CXICON, dpi), SystemMetricForDpi(SM_CYICON, dpi)));
    ReplaceIcon(
        hWnd, ICON_SMALL,
        LoadMainIcon(SystemMetricForDpi(SM_CXSMICON, dpi), SystemMetricForDpi(SM_CYSMICON, dpi)));
}

void ReleaseWindowIcons(HWND hWnd) {
    ReplaceIcon(hWnd, ICON_BIG, nullptr);
    ReplaceIcon(hWnd, ICON_SMALL, nullptr);
}
