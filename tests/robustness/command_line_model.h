#pragma once

#include "command_line.h"
#include "start_up.h"

#include <string>
#include <string_view>
#include <vector>

// The documented command-line rules, stated once more in the plainest terms, to hold the code
// against for any input.

// Key = argument without its first character; the next argument is its value unless the key was
// seen before; a last key without a value is dropped.
inline OptionMap ModelOptions(const std::vector<std::wstring>& argv) {
    OptionMap options;
    for (size_t i = 1; i < argv.size();) {
        const std::wstring key = argv[i].empty() ? L"" : argv[i].substr(1);
        const bool hasValue = i + 1 < argv.size();
        if (hasValue && options.find(key) == options.end()) {
            options[key] = argv[i + 1];
            i += 2;
        } else {
            i += 1;
        }
    }
    return options;
}

// Four runs of the digits 0 to 9 between any number of dots; nothing else.
inline bool ModelValidAddress(std::wstring_view text) {
    int parts = 0;
    bool inPart = false;
    for (const wchar_t c : text) {
        if (c == L'.') {
            inPart = false;
        } else if (c >= L'0' && c <= L'9') {
            parts += inPart ? 0 : 1;
            inPart = true;
        } else {
            return false;
        }
    }
    return parts == 4;
}

// No arguments: interactive; exactly "?ip <address>": unattended; anything else: usage.
inline StartCourse ModelCourse(const std::vector<std::wstring>& argv) {
    if (argv.size() <= 1)
        return StartCourse::Interactive;
    const bool ipOption = argv.size() == 3 && argv[1].size() == 3 && argv[1].substr(1) == L"ip";
    return ipOption && ModelValidAddress(argv[2]) ? StartCourse::Unattended : StartCourse::Usage;
}

inline bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}
