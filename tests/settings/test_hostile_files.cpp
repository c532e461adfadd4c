#include "time_limits.h"
#include "server_file.h"

#include "markup_scan.h"
#include "program_folder_test.h"
#include "scratch_folder.h"
#include "text_encoding.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kMarker[] = "MARKER-7f3a";
constexpr ULONGLONG kTimeLimitMs = 10'000;

struct HostileCase {
    std::string name;
    std::string bytes;
    std::optional<std::wstring> command = std::nullopt; // none: the readers refuse the file
    size_t entries = 0;
};

std::string Repeat(const std::string& piece, size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

const std::string kEntries =
    "<cfg><autorun>command</autorun></cfg><srv><url>a</url><ip>1</ip></srv>";

std::string QuadraticBlowupInAttributes() {
    return "<!DOCTYPE srv_root [<!ENTITY big \"" + std::string(20'000, 'x') +
           "\">]><srv_root a=\"" + Repeat("&big;", 60'000) + "\">" + kEntries + "</srv_root>";
}

std::vector<HostileCase> HostileFiles(const std::string& secretUrl,
                                      const std::string& secretDtdUrl) {
    const std::string xxe = "<!DOCTYPE srv_root [<!ENTITY secret SYSTEM \"" + secretUrl + "\">]>";
    return {
        {"empty", ""},
        {"only a BOM", "\xEF\xBB\xBF"},
        {"entity uses in an attribute, never expanded", QuadraticBlowupInAttributes(), L"command",
         1},
        {"external entity", xxe + "<srv_root><cfg><autorun>&secret;</autorun></cfg>"
                                  "<srv><url>&secret;</url><ip>&secret;</ip></srv></srv_root>"},
        {"external DTD", "<!DOCTYPE srv_root SYSTEM \"" + secretDtdUrl +
                             "\"><srv_root><cfg><autorun>&fromDtd;</autorun></cfg>"
                             "<srv><url>&fromDtd;</url><ip>&fromDtd;</ip></srv></srv_root>"},
        {"external parameter entity",
         "<!DOCTYPE srv_root [<!ENTITY % dtd SYSTEM \"" + secretDtdUrl +
             "\"> %dtd;]><srv_root><cfg><autorun>&fromDtd;</autorun></cfg>"
             "<srv><url>&fromDtd;</url><ip>&fromDtd;</ip></srv></srv_root>"},
        {"XInclude",
         "<srv_root xmlns:xi=\"http://www.w3.org/2001/XInclude\"><cfg>"
         "<xi:include href=\"" +
             secretUrl + "\" parse=\"text\"/></cfg><srv><xi:include href=\"" + secretUrl +
             "\" parse=\"text\"/><ip>1</ip></srv></srv_root>",
         L""},
    };
}

class HostileFile : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        m_outside = std::make_unique<ScratchFolder>(L"vexlo-outside");
        ASSERT_TRUE(WriteFileBytes(m_outside->File(L"secret.txt"), kMarker));
        ASSERT_TRUE(WriteFileBytes(m_outside->File(L"secret.dtd"),
                                   std::string("<!ENTITY fromDtd \"") + kMarker + "\">"));
    }
    std::string UrlOf(const wchar_t* name) const {
        std::string url = "file:///" + ToUtf8(m_outside->File(name));
        for (char& c : url) {
            if (c == '\\')
                c = '/';
        }
        return url;
    }

private:
    std::unique_ptr<ScratchFolder> m_outside;
};

bool HoldsMarker(const std::wstring& text) {
    return text.find(FromUtf8(kMarker)) != std::wstring::npos;
}

TEST_F(HostileFile, ReadsAndSavesNothingFromElsewhereQuickly) {
    SKIP_VOLUME_UNDER_HEAP_CHECKS();
    for (const auto& c : HostileFiles(UrlOf(L"secret.txt"), UrlOf(L"secret.dtd"))) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), c.bytes)) << c.name;
        const ULONGLONG start = GetTickCount64();
        const auto command = ReadAutoRunCommand(ServerFilePath());
        const auto entries = ReadServerEntries(ServerFilePath());
        SaveAutoRunCmd(L"new text");
        EXPECT_LT(GetTickCount64() - start, kTimeLimitMs) << c.name;
        EXPECT_EQ(command, c.command) << c.name;
        EXPECT_EQ(entries.size(), c.entries) << c.name;
        for (const auto& entry : entries)
            EXPECT_FALSE(HoldsMarker(entry.url) || HoldsMarker(entry.ip)) << c.name;
        EXPECT_FALSE(command && HoldsMarker(*command)) << c.name;
        const std::string after = ReadFileBytes(ServerFile());
        EXPECT_EQ(after.find(kMarker), std::string::npos) << c.name;
        EXPECT_TRUE(c.command || after == c.bytes) << c.name << ": a refused file was changed";
        EXPECT_EQ(ReadServerEntries(ServerFilePath()).size(), c.entries) << c.name;
    }
}

std::string Attributes(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += " a" + std::to_string(i) + "='='";
    return text;
}

TEST(MarkupWithinLimits, CountsAttributesNamespacesAndItems) {
    const std::pair<std::string, bool> cases[] = {
        {"<a" + Attributes(8) + "/>", true},
        {"<a" + Attributes(9) + "/>", false},
        {"<a" + Attributes(8) + "><b" + Attributes(8) + ">", true},
        {"<!--<a" + Attributes(9) + "/>-->", true},
        {"<![CDATA[<a" + Attributes(9) + "/>]]>", true},
        {"<!DOCTYPE a [<!ENTITY e '<a" + Attributes(9) + ">'>]><a/>", true},
        {"<!DOCTYPE a [<!-- ]> -->]><a" + Attributes(9) + "/>", false},
        {"<a b='<a" + Attributes(8) + "/>", true},
        {Repeat("<a xmlns:p='u'/>", 16), true},
        {Repeat("<a xmlns:p='u'/>", 16) + "<a xmlns = 'u'/>", false},
        {Repeat("<a/>", 320'000), true},
        {Repeat("<a/>", 320'001), false},
        {Repeat("<a></a>x", 320'000), true},
        {Repeat("<!---->", 320'001), false},
        {Repeat("<a b=''/>", 160'000), true},
        {Repeat("<a b=''/>", 160'001), false},
    };
    for (const auto& [text, within] : cases)
        EXPECT_EQ(MarkupWithinLimits(text), within) << text.substr(0, 120);
}

} // namespace
