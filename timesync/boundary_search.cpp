#include "timesync/boundary_search.h"

#include "timesync/era.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

Ticks FloorDiv(Ticks value, Ticks unit) {
    const Ticks quotient = value / unit;
    return value % unit < 0 ? quotient - 1 : quotient;
}

Ticks CeilDiv(Ticks value, Ticks unit) {
    return -FloorDiv(-value, unit);
}

// Past the aimed moment, a query waits up to a second more for its boundary.
constexpr Ticks kAimingSlack = kTicksPerSecond;

} // namespace

BoundarySearch::BoundarySearch(const SearchSettings& settings) : m_settings(settings) {}

Ticks BoundarySearch::Deadline() const {
    return m_start + m_settings.maxDuration;
}

SearchStep BoundarySearch::OnAnswer(const TimeAnswer& answer) {
    if (m_phase == ePhase::Finished)
        return m_step;
    NoteTiming(answer);
    if (m_round.empty()) {
        m_round.push_back(answer);
        m_interval = RoundInterval();
        return ContinueSearch();
    }
    const Interval before = RoundInterval();
    m_round.push_back(answer);
    const Interval after = RoundInterval();
    if (after.IsEmpty())
        return OnInconsistency(answer, ReasonFor(answer, before));
    m_interval = after;
    switch (m_phase) {
    case ePhase::CheckingAbove:
        return PlanCheck(ePhase::CheckingBelow);
    case ePhase::CheckingBelow:
        return Finish(true);
    default:
        return ContinueSearch();
    }
}

void BoundarySearch::NoteTiming(const TimeAnswer& answer) {
    const Ticks query = answer.arrival - answer.connectStart;
    const Ticks connect = answer.connectDone - answer.connectStart;
    if (m_nAnswers++ == 0) {
        m_start = answer.connectStart;
        m_quickestQuery = query;
        m_quickestConnect = connect;
    }
    m_quickestQuery = std::min(m_quickestQuery, query);
    m_quickestConnect = std::min(m_quickestConnect, connect);
    m_lastConnectStart = answer.connectStart;
    m_lastArrival = answer.arrival;
    m_queryLengths.push_back(query);
}

// Half of how much longer than the quickest the median query took: a query's stamp is predicted
// in the middle of its usual span, so a server that waits at random before it stamps is still
// asked across the middle of what is uncertain.
Ticks BoundarySearch::UsualStampDelay() const {
    std::vector<Ticks> lengths = m_queryLengths;
    const auto median = lengths.begin() + std::ssize(lengths) / 2;
    std::nth_element(lengths.begin(), median, lengths.end());
    return (*median - m_quickestQuery) / 2;
}

// The server stamped its count no later than the arrival less half the quickest connect, and as
// much earlier as this query took longer than the quickest one: the stamp moment is widened by
// half of that excess on either side of the span's middle.
BoundarySearch::Interval BoundarySearch::StampSpan(const TimeAnswer& answer) const {
    const Ticks latest = answer.arrival - m_quickestConnect / 2;
    const Ticks excess = answer.arrival - answer.connectStart - m_quickestQuery;
    return {latest - excess, latest};
}

// The server's time was in the answer's second when it stamped.
BoundarySearch::Interval BoundarySearch::IntervalOf(const TimeAnswer& answer) const {
    const Ticks secondStart = ResolveSecondsSince1900(answer.count) * kTicksPerSecond;
    const Interval stamp = StampSpan(answer);
    return {secondStart - stamp.high, secondStart + kTicksPerSecond - stamp.low};
}

BoundarySearch::Interval BoundarySearch::RoundInterval() const {
    Interval common{std::numeric_limits<Ticks>::min(), std::numeric_limits<Ticks>::max()};
    for (const TimeAnswer& answer : m_round) {
        const Interval one = IntervalOf(answer);
        common = {std::max(common.low, one.low), std::min(common.high, one.high)};
    }
    return common;
}

Inconsistency BoundarySearch::ReasonFor(const TimeAnswer& answer, const Interval& before) const {
    if (m_phase == ePhase::CheckingAbove || m_phase == ePhase::CheckingBelow)
        return Inconsistency::WrongCheck;
    // The seconds the server could have stamped if its offset lay where the round had put it.
    const Interval stamp = StampSpan(answer);
    const Ticks first = FloorDiv(stamp.low + before.low, kTicksPerSecond);
    const Ticks last = FloorDiv(stamp.high + before.high, kTicksPerSecond);
    const Ticks seconds = ResolveSecondsSince1900(answer.count);
    return seconds < first || seconds > last ? Inconsistency::UnexpectedSecond
                                             : Inconsistency::EmptyOverlap;
}

