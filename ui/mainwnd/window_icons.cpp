#include "ui/mainwnd/window_icons.h"

#include "app/app_globals.h"
#include "app/app_texts.h"
#include "ui/framework/dpi_scale.h"

namespace {

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

void SetWindowIcons(HWND hWnd, UINT dpi) {
    ReplaceIcon(hWnd, ICON_BIG,
                LoadMainIcon(Tessel::GetSystemMetricForDpi(SM_CXICON, dpi),
                             Tessel::GetSystemMetricForDpi(SM_CYICON, dpi)));
    ReplaceIcon(hWnd, ICON_SMALL,
                LoadMainIcon(Tessel::GetSystemMetricForDpi(SM_CXSMICON, dpi),
                             Tessel::GetSystemMetricForDpi(SM_CYSMICON, dpi)));
}

void ReleaseWindowIcons(HWND hWnd) {
    ReplaceIcon(hWnd, ICON_BIG, nullptr);
    ReplaceIcon(hWnd, ICON_SMALL, nullptr);
}
