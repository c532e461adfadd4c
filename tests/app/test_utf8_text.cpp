#include "base/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ToUtf8, HoldsTheWholeText) {
    const std::wstring chinese(300, L'时');
    std::string expected;
    for (int i = 0; i < 300; ++i)
        expected += "\xE6\x97\xB6";
    const std::pair<std::wstring, std::string> cases[] = {
        {chinese, expected},
        {L"\U0001F600\U0001F600", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
        {L"", ""},
        // The platform's rule: a lone surrogate becomes U+FFFD, and the text goes on.
        {L"a\xD800z", "a\xEF\xBF\xBDz"},
    };
    for (const auto& [text, utf8] : cases)
        EXPECT_EQ(ToUtf8(text), utf8) << testing::PrintToString(text);
}

} // namespace
