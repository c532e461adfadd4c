#pragma once
// The hint that the log gives the user for a failure's system error code.

#include <windows.h>

// What the user can do about a failure with that system error code (a missing privilege, a
// server that does not answer or refuses, no route to its network); null when the code names
// nothing the user can act on.
const wchar_t* FailureHint(int code);

// Logs the hint for the code, when there is one, on a line of its own right after the failure
// line, in the failure line's own shape: a line without a break (the next text supplies it), or
// a paragraph (the line and a blank line).
enum class HintShape { Line, Paragraph };
void AppendFailureHint(HWND target, int code, HintShape shape);
