#pragma once
// The bounded parse of srv.xml's text into a document.

#include "settings/xml_document.h"

#include <libxml/parser.h>

#include <cstddef>
#include <string>

// What one parse of srv.xml may meet. The parse counts as it reads, wherever things stand, and
// stops (xmlStopParser) the moment a count passes its bound, so memory and time stay in
// proportion to the bounds and not to the shape of the file.
//
// Elements, attributes (defaulted ones included; each counts twice, for itself and its value),
// namespace declarations, comments, processing instructions, CDATA sections, entity references
// and declarations together: room for 106,000 servers of three elements each.
inline constexpr size_t kMaxMarkupItems = 320'000;
// Namespace declarations in force at once: the parser looks through all of them for every
// prefix and every new declaration.
inline constexpr size_t kMaxNamespacesInScope = 16;
// Names of elements, attributes, prefixes and namespaces, and texts of up to three characters,
// which the library keeps in one dictionary: it grows slower with each, and the format has six
// names.
inline constexpr size_t kMaxDistinctNames = 16'384;
// Declarations in the document type declaration: entities of plain text and element
// declarations only.
inline constexpr size_t kMaxDeclarations = 256;
// The text of all declared entities, and all uses of entities (each counting its text and one
// byte), in content and in attribute values alike.
inline constexpr size_t kMaxEntityTextBytes = 64 << 10;

// Parses srv.xml from the UTF-8 text, without network access, without loading or expanding
// anything from outside, with blank text between elements dropped. The document is null when
// the text is not well-formed, passes a bound above or start_tag_scan.h's, declares anything but
// entities of plain text and element declarations, or would pass kMaxServerFileBytes once saved
// (in UTF-8, without indentation); the fault then tells where the parser stopped.
OwnedXmlDoc ParseServerText(const std::string& text, ReadFault& fault);
