#include "app/app_globals.h"
#include "app/app_texts.h"
#include "app/command_line.h"
#include "ui/mainwnd/main_wnd.h"
#include "app/program_paths.h"
#include "app/start_up.h"
#include "timesync/time_exchange.h"
#include "app/unattended_output.h"

#include <windows.h>

namespace {

struct ParsedCommandLine {
    int argc = 0;
    OptionMap options;
};

ParsedCommandLine ReadCommandLine() {
    const auto arguments = SplitCommandLine(GetCommandLineW());
    return {static_cast<int>(arguments.size()), ParseCommandOptions(arguments)};
}

// Runs one course with the created, still hidden main window; returns the exit code.
int RunCourse(HWND hWnd, const ParsedCommandLine& commandLine) {
    switch (ChooseStartCourse(commandLine.argc, commandLine.options)) {
    case StartCourse::Usage:
        return ShowUsageWhereSeen();
    case StartCourse::Unattended: {
        const UnattendedOutput output;
        StartUnattendedExchange(hWnd, commandLine.options.at(kIpOptionKey));
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
    const ParsedCommandLine commandLine = ReadCommandLine();
    // Any argument keeps the window hidden, so it is built with only what the exchange needs.
    g_unattended = commandLine.argc > 1;
    int exitCode = kExitNoWindow;
    {
        CMainWnd mainWnd;
        try {
            const HWND hWnd = mainWnd.Create(nullptr, g_hInstance, WS_OVERLAPPEDWINDOW);
            if (hWnd) {
                exitCode = RunCourse(hWnd, commandLine);
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
