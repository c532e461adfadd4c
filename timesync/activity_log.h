#pragma once

#include <windows.h>

// The log pane: a read-only multi-line edit control, recorded when the main window is created.
extern HWND g_hLogEdit;

// Appends one formatted piece of text (wvnsprintfW rules, at most 1023 characters) at the end of
// the log pane. A target that is not a window, including none, swallows the text.
void AppendLog(HWND target, const wchar_t* format, ...);
