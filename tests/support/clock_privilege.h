#pragma once

#include <windows.h>

#include <optional>

// Whether the token lists the privilege to set the system clock (SE_SYSTEMTIME_NAME), enabled
// or not; empty when the token cannot be read.
std::optional<bool> TokenListsTimePrivilege(HANDLE hToken);

// Removes the time privilege from this process's token for good (SE_PRIVILEGE_REMOVED: nothing
// can enable it again, and every child inherits the token without it). True once the token is
// read back without it.
bool RemoveTimePrivilege();

// True when running under Wine.
bool IsWine();
