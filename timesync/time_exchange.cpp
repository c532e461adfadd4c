#include "timesync/time_exchange.h"

#include "base/ansi_text.h"
#include "base/thread_timer.h"
#include "timesync/activity_log.h"
#include "timesync/clock_update.h"
#include "timesync/counter.h"
#include "timesync/era.h"
#include "timesync/exchange_cursor.h"
#include "timesync/sync_lines.h"
#include "timesync/time_query.h"
#include "timesync/timesync_texts.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

// The synchronisation under way: its server, its road and, on the precise road, its search.
struct Sync {
    bool open = false;
    HWND hLogTarget = nullptr; // the first query's steps
    HWND hNotifyWnd = nullptr;
    std::string address;
    int queries = 0;
    std::optional<BoundarySearch> search; // the precise road
};
Sync g_sync;
ExchangeOutcome g_lastOutcome = ExchangeOutcome::None;

// The next query's moment on the counter, and the thread timer that wakes up shortly before it:
// a timer can fire a system tick late, so it is set that much early and the rest is polled.
constexpr Ticks kTimerEarly = 20 * kTicksPerMillisecond;
Ticks g_nextQueryAt = 0;
ThreadTimer g_nextQueryTimer;

// Ends the synchronisation without a word and without an outcome: another one replaces it, or
// its window is gone.
void CancelSync() {
    g_nextQueryTimer.Disarm();
    CloseQuery();
    const Sync ended = std::move(g_sync);
    g_sync = {};
    if (ended.open)
        ShowExchangeBusy(ended.hNotifyWnd, false);
}

// A synchronisation whose window is gone ends without a word when it next wakes up.
bool CancelIfWindowGone() {
    if (IsWindow(g_sync.hNotifyWnd))
        return false;
    CancelSync();
    return true;
}

void EndSync(ExchangeOutcome outcome) {
    CancelSync();
    g_lastOutcome = outcome;
    if (g_unattended)
        PostQuitMessage(0);
}

ExchangeOutcome OutcomeOf(ClockOutcome clock) {
    switch (clock) {
    case ClockOutcome::Set:
        return ExchangeOutcome::ClockSet;
    case ClockOutcome::RefusedByYear:
        return ExchangeOutcome::AnswerRefused;
    case ClockOutcome::NotSettable:
        return ExchangeOutcome::ClockNotSettable;
    }
    return ExchangeOutcome::ClockNotSettable;
}

void SetClock(const CounterOffset& server) {
    EndSync(OutcomeOf(UpdateSystemClock(server)));
}

// An answer that the ten-year guard refuses ends a search at once: the clock update says why.
bool IsRefusedByYear(const TimeAnswer& answer) {
    const SYSTEMTIME received = TimeFromSecondsSince1900(ResolveSecondsSince1900(answer.count));
    return !IsWithinTenYears(received.wYear, g_clockAccess.localTime().wYear);
}

// The first moment a query to the server may start: the spacing after the last one.
Ticks EarliestQueryMoment() {
    const auto last = LastQueryStart(ServerAddressOf(g_sync.address.c_str()).sin_addr.s_addr);
    return last ? *last + g_searchSettings.spacing : 0;
}

void OnAnswered(const TimeAnswer& answer);
void OnQueryFailed();

UINT QueryTimeLimitMs() {
    if (!g_sync.search || g_sync.queries == 0)
        return kExchangeTimeLimitMs;
    // The whole search ends by its deadline.
    const Ticks left = g_sync.search->Deadline() - CounterNow();
    return static_cast<UINT>(
        std::clamp<Ticks>(left / kTicksPerMillisecond, USER_TIMER_MINIMUM, kExchangeTimeLimitMs));
}

bool OpenSyncQuery() {
    QueryRequest request;
    request.hLogTarget = g_sync.hLogTarget;
    request.hNotifyWnd = g_sync.hNotifyWnd;
    request.address = g_sync.address.c_str();
    request.logSteps = g_sync.queries == 0;
    request.timeLimitMs = QueryTimeLimitMs();
    request.listener = {OnAnswered, OnQueryFailed};
    ++g_sync.queries;
    if (OpenQuery(request))
        return true;
    OnQueryFailed();
    return false;
}

