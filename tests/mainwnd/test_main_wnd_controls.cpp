#include "tests/mainwnd/log_pane_checks.h"
#include "tests/mainwnd/main_wnd_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST_F(MainWindowTest, EveryControlHasItsClassIdStyleTextAndTheWindowsFont) {
    ASSERT_TRUE(CreateMainWindow());
    constexpr LONG kChild = WS_CHILD | WS_VISIBLE;
    const struct {
        HWND control;
        const wchar_t* className;
        int id;
        LONG style;
        const wchar_t* text; // null: not checked here
    } controls[] = {
        {Wnd().m_hSrvList, L"SysListView32", 100,
         kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, L""},
        {Wnd().m_hLogEdit, L"Edit", 200,
         kChild | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_WANTRETURN, kHelpText},
        {Wnd().m_hSyncBtn, L"Button", 300, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, L"校时"},
        {Wnd().m_hPreciseBtn, L"Button", 301, kChild | WS_TABSTOP | BS_PUSHBUTTON, L"精确校时"},
        {Wnd().m_hAutoRunTip, L"Static", 0, kChild | SS_LEFTNOWORDWRAP,
         L"勾选复选框，即将相应命令行指令写入注册表，实现开机自启:"},
        {Wnd().m_hCmdEdit, L"Edit", 0, kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_WANTRETURN,
         nullptr},
        {Wnd().m_hAutoRunChk, L"Button", 500, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, L"开机自启"},
        {Wnd().m_hShortcutChk, L"Button", 501, kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
         L"创建桌面快捷方式"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(testing::Message() << c.className << " " << c.id);
        wchar_t className[32] = {};
        GetClassNameW(c.control, className, 32);
        EXPECT_STREQ(className, c.className);
        EXPECT_EQ(GetDlgCtrlID(c.control), c.id);
        EXPECT_EQ(GetWindowLongW(c.control, GWL_STYLE), c.style);
        if (c.text) {
            EXPECT_EQ(WindowText(c.control), c.text);
        }
        EXPECT_EQ(SendMessageW(c.control, WM_GETFONT, 0, 0),
                  reinterpret_cast<LRESULT>(Wnd().m_hFont));
    }
    LOGFONTW font = {};
    GetObjectW(Wnd().m_hFont, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -15);
    EXPECT_EQ(font.lfCharSet, 134);
    EXPECT_STREQ(font.lfFaceName, L"宋体");
}

TEST_F(MainWindowTest, TheListHasGridLinesFullRowSelectionAndTwoLeftAlignedColumns) {
    ASSERT_TRUE(CreateMainWindow());
    const HWND hList = Wnd().m_hSrvList;
    EXPECT_EQ(SendMessageW(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x21);
    const auto hHeader = reinterpret_cast<HWND>(SendMessageW(hList, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0), 2);
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"时间服务器域名", 230}, {L"IP地址", 153}}; // 153: the rest of 383
    for (int index = 0; index < 2; ++index) {
        wchar_t title[32] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = 32;
        SendMessageW(hList, LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
        EXPECT_STREQ(title, columns[index].title);
        EXPECT_EQ(column.cx, columns[index].width) << title;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << title;
    }
}

TEST_F(MainWindowTest, TheLogPaneWrapsASynchronisationsLinesAtItsWidth) {
    ASSERT_TRUE(CreateMainWindow());
    ExpectTheLogReadsWhole(Wnd().m_hLogEdit);
}

TEST_F(MainWindowTest, PaintsTheMenuBarColourBehindTheControls) {
    ASSERT_TRUE(CreateMainWindow());
    ASSERT_NE(GetSysColor(COLOR_MENUBAR), RGB(0, 0, 0)) << "a new bitmap is black";
    const HDC hScreen = GetDC(nullptr);
    const HDC hMemory = CreateCompatibleDC(hScreen);
    const HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 711, 410);
    ReleaseDC(nullptr, hScreen);
    const HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    Wnd().Draw(hMemory);
    EXPECT_EQ(GetPixel(hMemory, 300, 301), GetSysColor(COLOR_MENUBAR)) << "between the bands";
    DeleteObject(SelectObject(hMemory, hOld));
    DeleteDC(hMemory);
}

} // namespace
