#include "settings/bounded_parse.h"

#include "settings/server_file_text.h"
#include "settings/settings_texts.h"
#include "settings/start_tag_scan.h"

#include <libxml/SAX2.h>
#include <libxml/dict.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlsave.h>

#include <algorithm>
#include <utility>

namespace {

// Parse messages go nowhere: a broken file simply gives nothing. The text is UTF-8 whatever its
// declaration says: the file was decoded before. Names are shared through the library's
// dictionary, which makes a large document quicker to build.
constexpr int kReadOptions = XML_PARSE_NOBLANKS | XML_PARSE_NONET | XML_PARSE_NOERROR |
                             XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;

// What a save writes beyond the text itself: the XML declaration, the line breaks of the
// document type declaration and after the root.
constexpr size_t kSavedFrameBytes = 64;

// More warnings and errors that do not end the parse than a file of this format can draw.
constexpr size_t kMaxComplaints = 256;

using OwnedParserContext = OwnedHandle<xmlParserCtxtPtr, xmlFreeParserCtxt>;

// What one parse has met so far; every parser of it (the document's, and those in which the
// library checks an entity's text) points to it with _private.
struct ParseState {
    xmlParserCtxtPtr parser = nullptr;
    bool refused = false;
    int line = 0;
    size_t items = 0;
    size_t complaints = 0;
    size_t textRun = 0;
    size_t declarations = 0;
    size_t entityBytes = 0;
    size_t declaredEntityBytes = 0;
    // What a save may add to the text: escapes of ">" and of quotes, a line break an item.
    size_t savedGrowth = 0;
};

ParseState& StateOf(void* context) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

const xmlSAXHandler& LibraryHandlers() {
    static const xmlSAXHandler handlers = [] {
        xmlSAXHandler library{};
        xmlSAXVersion(&library, 2);
        return library;
    }();
    return handlers;
}

void Refuse(void* context) {
    ParseState& state = StateOf(context);
    if (!state.refused)
        state.line = xmlSAX2GetLineNumber(state.parser);
    state.refused = true;
    state.parser->wellFormed = 0;
    xmlStopParser(state.parser);
    if (context != state.parser)
        xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

bool Spend(void* context, size_t items) {
    ParseState& state = StateOf(context);
    state.textRun = 0; // markup ends a text
    state.items += items;
    state.savedGrowth += items;
    if (state.items <= kMaxMarkupItems)
        return true;
    Refuse(context);
    return false;
}

bool CountDeclaration(void* context) {
    if (!Spend(context, 1))
        return false;
    if (++StateOf(context).declarations <= kMaxDeclarations)
        return true;
    Refuse(context);
    return false;
}

// How much longer a save may write the text: ">" becomes "&gt;", a quote "&quot;".
size_t EscapeGrowth(const xmlChar* text, const xmlChar* end) {
    return 5 * static_cast<size_t>(
                   std::count_if(text, end, [](xmlChar c) { return c == '>' || c == '"'; }));
}

size_t EscapeGrowth(const xmlChar* text) {
    return text ? EscapeGrowth(text, text + xmlStrlen(text)) : 0;
}

// Plain text: nothing in it can refer to another entity or add markup.
bool IsPlainText(const xmlChar* content) {
    return content && !xmlStrchr(content, '&') && !xmlStrchr(content, '<') &&
           !xmlStrchr(content, '%');
}

// The nodes of an element's content model; a save writes " , " and " | " between them, and
// may add parentheses.
size_t ContentParticles(const xmlElementContent* content) {
    return content ? 1 + ContentParticles(content->c1) + ContentParticles(content->c2) : 0;
}

void CountStartElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                       const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                       int attributeCount, int defaultedCount, const xmlChar** attributes) {
    const auto parser = static_cast<xmlParserCtxtPtr>(context);
    // An attribute is two nodes of the document: itself and its value.
    if (!Spend(context, 1 + static_cast<size_t>(namespaceCount + 2 * attributeCount)))
        return;
    if (static_cast<size_t>(parser->nsNr / 2) > kMaxNamespacesInScope ||
        static_cast<size_t>(xmlDictSize(parser->dict)) > kMaxDistinctNames)
        return Refuse(context);
    ParseState& state = StateOf(context);
    for (size_t i = 0; i < static_cast<size_t>(namespaceCount); ++i)
        state.savedGrowth += EscapeGrowth(namespaces[2 * i + 1]);
    for (size_t i = 0; i < static_cast<size_t>(attributeCount); ++i)
        state.savedGrowth += EscapeGrowth(attributes[5 * i + 3], attributes[5 * i + 4]);
    if (const auto handler = LibraryHandlers().startElementNs)
        handler(context, localName, prefix, uri, namespaceCount, namespaces, attributeCount,
                defaultedCount, attributes);
}

void CountCharacters(void* context, const xmlChar* text, int length) {
    ParseState& state = StateOf(context);
    state.savedGrowth += EscapeGrowth(text, text + length);
    // The library's own bound on a text, which it does not keep for every way of reading.
    state.textRun += static_cast<size_t>(length);
    if (state.textRun > XML_MAX_TEXT_LENGTH)
        return Refuse(context);
    if (const auto handler = LibraryHandlers().characters)
        handler(context, text, length);
}

void EndElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                const xmlChar* uri) {
    StateOf(context).textRun = 0;
    if (const auto handler = LibraryHandlers().endElementNs)
        handler(context, localName, prefix, uri);
}

