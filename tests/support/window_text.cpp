#include "window_text.h"

std::wstring WindowText(HWND hWnd) {
    const auto length = static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied = static_cast<size_t>(
        SendMessageW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return text;
}
