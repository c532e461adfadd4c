#include "timesync/time_exchange.h"

#include "base/ansi_text.h"
#include "timesync/activity_log.h"
#include "timesync/clock_update.h"
#include "timesync/exchange_cursor.h"
#include "timesync/failure_hint.h"
#include "timesync/timesync_texts.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr int kAnswerSize = sizeof(g_serverTime);
constexpr long kEvents = FD_READ | FD_CONNECT | FD_CLOSE;

// The open exchange: its socket holds one WSAStartup until CloseExchange.
HWND g_hNotifyWnd = nullptr;
int g_receivedBytes = 0;
ExchangeOutcome g_lastOutcome = ExchangeOutcome::None;

// Posted to the notification window after a socket is closed. Windows Sockets posts a socket's
// notifications in order ahead of it, so until it arrives every notification in the queue belongs
// to a closed exchange, whatever handle value it carries: a new socket may reuse the old value.
constexpr WORD kExchangeClosedEvent = 0x8000; // beyond every FD_ event
HWND g_hMarkedWnd = nullptr;
int g_closedMarkersQueued = 0;

// Markers queued for another window, or for one that is gone with its queue, order nothing here.
void ForgetMarkersUnlessFor(HWND hWnd) {
    if (g_hMarkedWnd != hWnd || !IsWindow(g_hMarkedWnd)) {
        g_hMarkedWnd = hWnd;
        g_closedMarkersQueued = 0;
    }
}

void MarkExchangeClosed() {
    ForgetMarkersUnlessFor(g_hNotifyWnd);
    if (IsWindow(g_hNotifyWnd) &&
        PostMessageW(g_hNotifyWnd, WM_SOCKET, 0, WSAMAKESELECTREPLY(kExchangeClosedEvent, 0)))
        ++g_closedMarkersQueued;
}

// Consumes a marker; true for a notification that a closed exchange left in the queue.
bool IsStaleNotification(WORD event) {
    if (event == kExchangeClosedEvent) {
        g_closedMarkersQueued -= g_closedMarkersQueued > 0 ? 1 : 0;
        return true;
    }
    return g_closedMarkersQueued > 0;
}

// The bound of the open exchange: a thread timer, so that it needs no window procedure.
UINT_PTR g_timeLimitTimer = 0;

void CALLBACK OnTimeLimit(HWND, UINT, UINT_PTR, DWORD) {
    AbandonExchange();
}

void ArmTimeLimit() {
    g_timeLimitTimer = SetTimer(nullptr, 0, kExchangeTimeLimitMs, OnTimeLimit);
}

void DisarmTimeLimit() {
    if (g_timeLimitTimer != 0)
        KillTimer(nullptr, g_timeLimitTimer);
    g_timeLimitTimer = 0;
}

void CloseExchange() {
    if (g_timeSocket == INVALID_SOCKET)
        return;
    DisarmTimeLimit();
    closesocket(g_timeSocket);
    g_timeSocket = INVALID_SOCKET;
    WSACleanup();
    MarkExchangeClosed();
    ShowExchangeBusy(g_hNotifyWnd, false);
}

ExchangeOutcome OutcomeOf(ClockOutcome clock) {
    switch (clock) {
    case ClockOutcome::Set:
        return ExchangeOutcome::ClockSet;
    case ClockOutcome::RefusedByYear:
        return ExchangeOutcome::AnswerRefused;
    case ClockOutcome::NotSettable:
        return ExchangeOutcome::ClockNotSettable;
    }
    return ExchangeOutcome::ClockNotSettable;
}

bool EndExchange(ExchangeOutcome outcome) {
    CloseExchange();
    g_lastOutcome = outcome;
    if (g_unattended)
        PostQuitMessage(0);
    return outcome != ExchangeOutcome::NoAnswer;
}

void OnConnected(int error) {
    AppendLog(g_hLogEdit, kLogEventStart);
    if (error != 0) {
        AppendLog(g_hLogEdit, kLogConnectFailed, error);
        AppendFailureHint(g_hLogEdit, error, HintShape::Line);
        EndExchange(ExchangeOutcome::NoAnswer);
        return;
    }
    AppendLog(g_hLogEdit, kLogConnected);
    AppendLog(g_hLogEdit, kLogAwaitingData);
}

void CompleteAnswer() {
    CloseExchange();
    g_serverTime = ntohl(g_serverTime);
    AppendLog(g_hLogEdit, kLogEventStart);
    AppendLog(g_hLogEdit, kLogReceived, g_serverTime);
    EndExchange(OutcomeOf(UpdateSystemClock()));
}

// Logs the failure's line (format with arg1 and arg2), then the hint for its error.
void FailRead(int error, const wchar_t* format, int arg1, int arg2 = 0) {
    AppendLog(g_hLogEdit, kLogEventStart);
    AppendLog(g_hLogEdit, format, arg1, arg2);
    AppendFailureHint(g_hLogEdit, error, HintShape::Line);
    EndExchange(ExchangeOutcome::NoAnswer);
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
    return ReadState::Complete;
}

