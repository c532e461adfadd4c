#include "server_file.h"

#include "settings_texts.h"
#include "text_encoding.h"
#include "xml_session.h"

#include <libxml/parser.h>

#include <algorithm>

namespace {

bool HasName(xmlNodePtr node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The text inside a node, when it has any.
std::optional<std::wstring> TextOf(xmlDocPtr doc, xmlNodePtr node,
                                   const Utf8Decoder& decode = Utf8Decoder()) {
    const auto text = NodeListText(doc, node->children);
    if (!text)
        return std::nullopt;
    return decode(*text);
}

// Without the blanks and line breaks that a formatted file puts around a text.
std::optional<std::wstring> Trimmed(std::optional<std::wstring> text) {
    constexpr wchar_t kBlanks[] = L" \t\r\n";
    if (text) {
        text->erase(0, std::min(text->size(), text->find_first_not_of(kBlanks)));
        text->erase(text->find_last_not_of(kBlanks) + 1);
    }
    return text;
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
    return ReadServerList(path).entries;
}

ServerList ReadServerList(const std::wstring& path) {
    ServerList list;
    std::vector<ServerEntry>& entries = list.entries;
    const XmlSession session;
    ReadFault fault;
    const OwnedXmlDoc doc = ReadServerDocument(path, &fault);
    if (!doc)
        list.fault = fault;
    const xmlNodePtr root = RootOf(doc);
    if (!root)
        return list;
    const Utf8Decoder decode;
    for (xmlNodePtr child = root->children; child; child = child->next) {
        if (!HasName(child, kServerElement) || !child->children || !child->children->next)
            continue;
        auto url = Trimmed(TextOf(doc.Get(), child->children, decode));
        auto ip = Trimmed(TextOf(doc.Get(), child->children->next, decode));
        if (url && ip)
            entries.push_back({std::move(*url), std::move(*ip)});
    }
    return list;
}
