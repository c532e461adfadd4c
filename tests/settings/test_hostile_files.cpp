#include "server_file.h"

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

using namespace std::string_view_literals;

constexpr char kMarker[] = "MARKER-7f3a";
constexpr ULONGLONG kTimeLimitMs = 10'000;

struct HostileCase {
    std::string name;
    std::string bytes;
    bool wellFormed = false; // otherwise the readers refuse it
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

std::string BillionLaughs() {
    std::string dtd = "<!DOCTYPE srv_root [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        dtd += "<!ENTITY l" + std::to_string(i) + " \"" +
               Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
    }
    return dtd + "]><srv_root><cfg><autorun>&l9;</autorun></cfg>"
                 "<srv><url>&l9;</url><ip>&l9;</ip></srv></srv_root>";
}

std::string QuadraticBlowup() {
    const std::string uses = Repeat("&big;", 40'000);
    return "<!DOCTYPE srv_root [<!ENTITY big \"" + std::string(20'000, 'x') +
           "\">]><srv_root><cfg><autorun>" + uses + "</autorun></cfg><srv><url>" + uses +
           "</url><ip>" + uses + "</ip></srv></srv_root>";
}

std::string QuadraticBlowupInAttributes() {
    return "<!DOCTYPE srv_root [<!ENTITY big \"" + std::string(20'000, 'x') +
           "\">]><srv_root a=\"" + Repeat("&big;", 60'000) + "\">" + kEntries + "</srv_root>";
}

std::vector<HostileCase> HostileFiles(const std::string& secretUrl,
                                      const std::string& secretDtdUrl) {
    const std::string xxe = "<!DOCTYPE srv_root [<!ENTITY secret SYSTEM \"" + secretUrl + "\">]>";
    return {
        {"not well-formed", "<srv_root>" + kEntries},
        {"mismatched tags", "<srv_root>" + kEntries + "</srv>"},
        {"empty", ""},
        {"blanks only", "  \r\n\t "},
        {"byte-order mark only", "\xEF\xBB\xBF"},
        {"binary",
         std::string("\x00\x01\xFF\xFE<\x00s\x00\x00"sv) + Repeat(std::string("\x80\x00"sv), 500)},
        {"not UTF-8", "<srv_root><srv><url>\xFF\xFE</url><ip>1</ip></srv></srv_root>"},
        {"two roots", "<srv_root>" + kEntries + "</srv_root><srv_root/>"},
        {"too large",
         "<srv_root>" + kEntries + "<!--" + std::string(1 << 20, 'x') + "--></srv_root>"},
        {"deeply nested", "<srv_root>" + kEntries + Repeat("<a>", 100'000) +
                              Repeat("</a>", 100'000) + "</srv_root>"},
        {"deeply nested, unclosed", "<srv_root>" + kEntries + Repeat("<a>", 200'000)},
        {"billion laughs", BillionLaughs()},
        {"quadratic blowup", QuadraticBlowup()},
        {"quadratic blowup in an attribute", QuadraticBlowupInAttributes()},
        {"an internal entity", "<!DOCTYPE srv_root [<!ENTITY host \"a.example\">]><srv_root>" +
                                   kEntries + "<srv><url>&host;</url><ip>1</ip></srv></srv_root>"},
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
         true},
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

TEST_F(HostileFile, GivesNothingQuicklyAndReadsNothingElse) {
    for (const auto& c : HostileFiles(UrlOf(L"secret.txt"), UrlOf(L"secret.dtd"))) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), c.bytes)) << c.name;
        const ULONGLONG start = GetTickCount64();
        const auto command = ReadAutoRunCommand(ServerFilePath());
        const auto entries = ReadServerEntries(ServerFilePath());
        EXPECT_LT(GetTickCount64() - start, kTimeLimitMs) << c.name;
        // A refused file has no "cfg" to read; the well-formed one has nothing in its "cfg".
        EXPECT_EQ(command, c.wellFormed ? std::optional<std::wstring>(L"") : std::nullopt)
            << c.name;
        EXPECT_TRUE(entries.empty()) << c.name << ": " << entries.size() << " entries";
        for (const auto& entry : entries)
            EXPECT_FALSE(HoldsMarker(entry.url) || HoldsMarker(entry.ip)) << c.name;
        if (command) {
            EXPECT_FALSE(HoldsMarker(*command)) << c.name;
        }
    }
}

TEST_F(HostileFile, IsNeverReplacedByASaveThatLoadsSomethingElse) {
    for (const auto& c : HostileFiles(UrlOf(L"secret.txt"), UrlOf(L"secret.dtd"))) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), c.bytes)) << c.name;
        const ULONGLONG start = GetTickCount64();
        SaveAutoRunCmd(L"new text");
        EXPECT_LT(GetTickCount64() - start, kTimeLimitMs) << c.name;
        const std::string after = ReadFileBytes(ServerFile());
        EXPECT_EQ(after.find(kMarker), std::string::npos) << c.name;
        if (!c.wellFormed) {
            EXPECT_EQ(after, c.bytes) << c.name << ": a refused file is left as it was";
        }
    }
}

} // namespace
