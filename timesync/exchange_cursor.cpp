#include "timesync/exchange_cursor.h"

namespace {

bool g_bExchangeBusy = false;

bool IsWindowOrControlOf(HWND hWnd, HWND hOther) {
    return hOther && (hOther == hWnd || IsChild(hWnd, hOther));
}

} // namespace

bool SetExchangeCursor(HWND hWnd, HWND hUnder, UINT hitTest) {
    if (!g_bExchangeBusy)
        return false;
    const bool inClientArea = hUnder == hWnd ? hitTest == HTCLIENT : IsChild(hWnd, hUnder);
    if (!inClientArea)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
    return true;
}

void ShowExchangeBusy(HWND hWnd, bool busy) {
    g_bExchangeBusy = busy;
    POINT pointer = {};
    // A hidden window, as in an unattended run, is never under the pointer.
    if (!IsWindowVisible(hWnd) || !GetCursorPos(&pointer))
        return;
    const HWND hUnder = WindowFromPoint(pointer);
    if (!IsWindowOrControlOf(hWnd, hUnder))
        return;
    const LPARAM position = MAKELPARAM(pointer.x, pointer.y);
    const auto hitTest = static_cast<WORD>(SendMessageW(hUnder, WM_NCHITTEST, 0, position));
    SendMessageW(hUnder, WM_SETCURSOR, reinterpret_cast<WPARAM>(hUnder),
                 MAKELPARAM(hitTest, WM_MOUSEMOVE));
}
