#pragma once
// The process-wide values of the time exchange, which the clock update reads too.

#include <winsock2.h>

extern SOCKET g_timeSocket;      // the open exchange's socket, INVALID_SOCKET when none is open
extern sockaddr_in g_serverAddr; // the server of the latest exchange
extern u_long g_serverTime;      // the received value, in host order once complete
extern bool g_unattended; // started from the command line: an ended exchange ends the process
