#include "main_wnd_fixture.h"

#include <gtest/gtest.h>

namespace {

std::wstring ClassOf(HWND hWnd) {
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    return name;
}

TEST_F(MainWindowTest, EveryControlHasItsClassIdStyleTextAndTheWindowsFont) {
    ASSERT_TRUE(CreateMainWindow());
    constexpr LONG kChild = WS_CHILD | WS_VISIBLE;
    const struct {
        const char* name;
        HWND control;
        const wchar_t* className;
        int id;
        LONG style;
        const wchar_t* text; // null: the command box, whose text is the stored command line
    } controls[] = {
        // The list adds the horizontal scroll bar itself: its columns are wider than it is.
        {"server list", Wnd().m_hSrvList, L"SysListView32", 100,
         kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | WS_HSCROLL, L""},
        {"log pane", Wnd().m_hLogEdit, L"Edit", 200,
         kChild | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | ES_WANTRETURN,
         kHelpText},
        {"sync button", Wnd().m_hSyncBtn, L"Button", 300, kChild | BS_PUSHBUTTON, L"校时"},
        {"label", Wnd().m_hAutoRunTip, L"Static", 0, kChild | SS_LEFTNOWORDWRAP,
         L"勾选复选框，即将相应命令行指令写入注册表，实现开机自启:"},
        {"command box", Wnd().m_hCmdEdit, L"Edit", 0, kChild | ES_AUTOHSCROLL | ES_WANTRETURN,
         nullptr},
        {"auto-start", Wnd().m_hAutoRunChk, L"Button", 500, kChild | BS_AUTOCHECKBOX, L"开机自启"},
        {"shortcut", Wnd().m_hShortcutChk, L"Button", 501, kChild | BS_AUTOCHECKBOX,
         L"创建桌面快捷方式"},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(GetParent(c.control), Wnd().GetHwnd()) << c.name;
        EXPECT_EQ(CompareStringOrdinal(ClassOf(c.control).c_str(), -1, c.className, -1, TRUE),
                  CSTR_EQUAL)
            << c.name << ": " << ClassOf(c.control);
        EXPECT_EQ(GetDlgCtrlID(c.control), c.id) << c.name;
        EXPECT_EQ(GetWindowLongW(c.control, GWL_STYLE), c.style) << c.name;
        if (c.text)
            EXPECT_EQ(WindowText(c.control), c.text) << c.name;
        EXPECT_EQ(SendMessageW(c.control, WM_GETFONT, 0, 0),
                  reinterpret_cast<LRESULT>(Wnd().m_hFont))
            << c.name;
    }
}

TEST_F(MainWindowTest, TheFontIsFifteenPixelSongTiInGb2312) {
    ASSERT_TRUE(CreateMainWindow());
    LOGFONTW font = {};
    ASSERT_EQ(GetObjectW(Wnd().m_hFont, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, -15);
    EXPECT_EQ(font.lfCharSet, 134);
    EXPECT_STREQ(font.lfFaceName, L"宋体");
}

TEST_F(MainWindowTest, TheListHasGridLinesFullRowSelectionAndTwoLeftAlignedColumns) {
    ASSERT_TRUE(CreateMainWindow());
    EXPECT_EQ(SendMessageW(Wnd().m_hSrvList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x21);
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"时间服务器域名", 230}, {L"IP地址", 180}};
    for (int index = 0; index < 3; ++index) {
        wchar_t title[32] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = 32;
        const LRESULT found = SendMessageW(Wnd().m_hSrvList, LVM_GETCOLUMNW, index,
                                           reinterpret_cast<LPARAM>(&column));
        ASSERT_EQ(found != 0, index < 2) << "column " << index;
        if (!found)
            break;
        EXPECT_STREQ(title, columns[index].title);
        EXPECT_EQ(column.cx, columns[index].width) << "column " << index;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << "column " << index;
    }
}

TEST_F(MainWindowTest, PaintsTheMenuBarColourBetweenTheControls) {
    ASSERT_TRUE(CreateMainWindow());
    const COLORREF menuBar = GetSysColor(COLOR_MENUBAR);
    ASSERT_NE(menuBar, RGB(0, 0, 0)) << "a new bitmap is black";
    const HDC hScreen = GetDC(nullptr);
    const HDC hMemory = CreateCompatibleDC(hScreen);
    const HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 711, 410);
    ReleaseDC(nullptr, hScreen);
    const HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    Wnd().Draw(hMemory);
    // Left of the list, between the two bands, right of the check boxes, the bottom corner.
    for (const POINT point : {POINT{2, 150}, POINT{300, 301}, POINT{500, 380}, POINT{709, 408}})
        EXPECT_EQ(GetPixel(hMemory, point.x, point.y), menuBar) << point.x << ", " << point.y;
    SelectObject(hMemory, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
}

} // namespace
