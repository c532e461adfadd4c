#include "server_file.h"

#include "command_line.h"
#include "program_folder_test.h"
#include "program_paths.h"
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
    std::string body; // inside <srv_root>
    std::optional<std::wstring> command;
    std::vector<ServerEntry> entries;
};

std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n" + body + "\n</srv_root>\n";
}

TEST_F(ServerListFile, ReadersTakeChildrenByPosition) {
    const ReaderCase cases[] = {
        {"the usual layout",
         "<cfg><autorun>\"C:\\a.exe\" /ip 1.1.1.1</autorun></cfg>"
         "<srv><url>a.example</url><ip>1.1.1.1</ip></srv>",
         L"\"C:\\a.exe\" /ip 1.1.1.1",
         {{L"a.example", L"1.1.1.1"}}},
        {"another element before autorun",
         "<cfg><other>first</other><autorun>second</autorun></cfg>",
         L"first",
         {}},
        {"only the first cfg",
         "<cfg><autorun>one</autorun></cfg><cfg><autorun>two</autorun></cfg>",
         L"one",
         {}},
        {"cfg without children", "<cfg/><cfg><autorun>two</autorun></cfg>", L"", {}},
        {"cfg holding bare text", "<cfg>text</cfg>", L"", {}},
        {"first child without text", "<cfg><autorun/><x>later</x></cfg>", L"", {}},
        {"no cfg", "<srv><url>a</url><ip>1</ip></srv>", std::nullopt, {{L"a", L"1"}}},
        {"CDATA and escapes",
         "<cfg><autorun><![CDATA[a&b<c]]></autorun></cfg>"
         "<srv><url>x&amp;y&#x4E2D;</url><ip>&lt;1&gt;</ip></srv>",
         L"a&b<c",
         {{L"x&y中", L"<1>"}}},
        {"entries in file order, the short ones skipped",
         "<srv><url>one</url><ip>1</ip></srv>"
         "<srv><url>only a url</url></srv>"
         "<srv><url>three</url><ip>3</ip></srv>"
         "<srv><url></url><ip>4</ip></srv>"
         "<srv><url>five</url><ip/></srv>"
         "<srv/>",
         std::nullopt,
         {{L"one", L"1"}, {L"three", L"3"}}},
        {"children in the other order",
         "<srv><ip>1.2.3.4</ip><url>host</url></srv>",
         std::nullopt,
         {{L"1.2.3.4", L"host"}}},
        {"children named otherwise, a third one ignored",
         "<srv><a>host</a><b>5.6.7.8</b><c>more</c></srv>",
         std::nullopt,
         {{L"host", L"5.6.7.8"}}},
        {"other root children ignored",
         "<server><url>a</url><ip>1</ip></server><!-- srv --><?srv x?>",
         std::nullopt,
         {}},
        {"blanks and line breaks around the texts",
         "<srv><url>\n  a.example \n</url><ip>\n  127.0.0.23\n</ip></srv><srv><url> "
         "</url><ip>1</ip></srv>",
         std::nullopt,
         {{L"a.example", L"127.0.0.23"}, {L"", L"1"}}},
        {"Chinese text",
         "<cfg><autorun>时间</autorun></cfg><srv><url>中国授时</url><ip>1</ip></srv>",
         L"时间",
         {{L"中国授时", L"1"}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), Document(c.body))) << c.name;
        EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), c.command) << c.name;
        EXPECT_EQ(ReadServerEntries(ServerFilePath()), c.entries) << c.name;
    }
}

TEST_F(ServerListFile, ReadersForceUtf8WhateverTheDeclarationSays) {
    ASSERT_TRUE(WriteFileBytes(ServerFile(), "<?xml version=\"1.0\" encoding=\"GBK\"?>"
                                             "<srv_root><srv><url>时间</url><ip>1</ip></srv>"
                                             "</srv_root>"));
    const auto entries = ReadServerEntries(ServerFilePath());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, L"时间");
}

TEST_F(ServerListFile, AHundredThousandServersAreReadAndSavedQuickly) {
    SKIP_VOLUME_UNDER_HEAP_CHECKS();
    std::string body = "<cfg><autorun>old</autorun></cfg>";
    for (int i = 0; i < 100'000; ++i)
        body += "  <srv>\n    <url>host" + std::to_string(i) +
                ".example</url>\n    <ip>10.0.0.1</ip>\n  </srv>\n";
    ASSERT_TRUE(WriteFileBytes(ServerFile(), Document(body)));
    const ULONGLONG start = GetTickCount64();
    const auto entries = ReadServerEntries(ServerFilePath());
    EXPECT_LT(GetTickCount64() - start, ScaledTimeLimitMs(1'000));
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
