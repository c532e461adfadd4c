#include "tests/support/child_process.h"
#include "tests/support/clock_privilege.h"

#include <gtest/gtest.h>

namespace {

TEST(NoClock, OwnTokenHasLostTheTimePrivilegeForGood) {
    HANDLE hToken = nullptr;
    ASSERT_TRUE(
        OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, &hToken));
    EXPECT_EQ(TokenListsTimePrivilege(hToken), std::optional<bool>(false));

    TOKEN_PRIVILEGES enable = {1, {{{}, SE_PRIVILEGE_ENABLED}}};
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &enable.Privileges[0].Luid));
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(hToken, FALSE, &enable, 0, nullptr, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    EXPECT_EQ(TokenListsTimePrivilege(hToken), std::optional<bool>(false));
    CloseHandle(hToken);
}

TEST(NoClock, ChildrenInheritTheTokenWithoutIt) {
    EXPECT_EQ(RunProcess(QuoteArgument(SiblingProgramPath(L"clock_privilege_probe.exe"))),
              std::optional<DWORD>(0));
}

} // namespace
