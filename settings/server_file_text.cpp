#include "settings/server_file_text.h"

#include "base/owned_file.h"
#include "settings/text_encoding.h"

#include <iconv.h>
#include <windows.h>

#include <regex>

namespace {

constexpr char kUtf8[] = "UTF-8";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// "<?" in UTF-16 without a byte-order mark.
constexpr std::string_view kUtf16LeStart{"<\0?\0", 4};
constexpr std::string_view kUtf16BeStart{"\0<\0?", 4};
// The XML declaration ends within this many bytes in any file that has one.
constexpr size_t kDeclarationBytes = 1024;

// The encoding named by the XML declaration at the start of an ASCII-compatible text.
std::optional<std::string> DeclaredEncoding(std::string_view bytes) {
    static const std::regex declaration(
        R"(^<\?xml[ \t\r\n][^?>]*[ \t\r\n]encoding[ \t\r\n]*=[ \t\r\n]*(["'])([A-Za-z0-9._:-]+)\1)");
    const std::string head(bytes.substr(0, std::min(bytes.size(), kDeclarationBytes)));
    std::smatch match;
    if (!std::regex_search(head, match, declaration))
        return std::nullopt;
    return match[2].str();
}

bool IsValidUtf8(std::string_view bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

bool NamesUtf8(const std::string& name) {
    return lstrcmpiA(name.c_str(), "UTF-8") == 0 || lstrcmpiA(name.c_str(), "UTF8") == 0;
}

// GB18030 holds GBK whole: where the system lacks its code page (Wine has none), its one- and
// two-byte characters are read as GBK, and a four-byte one leaves the text unreadable.
std::string ConverterName(const std::string& name) {
    constexpr UINT kGb18030CodePage = 54936;
    if (lstrcmpiA(name.c_str(), "GB18030") == 0 && !IsValidCodePage(kGb18030CodePage))
        return "GBK";
    return name;
}

} // namespace

TextEncoding EncodingOf(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark))
        return {kUtf8, kUtf8Mark.size()};
    if (bytes.starts_with(kUtf16LeMark))
        return {"UTF-16LE", kUtf16LeMark.size()};
    if (bytes.starts_with(kUtf16BeMark))
        return {"UTF-16BE", kUtf16BeMark.size()};
    if (bytes.starts_with(kUtf16LeStart))
        return {"UTF-16LE", 0};
    if (bytes.starts_with(kUtf16BeStart))
        return {"UTF-16BE", 0};
    if (auto declared = DeclaredEncoding(bytes))
        return {std::move(*declared), 0};
    if (IsValidUtf8(bytes))
        return {kUtf8, 0};
    return {"CP" + std::to_string(GetACP()), 0};
}

std::optional<std::string> DecodeToUtf8(std::string_view bytes, const TextEncoding& encoding) {
    bytes.remove_prefix(std::min(bytes.size(), encoding.markBytes));
    if (NamesUtf8(encoding.name)) {
        if (!IsValidUtf8(bytes) || bytes.size() > kMaxServerFileBytes)
            return std::nullopt;
        return std::string(bytes);
    }
    const OwnedConverter converter = OpenConverter(kUtf8, ConverterName(encoding.name).c_str());
    if (!converter)
        return std::nullopt;
    // No encoding takes more than three UTF-8 bytes for one of its bytes; one byte more than the
    // bound shows a text that passes it.
    std::string text(std::min(bytes.size() * 3 + 4, kMaxServerFileBytes + 1), '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* out = text.data();
    size_t outLeft = text.size();
    if (iconv(converter.Get(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) ||
        iconv(converter.Get(), nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1) ||
        outLeft == 0)
        return std::nullopt;
    text.resize(text.size() - outLeft);
    return text;
}

std::optional<std::string> ReadBoundedFile(const std::wstring& path) {
    const OwnedFile file = AdoptFile(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart > static_cast<LONGLONG>(kMaxServerFileBytes))
        return std::nullopt;
    // One byte more than the size tells whether the file grew since.
    std::string content(static_cast<size_t>(size.QuadPart) + 1, '\0');
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        const auto want = static_cast<DWORD>(content.size() - total);
        if (!ReadFile(file.Get(), content.data() + total, want, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            break;
        total += read;
        if (total == content.size())
            return std::nullopt;
    }
    content.resize(total);
    return content;
}
