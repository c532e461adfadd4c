#include "tests/support/time_server.h"

#include <gtest/gtest.h>

namespace {

constexpr ULONGLONG k1900AsFileTime = 94354848000000000ULL;
constexpr ULONGLONG kIntervalsPerSecond = 10'000'000ULL;

ULONGLONG FileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

} // namespace

std::string BigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::uint32_t SecondsSince1900Now() {
    return static_cast<std::uint32_t>((FileTimeNow() - k1900AsFileTime) / kIntervalsPerSecond);
}

ServerReply AnswerWith(std::uint32_t seconds) {
    return SendThenClose(BigEndian(seconds));
}

ServerReply AnswerWithOffset(std::int64_t offsetMs) {
    ServerReply reply;
    reply.makeAnswer = [offsetMs] {
        const auto now = static_cast<std::int64_t>(FileTimeNow() - k1900AsFileTime);
        return BigEndian(static_cast<std::uint32_t>(
            (now + offsetMs * 10'000) / static_cast<std::int64_t>(kIntervalsPerSecond)));
    };
    return reply;
}

ServerReply AnswerInTheMiddleOfTheSecond() {
    ServerReply reply;
    reply.makeAnswer = [] {
        const ULONGLONG intoSecond = (FileTimeNow() - k1900AsFileTime) % kIntervalsPerSecond;
        const ULONGLONG middle = kIntervalsPerSecond / 2;
        const ULONGLONG wait = (middle + kIntervalsPerSecond - intoSecond) % kIntervalsPerSecond;
        Sleep(static_cast<DWORD>(wait / 10'000));
        return BigEndian(SecondsSince1900Now());
    };
    return reply;
}

ServerReply Trickle(std::uint32_t seconds, DWORD pauseMs) {
    ServerReply reply;
    for (const char byte : BigEndian(seconds))
        reply.pieces.emplace_back(1, byte);
    reply.pauseMs = pauseMs;
    return reply;
}

ServerReply SendThenClose(std::string bytes) {
    ServerReply reply;
    reply.pieces.push_back(std::move(bytes));
    return reply;
}

ServerReply AcceptAndStaySilent() {
    ServerReply reply;
    reply.holdOpen = true;
    return reply;
}

TestTimeServer::TestTimeServer(const char* address, ServerReply reply) : m_reply(std::move(reply)) {
    WSADATA wsaData;
    WSAStartup(MAKEWORD(2, 2), &wsaData);
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(37);
    local.sin_addr.s_addr = inet_addr(address);
    const BOOL reuse = TRUE;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse),
               sizeof reuse);
    if (bind(m_listener, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        listen(m_listener, 8) != 0) {
        ADD_FAILURE() << "test server cannot listen on " << address << ":37, error "
                      << WSAGetLastError()
                      << " (another program holds it: CTest's world serves on a loopback of its "
                         "own, see scripts/wine-session --private-network)";
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        return;
    }
    m_thread = std::thread([this] { Serve(); });
}

TestTimeServer::~TestTimeServer() {
    m_stopping = true;
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    // Wakes a reply that waits for its client.
    if (const SOCKET client = m_client; client != INVALID_SOCKET)
        shutdown(client, SD_BOTH);
    if (m_thread.joinable())
        m_thread.join();
    WSACleanup();
}

void TestTimeServer::Serve() {
    while (!m_stopping) {
        const SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        ++m_connections;
        m_client = client;
        Reply(client);
        m_client = INVALID_SOCKET;
        closesocket(client);
    }
}

void TestTimeServer::Reply(SOCKET client) {
    const auto pieces = m_reply.makeAnswer ? std::vector{m_reply.makeAnswer()} : m_reply.pieces;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0 && m_reply.pauseMs > 0)
            Sleep(m_reply.pauseMs);
        send(client, pieces[i].data(), static_cast<int>(pieces[i].size()), 0);
    }
    if (m_reply.holdOpen) {
        char byte = 0;
        const int result = recv(client, &byte, 1, 0);
        // A clean close reads as 0 bytes; any error means the close was not orderly (bytes left
        // unread, or an abort), whichever code Wine gives it.
        if (result == 0)
            ++m_closedByClient;
        else if (result == SOCKET_ERROR)
            ++m_resetByClient;
    }
    shutdown(client, SD_SEND);
}
