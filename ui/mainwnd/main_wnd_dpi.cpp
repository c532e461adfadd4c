#include "ui/mainwnd/main_wnd.h"

#include "ui/framework/dpi_scale.h"
#include "ui/framework/gdi_object.h"
#include "ui/mainwnd/main_wnd_metrics.h"
#include "timesync/time_exchange.h"
#include "ui/mainwnd/window_icons.h"

#include <commctrl.h>

#include <memory>
#include <utility>

using namespace Tessel;

namespace {

using OwnedLayout = std::unique_ptr<ILayout, decltype(&ILayout::DeleteInstance)>;

} // namespace

SIZE MinimumWindowSize(UINT dpi) {
    return {ScaleForDpi(kMinWidth, dpi), ScaleForDpi(kMinHeight, dpi)};
}

LRESULT CMainWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    // The hidden window of an unattended run has no layout to follow the DPI.
    if (g_unattended)
        return 0;
    const UINT dpi = LOWORD(wParam);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_DPICHANGED carries the suggested rectangle
    const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
    UseFontForDpi(dpi);
    FitHostColumn(dpi);
    const SIZE minimum = MinimumWindowSize(dpi);
    SetWndMinSize(minimum.cx, minimum.cy);
    SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RebuildLayout(dpi);
    SetWindowIcons(m_hWnd, dpi);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

// The controls take the new font before the old one goes: a control never holds a deleted font.
void CMainWnd::UseFontForDpi(UINT dpi) {
    const OwnedGdiObject previous(std::exchange(m_hFont, CreateDefaultFont(dpi)));
    for (const HWND hControl : {m_hSrvList, m_hLogEdit, m_hSyncBtn, m_hPreciseBtn, m_hAutoRunTip,
                                m_hCmdEdit, m_hAutoRunChk, m_hShortcutChk}) {
        if (hControl)
            SendMessageW(hControl, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    }
}

// A fresh tree, its initial rectangles those of the client area at the window's minimum size
// (as at creation), then laid out for the present client area. The controls stay as they are.
void CMainWnd::RebuildLayout(UINT dpi) {
    RECT window = {};
    RECT client = {};
    GetWindowRect(m_hWnd, &window);
    GetClientRect(m_hWnd, &client);
    const SIZE minimum = MinimumWindowSize(dpi);
    const int designRight = client.right - (window.right - window.left - minimum.cx);
    const int designBottom = client.bottom - (window.bottom - window.top - minimum.cy);

    OwnedLayout root(ILayout::CreateInstance(), &ILayout::DeleteInstance);
    root->UpdateSize(0, 0, designRight, designBottom);
    AddLayoutNodes(root.get(), dpi, designRight, designBottom);
    root->SetBgColor(static_cast<int>(GetSysColor(COLOR_MENUBAR)));
    ILayout::DeleteInstance(std::exchange(m_pLayout, root.release()));
    OnSize();
}
