#include "server_file.h"

#include "command_line.h"
#include "program_folder_test.h"
#include "program_paths.h"
#include "read_reference.h"
#include "server_file_texts.h"
#include "time_limits.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using ServerListFile = ProgramFolderTest;

// What the main window's construction does with a missing file.
void CreateTheFileIfMissing() {
    const std::wstring path = ServerFilePath();
    if (!PathFileExistsW(path.c_str()) && EnsureFileExists(path.c_str()))
        CreateDefaultServerFile(path.c_str());
}

TEST_F(ServerListFile, ANewFileHasTheThirtyLinesOfTheDefaults) {
    CreateTheFileIfMissing();
    const std::string bytes = ReadFileBytes(ServerFile());
    EXPECT_EQ(bytes, ExpectedDefaultServerFile());
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 30);

    const auto entries = ReadServerEntries(ServerFilePath());
    ASSERT_EQ(entries.size(), 6u);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(ToUtf8(entries[i].url), kDefaultServerLines[i].first) << "entry " << i;
        EXPECT_EQ(ToUtf8(entries[i].ip), kDefaultServerLines[i].second) << "entry " << i;
    }
    EXPECT_TRUE(std::equal(entries.begin(), entries.end(), DefaultServers().begin()));

    const auto command = ReadAutoRunCommand(ServerFilePath());
    ASSERT_TRUE(command);
    EXPECT_EQ(*command, L"\"" + GetModulePath() + L"\" /ip 132.163.4.101");
    EXPECT_TRUE(IsOwnIpCommandLine(command->c_str()));
}

TEST_F(ServerListFile, AnExistingEmptyFileIsKept) {
    ASSERT_TRUE(WriteFileBytes(ServerFile(), ""));
    CreateTheFileIfMissing();
    EXPECT_EQ(ReadFileBytes(ServerFile()), "");
    EXPECT_TRUE(ReadServerEntries(ServerFilePath()).empty());
    EXPECT_FALSE(ReadAutoRunCommand(ServerFilePath()));
}

TEST_F(ServerListFile, CreateDefaultServerFileReplacesAWholeFile) {
    ASSERT_TRUE(WriteFileBytes(ServerFile(), "old text that is not XML"));
    EXPECT_TRUE(CreateDefaultServerFile(ServerFilePath().c_str()));
    EXPECT_EQ(ReadFileBytes(ServerFile()), ExpectedDefaultServerFile());
    EXPECT_TRUE(CreateDefaultServerFile(nullptr));
    EXPECT_TRUE(CreateDefaultServerFile(L""));
}

TEST_F(ServerListFile, AMissingFileGivesNothing) {
    EXPECT_TRUE(ReadServerEntries(ServerFilePath()).empty());
    EXPECT_FALSE(ReadAutoRunCommand(ServerFilePath()));
}

struct ReaderCase {
    const char* name;
    std::string bytes; // the whole file
    std::optional<std::wstring> command;
    std::vector<ServerEntry> entries;
};

std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n" + body + "\n</srv_root>\n";
}

