#include "app_globals.h"
#include "command_line.h"
#include "program_paths.h"
#include "start_up.h"
#include "time_exchange.h"

#include <windows.h>

namespace {

// Until the main window exists, a message-only window receives the exchange's notifications.
LRESULT CALLBACK NotifyWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SOCKET) {
        OnSocketNotify(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND CreateNotifyWindow() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = NotifyWndProc;
    windowClass.hInstance = g_hInstance;
    windowClass.lpszClassName = L"VexloNotify";
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                           nullptr, g_hInstance, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    g_hInstance = hInstance;
    g_appDir = ProgramDirFromModulePath(GetModulePath());

    const auto arguments = SplitCommandLine(GetCommandLineW());
    std::vector<const wchar_t*> argv;
    for (const auto& argument : arguments)
        argv.push_back(argument.c_str());
    const int argc = static_cast<int>(argv.size());
    const OptionMap options = ParseCommandOptions(argv.data(), argc);

    if (ChooseStartCourse(argc, options) != StartCourse::Unattended) {
        ShowUsage();
        return 0;
    }
    const HWND hNotifyWnd = CreateNotifyWindow();
    if (!hNotifyWnd)
        return 1;
    StartUnattendedExchange(hNotifyWnd, options.at(L"ip"));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DestroyWindow(hNotifyWnd);
    g_appDir.clear();
    return UnattendedExitCode();
}
