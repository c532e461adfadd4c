#include "app/unattended_output.h"

#include "timesync/activity_log.h"

namespace {

// How text goes to a handle: nowhere, as a console's own text, or as UTF-8 bytes.
enum class OutputKind { None, Console, Bytes };

// The output that the log echo writes to; one at a time.
UnattendedOutput* g_pEchoOutput = nullptr;

OutputKind OutputKindOf(HANDLE hOutput) {
    if (!hOutput || hOutput == INVALID_HANDLE_VALUE)
        return OutputKind::None;
    DWORD mode = 0;
    if (GetConsoleMode(hOutput, &mode))
        return OutputKind::Console;
    return GetFileType(hOutput) == FILE_TYPE_UNKNOWN ? OutputKind::None : OutputKind::Bytes;
}

// The attached console's output; empty when it cannot be opened.
OwnedFile OpenConsoleOutput() {
    return AdoptFile(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
}

} // namespace

UnattendedOutput::UnattendedOutput() {
    HANDLE hOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    OutputKind kind = OutputKindOf(hOutput);
    // A program without a console window is given no standard handles by a console that starts
    // it: write to that console only when nothing was redirected.
    if (kind == OutputKind::None && AttachConsole(ATTACH_PARENT_PROCESS)) {
        m_attached = true;
        m_parentConsole = OpenConsoleOutput();
        hOutput = m_parentConsole.Get();
        kind = OutputKindOf(hOutput);
    }
    if (kind == OutputKind::None)
        return;
    m_writer.emplace(hOutput, kind == OutputKind::Console);
    g_pEchoOutput = this;
    SetLogEcho(Echo);
}

UnattendedOutput::~UnattendedOutput() {
    if (g_pEchoOutput == this) {
        SetLogEcho(nullptr);
        g_pEchoOutput = nullptr;
    }
    if (m_lineOpen)
        Write(L"\r\n");
    if (m_writer && !m_writer->Flush(kFlushMs)) {
        // A write still holds the console: leave it open for the process's end to take down.
        m_parentConsole.Detach();
        return;
    }
    m_writer.reset();
    m_parentConsole.Reset();
    if (m_attached)
        FreeConsole();
}

void UnattendedOutput::Write(std::wstring_view text) {
    if (!m_writer || text.empty())
        return;
    m_lineOpen = !text.ends_with(L'\n');
    m_writer->Write(std::wstring(text));
}

void UnattendedOutput::Echo(std::wstring_view text) {
    if (g_pEchoOutput)
        g_pEchoOutput->Write(text);
}
