#include "timesync/activity_log.h"

#include <shlwapi.h>

#include <cstdarg>

HWND g_hLogEdit = nullptr;

namespace {

LogEcho g_logEcho = nullptr;

} // namespace

void AppendLog(HWND target, const wchar_t* format, ...) {
    if (!IsWindow(target))
        return;
    constexpr int kCapacity = 1024;
    wchar_t text[kCapacity] = {};
    va_list arguments{};
    va_start(arguments, format);
    wvnsprintfW(text, kCapacity, format, arguments);
    va_end(arguments);
    text[kCapacity - 1] = L'\0';

    // The pane is never trimmed: lift the edit control's default limit, then insert at the real
    // end, however long the pane's text has grown.
    SendMessageW(target, EM_SETLIMITTEXT, 0, 0);
    const int end = GetWindowTextLengthW(target);
    SendMessageW(target, EM_SETSEL, end, end);
    SendMessageW(target, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    if (g_logEcho)
        g_logEcho(text);
}

void SetLogEcho(LogEcho echo) {
    g_logEcho = echo;
}
