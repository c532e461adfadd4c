#pragma once

#include "timesync/offset_estimate.h"
#include "timesync/ticks.h"

#include <vector>

// A search across the server's second boundary: each query is sent so that the server's second is
// predicted to turn in the middle of what is still uncertain, and its count says on which side
// the truth lies. Pure logic over the moments of the counter; the caller sends the queries.

// How a search runs; tests give a shorter spacing.
struct SearchSettings {
    Ticks spacing = 4 * kTicksPerSecond;             // at least this from one connect to the next
    Ticks goalHalfWidth = 10 * kTicksPerMillisecond; // stop searching at this uncertainty,
    int maxAnswers = 7;                              // or after this many answers in a round,
    Ticks maxDuration = 60 * kTicksPerSecond;        // and end this long after the first connect
    Ticks checkMargin = 10 * kTicksPerMillisecond;   // how far outside the result the checks aim
    Ticks queryAllowance = kTicksPerSecond;          // kept free for the last query before the end
};

// What the caller does next: send a query, or set the clock from the result.
enum class SearchState { Query, Done, FellBack };

// What ended a round of the search early (the first time it restarts, the second it falls back).
enum class Inconsistency { None, UnexpectedSecond, EmptyOverlap, WrongCheck };

struct SearchStep {
    SearchState state = SearchState::Query;
    Ticks sendAt = 0;     // Query: the moment on the counter to start the connect
    CounterOffset result; // Done: the search's result; FellBack: the last answer alone
};

// What a progress line tells after an answer.
struct SearchProgress {
    int answers = 0;     // answers so far, checks included
    Ticks halfWidth = 0; // the uncertainty left
    Ticks timeLeft = 0;  // about how long the search still takes
};

class BoundarySearch {
public:
    explicit BoundarySearch(const SearchSettings& settings = {});

    // Takes the answer to the query last asked for (the first answer starts the search) and says
    // what comes next. After Done or FellBack it repeats that step.
    SearchStep OnAnswer(const TimeAnswer& answer);

    // What the answers of the round so far tell of the server's clock.
    CounterOffset Estimate() const;
    // After an answer: the answers so far, the uncertainty left, about how long is left.
    SearchProgress Progress() const;
    // The moment on the counter by which the search is over, answer or none.
    Ticks Deadline() const;
    // How often the search restarted (at most once), and why it last did or fell back.
    int Restarts() const { return m_nRestarts; }
    Inconsistency LastInconsistency() const { return m_lastInconsistency; }
    // Done with both checks made (a search that ran out of time for them ends without).
    bool Checked() const { return m_bChecked; }

private:
    // Where the server's offset against the counter can lie, or when it stamped its count.
    struct Interval {
        Ticks low = 0;
        Ticks high = 0;
        bool IsEmpty() const { return low > high; }
        Ticks HalfWidth() const { return (high - low) / 2; }
        Ticks Middle() const { return low + (high - low) / 2; }
    };
    enum class ePhase { Searching, CheckingAbove, CheckingBelow, Finished };

    void NoteTiming(const TimeAnswer& answer);
    Ticks UsualStampDelay() const;
    Interval StampSpan(const TimeAnswer& answer) const;
    Interval IntervalOf(const TimeAnswer& answer) const;
    Interval RoundInterval() const;
    Inconsistency ReasonFor(const TimeAnswer& answer, const Interval& before) const;
    SearchStep OnInconsistency(const TimeAnswer& answer, Inconsistency reason);
    SearchStep ContinueSearch();
    SearchStep PlanCheck(ePhase check);
    SearchStep Finish(bool checked);
    SearchStep Query(Ticks sendAt);
    Ticks AimAt(Ticks offset) const;
    Ticks LatestSend(int queriesLeft) const;
    int QueriesLeft() const;

    SearchSettings m_settings;
    ePhase m_phase = ePhase::Searching;
    std::vector<TimeAnswer> m_round; // the answers since the start or the restart
    Interval m_interval;             // what the round's answers leave
    int m_nAnswers = 0;
    int m_nRestarts = 0;
    Inconsistency m_lastInconsistency = Inconsistency::None;
    bool m_bChecked = false;
    Ticks m_start = 0;            // the first connect
    Ticks m_lastConnectStart = 0; // spacing counts from here
    Ticks m_lastArrival = 0;
    Ticks m_quickestQuery = 0;         // the shortest connect-to-arrival of all answers
    Ticks m_quickestConnect = 0;       // the shortest connect of all answers
    std::vector<Ticks> m_queryLengths; // connect-to-arrival of every answer
    SearchStep m_step;                 // the last step given
};
