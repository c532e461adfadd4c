#pragma once

#include <windows.h>

// While an exchange is open, the pointer over the window that receives its notifications (its
// client area and every control in it) is the working-in-background cursor: the program is busy,
// and the user may still pick another server.

// For that window's WM_SETCURSOR (hUnder from wParam, the hit-test code from LOWORD(lParam)):
// true when it has set the busy cursor and the message is handled.
bool SetExchangeCursor(HWND hWnd, HWND hUnder, UINT hitTest);

// When the pointer is over the window or one of its controls, has the window under it choose its
// cursor now, as a move of the pointer would: an exchange that opens or ends shows at once.
void RefreshCursor(HWND hWnd);
