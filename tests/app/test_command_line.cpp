#include "app/command_line.h"
#include "app/program_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct OptionsCase {
    std::vector<const wchar_t*> argv;
    OptionMap expected;
};

TEST(ParseCommandOptions, BuildsTheOptionMap) {
    const OptionsCase cases[] = {
        {{L"prog"}, {}},
        {{L"prog", L"/ip", L"1.2.3.4"}, {{L"ip", L"1.2.3.4"}}},
        {{L"prog", L"-ip", L"1.2.3.4"}, {{L"ip", L"1.2.3.4"}}},
        {{L"prog", L"xip", L"1.2.3.4"}, {{L"ip", L"1.2.3.4"}}},
        {{L"prog", L"/IP", L"1.2.3.4"}, {{L"IP", L"1.2.3.4"}}},
        // A repeated key keeps its first value; the last argument is then a key without value.
        {{L"prog", L"/ip", L"1", L"/ip", L"2"}, {{L"ip", L"1"}}},
        {{L"prog", L"/ip"}, {}},
        {{L"prog", L"", L"v"}, {{L"", L"v"}}},
        {{L"prog", L"/x", L"1", L"/ip", L"1.2.3.4"}, {{L"x", L"1"}, {L"ip", L"1.2.3.4"}}},
        {{L"prog", L"/a", L"/b", L"/c"}, {{L"a", L"/b"}}},
        {{L"prog", L"/ip", L"1.2.3.4", L"extra"}, {{L"ip", L"1.2.3.4"}}},
    };
    for (const auto& c : cases) {
        const auto options = ParseCommandOptions(c.argv.data(), static_cast<int>(c.argv.size()));
        EXPECT_EQ(options, c.expected) << "arguments: " << c.argv.size();
    }
}

TEST(IsValidAddressText, AcceptsFourDigitPartsWithoutRangeCheck) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"132.163.4.101", true}, {L"999.1.1.1", true}, {L"1..2.3.4", true},
        {L".1.2.3.4.", true},     {L"0.0.0.0", true},   {L"1.2.3", false},
        {L"1.2.3.4.5", false},    {L"1.2.3.a", false},  {L"", false},
        {L"....", false},         {L"1.2.3.-4", false}, {L"1.2.3.4 ", false},
        {L"１.2.3.4", false}, // a full-width digit is not a digit here
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(IsValidAddressText(text), valid) << std::wstring(text).size();
}

TEST(ProgramDirFromModulePath, EndsInASlash) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Tools\\sync\\tool.exe", L"C:/Tools/sync/"},
        {L"C:\\tool.exe", L"C:/"},
        {L"C:tool.exe", L"C:/"},
        {L"\\\\server\\share\\tool.exe", L"//server/share/"},
        {L"D:/mixed\\dirs/tool.exe", L"D:/mixed/dirs/"},
        {L"C:\\程序\\校时\\tool.exe", L"C:/程序/校时/"},
    };
    for (const auto& [path, dir] : cases)
        EXPECT_EQ(ProgramDirFromModulePath(path), dir);
}

TEST(GetCommandProgramName, IsTheFirstTokensFileNameWithoutExtension) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"\"C:\\Tools\\tool.exe\" /ip 1.2.3.4", L"tool"},
        {L"tool.exe -ip 1.2.3.4", L"tool"},
        {L"C:\\Tools\\ /ip 1.2.3.4", L""},
        {L"\"C:\\My Tools\\a.b.exe\"", L"a.b"},
        {L"C:/Tools/noext /ip 1", L"noext"},
        {L"\"C:\\Tools\\.exe\"", L""},
        {L"\"D:\\校时\\校时工具.exe\" /ip 1.2.3.4", L"校时工具"},
        // A colon counts only as the drive's.
        {L"\"C:\\a\\b:c.exe\"", L"b:c"},
        {L"C:tool.exe", L"tool"},
        {L"a:b:c.exe", L"b:c"},
        {L"ab:c.exe", L"ab:c"},
        // A part longer than any fixed buffer is taken whole.
        {L"\"C:\\" + std::wstring(300, L'd') + L"\\" + std::wstring(400, L'n') + L".exe\"",
         std::wstring(400, L'n')},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(GetCommandProgramName(text.c_str()), name);
}

TEST(IsIpCommandLineFor, NeedsThisProgramAndAnIpKey) {
    const std::wstring program = L"C:\\Tools\\sync\\Vexlo.exe";
    const std::pair<std::wstring, bool> cases[] = {
        {L"\"C:\\Tools\\sync\\Vexlo.exe\" /ip 132.163.4.101", true},
        {L"\"c:\\tools\\SYNC\\vexlo.EXE\" /ip 9", true},
        {L"C:\\Tools\\sync\\Vexlo.exe -ip x", true},
        {L"\"C:\\Tools\\sync\\Vexlo.exe\" /ip 132.163.4.101 /precise", true},
        {L"\"C:\\Tools\\sync\\Vexlo.exe\" -ip 132.163.4.101 -precise", true},
        {L"\"C:\\Tools\\sync\\Vexlo.exe\" /precise", false},
        {L"\"C:\\Tools\\sync\\Vexlo.exe\"", false},
        {L"\"C:\\Tools\\sync\\Vexlo.exe\" /IP 1.2.3.4", false},
        {L"\"C:\\Tools\\other.exe\" /ip 1.2.3.4", false},
        {L"", false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(IsIpCommandLineFor(text.c_str(), program), expected) << text.size();
    EXPECT_FALSE(IsIpCommandLineFor(nullptr, program));
}

TEST(IsOwnIpCommandLine, RecognisesTheRunningProgram) {
    const std::wstring path = GetModulePath();
    EXPECT_TRUE(IsOwnIpCommandLine((L"\"" + path + L"\" /ip 9").c_str()));
    std::wstring upper = path;
    CharUpperW(upper.data());
    EXPECT_TRUE(IsOwnIpCommandLine((L"\"" + upper + L"\" /ip 9").c_str()));
    EXPECT_TRUE(IsOwnIpCommandLine((L"\"" + path + L"\" /ip 1.2.3.4 /precise").c_str()));
    EXPECT_FALSE(IsOwnIpCommandLine((L"\"" + path + L"\"").c_str()));
}

TEST(FormatUsageText, QuotesTheModulePathInEachForm) {
    const auto usage = [](const std::wstring& path) {
        return L"用法:\r\n\"" + path + L"\" /ip 132.163.4.101\r\n\"" + path +
               L"\" /ip 132.163.4.101 /precise\r\n";
    };
    EXPECT_EQ(FormatUsageText(L"C:\\Tools\\Vexlo.exe"), usage(L"C:\\Tools\\Vexlo.exe"));
    const std::wstring longPath = L"C:\\" + std::wstring(2000, L'x') + L".exe";
    EXPECT_EQ(FormatUsageText(longPath), usage(longPath));
    // A path that holds the placeholder itself stays as it is.
    EXPECT_EQ(FormatUsageText(L"C:\\%s\\V.exe"), usage(L"C:\\%s\\V.exe"));
}

} // namespace
