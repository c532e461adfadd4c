#include "timesync/clock_update.h"
#include "tests/support/exchange_host.h"
#include "timesync/failure_hint.h"
#include "timesync/time_query.h"
#include "tests/support/message_pump.h"
#include "tests/support/socket_checks.h"
#include "tests/support/time_server.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <optional>
#include <regex>
#include <string>

namespace {

constexpr std::uint32_t k2027 = 4'007'750'400; // 2027-01-01 00:00:00 UTC

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

constexpr wchar_t kNotSet[] =
    L"不能设置新的日期和时间! #1314.\r\n设置时间需要管理员权限：请右键单击 "
    L"Vexlo，选择“以管理员身份运行”。";
constexpr wchar_t kNoAnswerHint[] =
    L"服务器没有应答：它可能已停止服务，或者防火墙阻止了 TCP 端口 37。请换一个服务器再试。";
constexpr wchar_t kRefusedHint[] =
    L"服务器拒绝了连接：它没有在端口 37 上提供时间服务。请换一个服务器。";

// The local clock stands at 2016-01-01 and refuses to be set unless a test says otherwise.
class TimeExchange : public ::testing::Test {
protected:
    void TearDown() override {
        AbandonExchange();
        g_unattended = false;
        TakeQuitCode();
    }

    // Starts an exchange with the given loopback address and remembers its socket.
    void Start(const char* address) {
        m_address = address;
        ASSERT_TRUE(ConnectTimeServer(m_host.Log(), m_host.Window(), address));
        m_socket = g_timeSocket;
    }

    void AwaitEnd(DWORD timeoutMs = 10'000) {
        ASSERT_TRUE(PumpMessagesUntil([] { return !IsExchangeOpen(); }, timeoutMs))
            << "exchange still open; log so far: " << testing::PrintToString(m_host.LogText());
        EXPECT_TRUE(IsClosedSocket(m_socket));
    }

    // The lines up to and including the successful connection.
    std::wstring ConnectedLog() const {
        return L"\r\nStarted up " + Widen(m_winsock.data.szDescription) + L"\r\n\r\n" + L"Socket " +
               std::to_wstring(static_cast<int>(m_socket)) + L"  已经成功创建!\r\n\r\n" +
               L"正在连接: " + Widen(m_address) + L"..." + L"\r\n已成功连接到时间服务器\r\n\r\n" +
               L"正在接受数据，请稍候...";
    }

    // The log, with the offset line (which depends on the moment) put as "[offset]".
    std::wstring LogText() const {
        static const std::wregex correction(
            L"\r\n本机时钟(慢|快) \\d+\\.\\d{3} 秒（±\\d+\\.\\d{3} 秒）。");
        return std::regex_replace(m_host.LogText(), correction, L"\r\n[offset]");
    }

    std::wstring AnsweredLog(std::uint32_t seconds,
                             const std::wstring& outcome = kNotSet +
                                                           std::wstring(L"\r\n[offset]")) const {
        return ConnectedLog() + L"\r\n接受的时间为从1900年1月1日起 " + std::to_wstring(seconds) +
               L" 秒 \r\n" + outcome;
    }

    std::wstring ClosedEarlyLog(int bytes) const {
        return ConnectedLog() + L"\r\n服务器在发送完 4 字节之前关闭了连接 (已收到 " +
               std::to_wstring(bytes) + L" 字节)! #10101.";
    }

