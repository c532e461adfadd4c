#include "ui/framework/base_dlg.h"

#include "ui/framework/wndproc_failure.h"

namespace Tessel {

namespace {

// The window that a modal loop for hParent belongs to: hParent, or its first ancestor that is
// not a child window.
HWND OwnerOf(HWND hParent) {
    HWND hOwner = hParent;
    while (hOwner && (GetWindowLongW(hOwner, GWL_STYLE) & WS_CHILD))
        hOwner = ::GetParent(hOwner);
    return hOwner;
}

HWND TopWindowOf(HWND hOwner) {
    HWND hTop = hOwner;
    for (HWND hUp = hOwner; hUp; hUp = ::GetParent(hUp))
        hTop = hUp;
    return hTop;
}

// Disables the top window for the time of the loop and gives it back its state afterwards.
class TopWindowLock {
public:
    TopWindowLock(HWND hTop, HWND hOwner, HWND hRun) : m_hTop(hTop) {
        if (!m_hTop)
            return;
        if (IsWindowEnabled(m_hTop) && m_hTop != hOwner) {
            EnableWindow(m_hTop, FALSE);
            m_bReenableFirst = true;
        }
        if (m_hTop != GetDesktopWindow() && IsWindowEnabled(m_hTop)) {
            EnableWindow(m_hTop, FALSE);
            m_bReenableLast = true;
        }
        m_bRunWasActive = GetActiveWindow() == hRun;
    }
    ~TopWindowLock() {
        if (m_bReenableFirst)
            EnableWindow(m_hTop, TRUE);
        if (m_hTop && m_bRunWasActive)
            SetActiveWindow(m_hTop);
        if (m_bReenableLast)
            EnableWindow(m_hTop, TRUE);
    }
    TopWindowLock(const TopWindowLock&) = delete;
    TopWindowLock& operator=(const TopWindowLock&) = delete;

private:
    HWND m_hTop;
    bool m_bReenableFirst = false;
    bool m_bReenableLast = false;
    bool m_bRunWasActive = false;
};

} // namespace

void CBaseDlg::DoModal(HWND hWnd, HWND hParent, int (*pfnFilter)(MSG*)) {
    // One record for all loops: nested loops on this thread take turns with it.
    static MSG s_message;
    const HWND hOwner = OwnerOf(hParent);
    const TopWindowLock lock(TopWindowOf(hOwner), hOwner, hWnd);
    // GetMessageW gives 0 for WM_QUIT and -1 when it fails: both end the loop.
    while (GetMessageW(&s_message, nullptr, 0, 0) > 0) {
        if (pfnFilter && pfnFilter(&s_message))
            continue;
        TranslateMessage(&s_message);
        DispatchMessageW(&s_message);
    }
    RethrowWndProcFailure();
}

} // namespace Tessel
