/* The least PE program that does what Vexlo.exe /ip must do before its exchange, without the
 * exchange: the main window created hidden with a list view, an edit box and a button (common
 * controls 6.0 through the same manifest), then destroyed. The benchmark reports its time as the
 * floor that any program creating that window shares. */
#include <windows.h>
#include <commctrl.h>

static LRESULT CALLBACK FloorWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE previous, LPWSTR commandLine, int show) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    WNDCLASSEXW windowClass = {sizeof windowClass};
    HWND hWnd;
    (void)previous;
    (void)commandLine;
    (void)show;
    InitCommonControlsEx(&controls);
    windowClass.lpfnWndProc = FloorWndProc;
    windowClass.hInstance = hInstance;
    windowClass.lpszClassName = L"VexloWindowFloor";
    if (!RegisterClassExW(&windowClass))
        return 1;
    hWnd = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 719, 437,
                           NULL, NULL, hInstance, NULL);
    if (!hWnd)
        return 1;
    CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 5, 5, 380, 290, hWnd, NULL,
                    hInstance, NULL);
    CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE, 390, 5, 320, 290, hWnd, NULL,
                    hInstance, NULL);
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_PUSHBUTTON, 5, 300, 60, 30, hWnd, NULL,
                    hInstance, NULL);
    DestroyWindow(hWnd);
    return 0;
}
