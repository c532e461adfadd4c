#include "settings/xml_session.h"

#include "settings/bounded_parse.h"
#include "base/owned_file.h"
#include "settings/save_temporaries.h"
#include "settings/server_file_text.h"
#include "settings/settings_texts.h"
#include "settings/text_encoding.h"

#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>
#include <windows.h>

#include <optional>
#include <string>

namespace {

using OwnedXmlText = OwnedHandle<xmlChar*, [](xmlChar* text) { xmlFree(text); }>;

xmlParserInputPtr RefuseExternalResource(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void DiscardXmlError(void*, xmlErrorPtr) {}

// The document as a save writes it, in UTF-8, indented or not; nullopt when the library fails.
std::optional<std::string> SerializeDocument(xmlDocPtr doc, bool indented) {
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &text, &size, kXmlEncoding, indented ? 1 : 0);
    const OwnedXmlText owned(text);
    std::optional<std::string> bytes;
    if (text && size >= 0)
        bytes.emplace(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
    return bytes;
}

// The file's bytes: indented as always, or, when that would pass the size bound (a compact file
// near it), without indentation; every document that the reader accepts fits in that form.
std::optional<std::string> SavedText(xmlDocPtr doc) {
    std::optional<std::string> text = SerializeDocument(doc, true);
    if (text && text->size() > kMaxServerFileBytes)
        text = SerializeDocument(doc, false);
    if (text && text->size() > kMaxServerFileBytes)
        return std::nullopt;
    return text;
}

// Writes the bytes through the library's output, as every file it saves.
bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    const std::string name = ToUtf8(path);
    const xmlOutputBufferPtr output = xmlOutputBufferCreateFilename(name.c_str(), nullptr, 0);
    if (!output)
        return false;
    // The write reports what has gone to the file so far, the close the whole count.
    const bool buffered =
        xmlOutputBufferWrite(output, static_cast<int>(bytes.size()), bytes.data()) >= 0;
    return xmlOutputBufferClose(output) == static_cast<int>(bytes.size()) && buffered;
}

// Writes the file's data through to the disk.
bool FlushToDisk(const std::wstring& path) {
    const OwnedFile file = AdoptFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.Get());
}

} // namespace

XmlSession::XmlSession()
    : m_previousLoader(xmlGetExternalEntityLoader()), m_previousErrorHandler(xmlStructuredError),
      m_previousErrorContext(xmlStructuredErrorContext) {
    xmlKeepBlanksDefault(0);
    xmlIndentTreeOutput = 1;
    xmlSetExternalEntityLoader(RefuseExternalResource);
    xmlSetStructuredErrorFunc(nullptr, DiscardXmlError);
}

XmlSession::~XmlSession() {
    xmlSetStructuredErrorFunc(m_previousErrorContext, m_previousErrorHandler);
    xmlSetExternalEntityLoader(m_previousLoader);
    xmlCleanupParser();
}

OwnedXmlDoc ReadServerDocument(const std::wstring& path, ReadFault& fault) {
    fault = ReadFault();
    const std::optional<std::string> bytes = ReadBoundedFile(path);
    if (!bytes)
        return OwnedXmlDoc();
    fault.opened = true;
    const std::optional<std::string> text = DecodeToUtf8(*bytes, EncodingOf(*bytes));
    if (!text)
        return OwnedXmlDoc();
    return ParseServerText(*text, fault);
}

bool SaveServerDocument(xmlDocPtr doc, const std::wstring& path) {
    if (!doc)
        return false;
    const std::optional<std::string> text = SavedText(doc);
    if (!text)
        return false;
    RemoveAbandonedTemporaries(path);
    const std::wstring temporary = TemporaryPathBeside(path, GetCurrentProcessId());
    const bool written =
        WriteWhole(temporary, *text) && FlushToDisk(temporary) && ReadServerDocument(temporary);
    if (written && MoveFileExW(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}
