#include "settings/server_file.h"

#include "app/app_globals.h"
#include "app/command_line.h"
#include "app/program_paths.h"
#include "settings/file_paths.h"
#include "settings/settings_texts.h"
#include "settings/text_encoding.h"
#include "settings/xml_session.h"

#include <libxml/xpath.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

namespace {

const xmlChar* XmlText(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The nodes are sorted by address.
bool HasAncestorIn(xmlNodePtr node, const std::vector<xmlNodePtr>& nodes) {
    for (xmlNodePtr parent = node->parent; parent; parent = parent->parent) {
        if (std::binary_search(nodes.begin(), nodes.end(), parent))
            return true;
    }
    return false;
}

// The nodes of the set that lie inside no other node of it, in document order.
std::vector<xmlNodePtr> OutermostNodes(xmlNodeSetPtr set) {
    std::vector<xmlNodePtr> all(set->nodeTab, set->nodeTab + set->nodeNr);
    std::sort(all.begin(), all.end());
    std::vector<xmlNodePtr> outermost;
    for (int i = 0; i < set->nodeNr; ++i) {
        const xmlNodePtr node = set->nodeTab[i];
        if (node && !HasAncestorIn(node, all))
            outermost.push_back(node);
    }
    return outermost;
}

OwnedXmlDoc BuildDefaultDocument() {
    OwnedXmlDoc doc(xmlNewDoc(XmlText(kXmlVersion)));
    const xmlNodePtr root = xmlNewNode(nullptr, XmlText(kRootElement));
    xmlDocSetRootElement(doc.Get(), root);
    const xmlNodePtr cfg = xmlNewChild(root, nullptr, XmlText(kConfigElement), nullptr);
    const xmlNodePtr autorun = xmlNewChild(cfg, nullptr, XmlText(kAutoRunElement), nullptr);
    const std::string command = ToUtf8(DefaultAutoRunCommand(GetModulePath()));
    xmlAddChild(autorun, xmlNewCDataBlock(doc.Get(), XmlText(command.c_str()),
                                          static_cast<int>(command.size())));
    for (const ServerEntry& server : DefaultServers()) {
        const xmlNodePtr srv = xmlNewChild(root, nullptr, XmlText(kServerElement), nullptr);
        xmlNewTextChild(srv, nullptr, XmlText(kHostElement), XmlText(ToUtf8(server.url).c_str()));
        xmlNewTextChild(srv, nullptr, XmlText(kAddressElement), XmlText(ToUtf8(server.ip).c_str()));
    }
    return doc;
}

} // namespace

const std::array<ServerEntry, 6>& DefaultServers() {
    static const std::array<ServerEntry, 6> servers = {{
        {L"time-a.timefreq.bldrdoc.gov", L"132.163.4.101"},
        {L"time-b.timefreq.bldrdoc.gov", L"132.163.4.102"},
        {L"time-c.timefreq.bldrdoc.gov", L"132.163.4.103"},
        {L"utcnist2.colorado.edu", L"128.138.141.172"},
        {L"time-a.nist.gov", L"129.6.15.28"},
        {L"time-b.nist.gov", L"129.6.15.29"},
    }};
    return servers;
}

std::wstring ServerFilePath() {
    return g_appDir + kServerFileName;
}

std::wstring DefaultAutoRunCommand(std::wstring_view programPath) {
    return L"\"" + std::wstring(programPath) + L"\"" + kDefaultIpOption;
}

bool CreateDefaultServerFile(const wchar_t* path) {
    if (!path || !*path)
        return true;
    const XmlSession session;
    const OwnedXmlDoc doc = BuildDefaultDocument();
    SaveServerDocument(doc.Get(), path);
    return true;
}

bool CreateServerFileIfMissing(const std::wstring& path) {
    const bool missing = !PathFileExistsW(path.c_str());
    if (missing && EnsureFileExists(path.c_str()))
        CreateDefaultServerFile(path.c_str());
    return missing;
}

std::wstring AutoRunCommandFor(const std::optional<std::wstring>& stored) {
    if (!stored)
        return L"";
    return IsOwnIpCommandLine(stored->c_str()) ? *stored : DefaultAutoRunCommand(GetModulePath());
}

bool IsStorableXmlText(std::wstring_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (!IsXmlChar(c))
            return false;
    }
    return true;
}

bool SetAutoRunInDoc(xmlDocPtr doc, const wchar_t* text) {
    if (!doc || !text || !IsStorableXmlText(text))
        return false;
    OwnedXPathObject result;
    {
        const OwnedXPathContext context(xmlXPathNewContext(doc));
        if (!context)
            return false;
        result.Reset(xmlXPathEvalExpression(XmlText(kAutoRunXPath), context.Get()));
    }
    const xmlNodeSetPtr nodes = result ? result.Get()->nodesetval : nullptr;
    if (!nodes || nodes->nodeNr == 0)
        return false;
    const std::string utf8 = ToUtf8(text);
    // An element inside another selected one goes with that one's old content, so the outermost
    // are picked before anything changes.
    for (const xmlNodePtr node : OutermostNodes(nodes)) {
        // Literal text: the new child is one text node, whatever "&" or "<" the text holds.
        xmlNodeSetContent(node, nullptr);
        xmlNodeAddContentLen(node, XmlText(utf8.c_str()), static_cast<int>(utf8.size()));
    }
    return true;
}

bool SaveAutoRunCmd(const wchar_t* text) {
    const std::wstring path = ServerFilePath();
    const XmlSession session;
    const OwnedXmlDoc doc = ReadServerDocument(path);
    if (!doc)
        return false;
    const bool set = SetAutoRunInDoc(doc.Get(), text);
    return SaveServerDocument(doc.Get(), path) && set;
}
