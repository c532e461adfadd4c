// A program a test starts to learn what a child inherits: exit code 0 when its token lacks the
// privilege to set the system clock, 1 when it lists it, 2 when the token cannot be read. It
// removes nothing itself.
#include "tests/support/clock_privilege.h"

int main() {
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return 2;
    const auto listed = TokenListsTimePrivilege(hToken);
    CloseHandle(hToken);
    return listed ? (*listed ? 1 : 0) : 2;
}
