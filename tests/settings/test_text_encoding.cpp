#include "settings/text_encoding.h"

#include "base/ansi_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kSentinel = L'\x7777';
constexpr char kByteSentinel = '\x5A';

// The locale that scripts/wine-run hands on: zh_CN stands for code page 936, en_US for 1252.
std::string Locale() {
    const char* lang = std::getenv("LANG");
    return lang ? lang : "";
}

TEST(CodePage, IsTheOneOfTheLocale) {
    const std::string locale = Locale();
    ASSERT_TRUE(locale.starts_with("zh_CN") || locale.starts_with("en_US")) << locale;
    EXPECT_EQ(GetACP(), locale.starts_with("en_US") ? 1252u : 936u) << locale;
}

struct Utf8ToWideCase {
    const char* name;
    std::string source;
    size_t capacity;
    std::wstring expected;
    int result;
};

TEST(Utf8ToWide, ConvertsWithinTheCapacityAndZeroFillsIt) {
    const Utf8ToWideCase cases[] = {
        {"ascii with room", "abc", 4, L"abc", 0},
        {"empty source", "", 4, L"", 0},
        {"exactly full", "abc", 3, L"abc", 0},
        {"one too many", "abcd", 3, L"abc", -1},
        {"stray 0xFF",
         "ab\xFF"
         "cd",
         8, L"ab", -1},
        {"Chinese", "\xE4\xB8\xAD\xE6\x96\x87", 3, L"中文", 0},
        {"incomplete sequence", "a\xE4\xB8", 4, L"a", -1},
        {"outside the BMP", "\xF0\x9F\x98\x80", 3, L"\U0001F600", 0},
        {"no room for a surrogate pair", "a\xF0\x9F\x98\x80", 2, L"a", -1},
        {"zero capacity", "a", 0, L"", -1},
    };
    for (const auto& c : cases) {
        std::vector<wchar_t> buffer(c.capacity + 2, kSentinel);
        EXPECT_EQ(Utf8ToWide(buffer.data(), c.capacity, c.source.data(), c.source.size()), c.result)
            << c.name;
        const std::wstring converted(buffer.data(), wcsnlen(buffer.data(), c.capacity));
        EXPECT_EQ(converted, c.expected) << c.name;
        for (size_t i = c.expected.size(); i < c.capacity; ++i)
            EXPECT_EQ(buffer[i], L'\0') << c.name << ": not zero-filled at " << i;
        EXPECT_EQ(buffer[c.capacity], kSentinel) << c.name << ": written beyond the capacity";
    }
}

TEST(Utf8ToWide, RefusesMissingBuffers) {
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(Utf8ToWide(nullptr, 4, "abc", 3), -1);
    EXPECT_EQ(Utf8ToWide(buffer, 4, nullptr, 3), -1);
    EXPECT_EQ(buffer[0], L'x');
    EXPECT_EQ(Utf8ToWide(buffer, 4, nullptr, 0), 0);
}

struct ToUtf8Case {
    const char* name;
    std::wstring source;
    size_t capacity;
    std::string expected;
    int result;
};

TEST(WideToUtf8, NeverStoresPartOfACharacter) {
    const ToUtf8Case cases[] = {
        {"three Chinese in six bytes", L"时间表", 6, "\xE6\x97\xB6\xE9\x97\xB4", -1},
        {"three Chinese in nine bytes", L"时间表", 9, "\xE6\x97\xB6\xE9\x97\xB4\xE8\xA1\xA8", 0},
        {"three Chinese in eight bytes", L"时间表", 8, "\xE6\x97\xB6\xE9\x97\xB4", -1},
        {"ascii", L"C:/Tools/srv.xml", 32, "C:/Tools/srv.xml", 0},
        {"empty", L"", 4, "", 0},
        {"surrogate pair", L"\U0001F600", 4, "\xF0\x9F\x98\x80", 0},
        {"surrogate pair without room", L"a\U0001F600", 4, "a", -1},
        {"lone surrogate", std::wstring(L"a") + L'\xD800' + L"b", 8, "a", -1},
    };
    for (const auto& c : cases) {
        std::vector<char> buffer(c.capacity + 2, kByteSentinel);
        EXPECT_EQ(WideToUtf8(buffer.data(), c.capacity, c.source.data(), c.source.size()), c.result)
            << c.name;
        const std::string converted(buffer.data(), strnlen(buffer.data(), c.capacity));
        EXPECT_EQ(converted, c.expected) << c.name;
        EXPECT_EQ(buffer[c.capacity], kByteSentinel) << c.name << ": written beyond the capacity";
    }
}

struct AnsiCase {
    const wchar_t* source;
    std::string cp936;
    std::string cp1252;
};

TEST(WideToAnsi, UsesTheThreadsCodePage) {
    const AnsiCase cases[] = {
        {L"C:/Tools/srv.xml", "C:/Tools/srv.xml", "C:/Tools/srv.xml"},
        {L"", "", ""},
        {L"中文", "\xD6\xD0\xCE\xC4", "??"},
        {L"\x00E9", "\xA8\xA6", "\xE9"},
        {L"\xD55C", "?", "?"}, // a Hangul syllable: in neither code page
    };
    for (const auto& c : cases) {
        const AnsiText ansi = WideToAnsi(c.source);
        ASSERT_NE(ansi.c_str(), nullptr);
        EXPECT_EQ(ansi.c_str(), GetACP() == 936 ? c.cp936 : c.cp1252)
            << testing::PrintToString(std::wstring(c.source));
    }
}

TEST(WideToAnsi, KeepsShortTextsInsideAndLongOnesOnTheHeap) {
    const std::pair<size_t, bool> cases[] = {{0, false}, {30, false}, {31, false},
                                             {32, true}, {33, true},  {4000, true}};
    for (const auto& [length, onHeap] : cases) {
        const std::wstring text(length, L'a');
        AnsiText ansi = WideToAnsi(text.c_str());
        EXPECT_EQ(ansi.IsOnHeap(), onHeap) << length << " characters";
        EXPECT_EQ(ansi.c_str(), std::string(length, 'a')) << length << " characters";
        const AnsiText moved = std::move(ansi);
        EXPECT_EQ(moved.c_str(), std::string(length, 'a')) << length << " characters, moved";
        // The moved-from state is what is checked here.
        // NOLINTNEXTLINE(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
        EXPECT_EQ(ansi.c_str(), nullptr) << length << " characters, moved from";
    }
}

TEST(WideToAnsi, GivesNullForNull) {
    EXPECT_EQ(WideToAnsi(nullptr).c_str(), nullptr);
}

TEST(FromUtf8, RoundTripsAndStopsAtAnInvalidSequence) {
    const std::wstring texts[] = {L"", L"abc", std::wstring(500, L'表'),
                                  L"\"C:\\程序\\한국\\ไทย\\😀.exe\" /ip 1.2.3.4"};
    for (const auto& text : texts)
        EXPECT_EQ(FromUtf8(ToUtf8(text)), text) << testing::PrintToString(text);
    EXPECT_EQ(FromUtf8("ab\xFF"
                       "cd"),
              L"ab");
    // One decoder for many texts: a cut sequence at the end of one is not carried into the next.
    const Utf8Decoder decode;
    EXPECT_EQ(decode("a\xE6\x97"), L"a");
    EXPECT_EQ(decode("\xB6"), L"");
    EXPECT_EQ(decode("\xE6\x97\xB6"), L"时");
}

} // namespace
