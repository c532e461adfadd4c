#include "server_file_mutations.h"

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

std::string EscapeXml(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
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

std::string ValidServerFile(std::string_view programPathUtf8) {
    return std::string(kDeclaration) + "<srv_root>\n  <cfg>\n    <autorun>\"" +
           EscapeXml(programPathUtf8) +
           "\" /ip 132.163.4.101</autorun>\n  </cfg>\n"
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
    std::vector<MutatedFile> files;
    for (const std::size_t depth : {10u, 250u, 254u, 255u, 256u, 257u, 1000u, 100'000u}) {
        const std::string open = Repeat("<a>", depth);
        const std::string close = Repeat("</a>", depth);
        const std::string n = std::to_string(depth);
        files.push_back({"nested " + n + " deep in url",
                         Document(std::string(kConfig) + "<srv><url>" + open + "x" + close +
                                  "</url><ip>1</ip></srv>" + kServer)});
        files.push_back({"nested " + n + " deep beside the entries",
                         Document(std::string(kConfig) + kServer + open + close + kServer)});
        files.push_back({"nested " + n + " deep, never closed",
                         Document(std::string(kConfig) + kServer + open)});
        files.push_back({"srv_root/cfg nested " + n + " deep",
                         Document(Repeat("<srv_root><cfg>", depth / 2) + "<autorun>x</autorun>" +
                                  Repeat("</cfg></srv_root>", depth / 2) + kServer)});
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
    return {
        {"empty doctype", withDoctype("<!DOCTYPE srv_root>")},
        {"doctype with an element declaration",
         withDoctype("<!DOCTYPE srv_root [<!ELEMENT srv_root ANY>]>")},
        {"internal entity, unused", withDoctype("<!DOCTYPE srv_root [<!ENTITY e \"x\">]>")},
        {"internal entity, used", withDoctype("<!DOCTYPE srv_root [<!ENTITY e \"x\">]>",
                                              "<srv><url>&e;</url><ip>1</ip></srv>")},
        {"entity holding markup",
         withDoctype("<!DOCTYPE srv_root [<!ENTITY e \"<srv><url>u</url><ip>2</ip></srv>\">]>",
                     "&e;")},
        {"billion laughs", withDoctype(laughs, "<srv><url>&l9;</url><ip>&l9;</ip></srv>")},
        {"parameter entity", withDoctype("<!DOCTYPE srv_root [<!ENTITY % p \"\"> %p;]>")},
        {"external entity",
         withDoctype("<!DOCTYPE srv_root [<!ENTITY e SYSTEM \"file:///C:/windows/win.ini\">]>",
                     "<srv><url>&e;</url><ip>1</ip></srv>")},
        {"external parameter entity",
         withDoctype("<!DOCTYPE srv_root [<!ENTITY % p SYSTEM \"nowhere.dtd\"> %p;]>")},
        {"unparsed entity", withDoctype("<!DOCTYPE srv_root [<!NOTATION n SYSTEM \"n\">"
                                        "<!ENTITY e SYSTEM \"x\" NDATA n>]>")},
        {"external subset", withDoctype("<!DOCTYPE srv_root SYSTEM \"srv.dtd\">")},
        {"public external subset", withDoctype("<!DOCTYPE srv_root PUBLIC \"-//x//y\" \"s.dtd\">")},
        {"undeclared entity", Document(body + "<srv><url>&nope;</url><ip>1</ip></srv>")},
        {"predefined entities and character references",
         Document(body + "<srv><url>&lt;&amp;&gt;&quot;&apos;&#x41;&#66;&#x6642;</url>"
                         "<ip>&#49;.2.3.4</ip></srv>")},
        {"character reference to a forbidden character",
         Document(body + "<srv><url>&#0;</url><ip>1</ip></srv>")},
        {"character reference beyond Unicode",
         Document(body + "<srv><url>&#x110000;</url><ip>1</ip></srv>")},
        {"character reference to a surrogate",
         Document(body + "<srv><url>&#xD800;</url><ip>1</ip></srv>")},
        {"doctype after the root", Document(body) + "<!DOCTYPE srv_root>"},
        {"doctype not closed", std::string(kDeclaration) + "<!DOCTYPE srv_root [<!ENTITY e \"x\""},
    };
}

std::vector<MutatedFile> HugeTexts(std::size_t sizeLimit) {
    const auto withUrl = [](const std::string& url) {
        return Document(std::string(kConfig) + "<srv><url>" + url + "</url><ip>1</ip></srv>");
    };
    const std::string shell = withUrl("");
    std::vector<MutatedFile> files = {
        {"url of 1 KiB", withUrl(std::string(1024, 'u'))},
        {"url of 100 KiB", withUrl(std::string(std::size_t{100} * 1024, 'u'))},
        {"url of multi-byte text", withUrl(Repeat("\xE6\x97\xB6", 50'000))},
        {"autorun of 200 KiB",
         Document("<cfg><autorun>" + std::string(std::size_t{200} * 1024, 'c') +
                  "</autorun></cfg>" + kServer)},
        {"5000 entries", Document(std::string(kConfig) + Repeat(kServer, 5000))},
        {"file exactly at the limit", withUrl(std::string(sizeLimit - shell.size(), 'u'))},
        {"file one byte over the limit", withUrl(std::string(sizeLimit - shell.size() + 1, 'u'))},
        {"comment of 4 MiB",
         Document(std::string(kConfig) + kServer + "<!--" + std::string(4 << 20, 'x') + "-->")},
    };
    return files;
}
