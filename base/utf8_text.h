#pragma once
// Wide text to UTF-8 by the platform's conversion.

#include <string>
#include <string_view>

// Wide text to UTF-8 by the platform's conversion, whole: a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
