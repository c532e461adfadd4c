// Shows a synchronisation as a user would do it: starts Vexlo.exe with the local time service in
// its list, double-clicks that row, then saves the log pane's text and a screenshot.
//   vexlo_demo.exe <output folder>
//   vexlo_demo.exe --interactive <output folder>   (leaves the window to the user until closed)
#include "tests/e2e/vexlo_process.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr int IDC_LOG_EDIT = 200;

// The local service's row goes first, before the default servers of a new srv.xml.
const char kLocalServer[] =
    "  <srv>\n    <url>localhost (xinetd time)</url>\n    <ip>127.0.0.1</ip>\n  </srv>\n";

// Lets Vexlo.exe create its default srv.xml, then puts the local service's row at the top.
bool PrepareServerFile(const ProgramFolder& folder) {
    {
        VexloProcess first(folder.Program(), L"");
        const HWND hWnd = first.WaitForWindow(nullptr, 10'000);
        if (!hWnd)
            return false;
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
        first.WaitForExit(10'000);
    }
    std::string xml = ReadFileBytes((folder.Path() / L"srv.xml").wstring());
    const size_t entries = xml.find("  <srv>");
    if (entries == std::string::npos)
        return false;
    xml.insert(entries, kLocalServer);
    folder.WriteServerFile(xml);
    return true;
}
bool IsAnswered(const std::wstring& log) {
    return log.find(L"不能设置新的日期和时间!") != std::wstring::npos ||
           log.find(L"已成功更改") != std::wstring::npos ||
           log.find(L"忽略此次设置") != std::wstring::npos ||
           log.find(L"错误") != std::wstring::npos;
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool interactive = argc == 3 && std::wstring(argv[1]) == L"--interactive";
    if (argc != 2 && !interactive) {
        std::fputs("usage: vexlo_demo.exe [--interactive] <output folder>\n", stderr);
        return 2;
    }
    const std::filesystem::path out = argv[argc - 1];
    ProgramFolder folder(L"demo");
    if (!PrepareServerFile(folder)) {
        std::fputs("Vexlo.exe made no srv.xml\n", stderr);
        return 1;
    }
    VexloProcess vexlo(folder.Program(), L"");
    const HWND hWnd = vexlo.WaitForWindow(nullptr, 10'000);
    if (!hWnd) {
        std::fputs("Vexlo.exe shows no window\n", stderr);
        return 1;
    }
    if (interactive)
        return static_cast<int>(vexlo.WaitForExit(INFINITE).value_or(1));
    const HWND hList = FindChild(hWnd, L"SysListView32");
    const HWND hLog = FindChild(hWnd, L"Edit", IDC_LOG_EDIT);
    Sleep(300);
    DoubleClickAt(vexlo.RowCentreOnScreen(hList, 0));
    std::wstring log;
    for (int i = 0; i < 500 && !IsAnswered(log); ++i) {
        Sleep(20);
        log = WindowText(hLog);
    }
    Sleep(200);
    log = WindowText(hLog);
    std::ofstream(out / L"vexlo-log.txt", std::ios::binary) << Utf8(log);
    SaveScreenshot(WindowRect(hWnd), out / L"vexlo-window.png");
    std::fputs(Utf8(log).c_str(), stdout);
    std::fputs("\n", stdout);
    PostMessageW(hWnd, WM_CLOSE, 0, 0);
    return vexlo.WaitForExit(10'000) == 0u && IsAnswered(log) ? 0 : 1;
}
