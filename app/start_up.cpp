#include "start_up.h"

#include "app_globals.h"
#include "app_texts.h"
#include "activity_log.h"
#include "time_exchange.h"

namespace {

void CALLBACK OnUnattendedTimeLimit(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    AbandonExchange();
}

std::string ToAnsi(const std::wstring& text) {
    // The address holds only ASCII digits and dots.
    return std::string(text.begin(), text.end());
}

} // namespace

StartCourse ChooseStartCourse(int argc, const OptionMap& options) {
    if (argc <= 1)
        return StartCourse::Interactive;
    if (argc != 3)
        return StartCourse::Usage;
    const auto ip = options.find(kIpOptionKey);
    if (ip == options.end() || !IsValidAddressText(ip->second))
        return StartCourse::Usage;
    return StartCourse::Unattended;
}

OwnedThreadTimer StartUnattendedExchange(HWND hNotifyWnd, const std::wstring& address) {
    g_unattended = true;
    if (!ConnectTimeServer(g_hLogEdit, hNotifyWnd, ToAnsi(address).c_str()))
        return {};
    return OwnedThreadTimer(SetTimer(nullptr, 0, kUnattendedTimeLimitMs, OnUnattendedTimeLimit));
}

int UnattendedExitCode(ExchangeOutcome outcome) {
    switch (outcome) {
    case ExchangeOutcome::ClockSet:
        return kExitClockSet;
    case ExchangeOutcome::AnswerRefused:
        return kExitAnswerRefused;
    case ExchangeOutcome::ClockNotSettable:
        return kExitClockNotSettable;
    case ExchangeOutcome::None:
    case ExchangeOutcome::NoAnswer:
        return kExitNoAnswer;
    }
    return kExitNoAnswer;
}
