#include "ui/mainwnd/main_wnd.h"

#include "app/app_texts.h"
#include "settings/server_file.h"
#include "settings/server_file_reader.h"
#include "timesync/activity_log.h"
#include "timesync/exchange_cursor.h"
#include "timesync/time_exchange.h"
#include "ui/framework/dpi_scale.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "ui/mainwnd/window_icons.h"

#include <commctrl.h>

namespace {

// While an exchange is open, the pointer over the window and its controls shows it.
bool OnSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    return SetExchangeCursor(hWnd, reinterpret_cast<HWND>(wParam), LOWORD(lParam));
}

} // namespace

void ShowMainWindow(HWND hWnd) {
    SetWindowIcons(hWnd, Tessel::GetWindowDpi(hWnd));
    SetWindowTextW(hWnd, kMainWndCaption);
    ShowWindow(hWnd, SW_SHOWNORMAL);
}

CMainWnd::CMainWnd() : m_pLayout(Tessel::ILayout::CreateInstance()) {
    const std::wstring path = ServerFilePath();
    m_bServerFileWasMissing = CreateServerFileIfMissing(path);
    if (!g_unattended) // the command box of an unattended run is never shown
        m_strAutoRunCmd = AutoRunCommandFor(ReadAutoRunCommand(path));
}

CMainWnd::~CMainWnd() {
    Tessel::ILayout::DeleteInstance(m_pLayout);
}

void CMainWnd::Draw(HDC hdc) {
    CBaseDlg::Draw(hdc);
    if (m_pLayout)
        m_pLayout->Draw(hdc);
}

LRESULT CMainWnd::WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const HWND hWnd = m_hWnd; // the base forgets it at WM_DESTROY
    // Before the default handling, which would set the class cursor first.
    if (uMsg == WM_SETCURSOR && OnSetCursor(m_hWnd, wParam, lParam))
        return TRUE;
    const LRESULT result = CBaseDlg::WndProc(uMsg, wParam, lParam);
    switch (uMsg) {
    case WM_CREATE:
        OnCreate();
        g_hLogEdit = m_hLogEdit;
        return 0;
    case WM_SIZE:
        OnSize();
        return result;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return result;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return result;
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wParam));
        return result;
    case WM_NEXTDLGCTL:
        OnNextDlgCtl(wParam, lParam);
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDC_SYNC_BTN, DC_HASDEFID);
    case WM_DESTROY:
        ReleaseWindowIcons(hWnd);
        return result;
    case WM_COMMAND:
        return OnCommand(wParam, result);
    case WM_SOCKET:
        OnSocketNotify(wParam, lParam);
        return result;
    case WM_DPICHANGED:
        return OnDpiChanged(wParam, lParam);
    default:
        return result;
    }
}

// The controls laid out for the present client area, the address column fitted to the list.
void CMainWnd::OnSize() {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    m_pLayout->UpdateSize(client.left, client.top, client.right, client.bottom);
    FitAddressColumn();
}

void CMainWnd::OnNotify(const NMHDR& header) {
    // Only the server list sends it. Enter reaches "校时" (the default button) instead.
    if (header.code == static_cast<UINT>(NM_DBLCLK))
        StartSync(m_hWnd, m_hSrvList, SyncRoad::Quick);
}

LRESULT CMainWnd::OnCommand(WPARAM wParam, LRESULT defaultResult) {
    if (HIWORD(wParam) != BN_CLICKED)
        return defaultResult;
    switch (LOWORD(wParam)) {
    case IDC_SYNC_BTN:
        StartSync(m_hWnd, m_hSrvList, SyncRoad::Quick);
        return 0;
    case IDC_PRECISE_BTN:
        StartSync(m_hWnd, m_hSrvList, SyncRoad::Precise);
        return 0;
    case IDC_AUTORUN_CHK:
        return OnAutoRunToggled();
    case IDC_SHORTCUT_CHK:
        return OnShortcutToggled();
    default:
        return defaultResult;
    }
}
