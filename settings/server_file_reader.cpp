#include "server_file.h"

#include "settings_texts.h"
#include "text_encoding.h"
#include "xml_session.h"

#include <libxml/parser.h>

namespace {

bool HasName(xmlNodePtr node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The text inside a node, when it has any.
std::optional<std::wstring> TextOf(xmlDocPtr doc, xmlNodePtr node) {
    const OwnedXmlString text = NodeListText(doc, node->children);
    if (!text)
        return std::nullopt;
    return FromUtf8(reinterpret_cast<const char*>(text.Get()));
}

xmlNodePtr RootOf(const OwnedXmlDoc& doc) {
    return doc ? xmlDocGetRootElement(doc.Get()) : nullptr;
}

} // namespace

std::optional<std::wstring> ReadAutoRunCommand(const std::wstring& path) {
    const XmlSession session;
    const OwnedXmlDoc doc = ReadServerDocument(path);
    const xmlNodePtr root = RootOf(doc);
    if (!root)
        return std::nullopt;
    for (xmlNodePtr child = root->children; child; child = child->next) {
        if (HasName(child, kConfigElement)) {
            const auto text = child->children ? TextOf(doc.Get(), child->children) : std::nullopt;
            return text.value_or(std::wstring());
        }
    }
    return std::nullopt;
}

std::vector<ServerEntry> ReadServerEntries(const std::wstring& path) {
    std::vector<ServerEntry> entries;
    const XmlSession session;
    const OwnedXmlDoc doc = ReadServerDocument(path);
    const xmlNodePtr root = RootOf(doc);
    if (!root)
        return entries;
    for (xmlNodePtr child = root->children; child; child = child->next) {
        if (!HasName(child, kServerElement) || !child->children || !child->children->next)
            continue;
        auto url = TextOf(doc.Get(), child->children);
        auto ip = TextOf(doc.Get(), child->children->next);
        if (url && ip)
            entries.push_back({std::move(*url), std::move(*ip)});
    }
    return entries;
}
