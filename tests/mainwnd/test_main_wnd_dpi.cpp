// The main window in a Wine world at VEXLO_TEST_DPI (120 or 144; scripts/wine-dpi-session).
#include "ui/framework/dpi_scale.h"
#include "tests/mainwnd/log_pane_checks.h"
#include "tests/mainwnd/main_wnd_fixture.h"
#include "tests/mainwnd/main_wnd_geometry.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "settings/text_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr UINT kWorldDpi = VEXLO_TEST_DPI;

// The tests of each DPI's program are named after it (MainWindowAt120Dpi.*, MainWindowAt144Dpi.*).
#define DPI_TEST_NAME(dpi) MainWindowAt##dpi##Dpi
#define DPI_TEST(dpi) DPI_TEST_NAME(dpi)
#define MainWindowAtDpi DPI_TEST(VEXLO_TEST_DPI)

// What the window looks like at each DPI on the 1024 x 768 test display, worked out from the
// layout table with the sizes scaled (at 144 DPI the list, the log pane and the button checked by
// hand). The check boxes are as wide as their text needs where that is more than the scaled size
// (the shortcut box at both DPIs); the command box gives the auto-start box what it lacks. The
// address column takes what the host column leaves of the list's client width.
struct DpiCase {
    UINT dpi;
    Box frame;
    POINT minimum;
    Box client;
    LONG fontHeight;
    int columns[2];
    Box layout[8]; // ControlsOf order
};

constexpr DpiCase kCases[] = {
    {120,
     {62, 119, 961, 665},
     {899, 546},
     {0, 0, 891, 514},
     -19,
     {288, 193},
     {{6, 1, 489, 374},
      {490, 1, 884, 374},
      {236, 425, 311, 462},
      {128, 425, 228, 462},
      {316, 405, 881, 430},
      {317, 434, 779, 458},
      {780, 434, 880, 458},
      {316, 463, 491, 488}}},
    {144,
     {-27, 65, 1052, 721},
     {1079, 656},
     {0, 0, 1069, 618},
     -23,
     {345, 232},
     {{8, 2, 587, 449},
      {589, 2, 1060, 449},
      {286, 512, 376, 555},
      {157, 512, 277, 555},
      {383, 488, 1058, 518},
      {385, 523, 935, 552},
      {937, 523, 1057, 552},
      {383, 557, 594, 587}}},
};

const DpiCase& WorldCase() {
    return *std::find_if(std::begin(kCases), std::end(kCases),
                         [](const DpiCase& c) { return c.dpi == kWorldDpi; });
}

class MainWindowAtDpi : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(CreateMainWindow());
        ASSERT_EQ(Tessel::GetWindowDpi(Wnd().GetHwnd()), kWorldDpi) << "the world's DPI";
    }
};

TEST_F(MainWindowAtDpi, OpensWithEverySizeScaled) {
    const DpiCase& expected = WorldCase();
    const HWND hWnd = Wnd().GetHwnd();
    RECT frame = {};
    GetWindowRect(hWnd, &frame);
    EXPECT_EQ(BoxOf(frame), expected.frame);
    MINMAXINFO limits = {};
    SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, expected.minimum.x);
    EXPECT_EQ(limits.ptMinTrackSize.y, expected.minimum.y);
    RECT client = {};
    GetClientRect(hWnd, &client);
    EXPECT_EQ(BoxOf(client), expected.client);
    for (const HWND hControl : ControlsOf(Wnd()))
        EXPECT_EQ(FontHeight(hControl), expected.fontHeight);
    EXPECT_EQ(ColumnWidth(Wnd().m_hSrvList, 0), expected.columns[0]);
    EXPECT_EQ(ColumnWidth(Wnd().m_hSrvList, 1), expected.columns[1]);
    EXPECT_EQ(ControlBoxes(Wnd()),
              std::vector<Box>(std::begin(expected.layout), std::end(expected.layout)));
}

// The extent of a text in a window's own font.
SIZE TextExtent(HWND hWnd, const std::wstring& text) {
    const HDC hdc = GetDC(hWnd);
    const HGDIOBJ hOld =
        SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(hdc, hOld);
    ReleaseDC(hWnd, hdc);
    return size;
}

SIZE ClientSize(HWND hWnd) {
    RECT client = {};
    GetClientRect(hWnd, &client);
    return {client.right, client.bottom};
}

TEST_F(MainWindowAtDpi, EveryTextFitsItsControl) {
    // A check box's text starts after the check square and a gap.
    const int checkBox = GetSystemMetrics(SM_CXMENUCHECK) + Tessel::ScaleForDpi(4, kWorldDpi);
    const int buttonEdges = 2 * GetSystemMetrics(SM_CXEDGE);
    const struct {
        const char* name;
        HWND hWnd;
        std::wstring text;
        int besideText; // room the control keeps for other things on the text's line
    } cases[] = {
        {"button", Wnd().m_hSyncBtn, kSyncButtonText, buttonEdges},
        {"precise button", Wnd().m_hPreciseBtn, kPreciseButtonText, buttonEdges},
        {"label", Wnd().m_hAutoRunTip, kAutoRunTipText, 0},
        {"auto-start box", Wnd().m_hAutoRunChk, kAutoRunCheckText, checkBox},
        {"shortcut box", Wnd().m_hShortcutChk, kShortcutCheckText, checkBox},
        {"command box", Wnd().m_hCmdEdit, L"Vexlo", 0},
    };
    for (const auto& c : cases) {
        const SIZE text = TextExtent(c.hWnd, c.text);
        const SIZE room = ClientSize(c.hWnd);
        EXPECT_LE(text.cx + c.besideText, room.cx) << c.name;
        EXPECT_LE(text.cy, room.cy) << c.name;
    }
}

TEST_F(MainWindowAtDpi, EveryHelpLineFitsTheLogPaneAndEveryTitleItsColumn) {
    const HWND hLog = Wnd().m_hLogEdit;
    const LRESULT margins = SendMessageW(hLog, EM_GETMARGINS, 0, 0);
    const int logRoom = ClientSize(hLog).cx - LOWORD(margins) - HIWORD(margins);
    for (const wchar_t* line : kHelpLines)
        EXPECT_LE(TextExtent(hLog, std::wstring(L" ") + line).cx, logRoom) << ToUtf8(line);

    const HWND hHeader =
        reinterpret_cast<HWND>(SendMessageW(Wnd().m_hSrvList, LVM_GETHEADER, 0, 0));
    const wchar_t* titles[] = {kHostColumnTitle, kAddressColumnTitle};
    for (int column = 0; column < 2; ++column) {
        RECT item = {};
        SendMessageW(hHeader, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
        EXPECT_LE(TextExtent(hHeader, titles[column]).cx + 4 * GetSystemMetrics(SM_CXEDGE),
                  item.right - item.left)
            << ToUtf8(titles[column]);
        EXPECT_LE(TextExtent(hHeader, titles[column]).cy, item.bottom - item.top);
    }
}

TEST_F(MainWindowAtDpi, ASynchronisationsLinesWrapInsideTheLogPane) {
    ExpectTheLogReadsWhole(Wnd().m_hLogEdit);
}

} // namespace
