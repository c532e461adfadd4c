#pragma once
// One RFC 868 query: connect to TCP port 37, read the four big-endian bytes, close, with the
// moments of each step on the counter.

#include "timesync/offset_estimate.h"

#include <winsock2.h>
#include <windows.h>

#include <optional>

// What a query tells the synchronisation that opened it, once it has ended.
struct QueryListener {
    void (*answered)(const TimeAnswer& answer);
    void (*failed)(); // the failure and its hint are logged in g_hLogEdit
};

struct QueryRequest {
    HWND hLogTarget = nullptr; // the connection's first steps, or none
    HWND hNotifyWnd = nullptr; // receives WM_SOCKET
    const char* address = "";  // dotted IPv4 address
    bool logSteps = true;      // false: only failures are logged
    UINT timeLimitMs = 15'000; // the query gives up after this long
    QueryListener listener = {};
};

// The socket address for a server's dotted address, read the way the socket library reads it
// ("0127.0.0.1" is octal: 87.0.0.1). INADDR_NONE when the library cannot read it.
sockaddr_in ServerAddressOf(const char* address);

// Closes any open query and opens one. True when the connection attempt is under way; false when
// it has failed at once (logged in the log target, with its hint), and the listener hears nothing.
bool OpenQuery(const QueryRequest& request);

// Handles WM_SOCKET for the open query; notifications of any other socket, and those queued
// before the latest query was closed, are ignored.
void OnQueryNotify(WPARAM wParam, LPARAM lParam);

// Ends the open query as timed out: logged, then the listener's failed.
void AbandonQuery();

// Closes the open query, if any, without a word.
void CloseQuery();

bool IsQueryOpen();

// When the latest query to that address (network order) started its connect, on the counter.
std::optional<Ticks> LastQueryStart(unsigned long address);
