#include "ui/framework/base_dlg.h"

#include "ui/framework/base_dlg_geometry.h"

namespace Tessel {

namespace {

// SetWindowPos flags that ModifyStyle always adds: the frame changes, the placement does not.
constexpr UINT kKeepPlacement = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

} // namespace

POINT CenteredOrigin(int nScreenWidth, int nScreenHeight, int nWidth, int nHeight) {
    return {(nScreenWidth - nWidth) / 2, (nScreenHeight - nHeight) / 2};
}

void CBaseDlg::CenterWnd() {
    const int nWidth = m_rect.right - m_rect.left;
    const int nHeight = m_rect.bottom - m_rect.top;
    const POINT origin = CenterWnd(nWidth, nHeight);
    SetWindowPos(m_hWnd, nullptr, origin.x, origin.y, nWidth, nHeight, SWP_FRAMECHANGED);
}

POINT CBaseDlg::CenterWnd(int nWidth, int nHeight) {
    return CenteredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nWidth,
                          nHeight);
}

BOOL CBaseDlg::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const auto dwStyle = static_cast<DWORD>(GetWindowLongW(hWnd, GWL_STYLE));
    const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwNewStyle == dwStyle)
        return FALSE;
    SetWindowLongW(hWnd, GWL_STYLE, static_cast<LONG>(dwNewStyle));
    if (nFlags != 0)
        SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, nFlags | kKeepPlacement);
    return TRUE;
}

void CBaseDlg::UpdateSize(int x, int y, int nWidth, int nHeight) {
    MoveWindow(m_hWnd, x, y, nWidth, nHeight, TRUE);
}

} // namespace Tessel
