#pragma once
// The iconv conversions between wide text and UTF-8.

#include "base/owned_handle.h"
#include "base/utf8_text.h" // ToUtf8, for wide text on its way into srv.xml

#include <iconv.h>

#include <cstddef>
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

inline void CloseConverter(iconv_t cd) {
    iconv_close(cd);
}
using OwnedConverter = OwnedHandle<iconv_t, CloseConverter>;
// A converter between the two iconv encoding names; empty when iconv has none.
OwnedConverter OpenConverter(const char* to, const char* from);

// Converts many UTF-8 texts in turn with one converter, which is costly to open; each text as
// FromUtf8 converts it.
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
