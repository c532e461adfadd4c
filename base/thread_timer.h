#pragma once
// A thread timer, which needs no window procedure, armed and disarmed by its one owner.

#include <windows.h>

class ThreadTimer {
public:
    ThreadTimer() = default;
    ~ThreadTimer() { Disarm(); }
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;

    // Calls onTime on this thread's message loop after delayMs, and again every delayMs until
    // disarmed; arming again replaces the earlier timer.
    void Arm(UINT delayMs, TIMERPROC onTime) {
        Disarm();
        m_id = SetTimer(nullptr, 0, delayMs, onTime);
    }
    void Disarm() {
        if (m_id != 0)
            KillTimer(nullptr, m_id);
        m_id = 0;
    }

private:
    UINT_PTR m_id = 0;
};
