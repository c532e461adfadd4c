#include "tests/mainwnd/main_wnd_fixture.h"
#include "tests/mainwnd/main_wnd_geometry.h"

#include <gtest/gtest.h>

namespace {

// WM_DPICHANGED as the system sends it when the window moves to a monitor of another DPI.
void SendDpiChanged(HWND hWnd, UINT dpi, RECT suggested) {
    SendMessageW(hWnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpMessagesFor(20);
}

class MainWindowDpiChange : public MainWindowTest {};

TEST_F(MainWindowDpiChange, RebuildsFontColumnsSizeAndLayoutKeepingTheControls) {
    WriteServerFile("<srv_root>\n  <srv>\n    <url>a.example</url>\n    <ip>1.1.1.1</ip>\n"
                    "  </srv>\n  <srv>\n    <url>b.example</url>\n    <ip>2.2.2.2</ip>\n"
                    "  </srv>\n</srv_root>\n");
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    const std::vector<HWND> controls = ControlsOf(Wnd());
    const std::vector<Box> opened = ControlBoxes(Wnd());
    // What the user did before the move: a row selected, a box ticked, the command edited.
    ListView_SetItemState(Wnd().m_hSrvList, 1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(Wnd().m_hShortcutChk, BM_SETCHECK, BST_CHECKED, 0);
    SetWindowTextW(Wnd().m_hCmdEdit, L"edited");

    const struct {
        const char* name;
        UINT dpi;
        RECT suggested;
        Box client;
        LONG fontHeight;
        int columns[2];
        POINT minimum;
        std::vector<Box> layout; // empty: the rectangles the window opened with
    } steps[] = {
        {"to 144 DPI",
         144,
         {100, 50, 1179, 706},
         {0, 0, 1071, 629},
         -23,
         {345, 233},
         {1079, 656},
         {{8, 2, 588, 449},
          {590, 2, 1062, 449},
          {287, 523, 377, 566},
          {158, 523, 278, 566},
          {384, 499, 1060, 529},
          {386, 534, 937, 563},
          {939, 534, 1059, 563},
          {384, 568, 589, 598}}},
        // 100 pixels over the minimum size each way: the list and the log pane grow by 55 and 45
        // pixels in width (their shares) and by 100 in height, the bottom row moves down by 97
        // (the bottom band's 3-pixel margin at 120 DPI, as at 96 DPI with 2).
        {"to 120 DPI, 100 pixels over the minimum each way",
         120,
         {10, 20, 1009, 666},
         {0, 0, 991, 619},
         -19,
         {288, 248},
         {899, 546},
         {{6, 1, 544, 474},
          {545, 1, 984, 474},
          {271, 527, 346, 564},
          {163, 527, 263, 564},
          {351, 507, 939, 532},
          {352, 536, 814, 560},
          {815, 536, 915, 560},
          {351, 565, 523, 590}}},
        {"back to 96 DPI",
         96,
         {152, 171, 871, 608},
         {0, 0, 711, 410},
         -15,
         {230, 153},
         {719, 437},
         {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const HFONT hOldFont = Wnd().m_hFont;
        SendDpiChanged(hWnd, step.dpi, step.suggested);

        RECT frame = {};
        GetWindowRect(hWnd, &frame);
        EXPECT_EQ(BoxOf(frame), BoxOf(step.suggested));
        RECT client = {};
        GetClientRect(hWnd, &client);
        EXPECT_EQ(BoxOf(client), step.client);
        MINMAXINFO limits = {};
        SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_EQ(limits.ptMinTrackSize.x, step.minimum.x);
        EXPECT_EQ(limits.ptMinTrackSize.y, step.minimum.y);

        EXPECT_EQ(ControlsOf(Wnd()), controls) << "the same control windows";
        for (const HWND hControl : controls) {
            EXPECT_EQ(SendMessageW(hControl, WM_GETFONT, 0, 0),
                      reinterpret_cast<LRESULT>(Wnd().m_hFont));
        }
        EXPECT_EQ(FontHeight(Wnd().m_hSyncBtn), step.fontHeight);
        EXPECT_EQ(GetObjectType(hOldFont), 0u) << "the previous font is released";
        EXPECT_EQ(ColumnWidth(Wnd().m_hSrvList, 0), step.columns[0]);
        EXPECT_EQ(ColumnWidth(Wnd().m_hSrvList, 1), step.columns[1]);
        if (!step.layout.empty()) {
            EXPECT_EQ(ControlBoxes(Wnd()), step.layout);
        }

        EXPECT_EQ(ListView_GetNextItem(Wnd().m_hSrvList, -1, LVNI_SELECTED), 1);
        EXPECT_EQ(SendMessageW(Wnd().m_hShortcutChk, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(WindowText(Wnd().m_hCmdEdit), L"edited");
        EXPECT_EQ(WindowText(Wnd().m_hSyncBtn), L"校时");
        EXPECT_EQ(WindowText(Wnd().m_hPreciseBtn), L"精确校时");
    }
    EXPECT_EQ(ControlBoxes(Wnd()), opened) << "back at 96 DPI, as the window opened";
}

// The program's manifest (linked into this test program too), as the loader read it.
std::wstring ManifestSetting(const wchar_t* nameSpace, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, nullptr, nameSpace, name, value, std::size(value), &written))
        return L"(none)";
    return value;
}

TEST(Manifest, AsksForPerMonitorDpiAwarenessWithTheOlderSettingBehind) {
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
        L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
        L"true/pm");
}

} // namespace