// The text in UTF-16, little- or big-endian, with or without a byte-order mark.
std::string Utf16(const std::wstring& text, bool bigEndian, bool mark) {
    std::string bytes;
    for (const wchar_t c : (mark ? L"\xFEFF" : L"") + text) {
        const char high = static_cast<char>(c >> 8);
        const char low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

const std::wstring kUtf16File = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><srv_root><cfg>"
                                L"<autorun>命令</autorun></cfg><srv><url>中国授时</url>"
                                L"<ip>1.2.3.4</ip></srv></srv_root>";

// "中国" in the ANSI code page of the test run, and what its bytes read as.
const char kAnsiBytes[] = "\xD6\xD0\xB9\xFA";
std::wstring AnsiBytesRead() {
    return GetACP() == 936 ? L"中国" : L"\x00D6\x00D0\x00B9\x00FA";
}

TEST_F(ServerListFile, ReadersTakeElementsByNameInTheFilesOwnEncoding) {
    const std::vector<ServerEntry> one = {{L"a.example", L"1.1.1.1"}};
    const std::vector<ServerEntry> chinese = {{L"中国授时", L"1.2.3.4"}};
    const ReaderCase cases[] = {
        {"the usual layout",
         Document("<cfg><autorun>\"C:\\a.exe\" /ip 1.1.1.1</autorun></cfg>"
                  "<srv><url>a.example</url><ip>1.1.1.1</ip></srv>"),
         L"\"C:\\a.exe\" /ip 1.1.1.1", one},
        {"a comment before url",
         Document("<srv><!-- the first --><url>a.example</url><ip>1.1.1.1</ip></srv>"),
         std::nullopt, one},
        {"comments, instructions and blank text anywhere",
         Document("<!-- c --><cfg>\n<?pi x?><!-- c -->\n<autorun>cmd</autorun><!-- c --></cfg>\n"
                  "<srv>\n <?pi?>\n <url><!-- c -->a.example<!-- c --></url>\n <!-- c -->\n"
                  " <ip>1.1.1.1<?pi?></ip>\n</srv><!-- c -->"),
         L"cmd", one},
        {"ip before url", Document("<srv><ip>1.1.1.1</ip><url>a.example</url></srv>"), std::nullopt,
         one},
        {"other elements before and between",
         Document("<cfg><other>x</other><autorun>second</autorun><autorun>third</autorun></cfg>"
                  "<srv><note>n</note><ip>1.1.1.1</ip><x/><url>a.example</url><url>b</url></srv>"),
         L"second", one},
        {"only the first cfg",
         Document("<cfg><x/></cfg><cfg><autorun>two</autorun></cfg>"),
         L"",
         {}},
        {"cfg without autorun, autorun without text", Document("<cfg><autorun/></cfg>"), L"", {}},
        {"no cfg", Document("<srv><url>a</url><ip>1</ip></srv>"), std::nullopt, {{L"a", L"1"}}},
        {"CDATA, escapes and entities",
         "<!DOCTYPE srv_root [<!ENTITY cn \"中国\">]><srv_root><cfg><autorun><![CDATA[a&b<c]]>"
         "</autorun></cfg><srv><url>x&amp;y&#x4E2D;&cn;</url><ip>&lt;1&gt;</ip></srv></srv_root>",
         L"a&b<c",
         {{L"x&y中中国", L"<1>"}}},
        {"entries without both texts skipped",
         Document("<srv><url>one</url><ip>1</ip></srv><srv><url>only a url</url></srv>"
                  "<srv><url></url><ip>4</ip></srv><srv><url> \n </url><ip>5</ip></srv>"
                  "<srv><url>six</url><ip/></srv><srv/><srv><url>seven</url><ip>7</ip></srv>"),
         std::nullopt,
         {{L"one", L"1"}, {L"seven", L"7"}}},
        {"text of child elements is not the element's",
         Document("<srv><url>a<b>x</b>c</url><ip><i>1</i></ip></srv><srv><url>d</url><ip>2</ip>"
                  "</srv>"),
         std::nullopt,
         {{L"d", L"2"}}},
        {"other root children ignored",
         Document("<server><url>a</url><ip>1</ip></server><x><srv><url>b</url><ip>2</ip></srv>"
                  "</x>"),
         std::nullopt,
         {}},
        {"blanks and line breaks around the texts",
         Document("<srv><url>\n  a.example \n</url><ip>\n  1.1.1.1\n</ip></srv>"), std::nullopt,
         one},
        {"an element declaration that keeps blank text",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [<!ELEMENT srv ANY>]>\n<srv_root>\n"
         "  <srv>\n    <url>a.example</url>\n    <ip>1.1.1.1</ip>\n  </srv>\n</srv_root>\n",
         std::nullopt, one},
        {"a namespace on each of 17 servers",
         Document(
             Repeat("<srv xmlns=\"urn:vexlo\"><url>a.example</url><ip>1.1.1.1</ip></srv>", 17)),
         std::nullopt, std::vector<ServerEntry>(17, one[0])},
        {"prefixed names",
         Document("<v:srv xmlns:v=\"urn:vexlo\"><v:url>a.example</v:url><v:ip>1.1.1.1</v:ip>"
                  "</v:srv>"),
         std::nullopt, one},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBF" + Document("<srv><url>中国授时</url><ip>1.2.3.4</ip></srv>"), std::nullopt,
         chinese},
        {"UTF-16LE with a byte-order mark", Utf16(kUtf16File, false, true), L"命令", chinese},
        {"UTF-16BE with a byte-order mark", Utf16(kUtf16File, true, true), L"命令", chinese},
        {"UTF-16LE without a byte-order mark", Utf16(kUtf16File, false, false), L"命令", chinese},
        {"GBK with its declaration",
         "<?xml version=\"1.0\" encoding=\"GBK\"?><srv_root><srv><url>\xD6\xD0\xB9\xFA\xCA\xDA"
         "\xCA\xB1</url><ip>1.2.3.4</ip></srv></srv_root>",
         std::nullopt, chinese},
        {"GB2312 with its declaration",
         "<?xml version='1.0' encoding='gb2312'?><srv_root><srv><url>\xD6\xD0\xB9\xFA\xCA\xDA"
         "\xCA\xB1</url><ip>1.2.3.4</ip></srv></srv_root>",
         std::nullopt, chinese},
        {"GB18030 with its declaration",
         "<?xml version=\"1.0\" encoding=\"GB18030\"?><srv_root><srv><url>\xD6\xD0\xB9\xFA\xCA"
         "\xDA\xCA\xB1</url><ip>1.2.3.4</ip></srv></srv_root>",
         std::nullopt, chinese},
        {"ISO-8859-1 with its declaration",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><srv_root><srv><url>caf\xE9</url>"
         "<ip>1</ip></srv></srv_root>",
         std::nullopt,
         {{L"café", L"1"}}},
        {"ANSI without a declaration",
         std::string("<srv_root><srv><url>") + kAnsiBytes + "</url><ip>1</ip></srv></srv_root>",
         std::nullopt,
         {{AnsiBytesRead(), L"1"}}},
        {"declared UTF-8 that is not",
         Document("<srv><url>\xD6\xD0</url><ip>1</ip></srv>"),
         std::nullopt,
         {}},
        {"an encoding nobody knows",
         "<?xml version=\"1.0\" encoding=\"x-none\"?><srv_root><srv><url>a</url><ip>1</ip></srv>"
         "</srv_root>",
         std::nullopt,
         {}},
        {"an attribute list",
         "<!DOCTYPE srv_root [<!ATTLIST srv xmlns:v CDATA \"urn:vexlo\">]>"
         "<srv_root><srv><url>a</url><ip>1</ip></srv></srv_root>",
         std::nullopt,
         {}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), c.bytes)) << c.name;
        EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), c.command) << c.name;
        EXPECT_EQ(ReadServerEntries(ServerFilePath()), c.entries) << c.name;
        // A save keeps every entry and writes UTF-8.
        if (c.command && SaveAutoRunCmd(L"saved")) {
            EXPECT_EQ(ReadServerEntries(ServerFilePath()), c.entries) << c.name << ", saved";
            EXPECT_TRUE(ReadFileBytes(ServerFile())
                            .starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"))
                << c.name;
        }
    }
}

