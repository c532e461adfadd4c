#include "timesync/time_query.h"

#include "base/thread_timer.h"
#include "timesync/activity_log.h"
#include "timesync/counter.h"
#include "timesync/exchange_values.h"
#include "timesync/failure_hint.h"
#include "timesync/timesync_texts.h"

#include <winsock2.h>

#include <map>

namespace {

constexpr int kAnswerSize = sizeof(g_serverTime);
constexpr long kEvents = FD_READ | FD_CONNECT | FD_CLOSE;

// The open query: its socket holds one WSAStartup until CloseQuery.
QueryRequest g_request;
TimeAnswer g_answer;
int g_receivedBytes = 0;
std::map<unsigned long, Ticks> g_lastQueryStarts;

// Posted to the notification window after a socket is closed. Windows Sockets posts a socket's
// notifications in order ahead of it, so until it arrives every notification in the queue belongs
// to a closed query, whatever handle value it carries: a new socket may reuse the old value.
constexpr WORD kQueryClosedEvent = 0x8000; // beyond every FD_ event
HWND g_hMarkedWnd = nullptr;
int g_closedMarkersQueued = 0;

// Markers queued for another window, or for one that is gone with its queue, order nothing here.
void ForgetMarkersUnlessFor(HWND hWnd) {
    if (g_hMarkedWnd != hWnd || !IsWindow(g_hMarkedWnd)) {
        g_hMarkedWnd = hWnd;
        g_closedMarkersQueued = 0;
    }
}

void MarkQueryClosed() {
    ForgetMarkersUnlessFor(g_request.hNotifyWnd);
    if (IsWindow(g_request.hNotifyWnd) &&
        PostMessageW(g_request.hNotifyWnd, WM_SOCKET, 0, WSAMAKESELECTREPLY(kQueryClosedEvent, 0)))
        ++g_closedMarkersQueued;
}

// Consumes a marker; true for a notification that a closed query left in the queue.
bool IsStaleNotification(WORD event) {
    if (event == kQueryClosedEvent) {
        g_closedMarkersQueued -= g_closedMarkersQueued > 0 ? 1 : 0;
        return true;
    }
    return g_closedMarkersQueued > 0;
}

// The bound of the open query.
ThreadTimer g_timeLimit;

void CALLBACK OnTimeLimit(HWND, UINT, UINT_PTR, DWORD) {
    AbandonQuery();
}

void Fail() {
    CloseQuery();
    if (g_request.listener.failed)
        g_request.listener.failed();
}

// Logs the failure's line (format with arg1 and arg2), then the hint for its error.
void FailWithLine(int error, const wchar_t* format, int arg1, int arg2 = 0) {
    AppendLog(g_hLogEdit, kLogEventStart);
    AppendLog(g_hLogEdit, format, arg1, arg2);
    AppendFailureHint(g_hLogEdit, error, HintShape::Line);
    Fail();
}

void OnConnected(int error) {
    if (error != 0) {
        FailWithLine(error, kLogConnectFailed, error);
        return;
    }
    g_answer.connectDone = CounterNow();
    if (!g_request.logSteps)
        return;
    AppendLog(g_hLogEdit, kLogEventStart);
    AppendLog(g_hLogEdit, kLogConnected);
    AppendLog(g_hLogEdit, kLogAwaitingData);
}

void CompleteAnswer() {
    CloseQuery();
    g_serverTime = ntohl(g_serverTime);
    g_answer.count = static_cast<std::uint32_t>(g_serverTime);
    if (g_request.logSteps) {
        AppendLog(g_hLogEdit, kLogEventStart);
        AppendLog(g_hLogEdit, kLogReceived, g_serverTime);
    }
    if (g_request.listener.answered)
        g_request.listener.answered(g_answer);
}

enum class ReadState { Incomplete, Complete, Closed, Failed };

// Reads what has arrived of the four bytes; anything the server sends after them is not read.
ReadState ReadAnswer() {
    while (g_receivedBytes < kAnswerSize) {
        char* const end = reinterpret_cast<char*>(&g_serverTime) + g_receivedBytes;
        const int count = recv(g_timeSocket, end, kAnswerSize - g_receivedBytes, 0);
        if (count == 0)
            return ReadState::Closed;
        if (count == SOCKET_ERROR)
            return WSAGetLastError() == WSAEWOULDBLOCK ? ReadState::Incomplete : ReadState::Failed;
        g_receivedBytes += count;
    }
    g_answer.arrival = CounterNow();
    return ReadState::Complete;
}

void OnReadable(int error) {
    if (error != 0) {
        FailWithLine(error, kLogReadFailed, error);
        return;
    }
    switch (ReadAnswer()) {
    case ReadState::Complete:
        CompleteAnswer();
        return;
    case ReadState::Failed: {
        const int failure = WSAGetLastError();
        FailWithLine(failure, kLogReadFailed, failure);
        return;
    }
    case ReadState::Closed:
        FailWithLine(WSAEDISCON, kLogClosedEarly, g_receivedBytes, WSAEDISCON);
        return;
    case ReadState::Incomplete:
        return;
    }
}

// The last bytes may still wait to be read when the close is reported; a close that carries an
// error (a reset) is reported with that error.
void OnClosed(int error) {
    if (ReadAnswer() == ReadState::Complete) {
        CompleteAnswer();
        return;
    }
    const int cause = error != 0 ? error : WSAEDISCON;
    FailWithLine(cause, kLogClosedEarly, g_receivedBytes, cause);
}

bool FailToStart(HWND hLogTarget, const wchar_t* format, int error) {
    AppendLog(hLogTarget, format, error);
    AppendFailureHint(hLogTarget, error, HintShape::Paragraph);
    CloseQuery();
    return false;
}

} // namespace

