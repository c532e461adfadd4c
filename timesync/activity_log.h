#pragma once
// The log pane and the routine through which every log line is written.

#include <windows.h>

#include <string_view>

// The log pane: a read-only multi-line edit control, recorded when the main window is created.
extern HWND g_hLogEdit;

// Appends one formatted piece of text (wvnsprintfW rules, at most 1023 characters) at the end of
// the log pane, whatever its selection and however long its text. A target that is not a window,
// including none, swallows the text.
void AppendLog(HWND target, const wchar_t* format, ...);

// Receives every piece of text that AppendLog has added to a pane, in order; none by default.
using LogEcho = void (*)(std::wstring_view text);
void SetLogEcho(LogEcho echo);
