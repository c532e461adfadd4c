#pragma once
// The busy cursor over the notification window while an exchange is open.

#include <windows.h>

// While an exchange is open, the pointer over the window that receives its notifications (its
// client area and every control in it) is the working-in-background cursor: the program is busy,
// and the user may still pick another server.

// For that window's WM_SETCURSOR (hUnder from wParam, the hit-test code from LOWORD(lParam)):
// true when it has set the busy cursor and the message is handled.
bool SetExchangeCursor(HWND hWnd, HWND hUnder, UINT hitTest);

// Told by the exchange when it opens (busy) and when it ends: when the pointer is over the window
// or one of its controls, the window under it chooses its cursor now, as a move of the pointer
// would, so that the change shows at once.
void ShowExchangeBusy(HWND hWnd, bool busy);
