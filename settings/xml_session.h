#pragma once

#include "owned_handle.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <cstddef>
#include <string>

using OwnedXmlDoc = OwnedHandle<xmlDocPtr, xmlFreeDoc>;
inline void FreeXmlString(xmlChar* text) {
    xmlFree(text);
}
using OwnedXmlString = OwnedHandle<xmlChar*, FreeXmlString>;
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

// srv.xml is a short list; anything longer is not a server file.
inline constexpr size_t kMaxServerFileBytes = 1 << 20;

// Reads the file through the wide file API and parses it as UTF-8 without network access, entity
// substitution or DTD loading. Null when the file is missing, locked, larger than
// kMaxServerFileBytes or not well-formed.
OwnedXmlDoc ReadServerDocument(const std::wstring& path);

// Saves the document indented, in UTF-8, into a new file beside the path, and replaces the file
// only once the new one has been written completely and reads back. The old file stays as it was
// on any failure.
bool SaveServerDocument(xmlDocPtr doc, const std::wstring& path);

// The text of a node list with entity references resolved, as the library gives it; empty
// holder when there is none.
OwnedXmlString NodeListText(xmlDocPtr doc, xmlNodePtr list);
