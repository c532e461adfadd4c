#include "settings/text_encoding.h"

#include "base/owned_handle.h"

#include <iconv.h>
#include <windows.h>

#include <climits>
#include <cstring>

namespace {

constexpr char kUtf8[] = "UTF-8";
constexpr char kWideChar[] = "WCHAR_T";

// One pass of an open converter over the source into a zero-filled destination. True when the
// whole source converted; the number of bytes written either way.
bool ConvertWith(iconv_t converter, char* dest, size_t destBytes, const char* src, size_t srcBytes,
                 size_t& written) {
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
    written = destBytes - outLeft;
    return result != static_cast<size_t>(-1);
}

// The same with a converter of its own for this one call.
bool Convert(const char* to, const char* from, char* dest, size_t destBytes, const char* src,
             size_t srcBytes) {
    if (!dest || (!src && srcBytes > 0))
        return false;
    const OwnedConverter converter = OpenConverter(to, from);
    size_t written = 0;
    return converter && ConvertWith(converter.Get(), dest, destBytes, src, srcBytes, written);
}

} // namespace

OwnedConverter OpenConverter(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    return OwnedConverter(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

int Utf8ToWide(wchar_t* dest, size_t destCapacity, const char* src, size_t srcBytes) {
    return Convert(kWideChar, kUtf8, reinterpret_cast<char*>(dest), destCapacity * sizeof(wchar_t),
                   src, srcBytes)
               ? 0
               : -1;
}

int WideToUtf8(char* dest, size_t destCapacity, const wchar_t* src, size_t srcChars) {
    return Convert(kUtf8, kWideChar, dest, destCapacity, reinterpret_cast<const char*>(src),
                   srcChars * sizeof(wchar_t))
               ? 0
               : -1;
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
                    wide.size() * sizeof(wchar_t), text.data(), text.size(), written);
    wide.resize(written / sizeof(wchar_t));
    return wide;
}