    WinsockSession m_winsock;
    TestQuerySpacing m_spacing;
    ExchangeHost m_host;
    StandInClock m_clock{{2027, 1, 5, 1, 8, 0, 0, 0}};
    std::string m_address;
    SOCKET m_socket = INVALID_SOCKET;
};

TEST_F(TimeExchange, LogsEveryStepOfAnAnsweredExchange) {
    TestTimeServer server("127.0.0.10", AnswerWith(k2027));
    Start("127.0.0.10");
    AwaitEnd();
    EXPECT_EQ(LogText(), AnsweredLog(4007750400u));
    EXPECT_EQ(g_serverTime, 4007750400u);
    EXPECT_EQ(LastExchangeOutcome(), ExchangeOutcome::ClockNotSettable);
}

TEST_F(TimeExchange, FailsWhenTheServerClosesEarly) {
    const struct {
        const char* address;
        std::string bytes;
    } cases[] = {{"127.0.0.16", ""}, {"127.0.0.17", "\xDA\x30"}, {"127.0.0.18", "\xDA\x30\x40"}};
    for (const auto& c : cases) {
        TestTimeServer server(c.address, SendThenClose(c.bytes));
        m_host.ClearLog();
        Start(c.address);
        AwaitEnd();
        EXPECT_EQ(LogText(), ClosedEarlyLog(static_cast<int>(c.bytes.size())));
        EXPECT_EQ(LastExchangeOutcome(), ExchangeOutcome::NoAnswer);
    }
}

TEST_F(TimeExchange, ReportsARefusedConnectionAndClosesTheSocket) {
    Start("127.0.0.19"); // nothing listens there
    AwaitEnd();
    const std::wstring expected =
        L"\r\nStarted up " + Widen(m_winsock.data.szDescription) + L"\r\n\r\nSocket " +
        std::to_wstring(static_cast<int>(m_socket)) +
        L"  已经成功创建!\r\n\r\n正在连接: 127.0.0.19...\r\n连接错误： #10061.\r\n" + kRefusedHint;
    EXPECT_EQ(LogText(), expected);
}

TEST_F(TimeExchange, WaitsForASilentServerUntilAbandoned) {
    TestTimeServer server("127.0.0.20", AcceptAndStaySilent());
    Start("127.0.0.20");
    PumpMessagesFor(1500);
    EXPECT_TRUE(IsExchangeOpen());
    EXPECT_EQ(LogText(), ConnectedLog());
    AbandonExchange();
    EXPECT_FALSE(IsExchangeOpen());
    EXPECT_TRUE(IsClosedSocket(m_socket));
    EXPECT_EQ(LogText(),
              ConnectedLog() + L"\r\n等待时间服务器应答超时! #10060.\r\n" + kNoAnswerHint);
}

TEST_F(TimeExchange, GivesUpOnASilentServerAfterFifteenSeconds) {
    TestTimeServer silent("127.0.0.61", AcceptAndStaySilent());
    const ULONGLONG start = GetTickCount64();
    Start("127.0.0.61");
    // Twice the bound at most, so that a far longer bound fails here and not by CTest's time-out.
    if (!PumpMessagesUntil([] { return !IsExchangeOpen(); }, 30'000)) {
        AbandonExchange(); // the silent server waits for the client's close
        FAIL() << "still waiting after 30 s";
    }
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 14'500u);
    EXPECT_LE(elapsed, 25'000u); // a bound twice as long fails; a busy machine's delay does not
    EXPECT_EQ(LogText(),
              ConnectedLog() + L"\r\n等待时间服务器应答超时! #10060.\r\n" + kNoAnswerHint);
    EXPECT_EQ(LastExchangeOutcome(), ExchangeOutcome::NoAnswer);
    EXPECT_TRUE(
        PumpMessagesUntil([&] { return silent.ClosedByClient() == 1; }, kServerSeesCloseMs));
}

TEST_F(TimeExchange, TheReadNeverTakesBytesBeyondTheAnswer) {
    // Three bytes, then the last one with three more behind it. A read that asked for more than
    // the one missing byte would take those three too, and the close would no longer be a reset.
    // On a busy machine Wine now and then reports a reset to the server's waiting read as a
    // clean close, so the exchange is tried up to three times; a read that takes the three bytes
    // closes cleanly every time.
    ServerReply reply;
    reply.pieces = {"\xEE\xE1\x6B", std::string("\x00\x01\x02\x03", 4)};
    reply.pauseMs = 300;
    reply.holdOpen = true;
    TestTimeServer server("127.0.0.62", reply);
    for (int attempt = 1; attempt <= 3 && server.ResetByClient() == 0; ++attempt) {
        m_host.ClearLog();
        Start("127.0.0.62");
        AwaitEnd();
        EXPECT_EQ(LogText(), AnsweredLog(k2027));
        PumpMessagesUntil(
            [&] { return server.ResetByClient() + server.ClosedByClient() == attempt; },
            kServerSeesCloseMs);
    }
    EXPECT_GE(server.ResetByClient(), 1)
        << "the three bytes after the answer were read: every close was clean";
}

TEST_F(TimeExchange, ANewExchangeClosesTheOpenOne) {
    TestTimeServer silent("127.0.0.21", AcceptAndStaySilent());
    TestTimeServer answering("127.0.0.22", AnswerWith(k2027));
    Start("127.0.0.21");
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_host.LogText() == ConnectedLog(); }))
        << testing::PrintToString(m_host.LogText());
    m_host.ClearLog();
    Start("127.0.0.22");
    EXPECT_TRUE(PumpMessagesUntil([&] { return silent.ClosedByClient() == 1; }));
    AwaitEnd();
    EXPECT_EQ(LogText(), AnsweredLog(k2027));
}