sockaddr_in ServerAddressOf(const char* address) {
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(kTimeProtocolPort);
    server.sin_addr.s_addr = inet_addr(address ? address : "");
    return server;
}

bool OpenQuery(const QueryRequest& request) {
    CloseQuery();
    ForgetMarkersUnlessFor(request.hNotifyWnd);
    g_request = request;
    g_answer = {};
    g_receivedBytes = 0;
    g_serverTime = 0;
    // A later query of a search logs only its failures, in the log pane.
    const HWND hSteps = request.logSteps ? request.hLogTarget : nullptr;
    const HWND hFailures = request.logSteps ? request.hLogTarget : g_hLogEdit;

    WSADATA wsaData = {};
    if (const int error = WSAStartup(2, &wsaData); error != 0)
        return FailToStart(hFailures, kLogStartupFailed, error);
    AppendLog(hSteps, kLogStartedUp, wsaData.szDescription);

    g_timeSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (g_timeSocket == INVALID_SOCKET) {
        const int error = WSAGetLastError();
        WSACleanup();
        return FailToStart(hFailures, kLogSocketFailed, error);
    }
    AppendLog(hSteps, kLogSocketCreated, static_cast<int>(g_timeSocket));

    if (WSAAsyncSelect(g_timeSocket, request.hNotifyWnd, WM_SOCKET, kEvents) == SOCKET_ERROR)
        return FailToStart(hFailures, kLogAsyncSelectFailed, WSAGetLastError());

    // An address the library cannot read would become the broadcast address: never connect there.
    g_serverAddr = ServerAddressOf(request.address);
    if (g_serverAddr.sin_addr.s_addr == INADDR_NONE)
        return FailToStart(hFailures, kLogConnectFailedAtOnce, WSAEADDRNOTAVAIL);

    g_answer.connectStart = CounterNow();
    g_lastQueryStarts[g_serverAddr.sin_addr.s_addr] = g_answer.connectStart;
    const int result = connect(g_timeSocket, reinterpret_cast<const sockaddr*>(&g_serverAddr),
                               sizeof g_serverAddr);
    if (result == 0 || WSAGetLastError() == WSAEWOULDBLOCK) {
        AppendLog(hSteps, kLogConnecting, request.address ? request.address : "");
        g_timeLimit.Arm(request.timeLimitMs, OnTimeLimit);
        return true;
    }
    return FailToStart(hFailures, kLogConnectFailedAtOnce, WSAGetLastError());
}

void OnQueryNotify(WPARAM wParam, LPARAM lParam) {
    if (IsStaleNotification(WSAGETSELECTEVENT(lParam)))
        return;
    if (g_timeSocket == INVALID_SOCKET || static_cast<SOCKET>(wParam) != g_timeSocket)
        return;
    const int error = WSAGETSELECTERROR(lParam);
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_CONNECT:
        OnConnected(error);
        break;
    case FD_READ:
        OnReadable(error);
        break;
    case FD_CLOSE:
        OnClosed(error);
        break;
    default:
        break;
    }
}

void AbandonQuery() {
    if (IsQueryOpen())
        FailWithLine(WSAETIMEDOUT, kLogTimedOut, WSAETIMEDOUT);
}

void CloseQuery() {
    if (g_timeSocket == INVALID_SOCKET)
        return;
    g_timeLimit.Disarm();
    closesocket(g_timeSocket);
    g_timeSocket = INVALID_SOCKET;
    WSACleanup();
    MarkQueryClosed();
}

bool IsQueryOpen() {
    return g_timeSocket != INVALID_SOCKET;
}

std::optional<Ticks> LastQueryStart(unsigned long address) {
    const auto found = g_lastQueryStarts.find(address);
    if (found == g_lastQueryStarts.end())
        return std::nullopt;
    return found->second;
}
