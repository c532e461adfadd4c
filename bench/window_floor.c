/* The least PE program that does what Vexlo.exe /ip must do before its exchange, without the
 * exchange: the main window created hidden with a list view, an edit box and a button (common
 * controls 6.0 through the same manifest), then destroyed. The benchmark reports its time as the
 * floor that any program creating that window shares. */
#include <windows.h>
#include <commctrl.h>

static LRESULT CALLBACK FloorWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

static BOOL CreateControl(HWND hParent, const wchar_t* className, DWORD style, int x, int y,
                          int width, int height) {
    return CreateWindowExW(0, className, L"", WS_CHILD | style, x, y, width, height, hParent, NULL,
                           NULL, NULL) != NULL;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE previous, LPWSTR commandLine, int show) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    WNDCLASSEXW windowClass = {0};
    HWND hWnd = NULL;
    (void)previous;
    (void)commandLine;
    (void)show;
    windowClass.cbSize = sizeof windowClass;
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
    if (!CreateControl(hWnd, WC_LISTVIEWW, LVS_REPORT, 5, 5, 380, 290) ||
        !CreateControl(hWnd, L"EDIT", ES_MULTILINE, 390, 5, 320, 290) ||
        !CreateControl(hWnd, L"BUTTON", BS_PUSHBUTTON, 5, 300, 60, 30))
        return 1;
    DestroyWindow(hWnd);
    return 0;
}
