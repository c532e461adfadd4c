#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// What the test server does with each connection it accepts.
struct ServerReply {
    std::vector<std::string> pieces;         // sent in order
    DWORD pauseMs = 0;                       // between two pieces
    bool holdOpen = false;                   // keep the connection until the client closes it
    std::function<std::string()> makeAnswer; // when set, replaces pieces, computed per connection
};

std::string BigEndian(std::uint32_t value);

// A count that stands for 2070-02-15 20:05:20 UTC (counts before 2026 belong to the era after
// 2036): the ten-year guard refuses it.
inline constexpr std::uint32_t kCountIn2070 = 0x40000000;
std::uint32_t SecondsSince1900Now();

// Canned behaviours.
ServerReply AnswerWith(std::uint32_t seconds);
// The count of a clock that runs offsetMs ahead of the host's (floor of it), as soon as it accepts.
ServerReply AnswerWithOffset(std::int64_t offsetMs);
// The current second, sent in its middle: one answer then sets the clock within milliseconds,
// which Wine accepts (it refuses any change over half a second).
ServerReply AnswerInTheMiddleOfTheSecond();
ServerReply Trickle(std::uint32_t seconds, DWORD pauseMs);
ServerReply SendThenClose(std::string bytes);
ServerReply AcceptAndStaySilent();

// How long a test waits for the server's thread to see a client's close: milliseconds on an idle
// machine, seconds when every Wine process shares one busy wineserver.
inline constexpr DWORD kServerSeesCloseMs = 10'000;

// An RFC 868 server on <address>:37, serving from a thread of its own until destroyed.
// Give each test its own loopback address (127.0.0.N) so that tests can run side by side.
class TestTimeServer {
public:
    TestTimeServer(const char* address, ServerReply reply);
    ~TestTimeServer();
    TestTimeServer(const TestTimeServer&) = delete;
    TestTimeServer& operator=(const TestTimeServer&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }
    int Connections() const { return m_connections; }
    int ClosedByClient() const { return m_closedByClient; }
    // Closes that were not orderly: the client left bytes unread (or aborted).
    int ResetByClient() const { return m_resetByClient; }

private:
    void Serve();
    void Reply(SOCKET client);

    ServerReply m_reply;
    SOCKET m_listener = INVALID_SOCKET;
    std::atomic<SOCKET> m_client = INVALID_SOCKET;
    std::atomic<bool> m_stopping = false;
    std::atomic<int> m_connections = 0;
    std::atomic<int> m_closedByClient = 0;
    std::atomic<int> m_resetByClient = 0;
    std::thread m_thread;
};
