#include "child_process.h"
#include "command_line.h"
#include "command_line_model.h"
#include "start_up.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSeed = 868;

// Pieces of which arguments are drawn: option spellings, addresses good and bad, and noise.
const std::vector<std::wstring> kOptionTokens = {L"/ip",  L"-ip", L"xip", L"/IP", L"ip",  L"/i",
                                                 L"/ipp", L"",    L"/",   L"/x",  L"时ip"};
const std::vector<std::wstring> kAddressTokens = {
    L"1.2.3.4",   L"132.163.4.101", L"999.1.1.1", L"1..2.3.4",    L".1.2.3.4.",   L"1.2.3",
    L"1.2.3.4.5", L"1.2.3.a",       L"1.2.3.4 ",  L" 1.2.3.4",    L"１.２.３.４", L"\x0661.2.3.4",
    L"0x1.2.3.4", L"1.2.3.-4",      L"....",      L"\"1.2.3.4\"", L"1.2.3.4\\"};

class Random {
public:
    explicit Random(std::uint32_t seed) : m_engine(seed) {}

    size_t Below(size_t bound) {
        return std::uniform_int_distribution<size_t>(0, bound - 1)(m_engine);
    }
    bool OneIn(size_t n) { return Below(n) == 0; }

    // Text of the given alphabet, up to the given length.
    std::wstring Text(std::wstring_view alphabet, size_t longest) {
        std::wstring text(Below(longest + 1), L' ');
        for (wchar_t& c : text)
            c = alphabet[Below(alphabet.size())];
        return text;
    }

    std::wstring Pick(const std::vector<std::wstring>& tokens) {
        return tokens[Below(tokens.size())];
    }

    std::wstring Argument() {
        if (OneIn(4))
            return Text(L"0123456789.ai/- \"\\\t时", 12);
        return Pick(OneIn(2) ? kOptionTokens : kAddressTokens);
    }

    // Half of them an option and an address, so that all three courses come up often.
    std::vector<std::wstring> ArgumentVector() {
        std::vector<std::wstring> argv = {L"C:\\Program Files\\Vexlo\\Vexlo.exe"};
        if (OneIn(2)) {
            argv.push_back(Pick(kOptionTokens));
            argv.push_back(OneIn(4) ? Argument() : Pick(kAddressTokens));
            return argv;
        }
        for (size_t count = Below(7); count > 0; --count)
            argv.push_back(Argument());
        return argv;
    }

