/* Times an interactive start of Vexlo.exe: from CreateProcess until its main window is visible
 * and its server list holds the expected number of rows; then closes the window. Prints the
 * milliseconds, or fails (exit 1) when that state is not reached within the limit.
 *   window_timer.exe <Vexlo.exe> <rows> [limit in ms] */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

static const wchar_t kCaption[] = L"Vexlo v1.1";

static HWND FindServerList(HWND hMain) {
    return FindWindowExW(hMain, NULL, WC_LISTVIEWW, NULL);
}

/* The main window of the process once it is visible with all its rows. */
static BOOL IsReady(DWORD processId, LRESULT rows) {
    HWND hWnd = NULL;
    while ((hWnd = FindWindowExW(NULL, hWnd, NULL, kCaption)) != NULL) {
        DWORD owner = 0;
        HWND hList = NULL;
        GetWindowThreadProcessId(hWnd, &owner);
        if (owner != processId || !IsWindowVisible(hWnd))
            continue;
        hList = FindServerList(hWnd);
        if (hList && SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0) == rows) {
            PostMessageW(hWnd, WM_CLOSE, 0, 0);
            return TRUE;
        }
    }
    return FALSE;
}

int wmain(int argc, wchar_t** argv) {
    STARTUPINFOW startup = {0};
    PROCESS_INFORMATION process = {0};
    LARGE_INTEGER frequency, start, now;
    LRESULT rows = 0;
    DWORD limitMs = 60000;
    double elapsedMs = 0;
    BOOL ready = FALSE;
    startup.cb = sizeof startup;
    if (argc < 3)
        return 2;
    rows = _wtoi(argv[2]);
    if (argc > 3)
        limitMs = (DWORD)_wtoi(argv[3]);
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(argv[1], NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 1;
    while (!ready && elapsedMs < limitMs) {
        ready = IsReady(process.dwProcessId, rows);
        QueryPerformanceCounter(&now);
        elapsedMs = (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
        if (!ready)
            Sleep(1);
    }
    if (!ready)
        TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ready)
        return 1;
    printf("%.1f\n", elapsedMs);
    return 0;
}
