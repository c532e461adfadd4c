#include "tests/support/time_limits.h"
#include "tests/robustness/exchange_checks.h"
#include "tests/support/exchange_host.h"
#include "tests/support/message_pump.h"
#include "tests/support/time_server.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// An exchange on loopback ends within a few pauses; a hang fails after this long.
const auto kEndLimitMs = static_cast<DWORD>(ScaledTimeLimitMs(5'000));
// How long an exchange that holds fewer than four bytes is watched for an end that must not
// come: ten times its last piece's pause.
constexpr DWORD kWatchOpenMs = 1'000;
constexpr DWORD kPauseMs = 30;
constexpr std::uint32_t kSeed = 37;

std::string AnswerBytes(size_t length) {
    std::mt19937 random(kSeed + static_cast<std::uint32_t>(length));
    std::string bytes(length, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

// The bytes cut before every position whose bit is set in cuts (bit i: before byte i + 1).
std::vector<std::string> Pieces(const std::string& bytes, unsigned cuts) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && (cuts >> (i - 1)) & 1)
            pieces.emplace_back();
        pieces.back() += bytes[i];
    }
    return pieces;
}

std::string Describe(const std::vector<std::string>& pieces, DWORD pauseMs, bool holdOpen) {
    std::ostringstream text;
    text << "pieces";
    for (const auto& piece : pieces)
        text << ' ' << piece.size();
    text << ", pause " << pauseMs << " ms" << (holdOpen ? ", held open" : "");
    return text.str();
}

std::wstring ReceivedLine(const std::string& bytes) {
    const auto value = (std::uint32_t{static_cast<unsigned char>(bytes[0])} << 24) |
                       (std::uint32_t{static_cast<unsigned char>(bytes[1])} << 16) |
                       (std::uint32_t{static_cast<unsigned char>(bytes[2])} << 8) |
                       std::uint32_t{static_cast<unsigned char>(bytes[3])};
    return L"接受的时间为从1900年1月1日起 " + std::to_wstring(value) + L" 秒 \r\n";
}

// One address per answer length and kind of test, so that the tests can run side by side.
class HostileServers : public testing::TestWithParam<int> {
protected:
    void TearDown() override {
        AbandonExchange();
        g_unattended = false;
        TakeQuitCode();
    }

    size_t Length() const { return static_cast<size_t>(GetParam()); }
    std::string Address(int base) const { return "127.0.0." + std::to_string(base + GetParam()); }

    // Serves the pieces once, interactively and unattended, and checks the exchange's end.
    void ExpectOneDefinedEnd(const std::string& address, const std::vector<std::string>& pieces,
                             DWORD pauseMs, bool holdOpen = false) {
        ServerReply reply;
        reply.pieces = pieces;
        reply.pauseMs = pauseMs;
        reply.holdOpen = holdOpen;
        TestTimeServer server(address.c_str(), reply);
        ASSERT_TRUE(server.IsListening());
        for (const bool unattended : {false, true}) {
            const std::string name = Describe(pieces, pauseMs, holdOpen) +
                                     (unattended ? ", unattended" : ", interactive");
            ExpectOneDefinedEnd(address, unattended, name);
            if (HasFailure())
                return;
        }
        // With bytes left unread the close is a reset, which the server does not count.
        if (holdOpen && Length() == 4) {
            EXPECT_TRUE(
                PumpMessagesUntil([&] { return server.ClosedByClient() == 2; }, kServerSeesCloseMs))
                << "the client keeps a finished connection open";
        }
    }

private:
    void ExpectOneDefinedEnd(const std::string& address, bool unattended, const std::string& name) {
        const bool answered = Length() >= 4;
        g_unattended = unattended;
        m_host.ClearLog();
        TakeQuitCode();
        ASSERT_TRUE(ConnectTimeServer(m_host.Log(), m_host.Window(), address.c_str())) << name;
        const SOCKET socket = g_timeSocket;
        if (!PumpMessagesUntil([] { return !IsExchangeOpen(); },
                               answered ? kEndLimitMs : kWatchOpenMs)) {
            // Fewer than four bytes and no end from the server: only giving up ends it.
            ASSERT_TRUE(!answered && IsExchangeOpen()) << name;
            AbandonExchange();
        }
        const std::wstring log = m_host.LogText();
        const std::string where = name + "; log: " + testing::PrintToString(log);
        EXPECT_FALSE(IsExchangeOpen()) << where;
        EXPECT_TRUE(IsClosedSocket(socket)) << where;
        EXPECT_EQ(LastExchangeOutcome() != ExchangeOutcome::NoAnswer, answered) << where;
        const std::wstring last = EndLine(log);
        if (answered) {
            EXPECT_NE(log.find(ReceivedLine(AnswerBytes(Length()))), std::wstring::npos) << where;
            EXPECT_TRUE(IsAnswerEndLine(last)) << where;
        } else {
            EXPECT_TRUE(IsFailureEndLine(last)) << where;
        }
        std::optional<int> quitCode;
        PumpMessagesUntil([&] { return (quitCode = TakeQuitCode()).has_value(); },
                          unattended ? kEndLimitMs : 0);
        EXPECT_EQ(quitCode, unattended ? std::optional<int>(0) : std::nullopt) << where;
    }

    WinsockSession m_winsock;
    TestQuerySpacing m_spacing;
    ExchangeHost m_host;
};

TEST_P(HostileServers, AnswerCutAtEveryCombinationOfPositions) {
    const std::string bytes = AnswerBytes(Length());
    const unsigned combinations = Length() > 1 ? 1u << (Length() - 1) : 1u;
    for (unsigned cuts = 0; cuts < combinations && !HasFailure(); ++cuts)
        ExpectOneDefinedEnd(Address(100), Pieces(bytes, cuts), 0);
}

TEST_P(HostileServers, AnswerInTwoDelayedPiecesAndByteByByte) {
    const std::string bytes = AnswerBytes(Length());
    for (size_t cut = 1; cut < Length() && !HasFailure(); ++cut)
        ExpectOneDefinedEnd(Address(110), Pieces(bytes, 1u << (cut - 1)), kPauseMs);
    ExpectOneDefinedEnd(Address(110), Pieces(bytes, ~0u), kPauseMs);
}

TEST_P(HostileServers, AnswerFromAServerThatKeepsTheConnection) {
    const std::string bytes = AnswerBytes(Length());
    ExpectOneDefinedEnd(Address(120), Pieces(bytes, 0), 0, true);
    ExpectOneDefinedEnd(Address(120), Pieces(bytes, ~0u), kPauseMs, true);
}

INSTANTIATE_TEST_SUITE_P(AnswerLength, HostileServers, testing::Range(0, 9),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "Bytes";
                         });

} // namespace