    std::wstring FlipAsciiCase(std::wstring text) {
        for (wchar_t& c : text) {
            if (((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')) && OneIn(2))
                c ^= 0x20;
        }
        return text;
    }

private:
    std::mt19937 m_engine;
};

std::vector<const wchar_t*> Pointers(const std::vector<std::wstring>& argv) {
    std::vector<const wchar_t*> pointers;
    pointers.reserve(argv.size());
    for (const auto& argument : argv)
        pointers.push_back(argument.c_str());
    return pointers;
}

std::string Show(const std::vector<std::wstring>& argv) {
    return testing::PrintToString(argv);
}

// Argument 0 as the platform reads it: quoted, without escapes; the rest quoted for it.
std::wstring JoinQuoted(const std::vector<std::wstring>& argv) {
    std::wstring line = L"\"" + argv.front() + L"\"";
    for (size_t i = 1; i < argv.size(); ++i)
        line += L" " + QuoteArgument(argv[i]);
    return line;
}

TEST(HostileCommandLines, RandomVectorsFollowTheOptionAndCourseRules) {
    Random random(kSeed);
    std::map<StartCourse, int> courses;
    for (int i = 0; i < 20'000; ++i) {
        const auto argv = random.ArgumentVector();
        const auto pointers = Pointers(argv);
        const int argc = static_cast<int>(argv.size());
        const OptionMap options = ParseCommandOptions(pointers.data(), argc);
        ASSERT_EQ(options, ModelOptions(argv)) << Show(argv);
        const StartCourse course = ChooseStartCourse(argc, options);
        ASSERT_EQ(course, ModelCourse(argv)) << Show(argv);
        ++courses[course];
    }
    // The vectors reach every course, the unattended one included, many times.
    EXPECT_GT(courses[StartCourse::Interactive], 1000);
    EXPECT_GT(courses[StartCourse::Unattended], 500);
    EXPECT_GT(courses[StartCourse::Usage], 1000);
}

TEST(HostileCommandLines, NullArgumentsCountAsEmpty) {
    const wchar_t* const argv[] = {L"p", nullptr, L"1.2.3.4", L"/ip", nullptr};
    const OptionMap expected = {{L"", L"1.2.3.4"}, {L"ip", L""}};
    EXPECT_EQ(ParseCommandOptions(argv, 5), expected);
}

TEST(HostileCommandLines, RandomAddressTextsFollowTheAddressRule) {
    Random random(kSeed + 1);
    int valid = 0;
    for (int i = 0; i < 50'000; ++i) {
        const std::wstring text = random.Text(L"0123456789....a １\x0661", 16);
        const auto parts = SplitAddressParts(text);
        std::wstring joined;
        for (const auto part : parts) {
            ASSERT_FALSE(part.empty()) << testing::PrintToString(text);
            ASSERT_EQ(part.find(L'.'), std::wstring_view::npos) << testing::PrintToString(text);
            joined += part;
        }
        std::wstring undotted = text;
        std::erase(undotted, L'.');
        ASSERT_EQ(joined, undotted) << testing::PrintToString(text);
        const bool isValid = IsValidAddressText(text);
        ASSERT_EQ(isValid, ModelValidAddress(text)) << testing::PrintToString(text);
        valid += isValid ? 1 : 0;
    }
    EXPECT_GT(valid, 100);
}

TEST(HostileCommandLines, QuotedVectorsSplitBackAndNameTheirProgram) {
    Random random(kSeed + 2);
    const std::wstring programPath = L"C:\\Tools\\同步 v1\\Vexlo.exe";
    for (int i = 0; i < 20'000; ++i) {
        std::vector<std::wstring> argv = {random.OneIn(2) ? random.FlipAsciiCase(programPath)
                                                          : L"C:\\" + random.Text(L"ab. \\时", 10)};
        for (size_t n = random.Below(5); n > 0; --n)
            argv.push_back(random.OneIn(2) ? random.Argument()
                                           : random.Text(L"a \t\"\\\\时/-.ip", 10));
        const std::wstring line = JoinQuoted(argv);
        const std::string where = testing::PrintToString(line);

        ASSERT_EQ(SplitCommandLine(line.c_str()), argv) << where;
        const bool ownIp =
            ModelOptions(argv).contains(L"ip") && EqualIgnoringAsciiCase(argv.front(), programPath);
        ASSERT_EQ(IsIpCommandLineFor(line.c_str(), programPath), ownIp) << where;
    }
}

TEST(HostileCommandLines, RawTextIsReadAsThePlatformSplitsIt) {
    Random random(kSeed + 3);
    const std::wstring programPath = L"C:\\a.exe";
    for (int i = 0; i < 20'000; ++i) {
        const std::wstring line = random.Text(L"C:\\a.exe \t\"\\/ip1.2时", 24);
        const std::string where = testing::PrintToString(line);
        const auto argv = SplitCommandLine(line.c_str());
        if (line.empty()) {
            EXPECT_FALSE(IsIpCommandLineFor(line.c_str(), programPath));
            continue;
        }
        ASSERT_FALSE(argv.empty()) << where;
        const bool ownIp =
            ModelOptions(argv).contains(L"ip") && EqualIgnoringAsciiCase(argv.front(), programPath);
        ASSERT_EQ(IsIpCommandLineFor(line.c_str(), programPath), ownIp) << where;
    }
    EXPECT_FALSE(IsIpCommandLineFor(nullptr, programPath));
    EXPECT_EQ(GetCommandProgramName(L"\"C:\\dir\\\" /ip 1.2.3.4"), L"");
}

} // namespace
