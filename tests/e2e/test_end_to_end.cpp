#include "tests/support/time_server.h"
#include "tests/e2e/vexlo_process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <thread>

namespace {

// Debian xinetd's internal RFC 868 service, started for this test program by CTest.
constexpr char kTimeServiceAddress[] = "127.0.0.80";
constexpr int IDC_LOG_EDIT = 200;

const std::wstring kHelpText = L"\r\n\r\n\r\n\r\n 请选择时间服务器\r\n\r\n "
                               L"然后双击校正时间\r\n\r\n 本程序支持命令行调用，格式为:"
                               L"\r\n\r\n Vexlo.exe /ip 132.163.4.101\r\n\r\n 本程序使用说明见:"
                               L"\r\n\r\n https://github.com/vexlo/vexlo#readme\r\n\r\n\r\n";

std::wstring Wide(const char* text) {
    return std::wstring(text, text + strlen(text));
}

POINT CentredOrigin(int width, int height) {
    const int screenWidth =
        std::max(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CXSCREEN));
    const int screenHeight =
        std::max(GetSystemMetrics(SM_CYFULLSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

TEST(EndToEnd, WithoutArgumentsShowsTheMainWindow) {
    ProgramFolder folder(L"window");
    VexloProcess vexlo(folder.Program(), L"");
    ASSERT_TRUE(vexlo.Started());
    const HWND hWnd = vexlo.WaitForWindow(nullptr, 10'000);
    ASSERT_TRUE(hWnd);
    EXPECT_EQ(WindowText(hWnd), L"Vexlo v1.1");
    const RECT frame = WindowRect(hWnd);
    const POINT origin = CentredOrigin(719, 437);
    EXPECT_EQ(frame.left, origin.x);
    EXPECT_EQ(frame.top, origin.y);
    EXPECT_EQ(frame.right - frame.left, 719);
    EXPECT_EQ(frame.bottom - frame.top, 437);
    // Wine answers WM_GETICON only inside the window's own process (checked there); here: the
    // program file holds icon 128 that the window is given.
    const HMODULE program =
        LoadLibraryExW(folder.Program().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    EXPECT_TRUE(FindResourceW(program, MAKEINTRESOURCEW(128), RT_GROUP_ICON));
    FreeLibrary(program);

    const auto rows = vexlo.ListRows(FindChild(hWnd, L"SysListView32"));
    ASSERT_EQ(rows.size(), 6u);
    const wchar_t* addresses[] = {L"132.163.4.101",   L"132.163.4.102", L"132.163.4.103",
                                  L"128.138.141.172", L"129.6.15.28",   L"129.6.15.29"};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_FALSE(rows[i].first.empty()) << "row " << i;
        EXPECT_EQ(rows[i].second, addresses[i]) << "row " << i;
    }
    EXPECT_EQ(WindowText(FindChild(hWnd, L"Edit", IDC_LOG_EDIT)), kHelpText);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / L"srv.xml"));

    PostMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(vexlo.WaitForExit(10'000), 0u);
}

TEST(EndToEnd, ADoubleClickOnARowSynchronisesWithThatServer) {
    ProgramFolder folder(L"sync");
    folder.WriteServerFile(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n  <cfg>\n    <autorun/>\n  "
        "</cfg>\n"
        "  <srv>\n    <url>time.example</url>\n    <ip>127.0.0.79</ip>\n  </srv>\n"
        "  <srv>\n    <url>local time service</url>\n    <ip>127.0.0.80</ip>\n  </srv>\n"
        "</srv_root>\n");
    VexloProcess vexlo(folder.Program(), L"");
    const HWND hWnd = vexlo.WaitForWindow(nullptr, 10'000);
    ASSERT_TRUE(hWnd);
    const HWND hList = FindChild(hWnd, L"SysListView32");
    const HWND hLog = FindChild(hWnd, L"Edit", IDC_LOG_EDIT);
    ASSERT_EQ(vexlo.ListRows(hList).size(), 2u);

    ASSERT_TRUE(DoubleClickAt(vexlo.RowCentreOnScreen(hList, 1)));
    std::wstring log;
    const std::wregex answered(
        L"[\\s\\S]*接受的时间为从1900年1月1日起 \\d+ 秒 \r\n"
        L"(不能设置新的日期和时间! #1314\\.\r\n.+|\r\n系统的日期和时间已成功更改：[\\s\\S]*\\.)"
        L"\r\n本机时钟.+。");
    for (int i = 0; i < 250 && !std::regex_match(log, answered); ++i) {
        Sleep(20);
        log = WindowText(hLog);
    }
    const std::wregex steps(L"\r\nStarted up .+\r\n\r\nSocket \\d+  已经成功创建!\r\n\r\n"
                            L"正在连接: 127\\.0\\.0\\.80\\.\\.\\.\r\n已成功连接到时间服务器\r\n\r\n"
                            L"正在接受数据，请稍候\\.\\.\\.\r\n[\\s\\S]*");
    EXPECT_TRUE(std::regex_match(log, answered)) << testing::PrintToString(log);
    EXPECT_TRUE(std::regex_match(log, steps)) << testing::PrintToString(log);

    const std::filesystem::path shot =
        HostPathToWindows(VEXLO_E2E_OUTPUT_DIR) + L"\\main-window.png";
    ASSERT_TRUE(SaveScreenshot(WindowRect(hWnd), shot));
    const auto facts = InspectImage(shot);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->width, 719);
    EXPECT_EQ(facts->height, 437);
    EXPECT_GT(facts->deviation, 0.05) << "the screenshot is blank";

    PostMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(vexlo.WaitForExit(10'000), 0u);
}

TEST(EndToEnd, UnattendedRunsOneExchangeWithoutAWindow) {
    ProgramFolder folder(L"unattended");
    for (const wchar_t* option : {L"/ip", L"-ip"}) {
        VexloProcess vexlo(folder.Program(),
                           std::wstring(option) + L" " + Wide(kTimeServiceAddress));
        std::optional<DWORD> exitCode;
        bool windowShown = false;
        for (int i = 0; i < 500 && !exitCode; ++i) {
            windowShown = windowShown || vexlo.HasVisibleWindow();
            exitCode = vexlo.WaitForExit(10);
        }
        // xinetd's answer is the current second, mostly more than half a second off for Wine.
        EXPECT_TRUE(exitCode == 0u || exitCode == 4u)
            << testing::PrintToString(std::wstring(option));
        EXPECT_FALSE(windowShown);
    }
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(EndToEnd, UnattendedExitCodesTellWhatHappenedToTheClock) {
    ProgramFolder folder(L"exitcodes");
    TestTimeServer old("127.0.0.35", AnswerWith(kCountIn2070));
    TestTimeServer hourOff("127.0.0.36", AnswerWith(SecondsSince1900Now() - 3600));
    TestTimeServer good("127.0.0.37", AnswerInTheMiddleOfTheSecond());
    // Wine sets a clock that moves by less than half a second; Windows refuses a process that
    // lacks the time privilege, as the tests run.
    const DWORD goodCode = UnderWine() ? 0 : 4;
    const std::pair<const wchar_t*, DWORD> cases[] = {
        {L"/ip 127.0.0.35", 3},
        {L"/ip 127.0.0.36", 4},
        {L"/ip 127.0.0.37", goodCode},
        {L"/ip 127.0.0.38", 1}, // nothing listens
        // The precise road's first answer is handled as the quick road's.
        {L"/ip 127.0.0.35 /precise", 3},
        {L"/ip 127.0.0.38 -precise", 1},
    };
    for (const auto& [arguments, code] : cases) {
        VexloProcess vexlo(folder.Program(), arguments);
        EXPECT_EQ(vexlo.WaitForExit(10'000), code)
            << testing::PrintToString(std::wstring(arguments));
    }
}

TEST(EndToEnd, UnattendedWritesTheLogToARedirectedOutput) {
    ProgramFolder folder(L"output");
    TestTimeServer old("127.0.0.39", AnswerWith(kCountIn2070));
    const std::regex expected(
        "\r\nStarted up WinSock 2\\.0\r\n[\\s\\S]*: 127\\.0\\.0\\.39\\.\\.\\.\r\n"
        "[\\s\\S]* 1073741824 [\\s\\S]* 2070/2/15, [\\s\\S]*!\r\n");
    const std::filesystem::path file = folder.Path() / L"out.txt";
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        const HANDLE hFile = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                         CREATE_ALWAYS, 0, nullptr);
        VexloProcess vexlo(folder.Program(), L"/ip 127.0.0.39", hFile);
        EXPECT_EQ(vexlo.WaitForExit(10'000), 3u);
        CloseHandle(hFile);
    }
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(std::regex_match(written, expected)) << written;

    HANDLE hRead = nullptr, hWrite = nullptr;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    ASSERT_TRUE(CreatePipe(&hRead, &hWrite, &inherit, 0));
    std::string piped;
    {
        VexloProcess vexlo(folder.Program(), L"/ip 127.0.0.39", hWrite);
        CloseHandle(hWrite);
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(hRead, buffer, sizeof buffer, &count, nullptr) && count > 0)
            piped.append(buffer, count);
        EXPECT_EQ(vexlo.WaitForExit(10'000), 3u);
    }
    CloseHandle(hRead);
    // The socket's handle value may differ from one run to the next.
    const auto withoutSocket = [](const std::string& log) {
        return std::regex_replace(log, std::regex("Socket \\d+"), "Socket N");
    };
    EXPECT_EQ(withoutSocket(piped), withoutSocket(written));
}

// A file that the started program writes to as its standard output, read back once it is done.
class OutputFile {
public:
    explicit OutputFile(std::filesystem::path path) : m_path(std::move(path)) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        m_hFile = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, 0, nullptr);
    }
    ~OutputFile() { Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    HANDLE Handle() const { return m_hFile; }
    std::string Read() {
        Close();
        std::ifstream in(m_path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

private:
    void Close() {
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }

    std::filesystem::path m_path;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

TEST(EndToEnd, UnattendedOutputEndsWithALineBreak) {
    ProgramFolder folder(L"linebreak");
    OutputFile out(folder.Path() / L"out.txt");
    VexloProcess vexlo(folder.Program(), L"/ip 127.0.0.64", out.Handle()); // nothing listens
    EXPECT_EQ(vexlo.WaitForExit(10'000), 1u);
    const std::string written = out.Read();
    // The refusal's line has no break of its own; the hint follows it, and the output ends.
    EXPECT_TRUE(written.ends_with(Utf8(L"连接错误： #10061.\r\n服务器拒绝了连接：它没有在端口 37 "
                                       L"上提供时间服务。请换一个服务器。\r\n")))
        << written;
}

// A pipe that nobody reads, filled beyond its buffer before the program starts: every write to
// it waits for ever. The filling write is ended when the pipe is closed.
class StalledPipe {
public:
    StalledPipe() {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        CreatePipe(&m_hRead, &m_hWrite, &inherit, 4096);
        m_filler = std::thread([hWrite = m_hWrite] {
            const std::string block(1 << 20, 'x');
            DWORD written = 0;
            while (WriteFile(hWrite, block.data(), static_cast<DWORD>(block.size()), &written,
                             nullptr)) {
            }
        });
        Sleep(300); // the filler now waits on a full pipe
    }
    ~StalledPipe() {
        CloseHandle(m_hRead);
        m_filler.join();
        CloseHandle(m_hWrite);
    }
    StalledPipe(const StalledPipe&) = delete;
    StalledPipe& operator=(const StalledPipe&) = delete;

    HANDLE WriteEnd() const { return m_hWrite; }

private:
    HANDLE m_hRead = nullptr;
    HANDLE m_hWrite = nullptr;
    std::thread m_filler;
};

TEST(EndToEnd, AStalledOutputNeverHoldsTheRun) {
    ProgramFolder folder(L"stalled");
    TestTimeServer old("127.0.0.65", AnswerWith(kCountIn2070)); // refused, exit code 3
    StalledPipe pipe;
    const ULONGLONG start = GetTickCount64();
    VexloProcess vexlo(folder.Program(), L"/ip 127.0.0.65", pipe.WriteEnd());
    EXPECT_EQ(vexlo.WaitForExit(20'000), 3u);
    // About 1.5 s on an idle machine, the output's last second included; a stalled output that
    // held the run would hold it for good.
    EXPECT_LT(GetTickCount64() - start, 15'000u);
}

TEST(EndToEnd, TheUsageGoesToARedirectedOutputWithoutABox) {
    ProgramFolder folder(L"usage-output");
    OutputFile out(folder.Path() / L"out.txt");
    VexloProcess vexlo(folder.Program(), L"/ip 1.2.3", out.Handle());
    std::optional<DWORD> exitCode;
    bool windowShown = false;
    for (int i = 0; i < 500 && !exitCode; ++i) {
        windowShown = windowShown || vexlo.HasVisibleWindow();
        exitCode = vexlo.WaitForExit(10);
    }
    EXPECT_EQ(exitCode, 6u);
    EXPECT_FALSE(windowShown);
    const std::wstring program = folder.Program().wstring();
    EXPECT_EQ(out.Read(), Utf8(L"用法:\r\n\"" + program + L"\" /ip 132.163.4.101\r\n\"" + program +
                               L"\" /ip 132.163.4.101 /precise\r\n"));
}

TEST(EndToEnd, WithoutAConsoleOrAnOutputTheUsageIsABox) {
    // As from Explorer: no console that the program could write to, and no redirection.
    FreeConsole();
    ProgramFolder folder(L"usage");
    const std::wstring program = folder.Program().wstring();
    const std::wstring expected = L"用法:\r\n\"" + program + L"\" /ip 132.163.4.101\r\n\"" +
                                  program + L"\" /ip 132.163.4.101 /precise\r\n";
    for (const wchar_t* arguments :
         {L"/IP 127.0.0.80", L"/ip", L"/ip 1.2.3.4 extra", L"/ip 1.2.3", L"/ip 1.2.3.4.5",
          L"/ip 1.2.3.a", L"/x 1 /ip 1.2.3.4", L"/ip 1.2.3.4 /PRECISE", L"/precise /ip 1.2.3.4"}) {
        const std::string name = testing::PrintToString(std::wstring(arguments));
        VexloProcess vexlo(folder.Program(), arguments);
        const HWND hBox = vexlo.WaitForWindow(L"#32770", 10'000);
        ASSERT_TRUE(hBox) << name;
        EXPECT_EQ(WindowText(hBox), L"用法:") << name;
        std::wstring text;
        for (HWND hStatic = FindWindowExW(hBox, nullptr, L"Static", nullptr); hStatic;
             hStatic = FindWindowExW(hBox, hStatic, L"Static", nullptr))
            text += WindowText(hStatic);
        EXPECT_EQ(text, expected) << name;
        SendMessageW(FindChild(hBox, L"Button"), BM_CLICK, 0, 0);
        EXPECT_EQ(vexlo.WaitForExit(10'000), 6u) << name;
    }
}

} // namespace
