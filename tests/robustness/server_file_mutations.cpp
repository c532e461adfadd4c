#include "tests/robustness/server_file_mutations.h"

#include <algorithm>
#include <random>

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const char kConfig[] = "<cfg><autorun>command</autorun></cfg>";
const char kServer[] = "<srv><url>a.example</url><ip>10.0.0.1</ip></srv>";

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::string Document(std::string_view body) {
    return std::string(kDeclaration) + "<srv_root>" + std::string(body) + "</srv_root>\n";
}

struct Span {
    std::size_t begin;
    std::size_t end; // one past the closing tag
};

// Every element of the file as written by ValidServerFile: no element holds one of its own name.
std::vector<Span> ElementSpans(const std::string& file) {
    std::vector<Span> spans;
    for (const char* name : {"cfg", "autorun", "srv", "url", "ip"}) {
        const std::string open = std::string("<") + name + ">";
        const std::string close = std::string("</") + name + ">";
        for (std::size_t at = file.find(open); at != std::string::npos;
             at = file.find(open, at + 1)) {
            const std::size_t end = file.find(close, at);
            if (end != std::string::npos)
                spans.push_back({at, end + close.size()});
        }
    }
    return spans;
}

} // namespace

std::string ValidServerFile() {
    return std::string(kDeclaration) +
           "<srv_root>\n  <cfg>\n    <autorun>\"C:\\V\\a.exe\" /ip 1.2.3.4</autorun>\n  </cfg>\n"
           "  <srv>\n    <url>a.example</url>\n    <ip>10.0.0.1</ip>\n  </srv>\n"
           "  <srv>\n    <url>b &amp; c \xE6\x97\xB6</url>\n    <ip><![CDATA[10.0.0.2]]></ip>\n"
           "  </srv>\n</srv_root>\n";
}

std::vector<MutatedFile> Truncations(const std::string& file) {
    std::vector<MutatedFile> files;
    for (std::size_t length = 0; length < file.size(); ++length)
        files.push_back({"cut to " + std::to_string(length) + " bytes", file.substr(0, length)});
    return files;
}

std::vector<MutatedFile> ByteFlips(const std::string& file, std::uint32_t seed, int count) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> position(0, file.size() - 1);
    std::uniform_int_distribution<int> mask(1, 255);
    std::uniform_int_distribution<int> flips(1, 3);
    std::vector<MutatedFile> files;
    for (int i = 0; i < count; ++i) {
        MutatedFile mutated{"flips", file};
        for (int n = flips(random); n > 0; --n) {
            const std::size_t at = position(random);
            const int bits = mask(random);
            mutated.bytes[at] = static_cast<char>(mutated.bytes[at] ^ bits);
            mutated.name += " @" + std::to_string(at) + "^" + std::to_string(bits);
        }
        files.push_back(std::move(mutated));
    }
    return files;
}

std::vector<MutatedFile> ElementEdits(const std::string& file, std::uint32_t seed, int count) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> edits(1, 3);
    std::vector<MutatedFile> files;
    for (int i = 0; i < count; ++i) {
        MutatedFile mutated{"edits", file};
        for (int n = edits(random); n > 0; --n) {
            const auto spans = ElementSpans(mutated.bytes);
            if (spans.empty())
                break;
            const Span span =
                spans[std::uniform_int_distribution<std::size_t>(0, spans.size() - 1)(random)];
            const std::string element = mutated.bytes.substr(span.begin, span.end - span.begin);
            const bool duplicate = random() % 2 == 0;
            if (duplicate)
                mutated.bytes.insert(span.end, element);
            else
                mutated.bytes.erase(span.begin, span.end - span.begin);
            mutated.name += (duplicate ? " +" : " -") + element.substr(0, element.find('>') + 1) +
                            "@" + std::to_string(span.begin);
        }
        files.push_back(std::move(mutated));
    }
    return files;
}

