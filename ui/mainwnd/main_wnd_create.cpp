#include "ui/mainwnd/main_wnd.h"

#include "app/app_globals.h"
#include "app/command_line.h"
#include "ui/framework/dpi_scale.h"
#include "ui/mainwnd/log_notice.h"
#include "ui/mainwnd/main_wnd_metrics.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "app/program_paths.h"
#include "settings/server_file.h"
#include "settings/server_file_reader.h"
#include "ui/framework/base_dlg_geometry.h"
#include "timesync/time_exchange.h"

#include <commctrl.h>

#include <algorithm>
#include <span>
#include <vector>

using namespace Tessel;

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// Every control but the label is a tab stop; "校时" is the default button (Enter). The log pane
// wraps a line at its width (no ES_AUTOHSCROLL) without putting line breaks into its text.
constexpr DWORD kSrvListStyle = kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
constexpr DWORD kLogEditStyle =
    kChild | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_WANTRETURN;
constexpr DWORD kSyncBtnStyle = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kPreciseBtnStyle = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kAutoRunTipStyle = kChild | SS_LEFTNOWORDWRAP;
constexpr DWORD kCmdEditStyle = kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_WANTRETURN;
constexpr DWORD kCheckBoxStyle = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;

void AddColumn(HWND hList, int index, const wchar_t* title, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    column.iSubItem = index;
    SendMessageW(hList, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

} // namespace

void CMainWnd::MoveWndToCenter(HWND hWnd, const RECT& rect) {
    const int screenWidth =
        std::max(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CXSCREEN));
    const int screenHeight =
        std::max(GetSystemMetrics(SM_CYFULLSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const POINT origin = Tessel::CenteredOrigin(screenWidth, screenHeight, width, height);
    MoveWindow(hWnd, origin.x, origin.y, width, height, TRUE);
}

std::wstring BuildHelpText() {
    std::wstring text = L"\r\n\r\n";
    for (const wchar_t* line : kHelpLines)
        text += std::wstring(L"\r\n\r\n ") + line;
    return text + L"\r\n\r\n\r\n";
}

HWND CMainWnd::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, className, text, style, 0, 0, 0, 0, GetHwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_hInstance, nullptr);
}

void CMainWnd::CreateControls(UINT dpi) {
    const auto show = [this](HWND hWnd) {
        ShowWindow(hWnd, SW_SHOW);
        SendMessageW(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    };

    m_hSrvList = CreateControl(WC_LISTVIEWW, nullptr, kSrvListStyle, IDC_SRV_LIST);
    SendMessageW(m_hSrvList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddColumn(m_hSrvList, 0, kHostColumnTitle, ScaleForDpi(kHostColumnWidth, dpi));
    AddColumn(m_hSrvList, 1, kAddressColumnTitle, ScaleForDpi(kAddressColumnWidth, dpi));
    FillServerList(m_hSrvList);
    show(m_hSrvList);

    m_hLogEdit = CreateControl(L"Edit", nullptr, kLogEditStyle, IDC_LOG_EDIT);
    SetWindowTextW(m_hLogEdit, BuildHelpText().c_str());
    if (m_listNotice.format)
        AppendNotice(m_hLogEdit, m_listNotice.format, m_listNotice.line);
    show(m_hLogEdit);

    m_hSyncBtn = CreateControl(L"BUTTON", kSyncButtonText, kSyncBtnStyle, IDC_SYNC_BTN);
    show(m_hSyncBtn);

    m_hPreciseBtn = CreateControl(L"BUTTON", kPreciseButtonText, kPreciseBtnStyle, IDC_PRECISE_BTN);
    show(m_hPreciseBtn);

    m_hAutoRunTip = CreateControl(L"STATIC", kAutoRunTipText, kAutoRunTipStyle, 0);
    show(m_hAutoRunTip);

    m_hCmdEdit = CreateControl(L"EDIT", m_strAutoRunCmd.c_str(), kCmdEditStyle, 0);
    show(m_hCmdEdit);

    m_hAutoRunChk = CreateControl(L"BUTTON", kAutoRunCheckText, kCheckBoxStyle, IDC_AUTORUN_CHK);
    show(m_hAutoRunChk);

    m_hShortcutChk = CreateControl(L"BUTTON", kShortcutCheckText, kCheckBoxStyle, IDC_SHORTCUT_CHK);
    show(m_hShortcutChk);
    ShowStartUpEntries();
}

void CMainWnd::CreateUnattendedControls() {
    m_hSrvList = CreateControl(WC_LISTVIEWW, nullptr, kSrvListStyle, IDC_SRV_LIST);
    m_hLogEdit = CreateControl(L"Edit", nullptr, kLogEditStyle, IDC_LOG_EDIT);
    m_hSyncBtn = CreateControl(L"BUTTON", kSyncButtonText, kSyncBtnStyle, IDC_SYNC_BTN);
}

int CMainWnd::OnCreate() {
    if (g_unattended) {
        SetWndMinSize(kMinWidth, kMinHeight);
        MoveWndToCenter(GetHwnd(), {0, 0, kMinWidth, kMinHeight});
        CreateUnattendedControls();
        return 0;
    }
    const UINT dpi = GetWindowDpi(GetHwnd());
    if (dpi != kDesignDpi)
        UseFontForDpi(dpi);
    const SIZE minimum = MinimumWindowSize(dpi);
    SetWndMinSize(minimum.cx, minimum.cy);
    MoveWndToCenter(GetHwnd(), {0, 0, minimum.cx, minimum.cy});
    CreateControls(dpi);
    FitHostColumn(dpi);
    // The window has its minimum size: the root recorded this client area at the WM_SIZE.
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    AddLayoutNodes(m_pLayout, dpi, client.right, client.bottom);
    SetWindowTextW(m_hCmdEdit, m_strAutoRunCmd.c_str());
    m_pLayout->SetBgColor(static_cast<int>(GetSysColor(COLOR_MENUBAR)));
    OnSize();
    SetUpKeyboard();
    return 0;
}

bool CMainWnd::FillServerList(HWND hList) {
    const ServerList list = ReadServerList(ServerFilePath());
    m_listNotice = NoticeForServerList(list, m_bServerFileWasMissing);
    // A file that could not be made or read is left as it is; the list still offers servers.
    const std::span<const ServerEntry> entries =
        m_listNotice.useDefaults ? std::span(DefaultServers()) : std::span(list.entries);
    RememberWidestHostName(entries);
    // Room for every row at once, and no repainting or scroll-bar work until the last one is in:
    // a list of 100,000 servers fills in about a second instead of minutes.
    SendMessageW(hList, LVM_SETITEMCOUNT, entries.size(), 0);
    SendMessageW(hList, WM_SETREDRAW, FALSE, 0);
    int row = 0;
    for (const ServerEntry& entry : entries) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(entry.url.c_str());
        SendMessageW(hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMW address = {};
        address.iSubItem = 1;
        address.pszText = const_cast<wchar_t*>(entry.ip.c_str());
        SendMessageW(hList, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&address));
        ++row;
    }
    SendMessageW(hList, WM_SETREDRAW, TRUE, 0);
    return true;
}
