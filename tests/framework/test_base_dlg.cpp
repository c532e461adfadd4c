#include "tests/framework/gdi_canvas.h"
#include "tests/framework/modal_watchdog.h"
#include "tests/framework/rect_text.h"
#include "tests/framework/recording_dlg.h"
#include "tests/framework/sent_message_hook.h"
#include "tests/support/message_sequence.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <stdexcept>
#include <string>

namespace {

std::wstring ClassNameOf(HWND hWnd) {
    wchar_t name[256] = {};
    GetClassNameW(hWnd, name, 256);
    return name;
}

bool IsGuidClassName(const std::wstring& name) {
    static const std::wregex pattern(
        L"\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    return std::regex_match(name, pattern);
}

class BaseDlg : public ::testing::Test {
protected:
    void TearDown() override { DrainQueue(); }
};

TEST_F(BaseDlg, BindsTheObjectAtWmCreateAndNotBefore) {
    const SentMessageHook hook;
    ASSERT_TRUE(hook.Installed());
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel();
    ASSERT_TRUE(hWnd);

    // As Wine sends them: Windows may add its undocumented 0x0093 and 0x0094 before WM_CREATE.
    EXPECT_TRUE(SameMessages(hook.MessagesTo(hWnd),
                             {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
    ASSERT_TRUE(SameMessages(dlg.m_arrivals, {WM_CREATE}));
    EXPECT_EQ(dlg.m_arrivals.front().hWnd, hWnd);
    EXPECT_TRUE(dlg.m_bCreated);
    EXPECT_EQ(dlg.GetHwnd(), hWnd);
    EXPECT_EQ(dlg.GetParent(), nullptr);
    EXPECT_TRUE(IsGuidClassName(ClassNameOf(hWnd))) << testing::PrintToString(ClassNameOf(hWnd));

    // Queued once creation has finished; it reaches the object like any later message.
    PumpMessagesFor(20);
    EXPECT_TRUE(SameMessages(dlg.m_arrivals, {WM_CREATE, kAfterCreate}));
}

TEST_F(BaseDlg, PassesMessagesAfterWmDestroyToTheDefaultProcedure) {
    const SentMessageHook hook;
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel();
    ASSERT_TRUE(hWnd);
    DestroyWindow(hWnd);

    EXPECT_TRUE(SameMessages(hook.MessagesTo(hWnd), {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE,
                                                     WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_TRUE(SameMessages(dlg.m_arrivals, {WM_CREATE, WM_DESTROY}));
    // The object's procedure (and the default procedure it calls) always had the real handle.
    for (const auto& arrival : dlg.m_arrivals)
        EXPECT_EQ(arrival.hWnd, hWnd) << MessageName(arrival.uMsg);
    EXPECT_EQ(dlg.GetHwnd(), nullptr);
}

TEST_F(BaseDlg, MakesOneWindowInItsLife) {
    RecordingDlg dlg;
    const HWND hFirst = dlg.CreateTopLevel();
    ASSERT_TRUE(hFirst);
    EXPECT_EQ(dlg.CreateTopLevel(), hFirst);
    DestroyWindow(hFirst);
    // Its font went with the first window; a derived window would build its state twice.
    EXPECT_EQ(dlg.CreateTopLevel(), nullptr);
    EXPECT_EQ(dlg.CreateWithClass(L"VexloSecondWindow"), nullptr);
    EXPECT_TRUE(SameMessages(dlg.m_arrivals, {WM_CREATE, WM_DESTROY}));
}

TEST_F(BaseDlg, TakesItsWindowAlongWhenItEnds) {
    auto pDlg = std::make_unique<RecordingDlg>();
    const HWND hWnd = pDlg->CreateTopLevel();
    ASSERT_TRUE(hWnd);
    pDlg.reset();
    EXPECT_FALSE(IsWindow(hWnd));
    // Would write the freed object's m_rect.
    EXPECT_EQ(SendMessageW(hWnd, WM_SIZE, 0, 0), 0);
}

TEST_F(BaseDlg, EndsAWindowWhoseProcedureThrowsAndThrowsItFromTheLoop) {
    const auto throwAt = [](UINT uThrowMsg) {
        return [uThrowMsg](UINT uMsg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (uMsg == uThrowMsg)
                throw std::runtime_error("handler failed");
            return std::nullopt;
        };
    };
    RecordingDlg dlg;
    dlg.SetBgColor(static_cast<int>(RGB(1, 2, 3)));
    dlg.m_onMessage = throwAt(WM_APP);
    const HWND hWnd = dlg.CreateTopLevel();
    ASSERT_TRUE(hWnd);
    const HFONT hFont = dlg.m_hFont;
    PostMessageW(hWnd, WM_APP, 0, 0);
    const ModalWatchdog watchdog;
    EXPECT_THROW(Tessel::CBaseDlg::DoModal(hWnd, nullptr, nullptr), std::runtime_error);
    EXPECT_FALSE(watchdog.HasFired());
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(GetObjectType(hFont), 0u);
    EXPECT_EQ(dlg.m_hBgBrush, nullptr);

    // Outside any loop, the exit code reaches the thread's queue.
    RecordingDlg sent;
    sent.m_onMessage = throwAt(WM_APP);
    ASSERT_TRUE(sent.CreateTopLevel());
    EXPECT_EQ(SendMessageW(sent.GetHwnd(), WM_APP, 0, 0), 0);
    PumpMessagesFor(20);
    EXPECT_EQ(TakeQuitCode(), std::optional<int>(5));
    // The kept failure is thrown by the next Create; a failing WM_CREATE leaves no window.
    RecordingDlg failing;
    failing.m_onMessage = throwAt(WM_CREATE);
    EXPECT_THROW(failing.CreateTopLevel(), std::runtime_error);
    EXPECT_EQ(failing.GetHwnd(), nullptr);
}

TEST_F(BaseDlg, RegistersAGivenClassNameOnceAndCutsItTo63Characters) {
    RecordingDlg first;
    RecordingDlg second;
    const wchar_t* pszName = L"VexloFrameworkTestClass";
    ASSERT_TRUE(first.CreateWithClass(pszName));
    ASSERT_TRUE(second.CreateWithClass(pszName));
    EXPECT_EQ(ClassNameOf(first.GetHwnd()), pszName);
    EXPECT_EQ(ClassNameOf(second.GetHwnd()), pszName);
    EXPECT_TRUE(SameMessages(second.m_arrivals, {WM_CREATE}));

    RecordingDlg third;
    const std::wstring longName = L"VexloLong" + std::wstring(80, L'x');
    ASSERT_TRUE(third.CreateWithClass(longName.c_str()));
    EXPECT_EQ(ClassNameOf(third.GetHwnd()), longName.substr(0, 63));
}

// Memory for one object far above 4 GiB, where a pointer cut to 32 bits points elsewhere.
struct VirtualFreer {
    void operator()(void* p) const { VirtualFree(p, 0, MEM_RELEASE); }
};

TEST_F(BaseDlg, ReachesAnObjectAboveFourGigabytes) {
    const std::unique_ptr<void, VirtualFreer> memory(VirtualAlloc(
        nullptr, sizeof(RecordingDlg), MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE));
    ASSERT_TRUE(memory);
    ASSERT_GT(reinterpret_cast<ULONG_PTR>(memory.get()), 0xFFFFFFFFull);
    auto* pDlg = std::construct_at(static_cast<RecordingDlg*>(memory.get()));
    const HWND hWnd = pDlg->CreateTopLevel();
    ASSERT_TRUE(hWnd);
    EXPECT_EQ(GetWindowLongPtrW(hWnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(pDlg));
    SendMessageW(hWnd, WM_APP, 0, 0);
    DestroyWindow(hWnd);
    EXPECT_TRUE(SameMessages(pDlg->m_arrivals, {WM_CREATE, WM_APP, WM_DESTROY}));
    std::destroy_at(pDlg);
}

TEST_F(BaseDlg, ReleasesItsGdiObjectsWithItsWindow) {
    RecordingDlg dlg;
    dlg.SetBgColor(static_cast<int>(RGB(1, 2, 3)));
    const HBRUSH hFirstBrush = dlg.m_hBgBrush;
    dlg.SetBgColor(static_cast<int>(RGB(4, 5, 6)));
    EXPECT_EQ(GetObjectType(hFirstBrush), 0u);
    const HBRUSH hBrush = dlg.m_hBgBrush;
    const HFONT hFont = dlg.m_hFont;
    ASSERT_TRUE(dlg.CreateTopLevel());
    EXPECT_EQ(GetObjectType(hBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(hFont), static_cast<DWORD>(OBJ_FONT));

    DestroyWindow(dlg.GetHwnd());
    EXPECT_EQ(GetObjectType(hBrush), 0u);
    EXPECT_EQ(GetObjectType(hFont), 0u);
    EXPECT_EQ(dlg.m_hBgBrush, nullptr);
    EXPECT_EQ(dlg.m_hFont, nullptr);
}

TEST_F(BaseDlg, ReleasesOnDestructionWhatNoWindowReleased) {
    HFONT hFont = nullptr;
    HBRUSH hBrush = nullptr;
    {
        RecordingDlg neverCreated;
        neverCreated.SetBgColor(static_cast<int>(RGB(1, 2, 3)));
        hFont = neverCreated.m_hFont;
        hBrush = neverCreated.m_hBgBrush;
    }
    EXPECT_EQ(GetObjectType(hFont), 0u);
    EXPECT_EQ(GetObjectType(hBrush), 0u);

    // A derived window that keeps WM_CREATE from the base: its WM_DESTROY releases nothing.
    auto pDlg = std::make_unique<RecordingDlg>();
    pDlg->m_onMessage = [](UINT uMsg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (uMsg == WM_CREATE)
            return 0;
        return std::nullopt;
    };
    hFont = pDlg->m_hFont;
    const HWND hWnd = pDlg->CreateTopLevel();
    ASSERT_TRUE(hWnd);
    EXPECT_FALSE(pDlg->m_bCreated);
    DestroyWindow(hWnd);
    PumpMessagesFor(20);
    EXPECT_FALSE(TakeQuitCode().has_value());
    EXPECT_EQ(GetObjectType(hFont), static_cast<DWORD>(OBJ_FONT));
    pDlg.reset();
    EXPECT_EQ(GetObjectType(hFont), 0u);
}

TEST_F(BaseDlg, PostsQuitWithCodeZeroWhenDestroyed) {
    RecordingDlg dlg;
    ASSERT_TRUE(dlg.CreateTopLevel());
    TakeQuitCode();
    DestroyWindow(dlg.GetHwnd());
    PumpMessagesFor(20);
    const auto code = TakeQuitCode();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

TEST_F(BaseDlg, GivesItsParentBackItsInputWhenDestroyed) {
    RecordingDlg parent;
    ASSERT_TRUE(parent.CreateTopLevel());
    std::vector<bool> enabledAtNull;
    parent.m_onMessage = [&](UINT uMsg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (uMsg == WM_NULL)
            enabledAtNull.push_back(IsWindowEnabled(parent.GetHwnd()) != FALSE);
        return std::nullopt;
    };
    RecordingDlg child;
    ASSERT_TRUE(child.CreateTopLevel(WS_POPUP | WS_CAPTION, parent.GetHwnd()));
    EXPECT_EQ(child.GetParent(), parent.GetHwnd());
    EnableWindow(parent.GetHwnd(), FALSE);

    DestroyWindow(child.GetHwnd());
    EXPECT_TRUE(IsWindowEnabled(parent.GetHwnd()));
    EXPECT_EQ(enabledAtNull, std::vector<bool>{true});

    // A window without a parent sends WM_NULL to no one.
    RecordingDlg alone;
    ASSERT_TRUE(alone.CreateTopLevel());
    DestroyWindow(alone.GetHwnd());
    EXPECT_EQ(enabledAtNull.size(), 1u);
}

TEST_F(BaseDlg, ReportsItsMinimumTrackingSize) {
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel();
    ASSERT_TRUE(hWnd);
    auto reportedMinimum = [&] {
        MINMAXINFO info = {};
        info.ptMinTrackSize = {-1, -1};
        SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        return info.ptMinTrackSize;
    };
    EXPECT_EQ(reportedMinimum().x, 0);
    EXPECT_EQ(reportedMinimum().y, 0);
    // Below the system's own minimum tracking size, which the reported 0 x 0 replaces.
    ASSERT_GT(GetSystemMetrics(SM_CXMINTRACK), 50);
    MoveWindow(hWnd, 10, 10, 50, 30, FALSE);
    EXPECT_EQ(WindowSize(hWnd).cx, 50);
    EXPECT_EQ(WindowSize(hWnd).cy, 30);

    dlg.SetWndMinSize(719, 437);
    EXPECT_EQ(reportedMinimum().x, 719);
    EXPECT_EQ(reportedMinimum().y, 437);
    MoveWindow(hWnd, 10, 10, 100, 100, FALSE);
    EXPECT_EQ(WindowSize(hWnd).cx, 719);
    EXPECT_EQ(WindowSize(hWnd).cy, 437);
    MoveWindow(hWnd, 10, 10, 800, 500, FALSE);
    EXPECT_EQ(WindowSize(hWnd).cx, 800);
    EXPECT_EQ(WindowSize(hWnd).cy, 500);
}

TEST_F(BaseDlg, KeepsItsClientRectangleThroughMovesAndResizes) {
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel();
    ASSERT_TRUE(hWnd);
    auto client = [&] {
        RECT rc = {};
        GetClientRect(hWnd, &rc);
        return rc;
    };
    auto window = [&] {
        RECT rc = {};
        GetWindowRect(hWnd, &rc);
        return rc;
    };
    dlg.UpdateSize(20, 30, 500, 350);
    EXPECT_EQ(Text(window()), Text({20, 30, 520, 380}));
    EXPECT_EQ(Text(dlg.GetRect()), Text(client()));
    EXPECT_GT(dlg.GetRect().right, 400);

    dlg.UpdateSize(40, 50, 500, 350);
    EXPECT_EQ(Text(window()), Text({40, 50, 540, 400}));
    EXPECT_EQ(Text(dlg.GetRect()), Text(client()));
}

TEST_F(BaseDlg, PaintsOnlyWithABackgroundBrushAndNeverErases) {
    const GdiCanvas canvas(40, 40);
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel();
    ASSERT_TRUE(hWnd);
    dlg.Draw(canvas.Dc());
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 255, 255));
    EXPECT_EQ(SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 1);
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 255, 255));

    dlg.SetBgColor(static_cast<int>(RGB(255, 0, 0)));
    dlg.m_rect = {10, 10, 20, 20};
    dlg.Draw(canvas.Dc());
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(19, 19), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(20, 20), RGB(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 255, 255));

    const int nDrawCalls = dlg.m_nDrawCalls;
    EXPECT_EQ(SendMessageW(hWnd, WM_PAINT, 0, 0), 1);
    EXPECT_EQ(dlg.m_nDrawCalls, nDrawCalls + 1);
}

struct StyleCase {
    const char* name;
    DWORD dwRemove;
    DWORD dwAdd;
    UINT nFlags;
    BOOL bChanged;
    MessageSequence sent;
};

TEST_F(BaseDlg, ModifiesItsStyleOnlyWhenTheBitsChange) {
    const MessageSequence kNone;
    const MessageSequence kRestyled = {WM_STYLECHANGING, WM_STYLECHANGED};
    // The new frame moves and sizes the client area, as Wine reports it.
    const MessageSequence kReframed = {WM_STYLECHANGING, WM_STYLECHANGED,     WM_WINDOWPOSCHANGING,
                                       WM_NCCALCSIZE,    WM_WINDOWPOSCHANGED, WM_MOVE,
                                       WM_SIZE};
    const StyleCase cases[] = {
        {"nothing removed or added", 0, 0, SWP_FRAMECHANGED, FALSE, kNone},
        {"removing a bit it lacks", WS_VSCROLL, 0, SWP_FRAMECHANGED, FALSE, kNone},
        {"adding a bit it has", 0, WS_CAPTION, SWP_FRAMECHANGED, FALSE, kNone},
        {"removing and adding the same bit", WS_THICKFRAME, WS_THICKFRAME, SWP_FRAMECHANGED, FALSE,
         kNone},
        {"adding a bit without flags", 0, WS_VSCROLL, 0, TRUE, kRestyled},
        {"removing a bit with a frame change", WS_THICKFRAME, 0, SWP_FRAMECHANGED, TRUE, kReframed},
    };
    for (const auto& c : cases) {
        RecordingDlg dlg;
        const HWND hWnd = dlg.CreateTopLevel();
        ASSERT_TRUE(hWnd) << c.name;
        MoveWindow(hWnd, 30, 40, 300, 200, FALSE);
        RECT rcBefore = {};
        GetWindowRect(hWnd, &rcBefore);
        const auto dwBefore = static_cast<DWORD>(GetWindowLongW(hWnd, GWL_STYLE));
        const SentMessageHook hook;

        EXPECT_EQ(Tessel::CBaseDlg::ModifyStyle(hWnd, c.dwRemove, c.dwAdd, c.nFlags), c.bChanged)
            << c.name;
        const auto dwAfter = static_cast<DWORD>(GetWindowLongW(hWnd, GWL_STYLE));
        EXPECT_EQ(dwAfter & c.dwAdd, c.dwAdd) << c.name;
        EXPECT_EQ(dwAfter & c.dwRemove & ~c.dwAdd, 0u) << c.name;
        EXPECT_EQ(dwAfter & ~(c.dwRemove | c.dwAdd), dwBefore & ~(c.dwRemove | c.dwAdd)) << c.name;
        EXPECT_TRUE(SameMessages(hook.MessagesTo(hWnd), c.sent)) << c.name;
        RECT rcAfter = {};
        GetWindowRect(hWnd, &rcAfter);
        EXPECT_TRUE(EqualRect(&rcBefore, &rcAfter)) << c.name;
    }
}

} // namespace
