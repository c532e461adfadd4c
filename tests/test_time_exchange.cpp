#include "clock_update.h"
#include "exchange_host.h"
#include "message_pump.h"
#include "socket_checks.h"
#include "time_server.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

constexpr std::uint32_t k2016 = 0xDA304000; // 2016-01-01 00:00:00 UTC

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::uint32_t SecondsAtNewYear(int year) {
    SYSTEMTIME newYear = {};
    newYear.wYear = static_cast<WORD>(year);
    newYear.wMonth = 1;
    newYear.wDay = 1;
    FILETIME time;
    SystemTimeToFileTime(&newYear, &time);
    const ULONGLONG intervals = (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return static_cast<std::uint32_t>((intervals - 94354848000000000ULL) / 10'000'000ULL);
}

int LocalYear() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wYear;
}

std::wstring ShortDate(std::uint32_t seconds) {
    const SYSTEMTIME t = TimeFromSecondsSince1900(seconds);
    wchar_t date[128] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE, &t, nullptr, date,
                   128);
    return date;
}

// What the clock update logs for an answer that a clock under Wine cannot take.
std::wstring ClockOutcome(std::uint32_t seconds) {
    if (!IsWithinTenYears(TimeFromSecondsSince1900(seconds).wYear, LocalYear()))
        return L"获得的日期为 " + ShortDate(seconds) + L", 时间超过 10年, 忽略此次设置!\r\n";
    return L"不能设置新的日期和时间!";
}

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

    std::wstring AnsweredLog(std::uint32_t seconds) const {
        return ConnectedLog() + L"\r\n接受的时间为从1900年1月1日起 " + std::to_wstring(seconds) +
               L" 秒 \r\n" + ClockOutcome(seconds);
    }

    std::wstring ClosedEarlyLog(int bytes) const {
        return ConnectedLog() + L"\r\n服务器在发送完 4 字节之前关闭了连接 (已收到 " +
               std::to_wstring(bytes) + L" 字节)! #10101.";
    }

    WinsockSession m_winsock;
    ExchangeHost m_host;
    std::string m_address;
    SOCKET m_socket = INVALID_SOCKET;
};

TEST_F(TimeExchange, LogsEveryStepOfAnAnsweredExchange) {
    TestTimeServer server("127.0.0.10", AnswerWith(k2016));
    Start("127.0.0.10");
    AwaitEnd();
    EXPECT_EQ(m_host.LogText(), AnsweredLog(3660595200u));
    EXPECT_EQ(g_serverTime, 3660595200u);
    EXPECT_EQ(LastExchangeOutcome(), ExchangeOutcome::Answered);
}

TEST_F(TimeExchange, SetsTheClockFromAnAnswerOnASecondBoundary) {
    TestTimeServer server("127.0.0.11", AnswerOnSecondBoundary());
    Start("127.0.0.11");
    AwaitEnd();
    const std::wstring log = m_host.LogText();
    const std::wstring head = ConnectedLog() + L"\r\n接受的时间为从1900年1月1日起 " +
                              std::to_wstring(g_serverTime) + L" 秒 \r\n";
    ASSERT_EQ(log.substr(0, head.size()), head);
    const std::wregex report(L"\r\n系统的日期和时间已成功更改：\r\n"
                             L"以前\t\\d{4}/\\d{1,2}/\\d{1,2}, \\d{2}:\\d{2}:\\d{2}\\.\\d{3} \r\n"
                             L"现在\t\\d{4}/\\d{1,2}/\\d{1,2}, \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\.");
    EXPECT_TRUE(std::regex_match(log.substr(head.size()), report))
        << testing::PrintToString(log.substr(head.size()));
}

TEST_F(TimeExchange, AppliesTheTenYearGuardToRealAnswers) {
    const struct {
        const char* address;
        int yearsAgo;
        bool refused;
    } cases[] = {{"127.0.0.12", 10, false}, {"127.0.0.13", 11, true}};
    for (const auto& c : cases) {
        const std::uint32_t seconds = SecondsAtNewYear(LocalYear() - c.yearsAgo);
        TestTimeServer server(c.address, AnswerWith(seconds));
        m_host.ClearLog();
        Start(c.address);
        AwaitEnd();
        EXPECT_EQ(m_host.LogText(), AnsweredLog(seconds)) << c.yearsAgo << " years";
        EXPECT_EQ(m_host.LogText().ends_with(L"忽略此次设置!\r\n"), c.refused);
    }
}

