#pragma once
// What an unattended run says, where someone who started it may read it.

#include "app/output_writer.h"
#include "base/owned_file.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Where someone who started the run may read what it says: a redirected standard output (a file
// or a pipe, as UTF-8), the standard output's console, or else the parent's console (its own
// text). Without any of them, as in a start by the Run value at log-on, from Explorer or with
// the output closed, there is none. A console is never made.
//
// While it lives, every text added to the log pane goes there too. Writes never hold the run:
// they go through a thread of their own, and at the end the output gets at most kFlushMs to take
// what is left; what it leaves then ends with a line break.
class UnattendedOutput {
public:
    static constexpr DWORD kFlushMs = 1'000;

    UnattendedOutput();
    ~UnattendedOutput();
    UnattendedOutput(const UnattendedOutput&) = delete;
    UnattendedOutput& operator=(const UnattendedOutput&) = delete;

    bool IsOpen() const { return m_writer.has_value(); }
    void Write(std::wstring_view text);

private:
    static void Echo(std::wstring_view text);

    OwnedFile m_parentConsole; // CONOUT$ of the parent's console, when attached to it
    bool m_attached = false;
    std::optional<OutputWriter> m_writer; // none when there is no output
    bool m_lineOpen = false;              // the last text written ends without a line break
};