TEST_F(ServerListFile, AReadThatGivesNothingTellsWhy) {
    EXPECT_EQ(ReadServerList(ServerFilePath()).fault->opened, false);
    ASSERT_TRUE(WriteFileBytes(ServerFile(), "<srv_root>\n<srv>\n<url>a</url>\n</srv_root>"));
    const ServerList broken = ReadServerList(ServerFilePath());
    ASSERT_TRUE(broken.fault);
    EXPECT_TRUE(broken.fault->opened);
    EXPECT_EQ(broken.fault->line, 4);
    ASSERT_TRUE(WriteFileBytes(ServerFile(), "<srv_root>\n<srv>\n<a b='' c='' d=''\n e='' f='' "
                                             "g='' h='' i='' j=''/></srv></srv_root>"));
    EXPECT_TRUE(ReadServerList(ServerFilePath()).fault);
    ASSERT_TRUE(WriteFileBytes(ServerFile(), Document("<srv><url>a</url><ip>1</ip></srv>")));
    EXPECT_FALSE(ReadServerList(ServerFilePath()).fault);
}

TEST_F(ServerListFile, AHundredThousandServersAreReadAndSavedQuickly) {
    SKIP_VOLUME_UNDER_HEAP_CHECKS();
    std::string body = "<cfg><autorun>old</autorun></cfg>";
    for (int i = 0; i < 100'000; ++i)
        body += "  <srv>\n    <url>host" + std::to_string(i) +
                ".example</url>\n    <ip>10.0.0.1</ip>\n  </srv>\n";
    const std::string bytes = Document(body);
    ASSERT_TRUE(WriteFileBytes(ServerFile(), bytes));
    std::vector<ServerEntry> entries;
    const double readMs = ElapsedMs([&] { entries = ReadServerEntries(ServerFilePath()); });
    // The bounded read costs little more than libxml2's own parse (1.2 to 1.6 on an idle machine).
    const double plainMs = PlainParseMs(bytes);
    EXPECT_LT(readMs, 5 * plainMs) << "libxml2's own parse took " << plainMs << " ms";
    ASSERT_EQ(entries.size(), 100'000u);
    EXPECT_EQ(entries.back().url, L"host99999.example");
    EXPECT_TRUE(SaveAutoRunCmd(L"new"));
    EXPECT_EQ(ReadServerEntries(ServerFilePath()).size(), 100'000u);
    EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), L"new");
}

// A folder whose name lies outside code page 936 (and, with the Chinese, outside 1252).
constexpr wchar_t kForeignFolderName[] = L"程序_한국어_ไทย_😀";

TEST_F(ServerListFile, WorksInAFolderNamedOutsideTheCodePage) {
    UseProgramFolder(kForeignFolderName);
    CreateTheFileIfMissing();
    EXPECT_EQ(ReadFileBytes(ServerFile()), ExpectedDefaultServerFile());
    EXPECT_EQ(ReadServerEntries(ServerFilePath()).size(), 6u);
    EXPECT_TRUE(ReadAutoRunCommand(ServerFilePath()));
    const std::wstring command = L"\"C:\\程序\\한국어.exe\" /ip 1.2.3.4";
    SaveAutoRunCmd(command.c_str());
    EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), command);
}

TEST_F(ServerListFile, WorksInAFolderWhoseUtf8NameIsLong) {
    // More than two UTF-8 bytes a character: a cut name would open another file.
    UseProgramFolder(std::wstring(60, L'时'));
    CreateTheFileIfMissing();
    EXPECT_EQ(ReadServerEntries(ServerFilePath()).size(), 6u);
    SaveAutoRunCmd(L"saved");
    EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), L"saved");
}

} // namespace
