#pragma once

#include <windows.h>

#include <string>

// The text of a window of this or any other process (WM_GETTEXT).
std::wstring WindowText(HWND hWnd);
