#pragma once
// srv.xml's bytes: the bounded read and the decoding to UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Far more than any list of servers needs (100,000 servers take about 7.5 MB); anything longer
// is not a server file. The bound holds for the file and for its text as UTF-8.
inline constexpr size_t kMaxServerFileBytes = 16 << 20;

// The converter's name for the encoding of a file's bytes, and how many bytes of byte-order mark
// open it. A byte-order mark decides; without one, UTF-16 shows in its first two characters
// ("<?") and other encodings are named by the XML declaration. Without a declared encoding the
// text is UTF-8 when it is valid UTF-8, and otherwise in the ANSI code page, as Notepad saves it.
struct TextEncoding {
    std::string name;
    size_t markBytes = 0;
};
TextEncoding EncodingOf(std::string_view bytes);

// The bytes in the named encoding as UTF-8, without the byte-order mark; nullopt when they are
// not text of that encoding, the converter does not know it, or the text passes
// kMaxServerFileBytes.
std::optional<std::string> DecodeToUtf8(std::string_view bytes, const TextEncoding& encoding);

// The whole file through the wide file API, or nothing when it cannot be read or is larger than
// kMaxServerFileBytes.
std::optional<std::string> ReadBoundedFile(const std::wstring& path);
