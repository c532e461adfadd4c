#pragma once

#include "owned_handle.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <cstddef>
#include <optional>
#include <string>

using OwnedXmlDoc = OwnedHandle<xmlDocPtr, xmlFreeDoc>;
using OwnedXPathContext = OwnedHandle<xmlXPathContextPtr, xmlXPathFreeContext>;
using OwnedXPathObject = OwnedHandle<xmlXPathObjectPtr, xmlXPathFreeObject>;

// The library's global state for one operation on srv.xml: blank text dropped and saved output
// indented, no external resource ever loaded, no message printed, and everything released
// (xmlCleanupParser) when the operation ends. Documents must be freed before the session ends.
class XmlSession {
public:
    XmlSession();
    ~XmlSession();
    XmlSession(const XmlSession&) = delete;
    XmlSession& operator=(const XmlSession&) = delete;

private:
    xmlExternalEntityLoader m_previousLoader;
    xmlStructuredErrorFunc m_previousErrorHandler;
    void* m_previousErrorContext;
};

// Far more than any list of servers needs (100,000 servers take about 7.5 MB); anything longer
// is not a server file.
inline constexpr size_t kMaxServerFileBytes = 16 << 20;
// All uses of a document's entities together may stand for this much text.
inline constexpr size_t kMaxEntityTextBytes = 64 << 10;

// Reads the file through the wide file API and parses it as UTF-8 without network access, entity
// substitution or DTD loading. Null when the file is missing, locked, larger than
// kMaxServerFileBytes, not well-formed, has a tag with too many attributes (markup_scan.h) or
// declares anything but entities of plain text (used for at most kMaxEntityTextBytes).
// Why a read gave no document: the file could not be opened or read whole, or its content was
// refused (line: where the XML library stopped, 0 when it names no line).
struct ReadFault {
    bool opened = false;
    int line = 0;
};

OwnedXmlDoc ReadServerDocument(const std::wstring& path, ReadFault* fault = nullptr);

// Saves the document indented, in UTF-8, into a new file beside the path, and replaces the file
// only once the new one has been written completely, flushed to disk and reads back. The old
// file stays as it was on any failure. Temporaries left beside it by ended processes go.
bool SaveServerDocument(xmlDocPtr doc, const std::wstring& path);

// The text and CDATA of a node list with its entity references resolved; nullopt when it holds
// none.
std::optional<std::string> NodeListText(xmlDocPtr doc, xmlNodePtr list);
