// Runs inside a Wine virtual desktop of its own (see tests/framework/run_in_desktop.sh): the
// keyboard and the activation belong to this program alone. Real key events (SendInput) reach the
// shown main window through the program's own message loop and filter.
#include "settings/autorun_entry.h"
#include "app/command_line.h"
#include "settings/desktop_shortcut.h"
#include "tests/support/key_input.h"
#include "tests/mainwnd/main_wnd_fixture.h"
#include "app/start_up.h"
#include "timesync/time_exchange.h"
#include "tests/support/time_limits.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "tests/support/time_server.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// One step of a keyboard session: what the user does, and the state the window must reach.
struct Step {
    const char* name;
    std::function<void()> act;
    std::function<bool()> reached;
};

// Runs the steps in the window's message loop as the program runs it (DoModal with
// FilterDialogKeys). A thread timer takes the next step once the last one has reached its state:
// timer messages come only when no input is waiting, so every key has been handled by then. A
// step that does not reach its state within 5 s fails and ends the session.
class KeySession {
public:
    static void Run(HWND hWnd, const std::vector<Step>& steps) {
        KeySession session(hWnd, steps);
        s_pSession = &session;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTimer);
        Tessel::CBaseDlg::DoModal(hWnd, nullptr, FilterDialogKeys);
        KillTimer(nullptr, timer);
        s_pSession = nullptr;
        EXPECT_EQ(session.m_next, steps.size())
            << "the session ended at: " << (session.m_next ? steps[session.m_next - 1].name : "");
    }

private:
    KeySession(HWND hWnd, const std::vector<Step>& steps) : m_hWnd(hWnd), m_steps(steps) {}

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { s_pSession->Advance(); }

    void Advance() {
        if (m_next > 0 && !m_steps[m_next - 1].reached()) {
            if (GetTickCount64() - m_stepStart < ScaledTimeLimitMs(5000))
                return;
            ADD_FAILURE() << "not reached: " << m_steps[m_next - 1].name << "; " << Situation();
            End();
            return;
        }
        if (m_next == m_steps.size()) {
            End();
            return;
        }
        m_stepStart = GetTickCount64();
        m_steps[m_next++].act();
    }

    // Where the focus and the activation are.
    std::string Situation() const {
        const auto describe = [](HWND hWnd) {
            wchar_t name[64] = {};
            GetClassNameW(hWnd, name, 64);
            return testing::PrintToString(std::wstring(name)) + " " +
                   std::to_string(hWnd ? GetDlgCtrlID(hWnd) : -1);
        };
        return "focus: " + describe(GetFocus()) + ", active: " + describe(GetActiveWindow()) +
               (IsIconic(m_hWnd) ? ", minimised" : "");
    }

    void End() {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd); // posts WM_QUIT
        else
            PostQuitMessage(0);
    }

    static inline KeySession* s_pSession = nullptr;
    HWND m_hWnd;
    const std::vector<Step>& m_steps;
    size_t m_next = 0;
    ULONGLONG m_stepStart = 0;
};

// The buttons whose clicks reach the window (WM_COMMAND, BN_CLICKED) while it lives, in order.
class ClickedButtons {
public:
    explicit ClickedButtons(HWND hWnd) {
        s_hWnd = hWnd;
        s_ids.clear();
        m_hHook = SetWindowsHookExW(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId());
    }
    ~ClickedButtons() { UnhookWindowsHookEx(m_hHook); }
    ClickedButtons(const ClickedButtons&) = delete;
    ClickedButtons& operator=(const ClickedButtons&) = delete;

    int Last() const { return s_ids.empty() ? 0 : s_ids.back(); }

private:
    static LRESULT CALLBACK Record(int nCode, WPARAM wParam, LPARAM lParam) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the hook gets a CWPSTRUCT
        const auto* pSent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (nCode == HC_ACTION && pSent->hwnd == s_hWnd && pSent->message == WM_COMMAND &&
            HIWORD(pSent->wParam) == BN_CLICKED)
            s_ids.push_back(LOWORD(pSent->wParam));
        return CallNextHookEx(nullptr, nCode, wParam, lParam);
    }

    static inline HWND s_hWnd = nullptr;
    static inline std::vector<int> s_ids;
    HHOOK m_hHook = nullptr;
};

