#include "settings/server_file_reader.h"

#include "settings/bounded_parse.h"
#include "settings/settings_texts.h"
#include "settings/text_encoding.h"
#include "settings/xml_session.h"

#include <libxml/entities.h>

namespace {

bool HasName(xmlNodePtr node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           xmlStrEqual(node->name, reinterpret_cast<const xmlChar*>(name));
}

// The first child element of that name, wherever it stands among comments, instructions, text
// and other elements.
xmlNodePtr FirstChildNamed(xmlNodePtr parent, const char* name) {
    for (xmlNodePtr child = parent ? parent->children : nullptr; child; child = child->next) {
        if (HasName(child, name))
            return child;
    }
    return nullptr;
}

// An element's own text: its text and CDATA children and its references to entities (of plain
// text, the only ones ever read), not the text of its child elements; nullopt when it has none.
std::optional<std::string> OwnText(xmlDocPtr doc, xmlNodePtr element) {
    if (!element)
        return std::nullopt;
    std::optional<std::string> text;
    for (xmlNodePtr node = element->children; node; node = node->next) {
        const xmlChar* part = nullptr;
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            part = node->content;
        } else if (node->type == XML_ENTITY_REF_NODE) {
            const xmlEntityPtr entity = xmlGetDocEntity(doc, node->name);
            part = entity && entity->content && *entity->content ? entity->content : nullptr;
        }
        if (!part)
            continue;
        if (!text)
            text.emplace();
        text->append(reinterpret_cast<const char*>(part));
    }
    return text;
}

// Without the blanks and line breaks that a formatted file puts around a text.
std::string Trimmed(const std::string& text) {
    constexpr char kBlanks[] = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

xmlNodePtr RootOf(const OwnedXmlDoc& doc) {
    return doc ? xmlDocGetRootElement(doc.Get()) : nullptr;
}

} // namespace

std::optional<std::wstring> ReadAutoRunCommand(const std::wstring& path) {
    const XmlSession session;
    const OwnedXmlDoc doc = ReadServerDocument(path);
    const xmlNodePtr config = FirstChildNamed(RootOf(doc), kConfigElement);
    if (!config)
        return std::nullopt;
    const auto text = OwnText(doc.Get(), FirstChildNamed(config, kAutoRunElement));
    return FromUtf8(text.value_or(std::string()));
}

std::vector<ServerEntry> ReadServerEntries(const std::wstring& path) {
    return ReadServerList(path).entries;
}

ServerList ReadServerList(const std::wstring& path) {
    ServerList list;
    const XmlSession session;
    ReadFault fault;
    const OwnedXmlDoc doc = ReadServerDocument(path, fault);
    const xmlNodePtr root = RootOf(doc);
    if (!doc)
        list.fault = fault;
    if (!root)
        return list;
    const Utf8Decoder decode;
    for (xmlNodePtr child = root->children; child; child = child->next) {
        if (!HasName(child, kServerElement))
            continue;
        const auto url = OwnText(doc.Get(), FirstChildNamed(child, kHostElement));
        const auto ip = OwnText(doc.Get(), FirstChildNamed(child, kAddressElement));
        const std::string host = url ? Trimmed(*url) : std::string();
        const std::string address = ip ? Trimmed(*ip) : std::string();
        if (!host.empty() && !address.empty())
            list.entries.push_back({decode(host), decode(address)});
    }
    return list;
}
