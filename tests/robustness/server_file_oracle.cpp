#include "server_file_oracle.h"

#include "text_encoding.h"
#include "xml_session.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <cstring>

namespace {

constexpr int kParseOptions = XML_PARSE_NOBLANKS | XML_PARSE_NODICT | XML_PARSE_NONET |
                              XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

xmlParserInputPtr LoadNothing(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void IgnoreError(void*, xmlErrorPtr) {}

// Keeps the library from loading anything or printing while the oracle parses.
class QuietLibrary {
public:
    QuietLibrary() : m_loader(xmlGetExternalEntityLoader()) {
        xmlSetExternalEntityLoader(LoadNothing);
        xmlSetStructuredErrorFunc(nullptr, IgnoreError);
    }
    ~QuietLibrary() {
        xmlSetStructuredErrorFunc(nullptr, nullptr);
        xmlSetExternalEntityLoader(m_loader);
        xmlCleanupParser();
    }
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;

private:
    xmlExternalEntityLoader m_loader;
};

bool IsElement(xmlNodePtr node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// The text and CDATA directly inside a node; none when it holds neither.
std::optional<std::wstring> DirectText(xmlNodePtr node) {
    std::optional<std::string> text;
    for (xmlNodePtr child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
            text = text.value_or("") + reinterpret_cast<const char*>(child->content);
    }
    if (!text)
        return std::nullopt;
    return FromUtf8(*text);
}

bool DeclaresEntitiesOrExternalDtd(xmlDocPtr doc) {
    const xmlDtdPtr dtd = doc->intSubset;
    return doc->extSubset ||
           (dtd && (dtd->ExternalID || dtd->SystemID || dtd->entities || dtd->pentities));
}

std::optional<std::wstring> CommandOf(xmlNodePtr root) {
    for (xmlNodePtr child = root->children; child; child = child->next) {
        if (IsElement(child, "cfg"))
            return child->children ? DirectText(child->children).value_or(L"") : L"";
    }
    return std::nullopt;
}

std::vector<ServerEntry> EntriesOf(xmlNodePtr root) {
    std::vector<ServerEntry> entries;
    for (xmlNodePtr child = root->children; child; child = child->next) {
        if (!IsElement(child, "srv") || !child->children || !child->children->next)
            continue;
        const auto url = DirectText(child->children);
        const auto ip = DirectText(child->children->next);
        if (url && ip)
            entries.push_back({*url, *ip});
    }
    return entries;
}

std::vector<std::wstring> AutorunTextsOf(xmlDocPtr doc) {
    std::vector<std::wstring> texts;
    const OwnedXPathContext context(xmlXPathNewContext(doc));
    const OwnedXPathObject result(xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar*>("//srv_root/cfg/autorun"), context.Get()));
    if (!result || !result.Get()->nodesetval)
        return texts;
    const xmlNodeSetPtr nodes = result.Get()->nodesetval;
    for (int i = 0; i < nodes->nodeNr; ++i)
        texts.push_back(DirectText(nodes->nodeTab[i]).value_or(L""));
    return texts;
}

} // namespace

ExpectedReading ExpectReading(const std::string& bytes) {
    ExpectedReading expected;
    if (bytes.empty() || bytes.size() > kMaxServerFileBytes)
        return expected;
    const QuietLibrary quiet;
    const OwnedXmlDoc doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "srv.xml",
                                        "UTF-8", kParseOptions));
    if (!doc || DeclaresEntitiesOrExternalDtd(doc.Get()))
        return expected;
    expected.accepted = true;
    if (const xmlNodePtr root = xmlDocGetRootElement(doc.Get())) {
        expected.command = CommandOf(root);
        expected.entries = EntriesOf(root);
    }
    expected.autorunTexts = AutorunTextsOf(doc.Get());
    return expected;
}