SearchStep BoundarySearch::OnInconsistency(const TimeAnswer& answer, Inconsistency reason) {
    m_lastInconsistency = reason;
    if (m_nRestarts++ == 0) {
        m_round.assign(1, answer);
        m_interval = RoundInterval();
        m_phase = ePhase::Searching;
        return ContinueSearch();
    }
    m_phase = ePhase::Finished;
    m_step = {SearchState::FellBack, 0, OffsetFromAnswer(answer)};
    return m_step;
}

SearchStep BoundarySearch::ContinueSearch() {
    const bool enough = m_interval.HalfWidth() <= m_settings.goalHalfWidth ||
                        static_cast<int>(m_round.size()) >= m_settings.maxAnswers;
    const Ticks sendAt = AimAt(m_interval.Middle());
    if (enough || sendAt > LatestSend(3))
        return PlanCheck(ePhase::CheckingAbove);
    return Query(sendAt);
}

// The checks aim just outside the result, where its count is known: above it the server's second
// has not yet turned, below it the second has.
SearchStep BoundarySearch::PlanCheck(ePhase check) {
    m_phase = check;
    const bool above = check == ePhase::CheckingAbove;
    const Ticks sendAt = AimAt(above ? m_interval.high + m_settings.checkMargin
                                     : m_interval.low - m_settings.checkMargin);
    if (sendAt > LatestSend(above ? 2 : 1))
        return Finish(false);
    return Query(sendAt);
}

SearchStep BoundarySearch::Finish(bool checked) {
    m_phase = ePhase::Finished;
    m_bChecked = checked;
    m_step = {SearchState::Done, 0, Estimate()};
    return m_step;
}

CounterOffset BoundarySearch::Estimate() const {
    return {m_interval.Middle(), m_interval.HalfWidth() + m_quickestConnect / 2};
}

SearchStep BoundarySearch::Query(Ticks sendAt) {
    m_step = {SearchState::Query, sendAt, {}};
    return m_step;
}

// The first moment, spacing kept, at which a query has the server's second predicted to turn
// when it stamps, if its offset against the counter is `offset`.
Ticks BoundarySearch::AimAt(Ticks offset) const {
    const Ticks earliest = std::max(m_lastConnectStart + m_settings.spacing, m_lastArrival);
    const Ticks stampLead = m_quickestQuery - m_quickestConnect / 2 + UsualStampDelay();
    const Ticks boundary =
        CeilDiv(earliest + stampLead + offset, kTicksPerSecond) * kTicksPerSecond;
    return boundary - stampLead - offset;
}

// The latest start of a query that still leaves room for `queriesLeft` - 1 more after it.
Ticks BoundarySearch::LatestSend(int queriesLeft) const {
    return Deadline() - m_settings.queryAllowance -
           (queriesLeft - 1) * (m_settings.spacing + kAimingSlack);
}

int BoundarySearch::QueriesLeft() const {
    switch (m_phase) {
    case ePhase::Finished:
        return 0;
    case ePhase::CheckingBelow:
        return 1;
    case ePhase::CheckingAbove:
        return 2;
    default:
        break;
    }
    int searches = 1;
    Ticks halfWidth = m_interval.HalfWidth() / 2;
    while (halfWidth > m_settings.goalHalfWidth &&
           static_cast<int>(m_round.size()) + searches < m_settings.maxAnswers) {
        halfWidth /= 2;
        ++searches;
    }
    return searches + 2;
}

SearchProgress BoundarySearch::Progress() const {
    const Ticks halfWidth = m_phase == ePhase::Finished
                                ? m_step.result.halfWidth
                                : m_interval.HalfWidth() + m_quickestConnect / 2;
    const int queries = QueriesLeft();
    Ticks timeLeft = 0;
    if (queries > 0) {
        const Ticks perQuery = m_settings.spacing + kAimingSlack / 2;
        timeLeft = std::min(m_step.sendAt - m_lastArrival + (queries - 1) * perQuery,
                            Deadline() - m_lastArrival);
    }
    return {m_nAnswers, halfWidth, std::max<Ticks>(timeLeft, 0)};
}
