#pragma once
// The XML library's state around one operation on srv.xml, and the whole-file read and save.

#include "settings/xml_document.h"

#include <string>

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

// Reads srv.xml into a document as bounded_parse.h parses it: null when the file is missing,
// locked, larger than kMaxServerFileBytes, not text of its encoding, or refused.
OwnedXmlDoc ReadServerDocument(const std::wstring& path, ReadFault& fault);
inline OwnedXmlDoc ReadServerDocument(const std::wstring& path) {
    ReadFault ignored;
    return ReadServerDocument(path, ignored);
}

// Saves the document in UTF-8, indented, into a new file beside the path, and replaces the file
// only once the new one has been written completely, flushed to disk and reads back. A document
// whose indented form would pass kMaxServerFileBytes is saved without indentation, so that what
// was read can always be written back; one that passes it even so is not saved. The old file
// stays as it was on any failure. Temporaries left beside it by ended processes go.
bool SaveServerDocument(xmlDocPtr doc, const std::wstring& path);
