#pragma once

#include "timesync/failure_hint.h"
#include "tests/support/socket_checks.h"
#include "timesync/time_exchange.h"
#include "timesync/timesync_texts.h"

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <string_view>

// The text after the last "\r\n" of a log, or all of it when it has none.
inline std::wstring LastLine(std::wstring_view log) {
    while (log.ends_with(L"\r\n"))
        log.remove_suffix(2);
    const size_t end = log.rfind(L"\r\n");
    return std::wstring(end == std::wstring_view::npos ? log : log.substr(end + 2));
}

// The line an exchange ended with: the last one, or the one before the hint on what to do.
inline std::wstring EndLine(std::wstring_view log) {
    std::wstring last = LastLine(log);
    for (const int code : {1314, 10051, 10060, 10061, 10065}) {
        if (last == FailureHint(code))
            return LastLine(log.substr(0, log.rfind(last)));
    }
    return last;
}

// Whether a log line is one that an exchange ends with: the clock update's outcome after an
// answer, or one of the failures.
inline bool IsAnswerEndLine(std::wstring_view line) {
    return line.starts_with(std::wstring_view(kLogYearOutOfRangeStart)) ||
           line.starts_with(L"不能设置新的日期和时间! #") || line.starts_with(L"现在\t");
}

inline bool IsFailureEndLine(std::wstring_view line) {
    const auto startsLike = [line](std::wstring_view format) {
        return line.starts_with(format.substr(0, format.find(L'%')));
    };
    return startsLike(kLogClosedEarly) || startsLike(kLogReadFailed) ||
           startsLike(kLogConnectFailed) || startsLike(kLogTimedOut);
}
