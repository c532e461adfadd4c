#include "unattended_output.h"

#include "activity_log.h"

#include <string>

namespace {

// How text goes to a handle: nowhere, as a console's own text, or as UTF-8 bytes.
enum class OutputKind { None, Console, Bytes };

// Where the echo writes while an UnattendedOutput lives; one at a time.
HANDLE g_hOutput = nullptr;
OutputKind g_outputKind = OutputKind::None;

OutputKind OutputKindOf(HANDLE hOutput) {
    if (!hOutput || hOutput == INVALID_HANDLE_VALUE)
        return OutputKind::None;
    DWORD mode = 0;
    if (GetConsoleMode(hOutput, &mode))
        return OutputKind::Console;
    return GetFileType(hOutput) == FILE_TYPE_UNKNOWN ? OutputKind::None : OutputKind::Bytes;
}

std::string ToUtf8(std::wstring_view text) {
    const auto length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// The attached console's output; null when it cannot be opened.
HANDLE OpenConsoleOutput() {
    HANDLE hConsole =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (hConsole == INVALID_HANDLE_VALUE)
        hConsole = nullptr;
    return hConsole;
}

} // namespace

UnattendedOutput::UnattendedOutput() {
    g_hOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    g_outputKind = OutputKindOf(g_hOutput);
    // A program without a console window is given no standard handles by a console that starts
    // it: write to that console only when nothing was redirected.
    if (g_outputKind == OutputKind::None && AttachConsole(ATTACH_PARENT_PROCESS)) {
        m_attached = true;
        m_parentConsole.Reset(OpenConsoleOutput());
        g_hOutput = m_parentConsole.Get();
        g_outputKind = OutputKindOf(g_hOutput);
    }
    if (g_outputKind != OutputKind::None)
        SetLogEcho(Echo);
}

UnattendedOutput::~UnattendedOutput() {
    SetLogEcho(nullptr);
    g_hOutput = nullptr;
    g_outputKind = OutputKind::None;
    m_parentConsole.Reset();
    if (m_attached)
        FreeConsole();
}

void UnattendedOutput::Echo(std::wstring_view text) {
    DWORD written = 0;
    if (g_outputKind == OutputKind::Console) {
        WriteConsoleW(g_hOutput, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = ToUtf8(text);
    WriteFile(g_hOutput, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
