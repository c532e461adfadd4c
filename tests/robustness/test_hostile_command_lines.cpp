#include "app/command_line.h"
#include "app/start_up.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Hostile command lines, as the platform splits them, with what each rule makes of them.
TEST(HostileCommandLines, ALiteralTableOfHostileLines) {
    using enum StartCourse;
    const std::wstring program = L"C:\\同 v\\V.exe";
    const struct {
        std::wstring line;
        StartCourse course;
        bool ownIp;
        std::wstring name;
    } cases[] = {
        {L"\"C:\\同 v\\V.exe\" /ip 1.2.3.4", Unattended, true, L"V"},
        {L"\"c:\\同 V\\v.EXE\" -ip ..1.2.3.4..", Unattended, true, L"v"},
        {L"\"C:\\同 v\\V.exe\" /ip \"1.2.3.4 \"", Usage, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip １.２.３.４", Usage, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" 时ip 1.2.3.4", Unattended, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" \"\" 1.2.3.4", Usage, false, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip 0x1.2.3.4", Usage, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip", Usage, false, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip 1 /ip 2", Usage, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip 1.2.3.4 /precise", Unattended, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip 1.2.3.4 时precise", Unattended, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip 1.2.3.4 \"/precise \"", Usage, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" /ip 1.2.3.4 /ｐrecise", Usage, true, L"V"},
        {L"\"C:\\同 v\\V.exe\" /precise /ip 1.2.3.4", Usage, false, L"V"},
        {L"\"C:\\同 v\\V.exe\"\t\"/ip\"\t\"1.2.3.4\"", Unattended, true, L"V"},
        {L"C:\\同 v\\V.exe /ip 1.2.3.4", Usage, false, L"同"},
        {L"\"C:\\dir\\\" /ip 1.2.3.4", Unattended, false, L""},
        {L"\"C:\\a:b.c.exe\" /ip 9.9.9.9", Unattended, false, L"a:b.c"},
        {L"\"\\\\?\\C:\\x\\..\\y.exe\" /ip 1.2.3.4", Unattended, false, L"y"},
    };
    for (const auto& c : cases) {
        const std::string where = testing::PrintToString(c.line);
        const auto arguments = SplitCommandLine(c.line.c_str());
        EXPECT_EQ(ChooseStart(arguments).course, c.course) << where;
        EXPECT_EQ(IsIpCommandLineFor(c.line.c_str(), program), c.ownIp) << where;
        EXPECT_EQ(GetCommandProgramName(c.line.c_str()), c.name) << where;
    }
    EXPECT_FALSE(IsIpCommandLineFor(nullptr, program));
}

TEST(HostileCommandLines, NullArgumentsCountAsEmpty) {
    const wchar_t* const argv[] = {L"p", nullptr, L"1.2.3.4", L"/ip", nullptr};
    const OptionMap expected = {{L"", L"1.2.3.4"}, {L"ip", L""}};
    EXPECT_EQ(ParseCommandOptions(argv, 5), expected);
}

} // namespace
