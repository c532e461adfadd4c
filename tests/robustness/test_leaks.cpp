#include "app/app_globals.h"
#include "tests/robustness/exchange_checks.h"
#include "tests/support/exchange_host.h"
#include "ui/mainwnd/main_wnd.h"
#include "tests/support/message_pump.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/time_server.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int kExchanges = 50;
constexpr int kWindowCycles = 30;

struct ResourceCounts {
    std::uintptr_t nextHandle = 0;
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    bool operator==(const ResourceCounts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts) {
    return out << "next handle " << counts.nextHandle << ", " << counts.handles << " handles, "
               << counts.gdiObjects << " GDI objects, " << counts.userObjects << " USER objects";
}

// The value the process's next kernel handle gets: the lowest free slot of its handle table, which
// moves up for good when a handle is left open.
std::uintptr_t NextHandleValue() {
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const auto value = reinterpret_cast<std::uintptr_t>(event);
    CloseHandle(event);
    return value;
}

// GetProcessHandleCount and GetGuiResources give 0 where the platform does not count (Wine): the
// next handle value and the GDI objects that the test records then show what was left behind.
ResourceCounts CountResources() {
    ResourceCounts counts;
    counts.nextHandle = NextHandleValue();
    GetProcessHandleCount(GetCurrentProcess(), &counts.handles);
    counts.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return counts;
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

class Leaks : public testing::Test {
protected:
    void TearDown() override {
        AbandonExchange();
        g_unattended = false;
        TakeQuitCode();
    }
};

TEST_F(Leaks, ManyExchangesLeaveNoSocketOrHandleBehind) {
    const WinsockSession winsock;
    const TestQuerySpacing spacing;
    const ExchangeHost host;
    TestTimeServer answering("127.0.0.130", AnswerWith(0xDA304000));
    TestTimeServer closingEarly("127.0.0.131", SendThenClose("\x01\x02"));
    TestTimeServer silent("127.0.0.132", AcceptAndStaySilent());
    const char* const addresses[] = {"127.0.0.130", "127.0.0.131", "127.0.0.132", "127.0.0.133"};

    const auto exchange = [&](int turn) {
        const char* const address = addresses[turn % 4]; // 127.0.0.133: refused
        host.ClearLog();
        ASSERT_TRUE(ConnectTimeServer(host.Log(), host.Window(), address)) << turn;
        const SOCKET socket = g_timeSocket;
        if (turn % 4 == 2) {
            ASSERT_TRUE(PumpMessagesUntil(
                [&] { return LastLine(host.LogText()) == L"正在接受数据，请稍候..."; }, 5'000))
                << turn;
            AbandonExchange();
        }
        ASSERT_TRUE(PumpMessagesUntil([] { return !IsExchangeOpen(); }, 5'000)) << turn;
        ASSERT_TRUE(IsClosedSocket(socket)) << "exchange " << turn << " with " << address;
    };
    for (int turn = 0; turn < 4; ++turn)
        exchange(turn); // the first of each kind may make what the library keeps for good
    ASSERT_TRUE(
        PumpMessagesUntil([&] { return silent.ClosedByClient() == 1; }, kServerSeesCloseMs));
    const ResourceCounts before = CountResources();
    for (int turn = 0; turn < kExchanges && !HasFailure(); ++turn)
        exchange(turn);
    EXPECT_TRUE(PumpMessagesUntil(
        [&] { return silent.ClosedByClient() == 1 + (kExchanges + 1) / 4; }, kServerSeesCloseMs));
    PumpMessagesFor(50);
    RecordProperty("resources", testing::PrintToString(before));
    EXPECT_EQ(CountResources(), before);
}

TEST_F(Leaks, ManyMainWindowsReleaseTheirWindowsAndGdiObjects) {
    const ScratchFolder folder(L"vexlo-leaks");
    g_hInstance = GetModuleHandleW(nullptr);
    g_appDir = folder.ProgramDir();

    const auto cycle = [](int turn) {
        auto wnd = std::make_unique<CMainWnd>();
        const HWND hWnd = wnd->Create(nullptr, g_hInstance, WS_OVERLAPPEDWINDOW);
        ASSERT_TRUE(hWnd) << turn;
        PumpMessagesFor(5);
        const HFONT hFont = wnd->m_hFont;
        const HBRUSH hBrush = wnd->m_pLayout->m_hBgBrush;
        ASSERT_EQ(GetObjectType(hFont), static_cast<DWORD>(OBJ_FONT)) << turn;
        ASSERT_EQ(GetObjectType(hBrush), static_cast<DWORD>(OBJ_BRUSH)) << turn;
        std::vector<HWND> windows = {hWnd};
        EnumChildWindows(hWnd, CollectWindow, reinterpret_cast<LPARAM>(&windows));
        ASSERT_GE(windows.size(), 8u) << turn;

        DestroyWindow(hWnd);
        PumpMessagesFor(5);
        EXPECT_EQ(TakeQuitCode(), 0) << turn;
        EXPECT_EQ(GetObjectType(hFont), 0u) << "font of window " << turn;
        for (const HWND hEach : windows)
            EXPECT_FALSE(IsWindow(hEach)) << turn;
        wnd.reset();
        EXPECT_EQ(GetObjectType(hBrush), 0u) << "layout brush of window " << turn;
        g_hLogEdit = nullptr;
    };
    cycle(-1); // the first window loads what the controls keep for good
    const ResourceCounts before = CountResources();
    for (int turn = 0; turn < kWindowCycles && !HasFailure(); ++turn)
        cycle(turn);
    RecordProperty("resources", testing::PrintToString(before));
    EXPECT_EQ(CountResources(), before);
    g_appDir.clear();
}

} // namespace
