#pragma once
// The main window's icons at the sizes of its DPI.

#include <windows.h>

// The window's icons: resource 128 at the small and the big icon size of a DPI. The window owns
// them from then on; they are set only through these two functions.

// Gives the window the small icon (caption, task switcher) at SM_CXSMICON x SM_CYSMICON and the big
// one at SM_CXICON x SM_CYICON for that DPI, each from the icon's own image of that size where
// it has one; the icons they replace are destroyed. Call it again when the window's DPI changes.
void SetWindowIcons(HWND hWnd, UINT dpi);
// Takes the icons back from the window and destroys them; for its WM_DESTROY.
void ReleaseWindowIcons(HWND hWnd);
