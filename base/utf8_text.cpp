#include "base/utf8_text.h"

#include <windows.h>

#include <climits>

std::string ToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX / 3)
        return {};
    const auto length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}
