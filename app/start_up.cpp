#include "app/start_up.h"

#include "app/app_globals.h"
#include "base/ansi_text.h"
#include "app/app_texts.h"
#include "timesync/activity_log.h"
#include "app/program_paths.h"
#include "timesync/time_exchange.h"
#include "app/unattended_output.h"

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

bool StartUnattendedExchange(HWND hNotifyWnd, const std::wstring& address) {
    g_unattended = true;
    return ConnectTimeServer(g_hLogEdit, hNotifyWnd, WideToAnsi(address.c_str()).c_str());
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