std::vector<MutatedFile> DeepNesting() {
    // Entries of each shape at each depth; the parser takes 257 levels of elements.
    struct Depth {
        std::size_t depth;
        int inUrl, beside, unclosed, nestedRoots;
    };
    constexpr Depth kDepths[] = {
        {254, 1, 2, kRefused, 1},
        {255, kRefused, 2, kRefused, 1},
        {256, kRefused, 2, kRefused, kRefused},
        {257, kRefused, kRefused, kRefused, kRefused},
        {100'000, kRefused, kRefused, kRefused, kRefused},
    };
    std::vector<MutatedFile> files;
    for (const Depth& d : kDepths) {
        const std::string open = Repeat("<a>", d.depth);
        const std::string close = Repeat("</a>", d.depth);
        const std::string n = std::to_string(d.depth);
        files.push_back({"nested " + n + " deep in url",
                         Document(std::string(kConfig) + "<srv><url>" + open + "x" + close +
                                  "</url><ip>1</ip></srv>" + kServer),
                         d.inUrl});
        files.push_back({"nested " + n + " deep beside the entries",
                         Document(std::string(kConfig) + kServer + open + close + kServer),
                         d.beside});
        files.push_back({"nested " + n + " deep, never closed",
                         Document(std::string(kConfig) + kServer + open), d.unclosed});
        files.push_back({"srv_root/cfg nested " + n + " deep",
                         Document(Repeat("<srv_root><cfg>", d.depth / 2) + "<autorun>x</autorun>" +
                                  Repeat("</cfg></srv_root>", d.depth / 2) + kServer),
                         d.nestedRoots});
    }
    return files;
}

std::vector<MutatedFile> EntityDefinitions() {
    const std::string body = std::string(kConfig) + kServer;
    const auto withDoctype = [&](std::string_view doctype, std::string_view inner = {}) {
        return std::string(kDeclaration) + std::string(doctype) + "<srv_root>" + body +
               std::string(inner) + "</srv_root>";
    };
    const std::string laughs = [] {
        std::string dtd = "<!DOCTYPE srv_root [<!ENTITY l0 \"lol\">";
        for (int i = 1; i <= 9; ++i)
            dtd += "<!ENTITY l" + std::to_string(i) + " \"" +
                   Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
        return dtd + "]>";
    }();
    const std::string cn = "<!DOCTYPE srv_root [<!ENTITY cn \"\xE4\xB8\xAD\xE5\x9B\xBD\">]>";
    return {
        {"empty doctype", withDoctype("<!DOCTYPE srv_root>"), 1},
        {"doctype with an element declaration",
         withDoctype("<!DOCTYPE srv_root [<!ELEMENT srv_root ANY>]>"), 1},
        {"internal entity, unused", withDoctype(cn), 1},
        {"internal entity, used", withDoctype(cn, "<srv><url>&cn;</url><ip>&cn;</ip></srv>"), 2},
        {"entity used beyond the budget",
         withDoctype("<!DOCTYPE srv_root [<!ENTITY e \"" + std::string(1000, 'e') + "\">]>",
                     "<srv><url>" + Repeat("&e;", 70) + "</url><ip>1</ip></srv>"),
         kRefused},
        {"entity holding markup",
         withDoctype("<!DOCTYPE srv_root [<!ENTITY e \"<srv><url>u</url><ip>2</ip></srv>\">]>",
                     "&e;"),
         kRefused},
        {"billion laughs", withDoctype(laughs, "<srv><url>&l9;</url><ip>&l9;</ip></srv>"),
         kRefused},
        {"parameter entity", withDoctype("<!DOCTYPE srv_root [<!ENTITY % p \"\"> %p;]>"), kRefused},
        {"external entity",
         withDoctype("<!DOCTYPE srv_root [<!ENTITY e SYSTEM \"file:///C:/windows/win.ini\">]>",
                     "<srv><url>&e;</url><ip>1</ip></srv>"),
         kRefused},
        {"external parameter entity",
         withDoctype("<!DOCTYPE srv_root [<!ENTITY % p SYSTEM \"nowhere.dtd\"> %p;]>"), kRefused},
        {"unparsed entity",
         withDoctype("<!DOCTYPE srv_root [<!NOTATION n SYSTEM \"n\">"
                     "<!ENTITY e SYSTEM \"x\" NDATA n>]>"),
         kRefused},
        {"external subset", withDoctype("<!DOCTYPE srv_root SYSTEM \"srv.dtd\">"), kRefused},
        {"predefined entities and character references",
         Document(body + "<srv><url>&lt;&amp;&gt;&quot;&apos;&#x41;&#66;&#x6642;</url>"
                         "<ip>&#49;.2.3.4</ip></srv>"),
         2},
    };
}

std::vector<MutatedFile> HugeTexts(std::size_t sizeLimit) {
    const auto withUrl = [](const std::string& url) {
        return Document(std::string(kConfig) + "<srv><url>" + url + "</url><ip>1</ip></srv>");
    };
    // No text or comment may pass ten million bytes; two of eight million fill the limit.
    const auto filled = [&](std::size_t size) {
        const std::string shell =
            Document("<cfg><autorun></autorun></cfg><!---->" + std::string(kServer));
        const std::size_t half = (size - shell.size()) / 2;
        return Document("<cfg><autorun>" + std::string(half, 'c') + "</autorun></cfg><!--" +
                        std::string(size - shell.size() - half, 'x') + "-->" + kServer);
    };
    return {
        {"url of 100 KiB", withUrl(std::string(std::size_t{100} * 1024, 'u')), 1},
        {"5000 entries", Document(std::string(kConfig) + Repeat(kServer, 5000)), 5000},
        {"file exactly at the limit", filled(sizeLimit), 1},
        {"file one byte over the limit", filled(sizeLimit + 1), kRefused},
        {"text of ten million bytes", withUrl(Repeat(std::string(1000, 'u'), 10'001)), kRefused},
    };
}

std::vector<MutatedFile> SuperLinearShapes(std::size_t sizeLimit) {
    const std::string head = std::string(kDeclaration) + "<srv_root>";
    // The piece repeated as often as the limit allows, inside the root.
    const auto fill = [&](std::string_view piece, const std::string& doctype = {}) {
        const std::size_t room = sizeLimit - head.size() - doctype.size() - 12;
        return std::string(kDeclaration) + doctype + "<srv_root>" +
               Repeat(piece, room / piece.size()) + "</srv_root>";
    };
    // Numbered pieces after the text until the limit is near.
    const auto numbered = [&](std::string text, const char* before, const char* after) {
        for (int i = 0; text.size() < sizeLimit - 40; ++i)
            text += before + std::to_string(i) + after;
        return text;
    };
    const std::string prefixes = numbered(head, "<a xmlns:p", "='u'/>");
    const std::string declarations =
        numbered(std::string(kDeclaration) + "<!DOCTYPE srv_root [", "<!ENTITY e", " 'x'>");
    std::vector<MutatedFile> files = {
        {"attributes on the root",
         std::string(kDeclaration) + "<srv_root" + Repeat(" a=\"\"", (sizeLimit - 200) / 5) + ">" +
             kServer + "</srv_root>",
         kRefused},
        {"namespace declarations", prefixes + "</srv_root>", kRefused},
        {"entity declarations", declarations + "]><srv_root/>", kRefused},
        {"siblings within the bound, text between",
         head + kConfig + kServer + Repeat("<a/>x", 319'990) + "</srv_root>", 1},
        {"a long element name",
         head + "<" + std::string(sizeLimit - head.size() - 20, 'n') + "/></srv_root>", kRefused},
        {"character references in the command",
         head + "<cfg><autorun>" + Repeat("&#x41;", (sizeLimit - 200) / 6) + "</autorun></cfg>" +
             kServer + "</srv_root>",
         1},
        {"entity references", fill("&e;", "<!DOCTYPE srv_root [<!ENTITY e \"x\">]>"), kRefused},
    };
    for (const char* piece : {"<a b='' c='' d='' e='' f='' g='' h='' i=''/>", "<a/>", "<!---->",
                              "<?p?>", "<![CDATA[x]]>", "<a>"})
        files.push_back({std::string("as many as fit of ") + piece, fill(piece), kRefused});
    return files;
}

std::vector<MutatedFile> ShapesThatMustReadAndSave(std::size_t sizeLimit) {
    const std::string head = std::string(kDeclaration) + "<srv_root>";
    const auto fill = [&](std::string_view piece, const std::string& doctype) {
        const std::size_t room = sizeLimit - head.size() - doctype.size() - 12;
        return std::string(kDeclaration) + doctype + "<srv_root>" +
               Repeat(piece, room / piece.size()) + "</srv_root>";
    };
    std::vector<MutatedFile> shapes;
    // Shapes that cost the library more than their size before any count could stop it.
    std::string attributeDefaults = std::string(kDeclaration) + "<!DOCTYPE srv_root [";
    for (int i = 0; i < 250; ++i)
        attributeDefaults += "<!ATTLIST q xmlns:p" + std::to_string(i) + " CDATA \"urn:x" +
                             std::to_string(i) + "\">";
    attributeDefaults +=
        "]><srv_root>" + std::string(kConfig) + kServer + Repeat("<q/>", 60'000) + "</srv_root>";
    const std::string entityInValues = "<!DOCTYPE srv_root [<!ENTITY e \"x\">]>";
    shapes.push_back({"attribute defaults on 60,000 elements", attributeDefaults, kRefused});
    const std::string usesInValue = "<a b='" + Repeat("&e;", 1000) + "'/>";
    shapes.push_back({"entity uses in attribute values, 6 MB",
                      std::string(kDeclaration) + entityInValues + "<srv_root>" +
                          Repeat(usesInValue, (6 << 20) / usesInValue.size()) + "</srv_root>",
                      kRefused});
    shapes.push_back({"entity uses in attribute values, at the limit",
                      fill(usesInValue, entityInValues), kRefused});
    // Files that read must save: the save adds a declaration, indentation, UTF-8.
    shapes.push_back({"320,000 items without a declaration",
                      "<srv_root>" + std::string(kConfig) + Repeat(kServer, 106'665) +
                          "<!----><!---->" + "</srv_root>",
                      106'665});
    // 106,000 servers (318,003 items) of 158 bytes: indented, each takes 16 bytes more.
    const std::string longServer =
        "<srv><url>" + std::string(111, 'h') + ".example</url><ip>10.0.0.1</ip></srv>";
    const std::size_t longServers = std::min<std::size_t>(106'000, (sizeLimit - 200) / 158);
    shapes.push_back({"a compact file that indentation would take past the limit",
                      head + kConfig + Repeat(longServer, longServers) + "</srv_root>",
                      static_cast<int>(longServers)});
    const std::string gbkServer = "<srv><url>" + Repeat("\xD6\xD0", 300) + "</url><ip>1</ip></srv>";
    shapes.push_back({"GBK that UTF-8 takes past the limit",
                      "<?xml version=\"1.0\" encoding=\"GBK\"?><srv_root>" +
                          Repeat(gbkServer, (sizeLimit - 200) / gbkServer.size()) + "</srv_root>",
                      kRefused});
    return shapes;
}
