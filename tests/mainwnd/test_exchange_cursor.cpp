#include "tests/mainwnd/main_wnd_fixture.h"
#include "timesync/time_exchange.h"
#include "tests/support/time_server.h"

#include <gtest/gtest.h>

namespace {

// The main window shown, one server in its list, and the real pointer moved over its controls.
class ExchangeCursor : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteServerFile("<srv_root>\n  <srv>\n    <url>silent</url>\n    <ip>127.0.0.63</ip>\n"
                        "  </srv>\n</srv_root>\n");
        ASSERT_TRUE(CreateMainWindow());
        ShowWindow(Wnd().GetHwnd(), SW_SHOWNORMAL);
        SetForegroundWindow(Wnd().GetHwnd());
        ListView_SetItemState(Wnd().m_hSrvList, 0, LVIS_SELECTED, LVIS_SELECTED);
        PumpMessagesFor(50);
    }
    void TearDown() override {
        AbandonExchange();
        MainWindowTest::TearDown();
    }

    // Moves the pointer to the middle of a window and lets the move arrive.
    static void PointAt(HWND hWnd) {
        RECT rect = {};
        GetWindowRect(hWnd, &rect);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PumpMessagesFor(100);
    }

    static bool ShowsBusyCursor() { return GetCursor() == LoadCursorW(nullptr, IDC_APPSTARTING); }

    void ClickSync() const { SendMessageW(Wnd().m_hSyncBtn, BM_CLICK, 0, 0); }
};

TEST_F(ExchangeCursor, ShowsTheBusyCursorOverEveryControlWhileAnExchangeIsOpen) {
    TestTimeServer silent("127.0.0.63", AcceptAndStaySilent());
    const struct {
        const char* name;
        HWND hWnd;
    } places[] = {
        {"server list", Wnd().m_hSrvList},
        {"log pane", Wnd().m_hLogEdit},
        {"sync button", Wnd().m_hSyncBtn},
        {"precise button", Wnd().m_hPreciseBtn},
    };
    for (const auto& place : places) {
        PointAt(place.hWnd);
        EXPECT_FALSE(ShowsBusyCursor()) << place.name << ", before";
    }
    ClickSync();
    // At once, without a move of the pointer (it still rests on the button).
    EXPECT_TRUE(IsExchangeOpen());
    EXPECT_TRUE(ShowsBusyCursor()) << "sync button, right after the click";
    for (const auto& place : places) {
        PointAt(place.hWnd);
        EXPECT_TRUE(ShowsBusyCursor()) << place.name << ", during";
    }
    // The list still takes the user's choice of another server.
    EXPECT_TRUE(IsWindowEnabled(Wnd().m_hSrvList));
    AbandonExchange();
    EXPECT_FALSE(ShowsBusyCursor()) << "sync button, right after the end";
    PointAt(Wnd().m_hSrvList);
    EXPECT_FALSE(ShowsBusyCursor()) << "server list, after";
}

TEST_F(ExchangeCursor, TheEndOfAnExchangeShowsAtOnce) {
    TestTimeServer answering("127.0.0.63", SendThenClose("\xDA\x30"));
    PointAt(Wnd().m_hSrvList);
    ClickSync();
    EXPECT_TRUE(ShowsBusyCursor());
    ASSERT_TRUE(PumpMessagesUntil([] { return !IsExchangeOpen(); }, 5'000));
    EXPECT_FALSE(ShowsBusyCursor());
}

} // namespace
