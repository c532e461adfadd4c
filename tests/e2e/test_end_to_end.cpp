#include "time_server.h"
#include "vexlo_process.h"

#include <gtest/gtest.h>

#include <regex>

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
        L"(不能设置新的日期和时间!|\r\n系统的日期和时间已成功更改：[\\s\\S]*\\.)");
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
        EXPECT_EQ(exitCode, 0u) << testing::PrintToString(std::wstring(option));
        EXPECT_FALSE(windowShown);
    }
}

TEST(EndToEnd, UnattendedRunsWithoutAnAnswerEndWithExitCodeOne) {
    ProgramFolder folder(L"noanswer");
    {
        VexloProcess refused(folder.Program(), L"/ip 127.0.0.81"); // nothing listens there
        EXPECT_EQ(refused.WaitForExit(10'000), 1u);
    }
    TestTimeServer silent("127.0.0.82", AcceptAndStaySilent());
    const ULONGLONG start = GetTickCount64();
    VexloProcess waiting(folder.Program(), L"/ip 127.0.0.82");
    EXPECT_EQ(waiting.WaitForExit(30'000), 1u);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 14'000u);
    EXPECT_LE(elapsed, 20'000u);
}

TEST(EndToEnd, AnyOtherCommandLineShowsTheUsage) {
    ProgramFolder folder(L"usage");
    const std::wstring expected =
        L"用法:\r\n\"" + folder.Program().wstring() + L"\" /ip 132.163.4.101\r\n";
    for (const wchar_t* arguments : {L"/IP 127.0.0.80", L"/ip", L"/ip 1.2.3.4 extra", L"/ip 1.2.3",
                                     L"/ip 1.2.3.4.5", L"/ip 1.2.3.a", L"/x 1 /ip 1.2.3.4"}) {
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
        EXPECT_EQ(vexlo.WaitForExit(10'000), 0u) << name;
    }
}

} // namespace
