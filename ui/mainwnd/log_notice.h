#pragma once
// The log pane's notices: where the next text starts, what the list says.

#include "timesync/activity_log.h"

#include <windows.h>

// Makes the log pane's next text start a line: a synchronisation's report ends inside its last
// line, the help text and every notice end with a line break.
void BeginLogLine(HWND pane);

// One line of its own at the end of the log pane, saying what the window could not do or why it
// shows what it shows (wvnsprintfW format).
template <typename... Args> void AppendNotice(HWND pane, const wchar_t* format, Args... args) {
    BeginLogLine(pane);
    AppendLog(pane, format, args...);
    AppendLog(pane, L"\r\n");
}