void CountCData(void* context, const xmlChar* text, int length) {
    if (!Spend(context, 1))
        return;
    if (const auto handler = LibraryHandlers().cdataBlock)
        handler(context, text, length);
}

void CountComment(void* context, const xmlChar* text) {
    if (!Spend(context, 1))
        return;
    if (const auto handler = LibraryHandlers().comment)
        handler(context, text);
}

void CountInstruction(void* context, const xmlChar* target, const xmlChar* data) {
    if (!Spend(context, 1))
        return;
    if (const auto handler = LibraryHandlers().processingInstruction)
        handler(context, target, data);
}

void CountReference(void* context, const xmlChar* name) {
    if (!Spend(context, 1))
        return;
    if (const auto handler = LibraryHandlers().reference)
        handler(context, name);
}

// Every reference outside the declarations, in content or in an attribute value, asks for its
// entity here: it counts the entity's text (and one byte) against the budget.
xmlEntityPtr CountEntityUse(void* context, const xmlChar* name) {
    const xmlEntityPtr entity = LibraryHandlers().getEntity(context, name);
    ParseState& state = StateOf(context);
    if (static_cast<xmlParserCtxtPtr>(context)->inSubset != 0)
        return entity;
    state.entityBytes += 1 + (entity && entity->content ? xmlStrlen(entity->content) : 0);
    if (state.entityBytes <= kMaxEntityTextBytes)
        return entity;
    Refuse(context);
    return nullptr;
}

void AcceptPlainTextEntity(void* context, const xmlChar* name, int type, const xmlChar* publicId,
                           const xmlChar* systemId, xmlChar* content) {
    if (!CountDeclaration(context))
        return;
    ParseState& state = StateOf(context);
    state.declaredEntityBytes += content ? static_cast<size_t>(xmlStrlen(content)) : 0;
    if (type != XML_INTERNAL_GENERAL_ENTITY || !IsPlainText(content) ||
        state.declaredEntityBytes > kMaxEntityTextBytes)
        return Refuse(context);
    state.savedGrowth += EscapeGrowth(content);
    if (const auto handler = LibraryHandlers().entityDecl)
        handler(context, name, type, publicId, systemId, content);
}

void CountElementDeclaration(void* context, const xmlChar* name, int type,
                             xmlElementContentPtr content) {
    if (!CountDeclaration(context))
        return;
    StateOf(context).savedGrowth += 4 * ContentParticles(content);
    if (const auto handler = LibraryHandlers().elementDecl)
        handler(context, name, type, content);
}

