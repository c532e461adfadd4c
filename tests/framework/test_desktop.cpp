// Runs inside a Wine virtual desktop of 1920 x 1080 (see run_in_desktop.sh): a screen of a
// known size, real window frames, and a mouse that no other test program shares.
#include "tests/framework/modal_script.h"
#include "tests/framework/rect_text.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

using Tessel::CBaseDlg;

class FullHdDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920) << "not run in a 1920 x 1080 desktop";
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080) << "not run in a 1920 x 1080 desktop";
    }
    void TearDown() override { DrainQueue(); }
};

TEST_F(FullHdDesktop, CentresABoxOnTheScreen) {
    const POINT origin = CBaseDlg::CenterWnd(1000, 500);
    EXPECT_EQ(origin.x, 460);
    EXPECT_EQ(origin.y, 290);
    const POINT larger = CBaseDlg::CenterWnd(1925, 1087);
    EXPECT_EQ(larger.x, -2);
    EXPECT_EQ(larger.y, -3);
}

TEST_F(FullHdDesktop, CentresTheWindowWithTheSizeOfItsClientArea) {
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(hWnd);
    MoveWindow(hWnd, 0, 0, 1008, 527, TRUE); // a client area of 1000 x 500 in Wine's frame
    ASSERT_EQ(Text(dlg.GetRect()), Text({0, 0, 1000, 500}));
    dlg.CenterWnd();
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    EXPECT_EQ(Text(rc), Text({460, 290, 1460, 790}));
}

void SendMouse(DWORD dwFlags, POINT at = {}) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = dwFlags;
    if (dwFlags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN));
    }
    SendInput(1, &input, sizeof input);
}

POINT CursorAt() {
    POINT at = {};
    GetCursorPos(&at);
    return at;
}

TEST_F(FullHdDesktop, DragsTheWindowByAPressOnItsClientArea) {
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(hWnd);
    std::vector<WPARAM> sysCommands;
    POINT pressedAt = {-1, -1};
    POINT releasedAt = {-1, -1};
    dlg.m_onMessage = [&](UINT uMsg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (uMsg == WM_SYSCOMMAND)
            sysCommands.push_back(wParam);
        if (uMsg == WM_LBUTTONDOWN) {
            pressedAt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(dlg.GetHwnd(), &pressedAt);
        }
        if (uMsg == WM_EXITSIZEMOVE)
            releasedAt = CursorAt();
        return std::nullopt;
    };
    MoveWindow(hWnd, 300, 200, 400, 300, TRUE);
    SetForegroundWindow(hWnd);
    PumpMessagesFor(100);
    RECT rcBefore = {};
    GetWindowRect(hWnd, &rcBefore);
    POINT press = {200, 150};
    ClientToScreen(hWnd, &press);
    SetCursorPos(press.x, press.y);
    PumpMessagesFor(50);
    ASSERT_EQ(WindowFromPoint(press), hWnd);

    // The press, the drag and the release come from another thread while this one runs the
    // move loop that the press starts.
    std::atomic<bool> bDone = false;
    std::thread mouse([&] {
        Sleep(100);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(150);
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, {press.x + 20, press.y + 15});
        Sleep(100);
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, {press.x + 40, press.y + 30});
        Sleep(150);
        SendMouse(MOUSEEVENTF_LEFTUP);
        bDone = true;
    });
    const bool bEnded =
        PumpMessagesUntil([&] { return bDone && dlg.Count(WM_EXITSIZEMOVE) > 0; }, 5000);
    mouse.join();
    ASSERT_TRUE(bEnded) << "no move loop ended";

    EXPECT_EQ(dlg.Count(WM_ENTERSIZEMOVE), 1u);
    EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_MOVE | HTCAPTION});
    const SIZE moved = {releasedAt.x - pressedAt.x, releasedAt.y - pressedAt.y};
    EXPECT_GT(moved.cx, 0);
    EXPECT_GT(moved.cy, 0);
    RECT rcAfter = {};
    GetWindowRect(hWnd, &rcAfter);
    EXPECT_EQ(rcAfter.left - rcBefore.left, moved.cx);
    EXPECT_EQ(rcAfter.top - rcBefore.top, moved.cy);
    EXPECT_EQ(rcAfter.right - rcAfter.left, rcBefore.right - rcBefore.left);
}

TEST_F(FullHdDesktop, ActivatesTheTopWindowAfterwardsOnlyIfItsWindowWasActive) {
    for (const bool bRunWindowActive : {true, false}) {
        const char* pszCase = bRunWindowActive ? "run window active" : "another window active";
        RecordingDlg top;
        RecordingDlg bystander;
        RecordingDlg dlg;
        ASSERT_TRUE(top.CreateTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE)) << pszCase;
        ASSERT_TRUE(bystander.CreateTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE)) << pszCase;
        ASSERT_TRUE(dlg.CreateTopLevel(kPopup | WS_VISIBLE)) << pszCase;
        const HWND hActive = bRunWindowActive ? dlg.GetHwnd() : bystander.GetHwnd();
        SetActiveWindow(hActive);
        ASSERT_EQ(GetActiveWindow(), hActive) << pszCase;
        ScriptProbeThenEnd(dlg, [] {});

        ASSERT_TRUE(RunModal(dlg.GetHwnd(), top.GetHwnd())) << pszCase;
        EXPECT_EQ(GetActiveWindow(), bRunWindowActive ? top.GetHwnd() : bystander.GetHwnd())
            << pszCase;
        EXPECT_TRUE(IsWindowEnabled(top.GetHwnd())) << pszCase;
    }
}

} // namespace
