#include "xml_session.h"

#include "markup_scan.h"
#include "owned_file.h"
#include "settings_texts.h"
#include "text_encoding.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr size_t kMaxDeclarations = 256;

// Parse messages go nowhere: a broken file simply gives nothing.
constexpr int kReadOptions = XML_PARSE_NOBLANKS | XML_PARSE_NODICT | XML_PARSE_NONET |
                             XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

xmlParserInputPtr RefuseExternalResource(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// A search of FindFirstFileW; INVALID_HANDLE_VALUE is held as empty.
using OwnedFind = OwnedHandle<HANDLE, [](HANDLE find) { FindClose(find); }>;

using OwnedParserContext = OwnedHandle<xmlParserCtxtPtr, xmlFreeParserCtxt>;

// What one parse has met so far; the parser's _private points to it.
struct ParseState {
    bool refused = false;
    size_t declarations = 0;
    size_t expandedBytes = 0;
};

ParseState& StateOf(void* context) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void StopRefused(void* context) {
    const auto parser = static_cast<xmlParserCtxtPtr>(context);
    StateOf(context).refused = true;
    parser->wellFormed = 0;
    xmlStopParser(parser);
}

// Plain text: nothing in it can refer to another entity or add markup.
bool IsPlainText(const xmlChar* content) {
    return content && !xmlStrchr(content, '&') && !xmlStrchr(content, '<') &&
           !xmlStrchr(content, '%');
}

// A declaration more than a file of this format can need is refused: the library's costs grow
// faster than their number.
bool CountDeclaration(void* context) {
    if (++StateOf(context).declarations <= kMaxDeclarations)
        return true;
    StopRefused(context);
    return false;
}

void CountElementDeclaration(void* context, const xmlChar* name, int type,
                             xmlElementContentPtr content) {
    if (CountDeclaration(context))
        xmlSAX2ElementDecl(context, name, type, content);
}

void CountAttributeDeclaration(void* context, const xmlChar* element, const xmlChar* name, int type,
                               int def, const xmlChar* defaultValue, xmlEnumerationPtr values) {
    if (CountDeclaration(context))
        xmlSAX2AttributeDecl(context, element, name, type, def, defaultValue, values);
    else
        xmlFreeEnumeration(values); // the library hands its ownership to the callback
}

void CountNotationDeclaration(void* context, const xmlChar* name, const xmlChar* publicId,
                              const xmlChar* systemId) {
    if (CountDeclaration(context))
        xmlSAX2NotationDecl(context, name, publicId, systemId);
}

void AcceptPlainTextEntity(void* context, const xmlChar* name, int type, const xmlChar* publicId,
                           const xmlChar* systemId, xmlChar* content) {
    if (!CountDeclaration(context))
        return;
    if (type == XML_INTERNAL_GENERAL_ENTITY && IsPlainText(content))
        xmlSAX2EntityDecl(context, name, type, publicId, systemId, content);
    else
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

// Every reference counts its replacement text (and one byte) against the budget.
void CountReference(void* context, const xmlChar* name) {
    const xmlEntityPtr entity =
        xmlGetDocEntity(static_cast<xmlParserCtxtPtr>(context)->myDoc, name);
    ParseState& state = StateOf(context);
    state.expandedBytes += 1 + (entity ? static_cast<size_t>(xmlStrlen(entity->content)) : 0);
    if (state.expandedBytes > kMaxEntityTextBytes)
        StopRefused(context);
    else
        xmlSAX2Reference(context, name);
}

// srv.xml needs no DTD: a document that asks for an external one, or declares a parameter
// entity, an unparsed one or one whose text holds a reference or markup, is refused before
// anything is expanded or loaded. Entities of plain text are kept as references, within a
// budget for all their uses, and declarations within a count.
void RefuseDeclarations(xmlParserCtxtPtr parser, ParseState& state) {
    parser->_private = &state;
    parser->sax->entityDecl = AcceptPlainTextEntity;
    parser->sax->unparsedEntityDecl = RefuseUnparsedEntity;
    parser->sax->internalSubset = AcceptOnlyAnInternalSubset;
    parser->sax->reference = CountReference;
    parser->sax->elementDecl = CountElementDeclaration;
    parser->sax->attributeDecl = CountAttributeDeclaration;
    parser->sax->notationDecl = CountNotationDeclaration;
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

std::wstring TemporaryPathBeside(const std::wstring& path, DWORD processId) {
    return path + L"." + std::to_wstring(processId) + kTemporaryFileSuffix;
}

bool IsRunning(DWORD processId) {
    const OwnedFile process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return static_cast<bool>(process);
}

// Temporaries beside the path that a process left behind when it was ended amid a save.
void RemoveAbandonedTemporaries(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = path + L".*" + kTemporaryFileSuffix;
    const HANDLE first = FindFirstFileW(pattern.c_str(), &found);
    if (first == INVALID_HANDLE_VALUE)
        return;
    const OwnedFind search(first);
    const std::wstring folder = path.substr(0, path.find_last_of(L"/\\") + 1);
    const std::wstring prefix = path.substr(folder.size()) + L".";
    do {
        const std::wstring name = found.cFileName;
        const size_t suffix = wcslen(kTemporaryFileSuffix);
        if (name.size() <= prefix.size() + suffix || !name.starts_with(prefix))
            continue; // matched by its short name only
        const std::wstring id = name.substr(prefix.size(), name.size() - prefix.size() - suffix);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            id.find_first_not_of(L"0123456789") != std::wstring::npos || id.size() > 10)
            continue;
        const auto processId = static_cast<DWORD>(std::stoull(id));
        if (processId != GetCurrentProcessId() && !IsRunning(processId))
            DeleteFileW(TemporaryPathBeside(path, processId).c_str());
    } while (FindNextFileW(search.Get(), &found));
}

// Writes the file's data through to the disk.
bool FlushToDisk(const std::wstring& path) {
    const OwnedFile file = AdoptFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.Get());
}

void AppendText(xmlDocPtr doc, xmlNodePtr list, std::string& text, bool& found) {
    for (xmlNodePtr node = list; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            found = true;
            text += reinterpret_cast<const char*>(node->content);
        } else if (node->type == XML_ENTITY_REF_NODE) {
            // Only entities of plain text are ever read; their text is their content.
            const xmlEntityPtr entity = xmlGetDocEntity(doc, node->name);
            if (entity && entity->content && *entity->content) {
                found = true;
                text += reinterpret_cast<const char*>(entity->content);
            }
        }
    }
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

OwnedXmlDoc ReadServerDocument(const std::wstring& path, ReadFault* fault) {
    ReadFault ignored;
    ReadFault& what = fault ? *fault : ignored;
    what = ReadFault();
    std::vector<char> content;
    if (!ReadBoundedFile(path, content))
        return OwnedXmlDoc();
    what.opened = true;
    if (content.empty() || !MarkupWithinLimits(std::string_view(content.data(), content.size())))
        return OwnedXmlDoc();
    const OwnedParserContext parser(xmlNewParserCtxt());
    if (!parser)
        return OwnedXmlDoc();
    ParseState state;
    RefuseDeclarations(parser.Get(), state);
    const std::string name = ToUtf8(path);
    OwnedXmlDoc doc(xmlCtxtReadMemory(parser.Get(), content.data(),
                                      static_cast<int>(content.size()), name.c_str(), kXmlEncoding,
                                      kReadOptions));
    if (state.refused)
        doc.Reset();
    if (!doc)
        what.line = parser.Get()->lastError.line;
    return doc;
}

bool SaveServerDocument(xmlDocPtr doc, const std::wstring& path) {
    if (!doc)
        return false;
    RemoveAbandonedTemporaries(path);
    const std::wstring temporary = TemporaryPathBeside(path, GetCurrentProcessId());
    const std::string temporaryName = ToUtf8(temporary);
    const bool written = xmlSaveFormatFileEnc(temporaryName.c_str(), doc, kXmlEncoding, 1) >= 0 &&
                         FlushToDisk(temporary) && ReadServerDocument(temporary);
    if (written && MoveFileExW(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

std::optional<std::string> NodeListText(xmlDocPtr doc, xmlNodePtr list) {
    std::string text;
    bool found = false;
    AppendText(doc, list, text, found);
    return found ? std::optional<std::string>(std::move(text)) : std::nullopt;
}