void OnReadable(int error) {
    if (error != 0) {
        FailRead(error, kLogReadFailed, error);
        return;
    }
    switch (ReadAnswer()) {
    case ReadState::Complete:
        CompleteAnswer();
        return;
    case ReadState::Failed: {
        const int failure = WSAGetLastError();
        FailRead(failure, kLogReadFailed, failure);
        return;
    }
    case ReadState::Closed:
        FailRead(WSAEDISCON, kLogClosedEarly, g_receivedBytes, WSAEDISCON);
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
    FailRead(cause, kLogClosedEarly, g_receivedBytes, cause);
}

bool FailToStart(HWND hLogTarget, const wchar_t* format, int error) {
    AppendLog(hLogTarget, format, error);
    AppendFailureHint(hLogTarget, error, HintShape::Paragraph);
    return EndExchange(ExchangeOutcome::NoAnswer);
}

} // namespace

std::wstring SelectedServerAddress(HWND hListView) {
    const auto item = static_cast<int>(
        SendMessageW(hListView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0)
        return {};
    constexpr int kAddressCapacity = 32;
    wchar_t address[kAddressCapacity] = {};
    LVITEMW column = {};
    column.iSubItem = 1;
    column.pszText = address;
    column.cchTextMax = kAddressCapacity;
    SendMessageW(hListView, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&column));
    address[kAddressCapacity - 1] = L'\0';
    return address;
}

bool StartSync(HWND hMainWnd, HWND hListView) {
    const std::wstring address = SelectedServerAddress(hListView);
    if (address.empty())
        return false;
    SetWindowTextW(g_hLogEdit, L"");
    ConnectTimeServer(g_hLogEdit, hMainWnd, WideToAnsi(address.c_str()).c_str());
    return true;
}

sockaddr_in ServerAddressOf(const char* address) {
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(kTimeProtocolPort);
    server.sin_addr.s_addr = inet_addr(address ? address : "");
    return server;
}

bool ConnectTimeServer(HWND hLogTarget, HWND hNotifyWnd, const char* address) {
    CloseExchange();
    ForgetMarkersUnlessFor(hNotifyWnd);
    g_hNotifyWnd = hNotifyWnd;
    g_receivedBytes = 0;
    g_serverTime = 0;

    WSADATA wsaData = {};
    if (const int error = WSAStartup(2, &wsaData); error != 0)
        return FailToStart(hLogTarget, kLogStartupFailed, error);
    AppendLog(hLogTarget, kLogStartedUp, wsaData.szDescription);

    g_timeSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (g_timeSocket == INVALID_SOCKET) {
        const int error = WSAGetLastError();
        WSACleanup();
        return FailToStart(hLogTarget, kLogSocketFailed, error);
    }
    AppendLog(hLogTarget, kLogSocketCreated, static_cast<int>(g_timeSocket));

    if (WSAAsyncSelect(g_timeSocket, hNotifyWnd, WM_SOCKET, kEvents) == SOCKET_ERROR)
        return FailToStart(hLogTarget, kLogAsyncSelectFailed, WSAGetLastError());

    // An address the library cannot read would become the broadcast address: never connect there.
    g_serverAddr = ServerAddressOf(address);
    if (g_serverAddr.sin_addr.s_addr == INADDR_NONE)
        return FailToStart(hLogTarget, kLogConnectFailedAtOnce, WSAEADDRNOTAVAIL);

    const int result = connect(g_timeSocket, reinterpret_cast<const sockaddr*>(&g_serverAddr),
                               sizeof g_serverAddr);
    if (result == 0 || WSAGetLastError() == WSAEWOULDBLOCK) {
        AppendLog(hLogTarget, kLogConnecting, address ? address : "");
        ArmTimeLimit();
        ShowExchangeBusy(hNotifyWnd, true);
        return true;
    }
    return FailToStart(hLogTarget, kLogConnectFailedAtOnce, WSAGetLastError());
}

void OnSocketNotify(WPARAM wParam, LPARAM lParam) {
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

void AbandonExchange() {
    if (!IsExchangeOpen())
        return;
    AppendLog(g_hLogEdit, kLogEventStart);
    AppendLog(g_hLogEdit, kLogTimedOut, WSAETIMEDOUT);
    AppendFailureHint(g_hLogEdit, WSAETIMEDOUT, HintShape::Line);
    EndExchange(ExchangeOutcome::NoAnswer);
}

bool IsExchangeOpen() {
    return g_timeSocket != INVALID_SOCKET;
}

ExchangeOutcome LastExchangeOutcome() {
    return g_lastOutcome;
}
