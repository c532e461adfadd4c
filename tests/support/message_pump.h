#pragma once

#include <windows.h>

#include <functional>
#include <optional>

// Dispatches this thread's messages until done() holds or the time runs out; returns done().
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = 10'000);

// Dispatches this thread's messages for the given time.
void PumpMessagesFor(DWORD ms);

// The exit code of the last WM_QUIT that the pump met, once; empty when none came.
std::optional<int> TakeQuitCode();
