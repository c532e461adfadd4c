#include "activity_log.h"

#include <shlwapi.h>

#include <cstdarg>

HWND g_hLogEdit = nullptr;

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

    // The caret goes to the real end, however long the pane's text has grown.
    const int end = GetWindowTextLengthW(target);
    SendMessageW(target, EM_SETSEL, end, end);
    SendMessageW(target, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}