void CALLBACK OnNextQueryTime(HWND, UINT, UINT_PTR, DWORD) {
    g_nextQueryTimer.Disarm();
    if (CancelIfWindowGone())
        return;
    WaitForCounter(g_nextQueryAt);
    OpenSyncQuery();
}

// Opens the next query at that moment, or later when its server was asked less than the spacing
// before it. False when it was due at once and failed at once.
bool ScheduleQuery(Ticks at) {
    g_nextQueryAt = std::max(at, EarliestQueryMoment());
    const Ticks wait = g_nextQueryAt - CounterNow();
    if (wait <= 0)
        return OpenSyncQuery();
    const Ticks timerMs = (wait - kTimerEarly) / kTicksPerMillisecond;
    g_nextQueryTimer.Arm(static_cast<UINT>(std::max<Ticks>(timerMs, 0)), OnNextQueryTime);
    return true;
}

void OnAnswered(const TimeAnswer& answer) {
    if (CancelIfWindowGone())
        return;
    if (!g_sync.search || IsRefusedByYear(answer)) {
        SetClock(OffsetFromAnswer(answer));
        return;
    }
    const SearchStep step = g_sync.search->OnAnswer(answer);
    AppendLog(g_hLogEdit, kLogSearchLine, SearchProgressLine(g_sync.search->Progress()).c_str());
    switch (step.state) {
    case SearchState::Query:
        ScheduleQuery(step.sendAt);
        return;
    case SearchState::FellBack:
        AppendLog(g_hLogEdit, kLogSearchLine, kSearchFallbackText);
        break;
    case SearchState::Done:
        break;
    }
    SetClock(step.result);
}

// A query that failed (logged with its hint) ends the synchronisation; on the precise road, once
// answers have come, the clock is set from what they tell.
void OnQueryFailed() {
    if (CancelIfWindowGone())
        return;
    if (!g_sync.search || g_sync.search->Progress().answers == 0) {
        EndSync(ExchangeOutcome::NoAnswer);
        return;
    }
    AppendLog(g_hLogEdit, kLogSearchCutShort, kSearchCutShortText);
    SetClock(g_sync.search->Estimate());
}

} // namespace

std::wstring SelectedServerAddress(HWND hListView) {
    const auto item = static_cast<int>(
        SendMessageW(hListView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0)
        return {};
    constexpr int kAddressCapacity = 32;
    wchar_t address[kAddressCapacity] = {};
    LVITEMW column = {};
    column.iSubItem = 1;
    column.pszText = address;
    column.cchTextMax = kAddressCapacity;
    SendMessageW(hListView, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&column));
    address[kAddressCapacity - 1] = L'\0';
    return address;
}

bool StartSync(HWND hMainWnd, HWND hListView, SyncRoad road) {
    const std::wstring address = SelectedServerAddress(hListView);
    if (address.empty())
        return false;
    SetWindowTextW(g_hLogEdit, L"");
    ConnectTimeServer(g_hLogEdit, hMainWnd, WideToAnsi(address.c_str()).c_str(), road);
    return true;
}

bool ConnectTimeServer(HWND hLogTarget, HWND hNotifyWnd, const char* address, SyncRoad road) {
    CancelSync();
    g_sync.open = true;
    g_sync.hLogTarget = hLogTarget;
    g_sync.hNotifyWnd = hNotifyWnd;
    g_sync.address = address ? address : "";
    if (road == SyncRoad::Precise)
        g_sync.search.emplace(g_searchSettings);
    ShowExchangeBusy(hNotifyWnd, true);
    if (const Ticks wait = EarliestQueryMoment() - CounterNow(); wait > 0)
        AppendLog(hLogTarget, kLogCourtesyWait,
                  CourtesyWaitLine(g_searchSettings.spacing, wait).c_str());
    return ScheduleQuery(0);
}

void OnSocketNotify(WPARAM wParam, LPARAM lParam) {
    OnQueryNotify(wParam, lParam);
}

void AbandonExchange() {
    if (IsQueryOpen())
        AbandonQuery();
    else if (g_sync.open)
        EndSync(ExchangeOutcome::NoAnswer);
}

bool IsExchangeOpen() {
    return g_sync.open;
}

ExchangeOutcome LastExchangeOutcome() {
    return g_lastOutcome;
}
