#pragma once

#include <windows.h>

// Ends the innermost message loop of this thread with a WM_QUIT of its own code if the loop is
// still running after the given time, so that a loop that fails to end fails its test instead of
// hanging it.
class ModalWatchdog {
public:
    static constexpr int kQuitCode = 0x7D06;

    explicit ModalWatchdog(UINT nTimeoutMs = 5000) {
        Fired() = false;
        m_nTimer = SetTimer(nullptr, 0, nTimeoutMs, OnTimeout);
    }
    ~ModalWatchdog() { KillTimer(nullptr, m_nTimer); }
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

    bool Armed() const { return m_nTimer != 0; }
    bool HasFired() const { return Fired(); }

private:
    static bool& Fired() {
        static bool s_bFired = false;
        return s_bFired;
    }
    static void CALLBACK OnTimeout(HWND, UINT, UINT_PTR nTimer, DWORD) {
        KillTimer(nullptr, nTimer);
        Fired() = true;
        PostQuitMessage(kQuitCode);
    }

    UINT_PTR m_nTimer = 0;
};