TEST_F(TimeExchange, ReadsATrickledAnswerWhole) {
    TestTimeServer server("127.0.0.14", Trickle(k2016, 150));
    Start("127.0.0.14");
    AwaitEnd();
    EXPECT_EQ(m_host.LogText(), AnsweredLog(k2016));
}

TEST_F(TimeExchange, IgnoresBytesAfterTheFirstFour) {
    TestTimeServer server("127.0.0.15", SendThenClose(BigEndian(k2016) + BigEndian(12345)));
    Start("127.0.0.15");
    AwaitEnd();
    EXPECT_EQ(m_host.LogText(), AnsweredLog(k2016));
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
        EXPECT_EQ(m_host.LogText(), ClosedEarlyLog(static_cast<int>(c.bytes.size())));
        EXPECT_EQ(LastExchangeOutcome(), ExchangeOutcome::Failed);
    }
}

TEST_F(TimeExchange, ReportsARefusedConnectionAndClosesTheSocket) {
    Start("127.0.0.19"); // nothing listens there
    AwaitEnd();
    const std::wstring expected =
        L"\r\nStarted up " + Widen(m_winsock.data.szDescription) + L"\r\n\r\nSocket " +
        std::to_wstring(static_cast<int>(m_socket)) +
        L"  已经成功创建!\r\n\r\n正在连接: 127.0.0.19...\r\n连接错误： #10061.";
    EXPECT_EQ(m_host.LogText(), expected);
}

TEST_F(TimeExchange, WaitsForASilentServerUntilAbandoned) {
    TestTimeServer server("127.0.0.20", AcceptAndStaySilent());
    Start("127.0.0.20");
    PumpMessagesFor(1500);
    EXPECT_TRUE(IsExchangeOpen());
    EXPECT_EQ(m_host.LogText(), ConnectedLog());
    AbandonExchange();
    EXPECT_FALSE(IsExchangeOpen());
    EXPECT_TRUE(IsClosedSocket(m_socket));
    EXPECT_EQ(m_host.LogText(), ConnectedLog() + L"\r\n等待时间服务器应答超时! #10060.");
}

TEST_F(TimeExchange, ANewExchangeClosesTheOpenOne) {
    TestTimeServer silent("127.0.0.21", AcceptAndStaySilent());
    TestTimeServer answering("127.0.0.22", AnswerWith(k2016));
    Start("127.0.0.21");
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_host.LogText() == ConnectedLog(); }))
        << testing::PrintToString(m_host.LogText());
    m_host.ClearLog();
    Start("127.0.0.22");
    EXPECT_TRUE(PumpMessagesUntil([&] { return silent.ClosedByClient() == 1; }));
    AwaitEnd();
    EXPECT_EQ(m_host.LogText(), AnsweredLog(k2016));
}

TEST_F(TimeExchange, IgnoresNotificationsOfOtherSockets) {
    TestTimeServer silent("127.0.0.23", AcceptAndStaySilent());
    Start("127.0.0.23");
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_host.LogText() == ConnectedLog(); }));
    OnSocketNotify(m_socket + 4, WSAMAKESELECTREPLY(FD_READ, 0));
    OnSocketNotify(m_socket + 4, WSAMAKESELECTREPLY(FD_CONNECT, WSAECONNREFUSED));
    EXPECT_EQ(m_host.LogText(), ConnectedLog());
    EXPECT_TRUE(IsExchangeOpen());
    // A read error reported for the exchange's own socket ends it.
    OnSocketNotify(m_socket, WSAMAKESELECTREPLY(FD_READ, WSAECONNRESET));
    EXPECT_FALSE(IsExchangeOpen());
    EXPECT_EQ(m_host.LogText(), ConnectedLog() + L"\r\nFD_READ 错误! #10054.");
}

TEST_F(TimeExchange, UnattendedEndsTheLoopWithTheOutcome) {
    g_unattended = true;
    {
        TestTimeServer server("127.0.0.24", AnswerWith(0)); // refused by the guard: still answered
        Start("127.0.0.24");
        AwaitEnd();
        EXPECT_EQ(TakeQuitCode(), 0);
    }
    Start("127.0.0.25"); // refused connection
    AwaitEnd();
    EXPECT_EQ(TakeQuitCode(), 1);
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
