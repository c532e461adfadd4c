#pragma once

#include <winsock2.h>
#include <windows.h>

// Windows Sockets held for the test's own calls (getsockopt on closed handles).
struct WinsockSession {
    WinsockSession() { WSAStartup(MAKEWORD(2, 2), &data); }
    ~WinsockSession() { WSACleanup(); }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    WSADATA data = {};
};

// True when the handle no longer names a socket. Check before the next socket is made: a new
// socket may take the same value.
inline bool IsClosedSocket(SOCKET socket) {
    int type = 0;
    int size = sizeof type;
    return getsockopt(socket, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size) ==
               SOCKET_ERROR &&
           WSAGetLastError() == WSAENOTSOCK;
}
