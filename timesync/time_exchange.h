#pragma once
// One Time Protocol (RFC 868) exchange at a time: connect to TCP port 37, read the four
// big-endian bytes of seconds since 1900, close, hand the value to the clock update.

#include "timesync/exchange_values.h"

#include <winsock2.h>
#include <windows.h>

#include <string>

// Socket notifications: wParam is the socket, LOWORD(lParam) the event, HIWORD(lParam) its error.
inline constexpr UINT WM_SOCKET = WM_USER + 11;
inline constexpr u_short kTimeProtocolPort = 37;
// The longest an exchange may wait for the connection and the answer before it gives up.
inline constexpr UINT kExchangeTimeLimitMs = 15'000;

// How an exchange ended: no answer came (refused, closed early, read error, given up), or the
// answer was handled with that result of the clock update.
enum class ExchangeOutcome { None, NoAnswer, ClockSet, AnswerRefused, ClockNotSettable };

// Starts an exchange with the address in column 1 of the list view's first selected row. False,
// and nothing happens, when no row is selected or that text is empty.
bool StartSync(HWND hMainWnd, HWND hListView);

// The socket address for a server's dotted address, read the way the socket library reads it
// ("0127.0.0.1" is octal: 87.0.0.1). INADDR_NONE when the library cannot read it.
sockaddr_in ServerAddressOf(const char* address);

// The address text of the list view's first selected row: column 1, at most 31 characters.
std::wstring SelectedServerAddress(HWND hListView);

// Closes any open exchange and starts a new one; its steps are logged in hLogTarget (may be null).
// True when the connection attempt is under way, false when it has failed (and was logged). An
// exchange still open after kExchangeTimeLimitMs is abandoned.
bool ConnectTimeServer(HWND hLogTarget, HWND hNotifyWnd, const char* address);

// Handles WM_SOCKET; notifications of any socket but the open exchange's, and those queued
// before the latest exchange was closed, are ignored.
void OnSocketNotify(WPARAM wParam, LPARAM lParam);

// Ends an open exchange that waited too long, as a failure that is logged in g_hLogEdit; the
// exchange's own bound calls it.
void AbandonExchange();

// Whether an exchange is open, and how the last one ended.
bool IsExchangeOpen();
ExchangeOutcome LastExchangeOutcome();
