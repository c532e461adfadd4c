#pragma once

#include "ui/framework/base_dlg.h"
#include "tests/support/message_pump.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

constexpr UINT kAfterCreate = 100; // posted by the base once creation has finished

// A framework window that notes every message reaching its WndProc, with the window handle the
// object held at that moment, and lets a test act on messages before the base handles them.
class RecordingDlg : public Tessel::CBaseDlg {
public:
    struct Arrival {
        UINT uMsg;
        HWND hWnd;
    };

    // Runs before the base's handling; a value consumes the message.
    std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> m_onMessage;
    std::vector<Arrival> m_arrivals;
    int m_nDrawCalls = 0;

    HWND CreateTopLevel(DWORD dwStyle = WS_OVERLAPPEDWINDOW, HWND hParent = nullptr) {
        return Create(hParent, GetModuleHandleW(nullptr), dwStyle);
    }
    HWND CreateWithClass(const wchar_t* pszClassName) {
        return Create(STWndProc, pszClassName, nullptr, GetModuleHandleW(nullptr),
                      WS_OVERLAPPEDWINDOW);
    }

    size_t Count(UINT uMsg) const {
        return static_cast<size_t>(
            std::count_if(m_arrivals.begin(), m_arrivals.end(),
                          [uMsg](const Arrival& a) { return a.uMsg == uMsg; }));
    }

    void Draw(HDC hdc) override {
        ++m_nDrawCalls;
        CBaseDlg::Draw(hdc);
    }

    LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        m_arrivals.push_back({uMsg, m_hWnd});
        if (m_onMessage) {
            if (const auto result = m_onMessage(uMsg, wParam, lParam))
                return *result;
        }
        return CBaseDlg::WndProc(uMsg, wParam, lParam);
    }
};

// Consumes what destroyed framework windows leave in the thread's queue (their WM_QUIT), so that
// one test's quit never ends the next test's loop.
inline void DrainQueue() {
    PumpMessagesUntil([] { return true; }, 0);
    TakeQuitCode();
}

// The outer size of a window.
inline SIZE WindowSize(HWND hWnd) {
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}
