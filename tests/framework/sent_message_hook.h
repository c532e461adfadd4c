#pragma once

#include <windows.h>

#include <vector>

// Notes every message sent to a window procedure of this thread while it lives, as the system
// delivers it (before any window procedure runs).
class SentMessageHook {
public:
    struct Sent {
        HWND hWnd;
        UINT uMsg;
    };

    SentMessageHook() {
        Sink().clear();
        m_hHook = SetWindowsHookExW(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId());
    }
    ~SentMessageHook() { UnhookWindowsHookEx(m_hHook); }
    SentMessageHook(const SentMessageHook&) = delete;
    SentMessageHook& operator=(const SentMessageHook&) = delete;

    bool Installed() const { return m_hHook != nullptr; }
    std::vector<UINT> MessagesTo(HWND hWnd) const {
        std::vector<UINT> messages;
        for (const Sent& sent : Sink()) {
            if (sent.hWnd == hWnd)
                messages.push_back(sent.uMsg);
        }
        return messages;
    }

private:
    static std::vector<Sent>& Sink() {
        static std::vector<Sent> s_sent;
        return s_sent;
    }
    static LRESULT CALLBACK Record(int nCode, WPARAM wParam, LPARAM lParam) {
        if (nCode == HC_ACTION) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the hook gets a CWPSTRUCT
            const auto* pMessage = reinterpret_cast<const CWPSTRUCT*>(lParam);
            Sink().push_back({pMessage->hwnd, pMessage->message});
        }
        return CallNextHookEx(nullptr, nCode, wParam, lParam);
    }

    HHOOK m_hHook = nullptr;
};
