/* An RFC 868 server for the benchmark whose clock runs a known offset from the host's: to every
 * connection on ADDRESS:37 it sends floor(host time + OFFSET_MS) in seconds since 1900 and
 * closes; at once, or after a wait of 0 to WAIT_MS at random before it reads its clock. Under
 * Wine its clock is the host's, to the tenth of a microsecond.
 *   offset_server.exe ADDRESS OFFSET_MS [WAIT_MS] */
#include <winsock2.h>
#include <windows.h>

#include <stdlib.h>

/* 1900-01-01 00:00:00 UTC as a file time, in 100-ns intervals since 1601. */
#define EPOCH_1900 94354848000000000LL

static long long HostTimeSince1900(void) {
    FILETIME now = {0};
    ULARGE_INTEGER ticks = {0};
    GetSystemTimePreciseAsFileTime(&now);
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return (long long)ticks.QuadPart - EPOCH_1900;
}

/* A number in [0, limit): the low digits of the 10 MHz counter when a client comes are as good
 * as random for a wait. */
static DWORD RandomBelow(unsigned limit) {
    LARGE_INTEGER now = {0};
    QueryPerformanceCounter(&now);
    return (DWORD)((now.QuadPart / 7) % limit);
}

int main(int argc, char** argv) {
    WSADATA data;
    struct sockaddr_in local = {0};
    if ((argc != 3 && argc != 4) || WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 2;
    const long long offset = atoll(argv[2]) * 10000LL;
    const int waitMs = argc == 4 ? atoi(argv[3]) : 0;
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    local.sin_family = AF_INET;
    local.sin_port = htons(37);
    local.sin_addr.s_addr = inet_addr(argv[1]);
    if (bind(listener, (struct sockaddr*)&local, sizeof local) != 0 || listen(listener, 8) != 0) {
        closesocket(listener);
        return 1;
    }
    for (;;) {
        const SOCKET client = accept(listener, NULL, NULL);
        if (client == INVALID_SOCKET)
            continue;
        if (waitMs > 0)
            Sleep(RandomBelow((unsigned)waitMs + 1));
        const unsigned long count =
            htonl((unsigned long)((HostTimeSince1900() + offset) / 10000000LL));
        send(client, (const char*)&count, 4, 0);
        closesocket(client);
    }
}
