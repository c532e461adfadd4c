#include "settings/bounded_parse.h"

#include "settings/server_file_text.h"
#include "settings/xml_session.h"
#include "tests/support/time_limits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

struct BoundCase {
    std::string name;
    std::string text;
    bool read;
};

std::string Repeat(const std::string& piece, size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Pieces numbered from 0, to make names or values that differ.
std::string Numbered(const std::string& before, const std::string& after, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += before + std::to_string(i) + after;
    return text;
}

std::string Root(const std::string& body, const std::string& doctype = "") {
    return doctype + "<srv_root>" + body + "</srv_root>";
}

std::string Doctype(const std::string& declarations) {
    return "<!DOCTYPE srv_root [" + declarations + "]>";
}

// Elements inside each other, each declaring a prefix of its own.
std::string NestedPrefixes(size_t depth) {
    return Numbered("<a xmlns:p", "='urn:a'>", depth) + Repeat("</a>", depth);
}

// Text of that many bytes in two halves, each within the library's bound on one text.
std::string Texts(size_t bytes) {
    const size_t half = (bytes - 7) / 2;
    return std::string(half, 'x') + "<!---->" + std::string(bytes - 7 - half, 'x');
}

void ExpectReadAsTheBoundsSay(const std::vector<BoundCase>& cases) {
    const XmlSession session;
    for (const auto& c : cases) {
        ReadFault fault;
        EXPECT_EQ(static_cast<bool>(ParseServerText(c.text, fault)), c.read) << c.name;
    }
}

TEST(ParseServerText, KeepsTheBoundsOfWhatAFileDeclares) {
    const std::string entity = "<!ENTITY e \"x\">";
    ExpectReadAsTheBoundsSay({
        {"8 attributes in a tag", Root("<a" + Numbered(" a", "=''", 8) + "/>"), true},
        {"9 attributes in a tag", Root("<a" + Numbered(" a", "=''", 9) + "/>"), false},
        {"9 in a comment", Root("<!--<a" + Numbered(" a", "=''", 9) + "/>-->"), true},
        {"16 namespaces in force", Root(NestedPrefixes(16)), true},
        {"17 namespaces in force", Root(NestedPrefixes(17)), false},
        {"400 namespaces one after the other",
         Root(Repeat("<a xmlns='urn:a'/><b xmlns:p='urn:b'/>", 200)), true},
        {"an element declaration", Root("", Doctype("<!ELEMENT srv ANY>")), true},
        {"256 declarations", Root("", Doctype(Numbered("<!ELEMENT e", " ANY>", 256))), true},
        {"257 declarations", Root("", Doctype(Numbered("<!ELEMENT e", " ANY>", 257))), false},
        {"an attribute list", Root("<srv/>", Doctype("<!ATTLIST srv xmlns:v CDATA 'urn:vexlo'>")),
         false},
        {"a notation", Root("", Doctype("<!NOTATION n SYSTEM 'n'>")), false},
        {"a parameter entity", Root("", Doctype("<!ENTITY % p 'x'>")), false},
        {"an entity holding markup", Root("", Doctype("<!ENTITY e '<a/>'>")), false},
        {"an external entity", Root("", Doctype("<!ENTITY e SYSTEM 'e.txt'>")), false},
        {"an external subset", "<!DOCTYPE srv_root SYSTEM 'srv.dtd'><srv_root/>", false},
        {"64 KiB of entity text",
         Root("", Doctype("<!ENTITY e '" + std::string(kMaxEntityTextBytes, 'x') + "'>")), true},
        {"one byte more",
         Root("", Doctype("<!ENTITY e '" + std::string(kMaxEntityTextBytes + 1, 'x') + "'>")),
         false},
        {"16,000 names", Root(Numbered("<a", "/>", 16'000)), true},
        {"17,000 names", Root(Numbered("<a", "/>", 17'000)), false},
        {"200 complaints", Root(Repeat("<a xmlns:p='%%'/>", 200)), true},
        {"300 complaints", Root(Repeat("<a xmlns:p='%%'/>", 300)), false},
        {"entity uses within the budget", Root(Repeat("&e;", 32'768), Doctype(entity)), true},
        {"entity uses past it", Root(Repeat("&e;", 32'769), Doctype(entity)), false},
        {"entity uses in attribute values past it",
         Root(Repeat("<a b='&e;&e;&e;&e;'/>", 8'193), Doctype(entity)), false},
    });
}

TEST(ParseServerText, CountsEveryItemWhereverItStands) {
    SKIP_VOLUME_UNDER_HEAP_CHECKS();
    // The root is one item.
    ExpectReadAsTheBoundsSay({
        {"elements up to the bound", Root(Repeat("<a/>", 319'999)), true},
        {"one more", Root(Repeat("<a/>", 320'000)), false},
        {"comments, instructions and CDATA",
         Root(Repeat("<!----><?p?><![CDATA[]]>", 106'666) + "<!---->"), true},
        {"one more", Root(Repeat("<!----><?p?><![CDATA[]]>", 106'667)), false},
        {"attributes count twice", Root(Repeat("<a b=''/>", 106'666) + "<a/>"), true},
        {"one more", Root(Repeat("<a b=''/>", 106'667)), false},
        {"namespace declarations", Root(Repeat("<a xmlns='urn:a'/>", 159'999) + "<a/>"), true},
        {"one more", Root(Repeat("<a xmlns='urn:a'/>", 160'000)), false},
    });
}

TEST(ParseServerText, ReadsOnlyWhatASaveCanWriteBack) {
    SKIP_VOLUME_UNDER_HEAP_CHECKS();
    // A save escapes ">" as "&gt;": four times as long.
    const size_t quarter = kMaxServerFileBytes / 4;
    ExpectReadAsTheBoundsSay({
        {"text that a save writes within the bound",
         Root("<cfg><autorun>" + std::string(quarter - 100, '>') + "</autorun></cfg>"), true},
        {"text that a save writes past it",
         Root("<cfg><autorun>" + std::string(quarter + 100, '>') + "</autorun></cfg>"), false},
        {"the same text escaped",
         Root("<cfg><autorun>" + Repeat("&gt;", quarter - 100) + "</autorun></cfg>"), true},
        {"a text at the bound with the declaration a save writes",
         std::string(kDeclaration) + Root(Texts(kMaxServerFileBytes - 61)) + "\n", true},
        {"the same without it", Root(Texts(kMaxServerFileBytes - 21)), false},
    });
}

} // namespace
