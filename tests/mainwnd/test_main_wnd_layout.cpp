#include "main_wnd_fixture.h"
#include "start_up.h"

#include <gtest/gtest.h>

namespace {

struct Box {
    int left, top, right, bottom;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "(" << box.left << ", " << box.top << ", " << box.right << ", " << box.bottom
               << ")";
}

Box BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Every control's rectangle in client coordinates, worked out by hand from the layout table.
struct Layout {
    Box list, log, button, label, command, autoRun, shortcut;
};

// The 711 x 410 client area that a 719 x 437 window has.
constexpr Layout kInitial = {{5, 1, 390, 299},     {391, 1, 705, 299},   {189, 339, 249, 368},
                             {253, 323, 703, 343}, {254, 346, 624, 365}, {625, 346, 702, 365},
                             {253, 369, 389, 389}};
// 100 pixels taller: the list and the log pane grow, the bottom row moves down by 98.
constexpr Layout kTaller = {{5, 1, 390, 399},     {391, 1, 705, 399},   {189, 437, 249, 466},
                            {253, 421, 703, 441}, {254, 444, 624, 463}, {625, 444, 702, 463},
                            {253, 467, 389, 487}};

class MainWindowLayout : public MainWindowTest {
protected:
    void ExpectLayout(const Layout& e, const char* when) {
        const struct {
            const char* name;
            HWND control;
            Box expected;
        } controls[] = {
            {"server list", Wnd().m_hSrvList, e.list},
            {"log pane", Wnd().m_hLogEdit, e.log},
            {"sync button", Wnd().m_hSyncBtn, e.button},
            {"label", Wnd().m_hAutoRunTip, e.label},
            {"command box", Wnd().m_hCmdEdit, e.command},
            {"auto-start", Wnd().m_hAutoRunChk, e.autoRun},
            {"shortcut", Wnd().m_hShortcutChk, e.shortcut},
        };
        for (const auto& c : controls)
            EXPECT_EQ(BoxOf(ClientRectOf(c.control)), c.expected) << c.name << ", " << when;
    }

    Box Client() const {
        RECT client = {};
        GetClientRect(Wnd().GetHwnd(), &client);
        return BoxOf(client);
    }
};

TEST_F(MainWindowLayout, OpensCentredAtItsMinimumSize) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    EXPECT_FALSE(IsWindowVisible(hWnd));
    // The test display: 1024 x 768, with a full-screen height of 779.
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 779);
    RECT frame = {};
    GetWindowRect(hWnd, &frame);
    EXPECT_EQ(BoxOf(frame), (Box{152, 171, 871, 608}));
    MINMAXINFO limits = {};
    SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 719);
    EXPECT_EQ(limits.ptMinTrackSize.y, 437);
}

TEST_F(MainWindowLayout, PlacesEveryControlAtTheInitialSizeAndWhenTaller) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    ASSERT_EQ(Client(), (Box{0, 0, 711, 410}));
    ExpectLayout(kInitial, "initial size");

    SetWindowPos(hWnd, nullptr, 0, 0, 719, 537, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(Client(), (Box{0, 0, 711, 510}));
    ExpectLayout(kTaller, "100 pixels taller");
}

TEST_F(MainWindowLayout, MinimisingAndRestoringKeepsThePlacement) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    PumpMessagesFor(20);
    ShowWindow(hWnd, SW_MINIMIZE);
    PumpMessagesFor(20);
    EXPECT_TRUE(IsIconic(hWnd));
    ShowWindow(hWnd, SW_RESTORE);
    PumpMessagesFor(20);
    ASSERT_EQ(Client(), (Box{0, 0, 711, 410}));
    ExpectLayout(kInitial, "restored");
}

TEST_F(MainWindowLayout, IsShownWithItsIconAndCaption) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    ShowMainWindow(hWnd);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_EQ(WindowText(hWnd), L"Vexlo v1.1");
    const auto hIcon = reinterpret_cast<HICON>(SendMessageW(hWnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(hIcon);
    EXPECT_EQ(hIcon, LoadIconW(g_hInstance, MAKEINTRESOURCEW(128)));
    EXPECT_EQ(SendMessageW(hWnd, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(hIcon));
}

TEST(CenteredOrigin, HalvesTheSpareRoomTowardZero) {
    EXPECT_EQ(CenteredOrigin({0, 0, 719, 437}, 1024, 768).x, 152);
    EXPECT_EQ(CenteredOrigin({0, 0, 719, 437}, 1024, 779).y, 171);
    EXPECT_EQ(CenteredOrigin({0, 0, 1101, 437}, 1024, 768).x, -38); // wider than the screen
}

} // namespace
