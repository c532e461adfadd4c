/* The least PE program that does one blocking RFC 868 exchange: connect to port 37, read four
 * bytes, close. The benchmark runs it beside Vexlo.exe /ip to see what the window, the
 * asynchronous socket and the clock update cost. */
#include <winsock2.h>
#include <windows.h>

int main(int argc, char** argv) {
    WSADATA data;
    SOCKET s = INVALID_SOCKET;
    struct sockaddr_in server = {0};
    unsigned char answer[4];
    int received = 0;
    if (argc != 2 || WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 2;
    s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    server.sin_family = AF_INET;
    server.sin_port = htons(37);
    server.sin_addr.s_addr = inet_addr(argv[1]);
    if (connect(s, (struct sockaddr*)&server, sizeof server) == 0) {
        while (received < 4) {
            const int n = recv(s, (char*)answer + received, 4 - received, 0);
            if (n <= 0)
                break;
            received += n;
        }
    }
    closesocket(s);
    WSACleanup();
    return received == 4 ? 0 : 1;
}