TEST_F(TimeExchange, IgnoresNotificationsOfOtherSockets) {
    TestTimeServer silent("127.0.0.23", AcceptAndStaySilent());
    Start("127.0.0.23");
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_host.LogText() == ConnectedLog(); }));
    OnSocketNotify(m_socket + 4, WSAMAKESELECTREPLY(FD_READ, 0));
    OnSocketNotify(m_socket + 4, WSAMAKESELECTREPLY(FD_CONNECT, WSAECONNREFUSED));
    EXPECT_EQ(LogText(), ConnectedLog());
    EXPECT_TRUE(IsExchangeOpen());
    // A read error reported for the exchange's own socket ends it.
    OnSocketNotify(m_socket, WSAMAKESELECTREPLY(FD_READ, WSAECONNRESET));
    EXPECT_FALSE(IsExchangeOpen());
    EXPECT_EQ(LogText(), ConnectedLog() + L"\r\nFD_READ 错误! #10054.");
}

TEST_F(TimeExchange, EndsWithTheClockUpdatesOutcomeAndUnattendedEndsTheLoop) {
    g_unattended = true;
    const struct {
        const char* address = nullptr;
        std::optional<std::uint32_t> answer; // none: nothing listens
        bool clockAccepts = false;
        ExchangeOutcome outcome = ExchangeOutcome::None;
    } cases[] = {
        {"127.0.0.24", kCountIn2070, false, ExchangeOutcome::AnswerRefused},
        {"127.0.0.25", std::nullopt, false, ExchangeOutcome::NoAnswer},
        {"127.0.0.33", k2027, false, ExchangeOutcome::ClockNotSettable},
        {"127.0.0.34", k2027, true, ExchangeOutcome::ClockSet},
        {"127.0.0.75", 16, true, ExchangeOutcome::ClockSet}, // 2036-02-07 06:28:32, after the wrap
    };
    for (const auto& c : cases) {
        const StandInClock clock({2027, 1, 5, 1, 8, 0, 0, 0}, c.clockAccepts);
        std::optional<TestTimeServer> server;
        if (c.answer)
            server.emplace(c.address, AnswerWith(*c.answer));
        Start(c.address);
        AwaitEnd();
        EXPECT_EQ(LastExchangeOutcome(), c.outcome) << c.address;
        EXPECT_EQ(TakeQuitCode(), 0) << c.address;
    }
}

