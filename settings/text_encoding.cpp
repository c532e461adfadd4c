#include "settings/text_encoding.h"

#include "base/owned_handle.h"

#include <iconv.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <system_error>

namespace {

constexpr char kUtf8[] = "UTF-8";
constexpr char kWideChar[] = "WCHAR_T";
constexpr char kGbk[] = "GBK";

iconv_t OpenConverter(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    return cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
}

// One pass of an open converter over the source into a zero-filled destination. Returns 0 or -1
// and the number of bytes written.
int ConvertWith(iconv_t converter, char* dest, size_t destBytes, const char* src, size_t srcBytes,
                size_t* written) {
    std::memset(dest, 0, destBytes);
    // Back to the initial state, whatever an earlier text left.
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(src);
    size_t inLeft = srcBytes;
    char* out = dest;
    size_t outLeft = destBytes;
    const size_t result = srcBytes == 0 ? 0 : iconv(converter, &in, &inLeft, &out, &outLeft);
    // A converter may leave part of a character it had no room for behind the written text.
    std::memset(out, 0, outLeft);
    if (written)
        *written = destBytes - outLeft;
    return result == static_cast<size_t>(-1) ? -1 : 0;
}

// The same with a converter of its own for this one call.
int Convert(const char* to, const char* from, char* dest, size_t destBytes, const char* src,
            size_t srcBytes, size_t* written = nullptr) {
    if (written)
        *written = 0;
    if (!dest || (!src && srcBytes > 0))
        return -1;
    const OwnedConverter converter(OpenConverter(to, from));
    if (!converter)
        return -1;
    return ConvertWith(converter.Get(), dest, destBytes, src, srcBytes, written);
}

} // namespace

int Utf8ToWide(wchar_t* dest, size_t destCapacity, const char* src, size_t srcBytes) {
    return Convert(kWideChar, kUtf8, reinterpret_cast<char*>(dest), destCapacity * sizeof(wchar_t),
                   src, srcBytes);
}

int WideToUtf8(char* dest, size_t destCapacity, const wchar_t* src, size_t srcChars) {
    return Convert(kUtf8, kWideChar, dest, destCapacity, reinterpret_cast<const char*>(src),
                   srcChars * sizeof(wchar_t));
}

int GbkToUtf8(char* dest, size_t destCapacity, const char* src, size_t srcBytes) {
    return Convert(kUtf8, kGbk, dest, destCapacity, src, srcBytes);
}

std::wstring FromUtf8(std::string_view text) {
    return Utf8Decoder()(text);
}

Utf8Decoder::Utf8Decoder() : m_converter(OpenConverter(kWideChar, kUtf8)) {}

std::wstring Utf8Decoder::operator()(std::string_view text) const {
    std::wstring wide(text.size(), L'\0');
    // Valid text, the usual case, converts many times faster through the platform.
    const int converted = text.empty() || text.size() > INT_MAX
                              ? 0
                              : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                                    static_cast<int>(text.size()), wide.data(),
                                                    static_cast<int>(wide.size()));
    if (converted > 0) {
        wide.resize(static_cast<size_t>(converted));
        return wide;
    }
    size_t written = 0;
    if (m_converter)
        ConvertWith(m_converter.Get(), reinterpret_cast<char*>(wide.data()),
                    wide.size() * sizeof(wchar_t), text.data(), text.size(), &written);
    wide.resize(written / sizeof(wchar_t));
    return wide;
}

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
