#pragma once

#include "base/owned_handle.h"
#include "base/utf8_text.h" // ToUtf8, for wide text on its way into srv.xml

#include <iconv.h>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// UTF-8 to wide text. Fills the whole destination (capacity wide characters) with zeros, then
// converts in one pass; stops at an invalid or incomplete sequence or when the destination is
// full. Returns 0 on success, -1 on failure (what was converted stays in the destination) and -1
// with the destination untouched when no converter is available.
int Utf8ToWide(wchar_t* dest, size_t destCapacity, const char* src, size_t srcBytes);

// Wide text to UTF-8, the same way; the capacity is counted in bytes and a character is never
// stored in part.
int WideToUtf8(char* dest, size_t destCapacity, const wchar_t* src, size_t srcChars);

// GBK bytes to UTF-8, the same way.
int GbkToUtf8(char* dest, size_t destCapacity, const char* src, size_t srcBytes);

// A narrow string that owns its text: inside the object up to 128 bytes, on the heap beyond.
class AnsiText {
public:
    static constexpr size_t kInlineBytes = 128;

    AnsiText() = default;
    AnsiText(AnsiText&& other) noexcept;
    AnsiText& operator=(AnsiText&& other) noexcept;
    AnsiText(const AnsiText&) = delete;
    AnsiText& operator=(const AnsiText&) = delete;
    ~AnsiText() = default;

    // Null for the conversion of a null source.
    const char* c_str() const { return m_pText; }
    bool IsOnHeap() const { return m_heap != nullptr; }

private:
    friend AnsiText WideToAnsi(const wchar_t* text);
    // Room for the given number of bytes, zero-filled; the previous text is dropped.
    char* Reserve(size_t bytes);

    std::array<char, kInlineBytes> m_inline{};
    std::unique_ptr<char[]> m_heap;
    const char* m_pText = nullptr;
};

// Wide text to the calling thread's ANSI code page. Characters that the code page lacks become
// its default character. Throws std::system_error with the system's error code when the platform
// conversion fails, and std::bad_alloc when no room can be had.
AnsiText WideToAnsi(const wchar_t* text);

// Converts many UTF-8 texts in turn with one converter, which is costly to open; each text as
// FromUtf8 converts it.
inline void CloseConverter(iconv_t cd) {
    iconv_close(cd);
}
using OwnedConverter = OwnedHandle<iconv_t, CloseConverter>;

class Utf8Decoder {
public:
    Utf8Decoder();
    std::wstring operator()(std::string_view text) const;

private:
    OwnedConverter m_converter;
};

// Whole-text conversion: the result always has room for the complete text. Text after an
// invalid sequence is dropped.
std::wstring FromUtf8(std::string_view text);
