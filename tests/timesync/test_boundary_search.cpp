#include "timesync/boundary_search.h"
#include "timesync/offset_estimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <random>
#include <vector>

namespace {

constexpr Ticks kMs = kTicksPerMillisecond;
constexpr Ticks kSecond = kTicksPerSecond;
constexpr Ticks kFirstSend = 1'000 * kSecond; // the counter when the search starts
constexpr Ticks kDecember2026 = 4'005'763'200 * kSecond;
constexpr Ticks kWrap2036 = 4'294'967'296 * kSecond;

// A time server on the virtual counter. The true time (ticks since 1900) is the counter plus a
// fixed amount, the server's clock is that plus its offset, and it answers the floor of its clock
// in seconds, modulo 2^32.
struct Disturbance {
    Ticks waitBeforeStamp; // the server waits up to this, at random, before it stamps
    Ticks waitAfterStamp;  // and up to this before it sends
    Ticks outPath, backPath;
    Ticks stepAfter, step; // the server's clock steps this long after the first send
};

// Over ten runs.
struct Bounds {
    Ticks error;              // of the result, against the server's offset at the end
    Ticks quickError;         // of the first answer alone
    int minCaught, maxCaught; // runs that restart or fall back
    Ticks run;                // from the first send to the last arrival
};

struct ServerCase {
    const char* name;
    Ticks startTime;            // the true time at the first send, plus up to a second at random
    std::vector<Ticks> offsets; // more than one: servers behind one address, one at random a query
    Disturbance disturbance;
    Bounds bounds;
};

class SimulatedServer {
public:
    SimulatedServer(const ServerCase& server, std::mt19937& random)
        : m_server(server), m_random(random),
          m_trueOffset(server.startTime - kFirstSend + Uniform(kSecond)) {}

    TimeAnswer Answer(Ticks sendAt) {
        const Ticks offset = m_server.offsets[Uniform(std::ssize(m_server.offsets))];
        const Ticks stamp = sendAt + m_server.disturbance.outPath +
                            Uniform(m_server.disturbance.waitBeforeStamp + 1);
        const Ticks clock = stamp + ClockLessCounter(offset, stamp);
        const Ticks sent = stamp + Uniform(m_server.disturbance.waitAfterStamp + 1);
        return {static_cast<std::uint32_t>(clock / kSecond), sendAt,
                sendAt + m_server.disturbance.outPath + m_server.disturbance.backPath,
                sent + m_server.disturbance.backPath};
    }

    // How far an estimate of the server's clock less the counter is off at `moment`: against the
    // nearest of the servers behind the address.
    Ticks ErrorOf(Ticks estimate, Ticks moment) const {
        Ticks error = INT64_MAX;
        for (const Ticks offset : m_server.offsets) {
            const Ticks one = estimate - ClockLessCounter(offset, moment);
            if (std::abs(one) < std::abs(error))
                error = one;
        }
        return error;
    }

private:
    Ticks ClockLessCounter(Ticks offset, Ticks moment) const {
        const bool stepped = moment >= kFirstSend + m_server.disturbance.stepAfter;
        return m_trueOffset + offset + (stepped ? m_server.disturbance.step : 0);
    }

    Ticks Uniform(Ticks below) {
        return std::uniform_int_distribution<Ticks>(0, below - 1)(m_random);
    }

