#pragma once
// A synchronisation with one time server: one RFC 868 answer (the quick road) or a search across
// the server's second boundary (the precise road), then the clock update.

#include "timesync/boundary_search.h"
#include "timesync/exchange_values.h"

#include <winsock2.h>
#include <windows.h>

#include <string>

// The longest one query may wait for the connection and the answer before it gives up.
inline constexpr UINT kExchangeTimeLimitMs = 15'000;

// How the precise road searches. Its spacing is also the least time between two queries to one
// server on either road (public servers block clients that ask more often); tests shorten it.
inline SearchSettings g_searchSettings;

// How a synchronisation ended: no answer came (refused, closed early, read error, given up), or
// the answer was handled with that result of the clock update.
enum class ExchangeOutcome { None, NoAnswer, ClockSet, AnswerRefused, ClockNotSettable };

// The two roads to the clock: one answer (the middle of the server's second), or a search across
// the server's second boundary with queries at least four seconds apart.
enum class SyncRoad { Quick, Precise };

// Starts a synchronisation with the address in column 1 of the list view's first selected row.
// False, and nothing happens, when no row is selected or that text is empty.
bool StartSync(HWND hMainWnd, HWND hListView, SyncRoad road = SyncRoad::Quick);

// The address text of the list view's first selected row: column 1, at most 31 characters.
std::wstring SelectedServerAddress(HWND hListView);

// Ends any open synchronisation without setting the clock and starts a new one; its first steps
// are logged in hLogTarget (may be null). True when it is under way, false when it has failed
// (and was logged). A query to a server asked less than the spacing ago waits for the rest of it.
bool ConnectTimeServer(HWND hLogTarget, HWND hNotifyWnd, const char* address,
                       SyncRoad road = SyncRoad::Quick);

// Handles WM_SOCKET; notifications of any socket but the open query's, and those queued before
// the latest query was closed, are ignored.
void OnSocketNotify(WPARAM wParam, LPARAM lParam);

// Ends an open query that waited too long, as a failure that is logged in g_hLogEdit; the query's
// own bound calls it.
void AbandonExchange();

// Whether a synchronisation is under way (a query open, or the next one awaited), and how the
// last one ended.
bool IsExchangeOpen();
ExchangeOutcome LastExchangeOutcome();
