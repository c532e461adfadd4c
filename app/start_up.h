#pragma once
// The start-up: the course a start takes, the unattended exchange, the exit codes.

#include "app/command_line.h"
#include "timesync/time_exchange.h"

#include <windows.h>

#include <string>
#include <vector>

enum class StartCourse { Interactive, Unattended, Usage };

// What a start does; an unattended run also has the server's address and the road to the clock.
struct StartChoice {
    StartCourse course = StartCourse::Usage;
    std::wstring address = {};
    SyncRoad road = SyncRoad::Quick;
};

// The course a start takes: no arguments is interactive; exactly "/ip <a.b.c.d>" (any first
// character, key "ip" in lower case, a valid address) is unattended on the quick road, and the
// same followed by "/precise" (IsPreciseOption) on the precise road; anything else shows the
// usage. Argument 0 is the program.
StartChoice ChooseStart(const std::vector<std::wstring>& arguments);

// Exit codes of a run. Interactive runs end with 0.
enum ExitCode : int {
    kExitClockSet = 0,
    kExitNoAnswer = 1,         // refused connection, early close, read error, time limit
    kExitNoWindow = 2,         // the main window could not be created
    kExitAnswerRefused = 3,    // the answer lies more than ten years from the local year
    kExitClockNotSettable = 4, // the system refused the clock change (e.g. missing privilege)
    kExitFailed = 5,           // the program itself failed (an exception ended its window)
    kExitUsage = 6,            // the command line was not understood: the usage was shown
};

// Starts the unattended exchange on that road with notifications to hNotifyWnd and its steps
// logged in the (hidden) log pane; the exchange bounds itself in time. False when it failed at
// once.
bool StartUnattendedExchange(HWND hNotifyWnd, const std::wstring& address, SyncRoad road);

// The exit code of an unattended run that ended with that outcome.
int UnattendedExitCode(ExchangeOutcome outcome);

// The usage text where the starter reads it (a console, a redirected output), or else in the
// usage box; returns kExitUsage.
int ShowUsageWhereSeen();
