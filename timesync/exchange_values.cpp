#include "timesync/exchange_values.h"

SOCKET g_timeSocket = INVALID_SOCKET;
sockaddr_in g_serverAddr = {};
u_long g_serverTime = 0;
bool g_unattended = false;
