#pragma once

#include "owned_handle.h"

#include <windows.h>

#include <string_view>

// While it lives, every text added to the log pane is written where someone started the run and
// may read it: a redirected standard output (a file or a pipe, as UTF-8), the standard output's
// console, or else the parent's console (its own text). Without any of them nothing is written,
// as in a start by the Run value at log-on. A console is never made.
class UnattendedOutput {
public:
    UnattendedOutput();
    ~UnattendedOutput();
    UnattendedOutput(const UnattendedOutput&) = delete;
    UnattendedOutput& operator=(const UnattendedOutput&) = delete;

private:
    static void Echo(std::wstring_view text);

    using OwnedFile = OwnedHandle<HANDLE, CloseHandle>; // never INVALID_HANDLE_VALUE
    OwnedFile m_parentConsole; // CONOUT$ of the parent's console, when attached to it
    bool m_attached = false;
};
