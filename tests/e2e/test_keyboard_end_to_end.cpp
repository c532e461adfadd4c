#include "tests/support/key_input.h"
#include "tests/support/time_limits.h"
#include "tests/e2e/vexlo_process.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int IDC_SYNC_BTN = 300;
constexpr int IDC_PRECISE_BTN = 301;
constexpr int IDC_LOG_EDIT = 200;

// The window that has the keyboard focus in the window's own thread.
HWND FocusIn(HWND hWnd) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(hWnd, nullptr), &info);
    return info.hwndFocus;
}

bool Within(DWORD timeoutMs, const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(20);
    }
    return true;
}

// Vexlo.exe's own message loop gives its window the keys of a dialog box. Real key events go to
// the test desktop's foreground window, the one Vexlo.exe has just shown.
TEST(EndToEnd, TheShownWindowTakesTabShiftTabAndEscAsADialogBoxDoes) {
    ProgramFolder folder(L"keyboard");
    VexloProcess vexlo(folder.Program(), L"");
    const HWND hWnd = vexlo.WaitForWindow(nullptr, 10'000);
    ASSERT_TRUE(hWnd);
    const HWND hList = FindChild(hWnd, L"SysListView32");
    const HWND hSync = FindChild(hWnd, L"Button", IDC_SYNC_BTN);
    const HWND hPrecise = FindChild(hWnd, L"Button", IDC_PRECISE_BTN);
    ASSERT_TRUE(hPrecise);
    const HWND hLog = FindChild(hWnd, L"Edit", IDC_LOG_EDIT);
    const struct {
        const char* name = nullptr;
        std::initializer_list<WORD> keys;
        HWND focus = nullptr;
    } steps[] = {
        {"at the start", {}, hList},
        {"Tab", {VK_TAB}, hSync},
        {"Tab again", {VK_TAB}, hPrecise},
        {"Shift+Tab", {VK_SHIFT, VK_TAB}, hSync},
        {"Shift+Tab to the list", {VK_SHIFT, VK_TAB}, hList},
        {"Shift+Tab again", {VK_SHIFT, VK_TAB}, hLog},
        {"Esc in the log pane", {VK_ESCAPE}, hLog},
        {"Tab out of the log pane", {VK_TAB}, hList},
    };
    for (const auto& step : steps) {
        if (step.keys.size() > 0)
            PressKeys(step.keys);
        EXPECT_TRUE(Within(ScaledTimeLimitMs(5'000), [&] { return FocusIn(hWnd) == step.focus; }))
            << step.name;
        EXPECT_FALSE(vexlo.WaitForExit(0)) << step.name;
    }
    PostMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(vexlo.WaitForExit(10'000), 0u);
}

} // namespace
