#pragma once

#include "timesync/activity_log.h"
#include "timesync/clock_update.h"
#include "timesync/time_exchange.h"
#include "tests/support/window_text.h"

#include <windows.h>

#include <optional>
#include <string>

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
        g_clockAccess = {LocalTime, SetTime};
    }
    ~StandInClock() { g_clockAccess = m_real; }
    StandInClock(const StandInClock&) = delete;
    StandInClock& operator=(const StandInClock&) = delete;

    // The UTC time handed to the clock, when a change was asked for.
    static inline std::optional<SYSTEMTIME> s_set;

private:
    static SYSTEMTIME LocalTime() { return s_set && s_accepts ? s_after : s_before; }
    static bool SetTime(const SYSTEMTIME& utc) {
        s_set = utc;
        SetLastError(s_accepts ? 0 : ERROR_PRIVILEGE_NOT_HELD);
        return s_accepts;
    }

    static inline SYSTEMTIME s_before = {}, s_after = {};
    static inline bool s_accepts = false;
    ClockAccess m_real = g_clockAccess;
};
