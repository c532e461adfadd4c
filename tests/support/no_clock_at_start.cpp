// Linked into every test program and every program a test starts: before main, the process
// gives up the privilege to set the system clock, so that no test answer (a year long past, a
// time an hour off) can ever reach the machine's clock, also in an elevated shell on Windows.
#include "clock_privilege.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kClockStillSettable = 86;

bool GiveUpTheClock() {
    if (RemoveTimePrivilege())
        return true;
    if (IsWine()) {
        // Wine refuses clock changes itself, and the tests run without the host's capability.
        std::fputs("note: the time privilege could not be confirmed removed under Wine\n", stderr);
        return true;
    }
    std::fputs("refusing to run: the privilege to set the system clock could not be removed "
               "from this process\n",
               stderr);
    std::fflush(stderr);
    std::_Exit(kClockStillSettable);
}

const bool g_bClockGivenUp = GiveUpTheClock();

} // namespace
