#include "app/app_globals.h"
#include "app/command_line.h"
#include "ui/mainwnd/main_wnd.h"
#include "app/program_paths.h"
#include "app/start_up.h"
#include "timesync/time_exchange.h"
#include "app/unattended_output.h"

#include <windows.h>

namespace {

// Runs one course with the created, still hidden main window; returns the exit code.
int RunCourse(HWND hWnd, const StartChoice& start) {
    switch (start.course) {
    case StartCourse::Usage:
        return ShowUsageWhereSeen();
    case StartCourse::Unattended: {
        const UnattendedOutput output;
        StartUnattendedExchange(hWnd, start.address, start.road);
        Tessel::CBaseDlg::DoModal(hWnd, nullptr, nullptr);
        return UnattendedExitCode(LastExchangeOutcome());
    }
    case StartCourse::Interactive:
        ShowMainWindow(hWnd);
        Tessel::CBaseDlg::DoModal(hWnd, nullptr, FilterDialogKeys);
        return 0;
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    g_hInstance = hInstance;
    g_appDir = ProgramDirFromModulePath(GetModulePath());
    const auto arguments = SplitCommandLine(GetCommandLineW());
    const StartChoice start = ChooseStart(arguments);
    // Any argument keeps the window hidden, so it is built with only what the exchange needs.
    g_unattended = arguments.size() > 1;
    int exitCode = kExitNoWindow;
    {
        CMainWnd mainWnd;
        try {
            const HWND hWnd = mainWnd.Create(nullptr, g_hInstance, WS_OVERLAPPEDWINDOW);
            if (hWnd) {
                exitCode = RunCourse(hWnd, start);
                // The window reaches its object until it is gone: it goes first.
                if (IsWindow(hWnd))
                    DestroyWindow(hWnd);
            }
        } catch (...) {
            // The framework has ended the window that failed; the object still goes in order.
            exitCode = kExitFailed;
        }
        g_appDir.clear();
    }
    return exitCode;
}
