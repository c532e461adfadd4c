#include "base/ansi_text.h"

#include <windows.h>

#include <climits>
#include <cwchar>
#include <system_error>
#include <utility>

AnsiText::AnsiText(AnsiText&& other) noexcept {
    *this = std::move(other);
}

AnsiText& AnsiText::operator=(AnsiText&& other) noexcept {
    if (this == &other)
        return *this;
    m_inline = other.m_inline;
    m_heap = std::move(other.m_heap);
    if (!other.m_pText)
        m_pText = nullptr;
    else
        m_pText = m_heap ? m_heap.get() : m_inline.data();
    other.m_pText = nullptr;
    return *this;
}

char* AnsiText::Reserve(size_t bytes) {
    if (bytes <= kInlineBytes) {
        m_heap.reset();
        m_inline.fill('\0');
        m_pText = m_inline.data();
    } else {
        m_heap = std::make_unique<char[]>(bytes);
        m_pText = m_heap.get();
    }
    return const_cast<char*>(m_pText);
}

AnsiText WideToAnsi(const wchar_t* text) {
    AnsiText ansi;
    if (!text)
        return ansi;
    // The terminator is converted too.
    const size_t chars = std::wcslen(text) + 1;
    if (chars > INT_MAX / 4)
        throw std::system_error(ERROR_ARITHMETIC_OVERFLOW, std::system_category());
    const int wideCount = static_cast<int>(chars);
    int room = wideCount * 4;
    int converted = WideCharToMultiByte(CP_THREAD_ACP, 0, text, wideCount, ansi.Reserve(room), room,
                                        nullptr, nullptr);
    if (converted == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        room = WideCharToMultiByte(CP_THREAD_ACP, 0, text, wideCount, nullptr, 0, nullptr, nullptr);
        if (room > 0)
            converted = WideCharToMultiByte(CP_THREAD_ACP, 0, text, wideCount, ansi.Reserve(room),
                                            room, nullptr, nullptr);
    }
    if (converted == 0)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "WideToAnsi");
    return ansi;
}
