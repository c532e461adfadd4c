#include "app/start_up.h"

#include "app/app_globals.h"
#include "base/ansi_text.h"
#include "app/app_texts.h"
#include "timesync/activity_log.h"
#include "app/program_paths.h"
#include "timesync/time_exchange.h"
#include "app/unattended_output.h"

StartChoice ChooseStart(const std::vector<std::wstring>& arguments) {
    const size_t count = arguments.size();
    if (count <= 1)
        return {.course = StartCourse::Interactive};
    const bool precise = count == 4 && IsPreciseOption(arguments[3]);
    if (count != 3 && !precise)
        return {.course = StartCourse::Usage};
    // With four arguments the flag is the last, which the option map drops as a key without value.
    const OptionMap options = ParseCommandOptions(arguments);
    const auto ip = options.find(kIpOptionKey);
    if (ip == options.end() || !IsValidAddressText(ip->second))
        return {.course = StartCourse::Usage};
    return {.course = StartCourse::Unattended,
            .address = ip->second,
            .road = precise ? SyncRoad::Precise : SyncRoad::Quick};
}

bool StartUnattendedExchange(HWND hNotifyWnd, const std::wstring& address, SyncRoad road) {
    g_unattended = true;
    return ConnectTimeServer(g_hLogEdit, hNotifyWnd, WideToAnsi(address.c_str()).c_str(), road);
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

int ShowUsageWhereSeen() {
    g_unattended = true;
    UnattendedOutput output;
    if (output.IsOpen())
        output.Write(FormatUsageText(GetModulePath()));
    else
        ShowUsage();
    return kExitUsage;
}