    const ServerCase& m_server;
    std::mt19937& m_random;
    Ticks m_trueOffset;
};

struct SearchRun {
    SearchStep end;
    Ticks error = 0;      // of the result
    Ticks quickError = 0; // of the first answer alone
    Ticks shortestSpacing = INT64_MAX;
    Ticks duration = 0; // from the first send to the last arrival
};

SearchRun RunSearch(const ServerCase& server, std::mt19937& random, BoundarySearch& search) {
    SimulatedServer simulated(server, random);
    SearchRun run;
    TimeAnswer answer = simulated.Answer(kFirstSend);
    run.quickError = simulated.ErrorOf(OffsetFromAnswer(answer).offset, kFirstSend);
    run.end = search.OnAnswer(answer);
    for (int answers = 1; run.end.state == SearchState::Query && answers < 40; ++answers) {
        run.shortestSpacing = std::min(run.shortestSpacing, run.end.sendAt - answer.connectStart);
        answer = simulated.Answer(run.end.sendAt);
        run.end = search.OnAnswer(answer);
    }
    run.duration = answer.arrival - kFirstSend;
    run.error = simulated.ErrorOf(run.end.result.offset, answer.arrival);
    return run;
}

constexpr Ticks kLoop = 1'000; // 0.1 ms each way
constexpr Ticks kNever = 1'000 * kSecond;
constexpr Disturbance kQuiet = {0, 0, kLoop, kLoop, kNever, 0};
constexpr Bounds kOrdinary = {15 * kMs, 520 * kMs, 0, 0, 45 * kSecond};

const ServerCase kServers[] = {
    {"+0.3 s", kDecember2026, {300 * kMs}, kQuiet, kOrdinary},
    {"-0.7 s", kDecember2026, {-700 * kMs}, kQuiet, kOrdinary},
    {"+0.95 s", kDecember2026, {950 * kMs}, kQuiet, kOrdinary},
    {"right", kDecember2026, {0}, kQuiet, kOrdinary},
    {"-3.25 s", kDecember2026, {-3'250 * kMs}, kQuiet, kOrdinary},
    {"0-50 ms before the stamp",
     kDecember2026,
     {300 * kMs},
     {50 * kMs, 0, kLoop, kLoop, kNever, 0},
     {25 * kMs, 520 * kMs, 0, 0, 45 * kSecond}},
    {"0-50 ms between stamp and send",
     kDecember2026,
     {-700 * kMs},
     {0, 50 * kMs, kLoop, kLoop, kNever, 0},
     {50 * kMs, 570 * kMs, 0, 0, 45 * kSecond}},
    {"30 ms out, 2 ms back",
     kDecember2026,
     {300 * kMs},
     {0, 0, 30 * kMs, 2 * kMs, kNever, 0},
     {22 * kMs, 520 * kMs, 0, 0, 45 * kSecond}},
    {"a step of -1.4 s",
     kDecember2026,
     {300 * kMs},
     {0, 0, kLoop, kLoop, 14 * kSecond, -1'400 * kMs},
     {15 * kMs, 520 * kMs, 10, 10, 60 * kSecond}},
    {"a step of +0.25 s",
     kDecember2026,
     {-700 * kMs},
     {0, 0, kLoop, kLoop, 14 * kSecond, 250 * kMs},
     {65 * kMs, 520 * kMs, 9, 10, 60 * kSecond}},
    {"three servers behind one address",
     kDecember2026,
     {0, 150 * kMs, 400 * kMs},
     kQuiet,
     {520 * kMs, 520 * kMs, 3, 10, 60 * kSecond}},
    {"the 2036 wrap in mid-search", kWrap2036 - 15 * kSecond, {300 * kMs}, kQuiet, kOrdinary},
};

TEST(BoundarySearch, FindsEachServersOffsetWithinBounds) {
    for (const ServerCase& server : kServers) {
        std::mt19937 random(23);
        int caught = 0;
        for (int attempt = 0; attempt < 10; ++attempt) {
            SCOPED_TRACE(testing::Message() << server.name << ", run " << attempt);
            BoundarySearch search;
            const SearchRun run = RunSearch(server, random, search);
            EXPECT_NE(run.end.state, SearchState::Query);
            EXPECT_LE(std::abs(run.error), server.bounds.error);
            EXPECT_LE(std::abs(run.quickError), server.bounds.quickError);
            EXPECT_GE(run.shortestSpacing, 4 * kSecond);
            EXPECT_LE(run.duration, server.bounds.run);
            if (run.end.state == SearchState::Done) {
                EXPECT_TRUE(search.Checked());
            }
            if (search.Restarts() > 0 || run.end.state == SearchState::FellBack)
                ++caught;
        }
        EXPECT_GE(caught, server.bounds.minCaught) << server.name;
        EXPECT_LE(caught, server.bounds.maxCaught) << server.name;
    }
}

// Over many runs of a server that waits 0-50 ms at random before it stamps, few end beyond 25 ms:
// the queries are aimed with the usual wait, not the shortest.
TEST(BoundarySearch, ARandomWaitBeforeTheStampRarelyEndsBeyond25Ms) {
    const ServerCase& server = kServers[5];
    std::mt19937 random(23);
    int beyond = 0;
    for (int attempt = 0; attempt < 200; ++attempt) {
        BoundarySearch search;
        if (std::abs(RunSearch(server, random, search).error) > 25 * kMs)
            ++beyond;
    }
    EXPECT_LE(beyond, 6) << server.name;
}

// The first answer alone: the middle of the server's second has no bias.
TEST(OffsetFromAnswer, IsUnbiasedOverManyRuns) {
    std::mt19937 random(1314);
    Ticks sum = 0;
    for (int run = 0; run < 50; ++run) {
        const ServerCase& server = kServers[run % 5];
        SimulatedServer simulated(server, random);
        const TimeAnswer answer = simulated.Answer(kFirstSend);
        const Ticks error = simulated.ErrorOf(OffsetFromAnswer(answer).offset, kFirstSend);
        EXPECT_LE(std::abs(error), 520 * kMs) << server.name << ", run " << run;
        sum += error;
    }
    EXPECT_LE(std::abs(sum / 50), 50 * kMs);
}

// After each answer the progress line's figures: one answer more, no more uncertainty than before,
// less time left, and nothing left at the end.
TEST(BoundarySearch, ReportsProgressAfterEachAnswer) {
    std::mt19937 random(7);
    SimulatedServer simulated(kServers[0], random);
    BoundarySearch search;
    SearchStep step = search.OnAnswer(simulated.Answer(kFirstSend));
    SearchProgress last = search.Progress();
    EXPECT_EQ(last.answers, 1);
    EXPECT_EQ(last.halfWidth, 5'001'000); // half a second and half the 0.2 ms connect
    EXPECT_GE(last.timeLeft, 30 * kSecond);
    EXPECT_LE(last.timeLeft, 45 * kSecond);
    while (step.state == SearchState::Query) {
        step = search.OnAnswer(simulated.Answer(step.sendAt));
        const SearchProgress now = search.Progress();
        EXPECT_EQ(now.answers, last.answers + 1);
        EXPECT_LE(now.halfWidth, last.halfWidth);
        EXPECT_LT(now.timeLeft, last.timeLeft);
        last = now;
    }
    EXPECT_EQ(last.answers, 9);
    EXPECT_EQ(last.halfWidth, step.result.halfWidth);
    EXPECT_EQ(last.timeLeft, 0);
}

} // namespace
