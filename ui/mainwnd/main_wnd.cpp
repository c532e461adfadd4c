#include "main_wnd.h"

#include "activity_log.h"
#include "autorun_entry.h"
#include "command_line.h"
#include "desktop_shortcut.h"
#include "exchange_cursor.h"
#include "main_wnd_texts.h"
#include "program_paths.h"
#include "server_file.h"
#include "time_exchange.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace {

// While an exchange is open, the pointer over the window and its controls shows it.
bool OnSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    return SetExchangeCursor(hWnd, reinterpret_cast<HWND>(wParam), LOWORD(lParam));
}

} // namespace

CMainWnd::CMainWnd() : m_pLayout(Tessel::ILayout::CreateInstance()) {
    const std::wstring path = ServerFilePath();
    if (!PathFileExistsW(path.c_str()) && EnsureFileExists(path.c_str()))
        CreateDefaultServerFile(path.c_str());

    if (g_unattended)
        return; // the command box is never shown
    const auto stored = ReadAutoRunCommand(path);
    if (!stored)
        return; // no readable file or no "cfg": the command box starts empty
    m_strAutoRunCmd = *stored;
    if (!IsOwnIpCommandLine(m_strAutoRunCmd.c_str()))
        m_strAutoRunCmd = DefaultAutoRunCommand(GetModulePath());
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
        if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_DBLCLK))
            StartSync(m_hWnd, m_hSrvList);
        return result;
    case WM_COMMAND:
        return OnCommand(wParam, result);
    case WM_SOCKET:
        OnSocketNotify(wParam, lParam);
        return result;
    default:
        return result;
    }
}

void CMainWnd::OnSize() {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    m_pLayout->UpdateSize(client.left, client.top, client.right, client.bottom);
}

LRESULT CMainWnd::OnCommand(WPARAM wParam, LRESULT defaultResult) {
    if (HIWORD(wParam) != BN_CLICKED)
        return defaultResult;
    switch (LOWORD(wParam)) {
    case IDC_SYNC_BTN:
        StartSync(m_hWnd, m_hSrvList);
        return 0;
    case IDC_AUTORUN_CHK:
        return OnAutoRunToggled();
    case IDC_SHORTCUT_CHK:
        return OnShortcutToggled();
    default:
        return defaultResult;
    }
}

LRESULT CMainWnd::OnAutoRunToggled() {
    const int length = GetWindowTextLengthW(m_hCmdEdit);
    std::wstring text(static_cast<size_t>(length) + 2, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(m_hCmdEdit, text.data(), length + 1)));

    const std::wstring name = GetCommandProgramName(text.c_str());
    const bool checked = SendMessageW(m_hAutoRunChk, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    // The Run value and srv.xml change together or not at all.
    const RunValueBackup previous(name.c_str());
    if (SetAutoRunEntry(name.c_str(), text.c_str(), checked) && IsOwnIpCommandLine(text.c_str()) &&
        !SaveAutoRunCmd(text.c_str()))
        previous.Restore();
    // The box shows what is in place, whatever the click asked for.
    SendMessageW(m_hAutoRunChk, BM_SETCHECK,
                 IsAutoRunRegistered(name.c_str()) ? BST_CHECKED : BST_UNCHECKED, 0);
    return 0;
}

LRESULT CMainWnd::OnShortcutToggled() {
    const bool checked = SendMessageW(m_hShortcutChk, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    const std::wstring program = GetModulePath();
    SetDesktopShortcut(program.c_str(), checked);
    SendMessageW(m_hShortcutChk, BM_SETCHECK,
                 DesktopShortcutExists(program.c_str()) ? BST_CHECKED : BST_UNCHECKED, 0);
    return 1;
}