// Attribute defaults would put attributes into every element that follows: no part of the
// format.
void RefuseAttributeDeclaration(void* context, const xmlChar*, const xmlChar*, int, int,
                                const xmlChar*, xmlEnumerationPtr values) {
    xmlFreeEnumeration(values); // the library hands its ownership to the callback
    Refuse(context);
}

void RefuseNotation(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    Refuse(context);
}

void RefuseUnparsedEntity(void* context, const xmlChar*, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    Refuse(context);
}

void AcceptOnlyAnInternalSubset(void* context, const xmlChar* name, const xmlChar* externalId,
                                const xmlChar* systemId) {
    if (externalId || systemId)
        return Refuse(context);
    if (const auto handler = LibraryHandlers().internalSubset)
        handler(context, name, externalId, systemId);
}

// Every complaint that does not end the parse (a namespace name that is no URI, on every
// element) costs the library a formatted message; a text that draws more than a file of this
// format ever does is refused.
void CountComplaint(void* context, xmlErrorPtr error) {
    if (!error || error->level == XML_ERR_FATAL)
        return;
    if (++StateOf(context).complaints > kMaxComplaints)
        Refuse(context);
}

// The library's handlers, each behind its count.
const xmlSAXHandler& CountingHandlers() {
    static const xmlSAXHandler handlers = [] {
        xmlSAXHandler counting = LibraryHandlers();
        counting.internalSubset = AcceptOnlyAnInternalSubset;
        counting.entityDecl = AcceptPlainTextEntity;
        counting.elementDecl = CountElementDeclaration;
        counting.attributeDecl = RefuseAttributeDeclaration;
        counting.notationDecl = RefuseNotation;
        counting.unparsedEntityDecl = RefuseUnparsedEntity;
        counting.getEntity = CountEntityUse;
        counting.startElementNs = CountStartElement;
        counting.endElementNs = EndElement;
        counting.characters = CountCharacters;
        counting.cdataBlock = CountCData;
        counting.comment = CountComment;
        counting.processingInstruction = CountInstruction;
        counting.reference = CountReference;
        counting.serror = CountComplaint;
        return counting;
    }();
    return handlers;
}

// Whether a save can write the document back within kMaxServerFileBytes: its form without
// indentation fits. Asked only of a text near the bound, where the counted growth leaves room
// for doubt.
int CountWritten(void* total, const char*, int length) {
    *static_cast<size_t*>(total) += static_cast<size_t>(length);
    return length;
}

bool FitsOnceSaved(xmlDocPtr doc) {
    size_t bytes = 0;
    const xmlSaveCtxtPtr save = xmlSaveToIO(CountWritten, nullptr, &bytes, kXmlEncoding, 0);
    if (!save)
        return false;
    const long saved = xmlSaveDoc(save, doc);
    return xmlSaveClose(save) >= 0 && saved >= 0 && bytes <= kMaxServerFileBytes;
}

} // namespace

OwnedXmlDoc ParseServerText(const std::string& text, ReadFault& fault) {
    if (!AttributesWithinLimit(text))
        return OwnedXmlDoc();
    const OwnedParserContext parser(
        xmlCreateMemoryParserCtxt(text.data(), static_cast<int>(text.size())));
    if (!parser)
        return OwnedXmlDoc();
    ParseState state{parser.Get()};
    *parser.Get()->sax = CountingHandlers();
    parser.Get()->_private = &state;
    xmlCtxtUseOptions(parser.Get(), kReadOptions);
    xmlParseDocument(parser.Get());
    OwnedXmlDoc doc(std::exchange(parser.Get()->myDoc, nullptr));
    // The library ends a parse without marking it malformed when a text node passes its own
    // bound of ten million bytes.
    if (state.refused || !parser.Get()->wellFormed ||
        parser.Get()->lastError.level == XML_ERR_FATAL) {
        fault.line = state.refused ? state.line : parser.Get()->lastError.line;
        doc.Reset();
    } else if (text.size() + state.savedGrowth + kSavedFrameBytes > kMaxServerFileBytes &&
               !FitsOnceSaved(doc.Get())) {
        doc.Reset();
    }
    return doc;
}