TEST_F(TimeExchange, NotificationsLeftByAClosedExchangeNeverReachTheNext) {
    TestTimeServer silent("127.0.0.27", AcceptAndStaySilent());
    Start("127.0.0.26"); // refused: its FD_CONNECT with the error stays queued
    Sleep(300);
    m_host.ClearLog();
    // Under Wine the new socket takes the closed one's handle value.
    Start("127.0.0.27");
    PumpMessagesFor(500);
    EXPECT_EQ(LogText(), ConnectedLog());
    EXPECT_TRUE(IsExchangeOpen());
    AbandonExchange(); // the silent server waits for the client's close
}

TEST_F(TimeExchange, ACloseReportedWithAnErrorCarriesThatError) {
    TestTimeServer silent("127.0.0.29", AcceptAndStaySilent());
    Start("127.0.0.29");
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_host.LogText() == ConnectedLog(); }));
    OnSocketNotify(m_socket, WSAMAKESELECTREPLY(FD_CLOSE, WSAECONNABORTED));
    EXPECT_EQ(LogText(),
              ConnectedLog() + L"\r\n服务器在发送完 4 字节之前关闭了连接 (已收到 0 字节)! #10053.");
    EXPECT_FALSE(IsExchangeOpen());
}

TEST(FailureHint, SaysWhatToDoForTheCausesTheUserCanActOn) {
    const std::pair<int, const wchar_t*> cases[] = {
        {1314, L"设置时间需要管理员权限：请右键单击 Vexlo，选择“以管理员身份运行”。"},
        {10060, kNoAnswerHint},
        {10061, kRefusedHint},
        {10065, L"没有通往该服务器所在网络的路由：请检查网络连接。"},
        {10051, L"没有通往该服务器所在网络的路由：请检查网络连接。"},
        {0, nullptr},
        {10054, nullptr}, // reset by the server
        {10101, nullptr}, // closed before the answer
        {10049, nullptr}, // an address that cannot be used
        {5, nullptr},
    };
    for (const auto& [code, hint] : cases)
        EXPECT_STREQ(FailureHint(code), hint) << code;
}

TEST(AppendFailureHint, FollowsTheFailureLineInItsShape) {
    ExchangeHost host;
    AppendLog(host.Log(), L"连接错误： #%i.\r\n\r\n", 10061);
    AppendFailureHint(host.Log(), 10061, HintShape::Paragraph);
    AppendLog(host.Log(), L"连接错误： #%i.", 10061);
    AppendFailureHint(host.Log(), 10061, HintShape::Line);
    AppendFailureHint(host.Log(), 10054, HintShape::Line); // nothing to say
    EXPECT_EQ(host.LogText(), std::wstring(L"连接错误： #10061.\r\n\r\n") + kRefusedHint +
                                  L"\r\n\r\n连接错误： #10061.\r\n" + kRefusedHint);
}

TEST(ServerAddressOf, ReadsTheTextAsTheSocketLibraryDoes) {
    const std::pair<const char*, u_long> cases[] = {
        {"127.0.0.1", 0x7F000001},   {"0127.0.0.1", 0x57000001}, // octal: 87.0.0.1
        {"0177.0.0.32", 0x7F000020}, {"999.1.1.1", INADDR_NONE},
        {"1..2.3.4", INADDR_NONE},   {"", INADDR_NONE},
    };
    for (const auto& [text, host] : cases) {
        const sockaddr_in address = ServerAddressOf(text);
        EXPECT_EQ(ntohl(address.sin_addr.s_addr), host) << text;
        EXPECT_EQ(address.sin_family, AF_INET);
        EXPECT_EQ(ntohs(address.sin_port), 37);
    }
}

TEST_F(TimeExchange, AnOctalAddressReachesTheServerItNames) {
    TestTimeServer server("127.0.0.32", AnswerWith(k2027));
    Start("0177.0.0.32");
    AwaitEnd();
    EXPECT_EQ(LogText(), AnsweredLog(k2027));
}

