#pragma once

#include "command_line.h"
#include "owned_handle.h"

#include <windows.h>

#include <optional>
#include <string>

enum class StartCourse { Interactive, Unattended, Usage };

// The course a start takes: no arguments is interactive; exactly "/ip <a.b.c.d>" (any first
// character, key "ip" in lower case, a valid address) is unattended; anything else shows the usage.
// argc counts argument 0, the program.
StartCourse ChooseStartCourse(int argc, const OptionMap& options);

// The longest an unattended exchange may take before the process gives up (exit code 1).
inline constexpr UINT kUnattendedTimeLimitMs = 15'000;

// Gives the main window its icon (resource 128) and caption and shows it.
void ShowMainWindow(HWND hWnd);

inline void KillThreadTimer(UINT_PTR timer) {
    KillTimer(nullptr, timer);
}
using OwnedThreadTimer = OwnedHandle<UINT_PTR, KillThreadTimer>;

// Starts the unattended exchange with notifications to hNotifyWnd and bounds it in time; the bound
// lasts as long as the returned timer.
[[nodiscard]] OwnedThreadTimer StartUnattendedExchange(HWND hNotifyWnd,
                                                       const std::wstring& address);

// The exit code of an unattended run once its message loop has ended: 0 when the server's answer
// was handled (whatever the clock then did), 1 when none came.
int UnattendedExitCode();
