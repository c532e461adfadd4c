#pragma once

#include "timesync/activity_log.h"
#include "timesync/clock_update.h"
#include "timesync/time_exchange.h"
#include "tests/support/window_text.h"

#include <windows.h>

#include <optional>
#include <string>

// Queries to one server go at least four seconds apart; tests that ask one server again and again
// shorten that while this lives.
class TestQuerySpacing {
public:
    explicit TestQuerySpacing(Ticks spacing = 0) { g_searchSettings.spacing = spacing; }
    ~TestQuerySpacing() { g_searchSettings = m_saved; }
    TestQuerySpacing(const TestQuerySpacing&) = delete;
    TestQuerySpacing& operator=(const TestQuerySpacing&) = delete;

private:
    SearchSettings m_saved = g_searchSettings;
};

// A hidden top-level window that hands WM_SOCKET to the exchange, with a real multi-line EDIT as
// the log pane (g_hLogEdit) while it lives.
class ExchangeHost {
public:
    ExchangeHost() {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WndProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VexloExchangeHost";
        RegisterClassExW(&windowClass);
        m_hWnd = CreateWindowExW(0, windowClass.lpszClassName, L"host", WS_OVERLAPPEDWINDOW, 0, 0,
                                 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
        m_hLog = CreateWindowExW(0, L"Edit", L"",
                                 WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                                     ES_READONLY | ES_WANTRETURN,
                                 0, 0, 380, 280, m_hWnd, nullptr, windowClass.hInstance, nullptr);
        g_hLogEdit = m_hLog;
    }
    ~ExchangeHost() {
        g_hLogEdit = nullptr;
        DestroyWindow(m_hWnd);
    }
    ExchangeHost(const ExchangeHost&) = delete;
    ExchangeHost& operator=(const ExchangeHost&) = delete;

    HWND Window() const { return m_hWnd; }
    HWND Log() const { return m_hLog; }
    std::wstring LogText() const { return WindowText(m_hLog); }
    void ClearLog() const { SetWindowTextW(m_hLog, L""); }

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SOCKET) {
            OnSocketNotify(wParam, lParam);
            return 0;
        }
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
    HWND m_hLog = nullptr;
};

// Stands in for the system clock while it lives: the local time reads `before` until a change is
// accepted and `after` from then on; a refused change fails with ERROR_PRIVILEGE_NOT_HELD.
class StandInClock {
public:
    explicit StandInClock(SYSTEMTIME before, bool accepts = false, SYSTEMTIME after = {}) {
        s_before = before;
        s_after = after;
        s_accepts = accepts;
        s_set.reset();
        g_clockAccess = {LocalTime, SetTime, UtcNow};
    }
    ~StandInClock() { g_clockAccess = m_real; }
    StandInClock(const StandInClock&) = delete;
    StandInClock& operator=(const StandInClock&) = delete;

    // The UTC time handed to the clock, when a change was asked for, and the host's clock then.
    static inline std::optional<SYSTEMTIME> s_set;
    static inline Ticks s_setAt = 0;
    // How far the time handed to the clock was from the host's clock plus offsetMs, in ms.
    static double ErrorMs(std::int64_t offsetMs) {
        const Ticks error =
            TicksSince1900(s_set.value()) - s_setAt - offsetMs * kTicksPerMillisecond;
        return static_cast<double>(error) / kTicksPerMillisecond;
    }

private:
    static SYSTEMTIME LocalTime() { return s_set && s_accepts ? s_after : s_before; }
    // The clock before the change, read as UTC: what the offset line compares with.
    static Ticks UtcNow() { return TicksSince1900(s_before); }
    static bool SetTime(const SYSTEMTIME& utc) {
        s_set = utc;
        s_setAt = PreciseUtcNow();
        SetLastError(s_accepts ? 0 : ERROR_PRIVILEGE_NOT_HELD);
        return s_accepts;
    }

    static inline SYSTEMTIME s_before = {}, s_after = {};
    static inline bool s_accepts = false;
    ClockAccess m_real = g_clockAccess;
};