std::string ServerXml() {
    const auto srv = [](const char* url, const char* ip) {
        return std::string("  <srv>\n    <url>") + url + "</url>\n    <ip>" + ip +
               "</ip>\n  </srv>\n";
    };
    return "<srv_root>\n  <cfg>\n    <autorun></autorun>\n  </cfg>\n" +
           srv("first", "127.0.0.151") + srv("second", "127.0.0.152") +
           srv("third", "127.0.0.153") + srv("fourth", "127.0.0.154") + "</srv_root>\n";
}

bool IsChecked(HWND hCheckBox) {
    return SendMessageW(hCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class MainWindowKeyboard : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "not run in its own desktop";
        MainWindowTest::SetUp();
        WriteServerFile(ServerXml());
        ASSERT_TRUE(CreateMainWindow());
        m_program = GetModulePath();
        m_runValueName = GetCommandProgramName(WindowText(Wnd().m_hCmdEdit).c_str());
        ForgetOptions();
        ShowMainWindow(Wnd().GetHwnd());
    }
    void TearDown() override {
        AbandonExchange();
        ForgetOptions();
        MainWindowTest::TearDown();
    }
    void ForgetOptions() const {
        SetAutoRunEntry(m_runValueName.c_str(), L"", false);
        SetDesktopShortcut(m_program.c_str(), false);
    }

    bool HasFocus(HWND hControl) const { return GetFocus() == hControl; }
    int SelectedRow() const {
        return static_cast<int>(SendMessageW(Wnd().m_hSrvList, LVM_GETNEXTITEM,
                                             static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    static bool LooksDefault(HWND hButton) {
        return (GetWindowLongW(hButton, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    }
    // The default look is on "校时", or on "精确校时" while it has the focus; never on both.
    // Enter's default button stays "校时".
    bool SyncIsDefault() const {
        return LooksDefault(Wnd().m_hSyncBtn) && !LooksDefault(Wnd().m_hPreciseBtn) &&
               DefaultId() == IDC_SYNC_BTN;
    }
    bool PreciseLooksDefault() const {
        return LooksDefault(Wnd().m_hPreciseBtn) && !LooksDefault(Wnd().m_hSyncBtn) &&
               DefaultId() == IDC_SYNC_BTN;
    }
    int DefaultId() const { return LOWORD(SendMessageW(Wnd().GetHwnd(), DM_GETDEFID, 0, 0)); }
    void SelectRow(int row) const {
        ListView_SetItemState(Wnd().m_hSrvList, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(Wnd().m_hSrvList, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    bool LogNames(const wchar_t* address) const {
        return WindowText(Wnd().m_hLogEdit).find(L"正在连接: " + std::wstring(address) + L"...") !=
               std::wstring::npos;
    }
    bool ShowsHelpText() const { return WindowText(Wnd().m_hLogEdit) == kHelpText; }

    std::wstring m_program;
    std::wstring m_runValueName;
};

TEST_F(MainWindowKeyboard, TabAndShiftTabWalkTheControlsAndEscClosesNothing) {
    const CMainWnd& w = Wnd();
    const HWND order[] = {w.m_hSrvList,    w.m_hSyncBtn,     w.m_hPreciseBtn, w.m_hCmdEdit,
                          w.m_hAutoRunChk, w.m_hShortcutChk, w.m_hLogEdit,    w.m_hSrvList};
    // The look of the default button at each place: 精确校时 while it has the focus.
    const auto defaultLookAt = [&](HWND hFocus) {
        return hFocus == w.m_hPreciseBtn ? PreciseLooksDefault() : SyncIsDefault();
    };
    std::vector<Step> steps = {
        {"at the start the list has the focus, its first row focused and none selected", [] {},
         [&] {
             return HasFocus(w.m_hSrvList) && SelectedRow() == -1 &&
                    SendMessageW(w.m_hSrvList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                 LVNI_FOCUSED) == 0;
         }},
    };
    const char* forward[] = {
        "Tab to 校时",         "Tab to 精确校时",         "Tab to the command box",
        "Tab to 开机自启",     "Tab to 创建桌面快捷方式", "Tab to the log pane",
        "Tab back to the list"};
    for (size_t i = 0; i < std::size(forward); ++i) {
        steps.push_back({forward[i], [] { PressKeys({VK_TAB}); },
                         [&, to = order[i + 1]] { return HasFocus(to) && defaultLookAt(to); }});
        if (order[i + 1] == w.m_hLogEdit)
            steps.push_back(
                {"Esc in the log pane", [] { PressKeys({VK_ESCAPE}); },
                 [&] { return IsWindowVisible(w.GetHwnd()) && HasFocus(w.m_hLogEdit); }});
    }
    const char* backward[] = {"Shift+Tab to the log pane", "Shift+Tab to 创建桌面快捷方式",
                              "Shift+Tab to 开机自启",     "Shift+Tab to the command box",
                              "Shift+Tab to 精确校时",     "Shift+Tab to 校时",
                              "Shift+Tab back to the list"};
    for (size_t i = 0; i < std::size(backward); ++i)
        steps.push_back({backward[i],
                         [] {
                             PressKeys({VK_SHIFT, VK_TAB});
                         },
                         [&, to = order[6 - i]] { return HasFocus(to) && defaultLookAt(to); }});
    steps.push_back({"Tab to 校时, Down leaves the focus there",
                     [] {
                         PressKeys({VK_TAB});
                         PressKeys({VK_DOWN});
                     },
                     [&] { return HasFocus(w.m_hSyncBtn); }});
    steps.push_back({"Shift+Tab back to the list",
                     [] {
                         PressKeys({VK_SHIFT, VK_TAB});
                     },
                     [&] { return HasFocus(w.m_hSrvList); }});
    steps.push_back({"Esc on the list", [] { PressKeys({VK_ESCAPE}); },
                     [&] { return IsWindowVisible(w.GetHwnd()) && HasFocus(w.m_hSrvList); }});
    KeySession::Run(w.GetHwnd(), steps);
}

// Enter presses 校时 from every control but 精确校时, which it presses while that has the focus,
// however the focus came there. Each server is asked once: no wait between two queries.
TEST_F(MainWindowKeyboard, EnterSynchronisesWithTheSelectedRowOnly) {
    const CMainWnd& w = Wnd();
    const ServerReply answer = AnswerWith(0xDA304000);
    TestTimeServer first("127.0.0.151", answer), second("127.0.0.152", answer),
        third("127.0.0.153", answer), fourth("127.0.0.154", answer);
    const auto asked = [&](int firstCount, int secondCount, int thirdCount, int fourthCount) {
        return first.Connections() == firstCount && second.Connections() == secondCount &&
               third.Connections() == thirdCount && fourth.Connections() == fourthCount;
    };
    const auto tab = [](int times) {
        for (int i = 0; i < times; ++i)
            PressKeys({VK_TAB});
    };
    const ClickedButtons clicked(w.GetHwnd());
    const auto pressed = [&](int id) { return clicked.Last() == id; };
    KeySession::Run(
        w.GetHwnd(),
        {
            {"Enter with no row selected", [] { PressKeys({VK_RETURN}); },
             [&] {
                 return pressed(IDC_SYNC_BTN) && ShowsHelpText() && asked(0, 0, 0, 0) &&
                        !IsExchangeOpen();
             }},
            {"Down selects the second row", [] { PressKeys({VK_DOWN}); },
             [&] { return SelectedRow() == 1 && HasFocus(w.m_hSrvList); }},
            {"Enter asks the second server", [] { PressKeys({VK_RETURN}); },
             [&] { return asked(0, 1, 0, 0) && !IsExchangeOpen() && !ShowsHelpText(); }},
            {"End selects the last row", [] { PressKeys({VK_END}); },
             [&] { return SelectedRow() == 3; }},
            {"Tab to 开机自启, Enter presses 校时",
             [&] {
                 tab(4);
                 PressKeys({VK_RETURN});
             },
             [&] {
                 return HasFocus(w.m_hAutoRunChk) && pressed(IDC_SYNC_BTN) && asked(0, 1, 0, 1) &&
                        !IsExchangeOpen() && SyncIsDefault();
             }},
            {"Shift+Tab to 精确校时, the third row selected: Enter presses 精确校时",
             [&] {
                 SelectRow(2);
                 PressKeys({VK_SHIFT, VK_TAB});
                 PressKeys({VK_SHIFT, VK_TAB});
                 PressKeys({VK_RETURN});
             },
             [&] {
                 return HasFocus(w.m_hPreciseBtn) && PreciseLooksDefault() &&
                        pressed(IDC_PRECISE_BTN) && asked(0, 1, 1, 1) && LogNames(L"127.0.0.153");
             }},
            {"Tab to the command box: 校时 looks the default again", [&] { tab(1); },
             [&] { return HasFocus(w.m_hCmdEdit) && SyncIsDefault(); }},
            {"the focus goes to 精确校时 as a click gives it, the first row selected: Enter "
             "presses 精确校时",
             [&] {
                 SelectRow(0);
                 SetFocus(w.m_hPreciseBtn);
                 PressKeys({VK_RETURN});
             },
             [&] {
                 return HasFocus(w.m_hPreciseBtn) && PreciseLooksDefault() &&
                        pressed(IDC_PRECISE_BTN) && asked(1, 1, 1, 1) && LogNames(L"127.0.0.151");
             }},
        });
}

TEST_F(MainWindowKeyboard, SpaceOnACheckBoxGoesThroughItsClickHandler) {
    const CMainWnd& w = Wnd();
    const auto tab = [] { PressKeys({VK_TAB}); };
    const auto space = [] { PressKeys({VK_SPACE}); };
    const auto registered = [&] { return IsAutoRunRegistered(m_runValueName.c_str()); };
    const auto shortcut = [&] { return DesktopShortcutExists(m_program.c_str()); };
    KeySession::Run(
        w.GetHwnd(),
        {
            {"Tab to 校时", tab, [&] { return HasFocus(w.m_hSyncBtn); }},
            {"Tab to 精确校时", tab, [&] { return HasFocus(w.m_hPreciseBtn); }},
            {"Tab to the command box", tab, [&] { return HasFocus(w.m_hCmdEdit); }},
            {"Tab to 开机自启", tab, [&] { return HasFocus(w.m_hAutoRunChk); }},
            {"Space ticks 开机自启: the Run value is written", space,
             [&] { return IsChecked(w.m_hAutoRunChk) && registered(); }},
            {"Space clears it: the Run value is deleted", space,
             [&] { return !IsChecked(w.m_hAutoRunChk) && !registered(); }},
            {"Tab to 创建桌面快捷方式", tab, [&] { return HasFocus(w.m_hShortcutChk); }},
            {"Space ticks it: the shortcut is made", space,
             [&] { return IsChecked(w.m_hShortcutChk) && shortcut(); }},
            {"Space clears it: the shortcut is deleted", space,
             [&] { return !IsChecked(w.m_hShortcutChk) && !shortcut(); }},
        });
}

TEST_F(MainWindowKeyboard, TheFocusComesBackToItsControlAfterDeactivationAndMinimising) {
    const CMainWnd& w = Wnd();
    const HWND hWnd = w.GetHwnd();
    const HWND hOther = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 100, 100, nullptr,
                                        nullptr, nullptr, nullptr);
    ASSERT_TRUE(hOther);
    const auto tab = [] { PressKeys({VK_TAB}); };
    const auto active = [&] { return GetActiveWindow() == hWnd; };
    KeySession::Run(
        hWnd, {
                  {"Tab to 校时", tab, [&] { return HasFocus(w.m_hSyncBtn); }},
                  {"Tab to 精确校时", tab, [&] { return HasFocus(w.m_hPreciseBtn); }},
                  {"Tab to the command box", tab, [&] { return HasFocus(w.m_hCmdEdit); }},
                  {"another window is shown and activated", [&] { ShowWindow(hOther, SW_SHOW); },
                   [&] { return GetActiveWindow() == hOther; }},
                  {"the main window is activated again", [&] { SetForegroundWindow(hWnd); },
                   [&] { return active() && HasFocus(w.m_hCmdEdit); }},
                  {"Tab to 开机自启", tab, [&] { return HasFocus(w.m_hAutoRunChk); }},
                  {"minimised", [&] { PostMessageW(hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0); },
                   [&] { return IsIconic(hWnd) != FALSE; }},
                  {"restored", [&] { PostMessageW(hWnd, WM_SYSCOMMAND, SC_RESTORE, 0); },
                   [&] { return !IsIconic(hWnd) && active() && HasFocus(w.m_hAutoRunChk); }},
              });
    DestroyWindow(hOther);
}

} // namespace
