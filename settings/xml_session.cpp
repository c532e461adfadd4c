#include "xml_session.h"

#include "owned_file.h"
#include "settings_texts.h"
#include "text_encoding.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// Parse messages go nowhere: a broken file simply gives nothing.
constexpr int kReadOptions = XML_PARSE_NOBLANKS | XML_PARSE_NODICT | XML_PARSE_NONET |
                             XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

xmlParserInputPtr RefuseExternalResource(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

using OwnedParserContext = OwnedHandle<xmlParserCtxtPtr, xmlFreeParserCtxt>;

// Marks a parse that met a declaration it refuses.
const char kRefused = 0;

void StopRefused(void* context) {
    const auto parser = static_cast<xmlParserCtxtPtr>(context);
    parser->_private = const_cast<char*>(&kRefused);
    parser->wellFormed = 0;
    xmlStopParser(parser);
}

void RefuseEntity(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    StopRefused(context);
}

void RefuseUnparsedEntity(void* context, const xmlChar*, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    StopRefused(context);
}

void AcceptOnlyAnInternalSubset(void* context, const xmlChar* name, const xmlChar* externalId,
                                const xmlChar* systemId) {
    if (externalId || systemId)
        StopRefused(context);
    else
        xmlSAX2InternalSubset(context, name, externalId, systemId);
}

// srv.xml needs no entities of its own and no external DTD: a document that declares one is
// refused before anything is expanded or loaded, so no reference can blow up a text or read
// another file. The predefined entities and character references still work.
void RefuseDeclarations(xmlParserCtxtPtr parser) {
    parser->sax->entityDecl = RefuseEntity;
    parser->sax->unparsedEntityDecl = RefuseUnparsedEntity;
    parser->sax->internalSubset = AcceptOnlyAnInternalSubset;
}

void DiscardXmlError(void*, xmlErrorPtr) {}

// The whole file, or nothing when it cannot be read or exceeds the limit.
bool ReadBoundedFile(const std::wstring& path, std::vector<char>& content) {
    const OwnedFile file = AdoptFile(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart > static_cast<LONGLONG>(kMaxServerFileBytes))
        return false;
    // One byte more than the size tells whether the file grew since.
    content.resize(static_cast<size_t>(size.QuadPart) + 1);
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        const auto want = static_cast<DWORD>(content.size() - total);
        if (!ReadFile(file.Get(), content.data() + total, want, &read, nullptr))
            return false;
        if (read == 0)
            break;
        total += read;
        if (total == content.size())
            return false;
    }
    content.resize(total);
    return true;
}

std::wstring TemporaryPathBeside(const std::wstring& path) {
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + kTemporaryFileSuffix;
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

OwnedXmlDoc ReadServerDocument(const std::wstring& path) {
    std::vector<char> content;
    if (!ReadBoundedFile(path, content) || content.empty())
        return OwnedXmlDoc();
    const OwnedParserContext parser(xmlNewParserCtxt());
    if (!parser)
        return OwnedXmlDoc();
    RefuseDeclarations(parser.Get());
    const std::string name = ToUtf8(path);
    OwnedXmlDoc doc(xmlCtxtReadMemory(parser.Get(), content.data(),
                                      static_cast<int>(content.size()), name.c_str(), kXmlEncoding,
                                      kReadOptions));
    if (parser.Get()->_private == &kRefused)
        doc.Reset();
    return doc;
}

bool SaveServerDocument(xmlDocPtr doc, const std::wstring& path) {
    if (!doc)
        return false;
    const std::wstring temporary = TemporaryPathBeside(path);
    const std::string temporaryName = ToUtf8(temporary);
    const bool written = xmlSaveFormatFileEnc(temporaryName.c_str(), doc, kXmlEncoding, 1) >= 0 &&
                         ReadServerDocument(temporary);
    if (written && MoveFileExW(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

OwnedXmlString NodeListText(xmlDocPtr doc, xmlNodePtr list) {
    return OwnedXmlString(xmlNodeListGetString(doc, list, 1));
}
