#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The full path of a program in the running test program's own folder.
std::wstring SiblingProgramPath(std::wstring_view fileName);

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(std::wstring_view argument);

// Runs a command line as a separate process and waits for it at most timeoutMs. Returns its exit
// code; empty when it could not be started or ran too long (it is then terminated).
std::optional<DWORD> RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 20'000);
