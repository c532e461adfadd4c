#include "main_wnd.h"

#include "app_globals.h"
#include "autorun_entry.h"
#include "command_line.h"
#include "desktop_shortcut.h"
#include "main_wnd_texts.h"
#include "program_paths.h"
#include "server_file.h"
#include "time_exchange.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace Tessel;

namespace {

constexpr int kMinWidth = 719;
constexpr int kMinHeight = 437;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// Every control but the label is a tab stop; "校时" is the default button (Enter).
constexpr DWORD kSrvListStyle = kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
constexpr DWORD kLogEditStyle =
    kChild | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | ES_WANTRETURN;
constexpr DWORD kSyncBtnStyle = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kAutoRunTipStyle = kChild | SS_LEFTNOWORDWRAP;
constexpr DWORD kCmdEditStyle = kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_WANTRETURN;
constexpr DWORD kCheckBoxStyle = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;

// How one node of the layout tree is set up before it is added to its parent.
struct NodeSpec {
    eFloatType floatType = eFloatNone;
    RECT initial = {};
    float width = 0;
    bool widthRatio = false;
    float height = 0;
    bool heightRatio = false;
    RECT margin = {};  // left, top, right, bottom
    RECT padding = {}; // left, top, right, bottom
};

// Applies the non-zero sides of a box of values through a per-side setter.
template <typename Setter> void SetSides(const RECT& values, Setter set) {
    const std::pair<LONG, eDirectType> sides[] = {{values.left, eDirectLeft},
                                                  {values.top, eDirectTop},
                                                  {values.right, eDirectRight},
                                                  {values.bottom, eDirectBottom}};
    for (const auto& [value, side] : sides) {
        if (value != 0)
            set(value, side);
    }
}

// A node for a control, or a container when hWnd is null, placed once at its initial rectangle
// and added to its parent, which owns it from then on.
ILayout* AddNode(ILayout* parent, HWND hWnd, const NodeSpec& spec) {
    ILayout* node = IWndShape::CreateInstance(hWnd);
    node->SetFloatType(spec.floatType);
    if (spec.width != 0)
        node->SetWidth(spec.width, spec.widthRatio);
    if (spec.height != 0)
        node->SetHeight(spec.height, spec.heightRatio);
    SetSides(spec.margin, [node](int value, int side) { node->SetMargin(value, side); });
    SetSides(spec.padding, [node](int value, int side) { node->SetPadding(value, side); });
    node->UpdateSize(spec.initial.left, spec.initial.top, spec.initial.right, spec.initial.bottom);
    parent->AddChild(node);
    return node;
}

void AddColumn(HWND hList, int index, const wchar_t* title, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    column.iSubItem = index;
    SendMessageW(hList, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void Check(HWND hCheckBox, bool checked) {
    if (checked)
        SendMessageW(hCheckBox, BM_SETCHECK, BST_CHECKED, 0);
}

} // namespace

POINT CenteredOrigin(const RECT& rect, int screenWidth, int screenHeight) {
    return {(rect.left + screenWidth - rect.right) / 2,
            (rect.top + screenHeight - rect.bottom) / 2};
}

void CMainWnd::MoveWndToCenter(HWND hWnd, const RECT& rect) {
    const int screenWidth =
        std::max(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CXSCREEN));
    const int screenHeight =
        std::max(GetSystemMetrics(SM_CYFULLSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const POINT origin = CenteredOrigin(rect, screenWidth, screenHeight);
    MoveWindow(hWnd, origin.x, origin.y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
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

void CMainWnd::BuildLayout(int W, int H) {
    const auto show = [this](HWND hWnd) {
        ShowWindow(hWnd, SW_SHOW);
        SendMessageW(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    };

    ILayout* const topBand =
        AddNode(m_pLayout, nullptr,
                {.floatType = eFloatFill, .initial = {5, 1, W - 5, 300}, .padding = {1, 1, 1, 1}});

    m_hSrvList = CreateControl(WC_LISTVIEWW, nullptr, kSrvListStyle, IDC_SRV_LIST);
    SendMessageW(m_hSrvList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddColumn(m_hSrvList, 0, kHostColumnTitle, 230);
    AddColumn(m_hSrvList, 1, kAddressColumnTitle, 180);
    FillServerList(m_hSrvList);
    show(m_hSrvList);
    AddNode(topBand, m_hSrvList,
            {.floatType = eFloatLeft,
             .initial = {0, 0, 420, 300},
             .width = 0.55f,
             .widthRatio = true,
             .height = 1.0f,
             .heightRatio = true});

    m_hLogEdit = CreateControl(L"Edit", nullptr, kLogEditStyle, IDC_LOG_EDIT);
    SetWindowTextW(m_hLogEdit, BuildHelpText().c_str());
    show(m_hLogEdit);
    AddNode(topBand, m_hLogEdit,
            {.floatType = eFloatLeft,
             .initial = {1, 0, 321, 300},
             .width = 0.45f,
             .widthRatio = true,
             .height = 1.0f,
             .heightRatio = true});

    ILayout* const bottomBand = AddNode(
        m_pLayout, nullptr,
        {.floatType = eFloatFill, .initial = {5, 302, W - 5, H - 2}, .margin = {0, 0, 0, 2}});
    ILayout* const bottomRow =
        AddNode(bottomBand, nullptr,
                {.floatType = eFloatBottom, .initial = {1, 0, W - 6, 100}, .margin = {0, 0, 0, 1}});
    ILayout* const buttonCell = AddNode(
        bottomRow, nullptr,
        {.floatType = eFloatLeft, .initial = {1, 1, 401, 98}, .width = 0.35f, .widthRatio = true});

    m_hSyncBtn = CreateControl(L"BUTTON", kSyncButtonText, kSyncBtnStyle, IDC_SYNC_BTN);
    show(m_hSyncBtn);
    AddNode(buttonCell, m_hSyncBtn,
            {.floatType = eFloatRight, .initial = {1, 1, 61, 30}, .margin = {0, 30, 2, 0}});

    ILayout* const optionsCell = AddNode(
        bottomRow, nullptr,
        {.floatType = eFloatLeft, .initial = {1, 1, 471, 98}, .width = 0.65f, .widthRatio = true});

    m_hAutoRunTip = CreateControl(L"STATIC", kAutoRunTipText, kAutoRunTipStyle, 0);
    show(m_hAutoRunTip);
    AddNode(optionsCell, m_hAutoRunTip,
            {.floatType = eFloatNone, .initial = {1, 0, 471, 20}, .margin = {0, 15, 0, 0}});

    ILayout* const commandRow =
        AddNode(optionsCell, nullptr,
                {.floatType = eFloatNone, .initial = {1, 23, 471, 43}, .margin = {0, 15, 0, 0}});
    m_hCmdEdit = CreateControl(L"EDIT", m_strAutoRunCmd.c_str(), kCmdEditStyle, 0);
    show(m_hCmdEdit);
    AddNode(commandRow, m_hCmdEdit, {.floatType = eFloatLeft, .initial = {1, 0, 371, 20}});
    SetWindowTextW(m_hCmdEdit, m_strAutoRunCmd.c_str());

    m_hAutoRunChk = CreateControl(L"BUTTON", kAutoRunCheckText, kCheckBoxStyle, IDC_AUTORUN_CHK);
    Check(m_hAutoRunChk,
          IsAutoRunRegistered(GetCommandProgramName(m_strAutoRunCmd.c_str()).c_str()));
    show(m_hAutoRunChk);
    AddNode(commandRow, m_hAutoRunChk, {.floatType = eFloatLeft, .initial = {1, 0, 81, 20}});

    m_hShortcutChk = CreateControl(L"BUTTON", kShortcutCheckText, kCheckBoxStyle, IDC_SHORTCUT_CHK);
    Check(m_hShortcutChk, DesktopShortcutExists(GetModulePath().c_str()));
    show(m_hShortcutChk);
    AddNode(optionsCell, m_hShortcutChk,
            {.floatType = eFloatNone, .initial = {1, 46, 137, 66}, .margin = {0, 15, 0, 0}});
}

void CMainWnd::CreateUnattendedControls() {
    m_hSrvList = CreateControl(WC_LISTVIEWW, nullptr, kSrvListStyle, IDC_SRV_LIST);
    m_hLogEdit = CreateControl(L"Edit", nullptr, kLogEditStyle, IDC_LOG_EDIT);
    m_hSyncBtn = CreateControl(L"BUTTON", kSyncButtonText, kSyncBtnStyle, IDC_SYNC_BTN);
}

int CMainWnd::OnCreate() {
    SetWndMinSize(kMinWidth, kMinHeight);
    MoveWndToCenter(GetHwnd(), {0, 0, kMinWidth, kMinHeight});
    if (g_unattended) {
        CreateUnattendedControls();
        return 0;
    }
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    BuildLayout(client.right, client.bottom);
    m_pLayout->SetBgColor(static_cast<int>(GetSysColor(COLOR_MENUBAR)));
    m_pLayout->UpdateSize(client.left, client.top, client.right, client.bottom);
    SetUpKeyboard();
    return 0;
}

bool CMainWnd::FillServerList(HWND hList) {
    const std::vector<ServerEntry> entries = ReadServerEntries(ServerFilePath());
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
