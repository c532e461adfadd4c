#include "main_wnd_fixture.h"
#include "start_up.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

// A proportional edge: the stored single-precision fraction, the product in double precision.
int Fraction(int extent, float fraction, int offset) {
    return static_cast<int>(std::trunc(extent * static_cast<double>(fraction) + offset));
}

struct ExpectedLayout {
    Box list, log, button, label, command, autoRun, shortcut;
};

// Where every control lands for a client area W wide whose height grew from H0 to H1, worked out
// by hand from the window's layout table.
ExpectedLayout Derive(int W, int H0, int H1) {
    const int grown = H1 - H0;
    ExpectedLayout e{};
    const int bandBottom = std::max(300 + grown, 300);
    const int listRight = std::min(Fraction(W - 10, 0.55f, 5), W - 6);
    e.list = {5, 1, listRight, bandBottom - 1};
    e.log = {listRight + 1, 1, std::min(Fraction(W - 10, 0.45f, listRight + 1), W - 6),
             bandBottom - 1};

    const int lowerBandBottom = std::max(H0 - 2 + grown - 2, H0 - 2);
    const int rowBottom = lowerBandBottom - 1;
    const int rowTop = rowBottom - 100;
    const int cellTop = rowTop + 1;
    const int cellBottom = std::min(rowTop + 97, rowBottom - 1);
    const int buttonCellRight = std::min(Fraction(W - 12, 0.35f, 7), W - 7);
    const int buttonLeft = std::max(buttonCellRight - 62, 7);
    e.button = {buttonLeft, cellTop + 31, std::min(buttonLeft + 60, buttonCellRight), cellTop + 60};

    const int optionsLeft = buttonCellRight + 1;
    const int optionsRight = std::min(Fraction(W - 12, 0.65f, optionsLeft), W - 7);
    const int inner = std::min(optionsLeft + 471, optionsRight - 1);
    e.label = {optionsLeft + 1, cellTop + 15, inner, std::min(cellTop + 35, cellBottom - 1)};
    const Box commandRow = {optionsLeft + 1, cellTop + 38, inner, cellTop + 58};
    const int commandRight = std::min(commandRow.left + 371, commandRow.right - 1);
    e.command = {commandRow.left + 1, commandRow.top, commandRight, commandRow.bottom - 1};
    e.autoRun = {commandRight + 1, commandRow.top,
                 std::min(commandRight + 81, commandRow.right - 1), commandRow.bottom - 1};
    e.shortcut = {optionsLeft + 1, cellTop + 61, std::min(optionsLeft + 137, optionsRight - 1),
                  std::min(cellTop + 81, cellBottom - 1)};
    return e;
}

class MainWindowLayout : public MainWindowTest {
protected:
    void ExpectLayout(const ExpectedLayout& e, const char* when) {
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

    RECT Client() const {
        RECT client = {};
        GetClientRect(Wnd().GetHwnd(), &client);
        return client;
    }
};

TEST_F(MainWindowLayout, OpensCentredAtItsMinimumSize) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    EXPECT_FALSE(IsWindowVisible(hWnd));
    RECT frame = {};
    GetWindowRect(hWnd, &frame);
    const int screenWidth =
        std::max(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CXSCREEN));
    const int screenHeight =
        std::max(GetSystemMetrics(SM_CYFULLSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(BoxOf(frame), (Box{(screenWidth - 719) / 2, (screenHeight - 437) / 2,
                                 (screenWidth - 719) / 2 + 719, (screenHeight - 437) / 2 + 437}));
    MINMAXINFO limits = {};
    SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 719);
    EXPECT_EQ(limits.ptMinTrackSize.y, 437);
}

TEST_F(MainWindowLayout, PlacesEveryControlAtTheInitialSizeAndWhenTaller) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    const RECT initial = Client();
    ExpectLayout(Derive(initial.right, initial.bottom, initial.bottom), "initial size");

    SetWindowPos(hWnd, nullptr, 0, 0, 719, 537, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT taller = Client();
    ASSERT_EQ(taller.bottom, initial.bottom + 100);
    const ExpectedLayout grown = Derive(initial.right, initial.bottom, taller.bottom);
    ExpectLayout(grown, "100 pixels taller");
    const ExpectedLayout before = Derive(initial.right, initial.bottom, initial.bottom);
    EXPECT_EQ(grown.list.bottom - before.list.bottom, 100);
    EXPECT_EQ(grown.button.top - before.button.top, 98);
}

TEST_F(MainWindowLayout, MinimisingAndRestoringKeepsThePlacement) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    PumpMessagesFor(20);
    const RECT initial = Client();
    ShowWindow(hWnd, SW_MINIMIZE);
    PumpMessagesFor(20);
    EXPECT_TRUE(IsIconic(hWnd));
    ShowWindow(hWnd, SW_RESTORE);
    PumpMessagesFor(20);
    ExpectLayout(Derive(initial.right, initial.bottom, initial.bottom), "restored");
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

TEST(BuildHelpText, ListsTheSixLines) {
    EXPECT_EQ(BuildHelpText(), L"\r\n\r\n\r\n\r\n 请选择时间服务器\r\n\r\n "
                               L"然后双击校正时间\r\n\r\n 本程序支持命令行调用，格式为:"
                               L"\r\n\r\n Vexlo.exe /ip 132.163.4.101\r\n\r\n 本程序使用说明见:"
                               L"\r\n\r\n https://github.com/vexlo/vexlo#readme\r\n\r\n\r\n");
}

} // namespace