TEST_F(TimeExchange, AnUnreadableAddressFailsWithoutConnecting) {
    EXPECT_FALSE(ConnectTimeServer(m_host.Log(), m_host.Window(), "999.1.1.1"));
    EXPECT_FALSE(IsExchangeOpen());
    const std::wstring log = m_host.LogText();
    EXPECT_TRUE(std::regex_match(log, std::wregex(L"\r\nStarted up WinSock 2\\.0\r\n\r\n"
                                                  L"Socket \\d+  已经成功创建!\r\n\r\n"
                                                  L"连接错误： #10049\\.\r\n\r\n")))
        << testing::PrintToString(log);
}

TEST(SelectedServerAddress, IsTheSecondColumnCutTo31Characters) {
    ExchangeHost host;
    InitCommonControls();
    const HWND hList = CreateWindowExW(0, L"SysListView32", L"", WS_CHILD | LVS_REPORT, 0, 0, 300,
                                       200, host.Window(), nullptr, nullptr, nullptr);
    LVCOLUMNW column = {};
    ListView_InsertColumn(hList, 0, &column);
    ListView_InsertColumn(hList, 1, &column);
    LVITEMW item = {};
    ListView_InsertItem(hList, &item);
    ListView_SetItemText(hList, 0, 1, const_cast<wchar_t*>(L"1234567890.234567890.234567890.234"));
    EXPECT_EQ(SelectedServerAddress(hList), L""); // nothing selected
    ListView_SetItemState(hList, 0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(SelectedServerAddress(hList), L"1234567890.234567890.234567890.");
}

TEST(AppendLog, AppendsAtTheEndWhateverTheSelectionAndLength) {
    for (const size_t length : {3, 70'000}) {
        ExchangeHost host;
        const std::wstring text(length, L'a');
        SetWindowTextW(host.Log(), text.c_str());
        SendMessageW(host.Log(), EM_SETSEL, 0, 2);
        AppendLog(host.Log(), L"|end");
        EXPECT_EQ(host.LogText(), text + L"|end") << length;
    }
}

TEST(AppendLog, CutsLongTextsAndSwallowsTextWithoutTarget) {
    ExchangeHost host;
    AppendLog(host.Log(), L"%s", std::wstring(1500, L'x').c_str());
    EXPECT_EQ(host.LogText(), std::wstring(1023, L'x'));
    AppendLog(nullptr, L"lost");
    AppendLog(host.Log(), L"|%i|%hs|%u", -7, "narrow", 4294967295u);
    EXPECT_EQ(host.LogText(), std::wstring(1023, L'x') + L"|-7|narrow|4294967295");
}

} // namespace

// Both roads against servers whose clocks run known offsets from the host's: the time handed to
// the clock, against the host's clock at that moment plus the offset.
TEST_F(TimeExchange, BothRoadsSetTheServersTimeWithinTheirBounds) {
    const TestQuerySpacing spacing(300 * kTicksPerMillisecond);
    const struct {
        const char* address = nullptr;
        std::int64_t offsetMs = 0;
        SyncRoad road = SyncRoad::Quick;
        double boundMs = 0;
    } cases[] = {
        {"127.0.0.66", 300, SyncRoad::Quick, 520},     {"127.0.0.67", -700, SyncRoad::Quick, 520},
        {"127.0.0.68", 1'250, SyncRoad::Quick, 520},   {"127.0.0.69", 300, SyncRoad::Precise, 15},
        {"127.0.0.70", -2'650, SyncRoad::Precise, 15},
    };
    for (const auto& c : cases) {
        const StandInClock clock({2027, 1, 5, 1, 8, 0, 0, 0}, true);
        TestTimeServer server(c.address, AnswerWithOffset(c.offsetMs));
        m_address = c.address;
        ASSERT_TRUE(ConnectTimeServer(m_host.Log(), m_host.Window(), c.address, c.road));
        m_socket = g_timeSocket;
        AwaitEnd(30'000);
        ASSERT_TRUE(StandInClock::s_set) << c.address << ": " << testing::PrintToString(LogText());
        EXPECT_LT(std::abs(StandInClock::ErrorMs(c.offsetMs)), c.boundMs) << c.address;
        EXPECT_EQ(LastExchangeOutcome(), ExchangeOutcome::ClockSet) << c.address;
    }
}

TEST_F(TimeExchange, ThePreciseRoadLogsEachAnswerAndSpacesItsQueries) {
    const TestQuerySpacing spacing(300 * kTicksPerMillisecond);
    TestTimeServer server("127.0.0.71", AnswerWithOffset(-700));
    m_address = "127.0.0.71";
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(ConnectTimeServer(m_host.Log(), m_host.Window(), "127.0.0.71", SyncRoad::Precise));
    m_socket = g_timeSocket;
    AwaitEnd(30'000);
    const std::wstring log = LogText();
    const std::wregex expected(
        L"\r\nStarted up [\\s\\S]*接受的时间为从1900年1月1日起 \\d+ 秒 \r\n"
        L"(精确校时：已收到 \\d 个应答，误差还有 ±0\\.\\d{3} 秒，约需 \\d+ 秒。\r\n){6,9}"
        L"不能设置新的日期和时间! #1314\\.\r\n.+\r\n\\[offset\\]");
    EXPECT_TRUE(std::regex_match(log, expected)) << testing::PrintToString(log);
    // At least the spacing between two connects, so at least eight spacings for nine queries.
    EXPECT_GE(server.Connections(), 7);
    EXPECT_GE(GetTickCount64() - start, (server.Connections() - 1) * 300u);
}

// The real spacing: public servers block clients that ask one server more often than every four
// seconds.
TEST_F(TimeExchange, ASecondQuickSyncOfOneServerWaitsForTheRestOfFourSeconds) {
    const TestQuerySpacing spacing(4 * kTicksPerSecond);
    TestTimeServer server("127.0.0.72", AnswerWith(k2027));
    Start("127.0.0.72");
    AwaitEnd();
    const ULONGLONG first = GetTickCount64();
    m_host.ClearLog();
    Start("127.0.0.72");
    EXPECT_TRUE(std::regex_match(
        m_host.LogText(), std::wregex(L"距上次询问这台服务器不到 4 秒：等待 [34]\\.\\d 秒后再"
                                      L"询问，以免被服务器拒绝。\r\n")))
        << testing::PrintToString(m_host.LogText());
    EXPECT_EQ(server.Connections(), 1);
    AwaitEnd(10'000);
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_GE(GetTickCount64() - first, 3'900u);
}

TEST_F(TimeExchange, AnotherSyncEndsASearchWithoutSettingTheClock) {
    const TestQuerySpacing spacing(300 * kTicksPerMillisecond);
    const StandInClock clock({2027, 1, 5, 1, 8, 0, 0, 0}, true);
    TestTimeServer searched("127.0.0.73", AnswerWithOffset(-2'000));
    TestTimeServer quick("127.0.0.74", AnswerWithOffset(3'000));
    ASSERT_TRUE(ConnectTimeServer(m_host.Log(), m_host.Window(), "127.0.0.73", SyncRoad::Precise));
    ASSERT_TRUE(PumpMessagesUntil([&] { return searched.Connections() == 2; }, 10'000));
    EXPECT_FALSE(StandInClock::s_set);
    ASSERT_TRUE(ConnectTimeServer(m_host.Log(), m_host.Window(), "127.0.0.74"));
    m_socket = g_timeSocket;
    AwaitEnd();
    PumpMessagesFor(1'000); // the search would have asked again by now
    EXPECT_EQ(searched.Connections(), 2);
    ASSERT_TRUE(StandInClock::s_set);
    EXPECT_LT(std::abs(StandInClock::ErrorMs(3'000)), 520);
}
