#pragma once

#include "tests/framework/modal_watchdog.h"
#include "tests/framework/recording_dlg.h"

#include <functional>
#include <utility>

constexpr UINT kProbe = WM_APP + 1; // takes notes while the loop runs
constexpr UINT kEnd = WM_APP + 2;   // destroys the window

// A window owned by its parent, as a modal dialog is.
constexpr DWORD kPopup = WS_POPUP | WS_CAPTION;

// Makes the window, once its loop runs, call the probe and then destroy itself.
inline void ScriptProbeThenEnd(RecordingDlg& dlg, std::function<void()> probe) {
    dlg.m_onMessage = [&dlg, probe = std::move(probe)](UINT uMsg, WPARAM,
                                                       LPARAM) -> std::optional<LRESULT> {
        if (uMsg == kProbe) {
            probe();
            PostMessageW(dlg.GetHwnd(), kEnd, 0, 0);
            return 0;
        }
        if (uMsg == kEnd) {
            DestroyWindow(dlg.GetHwnd());
            return 0;
        }
        return std::nullopt;
    };
    PostMessageW(dlg.GetHwnd(), kProbe, 0, 0);
}

// Runs DoModal under a watchdog; false when the watchdog had to end the loop.
inline bool RunModal(HWND hWnd, HWND hParent, int (*pfnFilter)(MSG*) = nullptr) {
    const ModalWatchdog watchdog;
    if (!watchdog.Armed())
        return false;
    Tessel::CBaseDlg::DoModal(hWnd, hParent, pfnFilter);
    return !watchdog.HasFired();
}
