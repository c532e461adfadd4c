// Linked into every test program and every program a test starts: before main, the process gives
// up the privilege to set the clock, so that no test answer (a year long past, a time an hour
// off) can reach the machine's clock, also in an elevated shell on Windows.
#include "tests/support/clock_privilege.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool GiveUpTheClock() {
    if (RemoveTimePrivilege())
        return true;
    // Wine refuses clock changes itself, and the tests run without the host's capability.
    if (IsWine())
        return std::fputs("note: the time privilege is not confirmed removed (Wine)\n", stderr) >=
               0;
    std::fputs("refusing to run: the privilege to set the clock could not be removed\n", stderr);
    std::fflush(stderr);
    std::_Exit(86);
}

const bool g_bClockGivenUp = GiveUpTheClock();

} // namespace
