#pragma once
// The process-wide values of the time exchange, which the clock update reads too.

#include <winsock2.h>
#include <windows.h>

// Socket notifications: wParam is the socket, LOWORD(lParam) the event, HIWORD(lParam) its error.
inline constexpr UINT WM_SOCKET = WM_USER + 11;
inline constexpr u_short kTimeProtocolPort = 37;

inline SOCKET g_timeSocket = INVALID_SOCKET; // the open exchange's socket, INVALID_SOCKET if none
inline sockaddr_in g_serverAddr = {};        // the server of the latest exchange
inline u_long g_serverTime = 0;              // the received value, in host order once complete
inline bool g_unattended = false; // started from the command line: the exchange's end ends it
