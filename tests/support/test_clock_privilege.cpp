#include "child_process.h"
#include "clock_privilege.h"

#include <gtest/gtest.h>

namespace {

TEST(NoClock, OwnTokenHasLostTheTimePrivilegeForGood) {
    HANDLE hToken = nullptr;
    ASSERT_TRUE(
        OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, &hToken));
    EXPECT_EQ(TokenListsTimePrivilege(hToken), std::optional<bool>(false));

    TOKEN_PRIVILEGES enable = {};
    enable.PrivilegeCount = 1;
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &enable.Privileges[0].Luid));
    enable.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(hToken, FALSE, &enable, 0, nullptr, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    EXPECT_EQ(TokenListsTimePrivilege(hToken), std::optional<bool>(false));
    CloseHandle(hToken);
}

TEST(NoClock, ChildrenInheritTheTokenWithoutIt) {
    const auto code = RunProcess(QuoteArgument(SiblingProgramPath(L"clock_privilege_probe.exe")));
    EXPECT_EQ(code, std::optional<DWORD>(0));
}

} // namespace
