#include "settings/server_file.h"

#include "tests/support/child_process.h"
#include "tests/settings/program_folder_test.h"
#include "tests/settings/server_file_texts.h"
#include "settings/text_encoding.h"
#include "settings/server_file_reader.h"
#include "settings/file_paths.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlmemory.h>
#include <libxml/xmlIO.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using SaveAutoRun = ProgramFolderTest;

void CreateDefaults() {
    ASSERT_TRUE(EnsureFileExists(ServerFilePath().c_str()));
    CreateDefaultServerFile(ServerFilePath().c_str());
}

std::vector<std::wstring> FolderContent(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().wstring());
    return names;
}

TEST_F(SaveAutoRun, RewritesTheFileWithTheTextEscaped) {
    CreateDefaults();
    ASSERT_TRUE(WriteFileBytes(Folder().File(L"srv.xml.99999.tmp"), "left by an ended process"));
    EXPECT_TRUE(SaveAutoRunCmd(L"\"C:\\a&b\\<x>.exe\" /ip 1.2.3.4"));
    EXPECT_EQ(
        ReadFileBytes(ServerFile()),
        ServerFileWithAutoRunLine("<autorun>\"C:\\a&amp;b\\&lt;x&gt;.exe\" /ip 1.2.3.4</autorun>"));
    EXPECT_EQ(FolderContent(Folder().Path()), std::vector<std::wstring>{L"srv.xml"})
        << "no temporary file is left, nor another's";
}

// A process of the test's own that lives, suspended, until the test ends it.
class SuspendedProcess {
public:
    SuspendedProcess() {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = QuoteArgument(SiblingProgramPath(L"settings_probe.exe"));
        m_started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                   CREATE_SUSPENDED, nullptr, nullptr, &startup, &m_process);
        m_id = m_process.dwProcessId;
    }
    ~SuspendedProcess() { End(); }
    SuspendedProcess(const SuspendedProcess&) = delete;
    SuspendedProcess& operator=(const SuspendedProcess&) = delete;

    bool Started() const { return m_started; }
    DWORD Id() const { return m_id; }
    void End() {
        if (!m_started)
            return;
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 10'000);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
        m_started = false;
    }

private:
    PROCESS_INFORMATION m_process{};
    DWORD m_id = 0;
    bool m_started = false;
};

TEST_F(SaveAutoRun, KeepsTheTemporaryOfARunningProcessUntilItEnds) {
    CreateDefaults();
    SuspendedProcess other;
    ASSERT_TRUE(other.Started());
    const std::wstring name = L"srv.xml." + std::to_wstring(other.Id()) + L".tmp";
    ASSERT_TRUE(WriteFileBytes(Folder().File(name.c_str()), "being written"));
    EXPECT_TRUE(SaveAutoRunCmd(L"first"));
    EXPECT_EQ(ReadFileBytes(Folder().File(name.c_str())), "being written");
    other.End();
    EXPECT_TRUE(SaveAutoRunCmd(L"second"));
    EXPECT_EQ(FolderContent(Folder().Path()), std::vector<std::wstring>{L"srv.xml"});
}

TEST_F(SaveAutoRun, TextReadsBackAsTyped) {
    const std::wstring texts[] = {
        L"a & b",
        L"&amp;",
        L"&lt;x&gt; &#x41; &undefined;",
        L"<autorun>nested</autorun>",
        L"]]> and <![CDATA[",
        L"\"C:\\程序\\时间.exe\" /ip 132.163.4.101",
        L"\"C:\\한국\\ไทย\\😀.exe\" /ip 1.2.3.4",
        L"tab\there",
        L"carriage\rreturn",
        std::wstring(400, L'时'),
        L"",
    };
    CreateDefaults();
    for (const auto& text : texts) {
        SaveAutoRunCmd(text.c_str());
        const auto stored = ReadAutoRunCommand(ServerFilePath());
        EXPECT_EQ(stored, text) << testing::PrintToString(text);
        EXPECT_EQ(ReadServerEntries(ServerFilePath()).size(), 6u) << testing::PrintToString(text);
    }
}

TEST_F(SaveAutoRun, LeavesAMissingFileMissing) {
    EXPECT_FALSE(SaveAutoRunCmd(L"text"));
    EXPECT_TRUE(FolderContent(Folder().Path()).empty());
}

TEST_F(SaveAutoRun, LeavesAnUnreadableFileAlone) {
    const std::string unreadable[] = {"", "not XML at all", "<srv_root><cfg><autorun>cut"};
    for (const auto& bytes : unreadable) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), bytes));
        EXPECT_FALSE(SaveAutoRunCmd(L"text"));
        EXPECT_EQ(ReadFileBytes(ServerFile()), bytes);
    }
}

TEST_F(SaveAutoRun, LeavesALockedOrIrreplaceableFileAlone) {
    CreateDefaults();
    const std::string before = ReadFileBytes(ServerFile());
    // Shared for nothing it cannot be read; without shared deletion it cannot be replaced.
    for (const DWORD sharing : {0ul, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        const HANDLE held = CreateFileW(ServerFile().c_str(), GENERIC_READ, sharing, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(SaveAutoRunCmd(L"text")) << sharing;
        CloseHandle(held);
        EXPECT_EQ(ReadFileBytes(ServerFile()), before) << sharing;
        EXPECT_EQ(FolderContent(Folder().Path()), std::vector<std::wstring>{L"srv.xml"});
    }
}

TEST_F(SaveAutoRun, SetsEveryAutorunAndKeepsTheRest) {
    ASSERT_TRUE(WriteFileBytes(ServerFile(), "<srv_root><cfg><autorun>one</autorun>"
                                             "<autorun>two</autorun></cfg><cfg><x/>"
                                             "<autorun>three</autorun></cfg>"
                                             "<srv><url>a</url><ip>1</ip></srv></srv_root>"));
    SaveAutoRunCmd(L"new");
    EXPECT_EQ(ReadFileBytes(ServerFile()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                           "<srv_root>\n"
                                           "  <cfg>\n"
                                           "    <autorun>new</autorun>\n"
                                           "    <autorun>new</autorun>\n"
                                           "  </cfg>\n"
                                           "  <cfg>\n"
                                           "    <x/>\n"
                                           "    <autorun>new</autorun>\n"
                                           "  </cfg>\n"
                                           "  <srv>\n"
                                           "    <url>a</url>\n"
                                           "    <ip>1</ip>\n"
                                           "  </srv>\n"
                                           "</srv_root>\n");
}

TEST_F(SaveAutoRun, SavesAFileWithoutAutorunReformatted) {
    ASSERT_TRUE(
        WriteFileBytes(ServerFile(), "<srv_root><srv><url>a</url><ip>1</ip></srv></srv_root>"));
    EXPECT_FALSE(SaveAutoRunCmd(L"new")) << "nothing holds the text";
    EXPECT_EQ(ReadFileBytes(ServerFile()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                           "<srv_root>\n"
                                           "  <srv>\n"
                                           "    <url>a</url>\n"
                                           "    <ip>1</ip>\n"
                                           "  </srv>\n"
                                           "</srv_root>\n");
}

TEST_F(SaveAutoRun, KeepsTheOldTextForTextThatXmlCannotHold) {
    CreateDefaults();
    const std::string before = ReadFileBytes(ServerFile());
    const std::wstring unstorable[] = {std::wstring(L"bell\x0007"), std::wstring(L"a") + L'\xD800',
                                       std::wstring(L"\xDC00") + L"b", std::wstring(L"\xFFFE")};
    for (const auto& text : unstorable) {
        EXPECT_FALSE(SaveAutoRunCmd(text.c_str()));
        EXPECT_EQ(ReadFileBytes(ServerFile()), before) << testing::PrintToString(text);
    }
}

TEST(IsStorableXmlText, AcceptsWhatXmlCanHold) {
    const std::pair<std::wstring, bool> cases[] = {
        {L"", true},
        {L"\"C:\\a.exe\" /ip 1.2.3.4", true},
        {L"\t\r\n", true},
        {L"时间 \U0001F600", true},
        {std::wstring(L"\x001F"), false},
        {std::wstring(1, L'\0'), false},
        {std::wstring(L"\xD83D"), false},
        {std::wstring(L"\xDE00\xD83D"), false},
        {std::wstring(L"\xFFFF"), false},
        {std::wstring(L"\xE000\xFFFD"), true},
    };
    for (const auto& [text, storable] : cases)
        EXPECT_EQ(IsStorableXmlText(text), storable) << testing::PrintToString(text);
}

// The library's allocator, listing the blocks out; freed blocks are never reused.
struct Blocks {
    static inline std::set<void*> live;
    static void* Keep(void* block) { return *live.insert(block).first; }
    static void* Malloc(size_t size) { return Keep(std::malloc(size)); }
    static void* Realloc(void* block, size_t size) {
        live.erase(block);
        return Keep(std::realloc(block, size));
    }
    static char* Strdup(const char* text) { return static_cast<char*>(Keep(_strdup(text))); }
    static void Free(void* block) { live.erase(block); }
};

// The outer autorun's new content replaces the inner one, which must not be written to.
TEST(SetAutoRunInDoc, ReportsWhetherAnElementWasSetAndTouchesNoneItRemoved) {
    xmlFreeFunc oldFree{};
    xmlMallocFunc oldMalloc{};
    xmlReallocFunc oldRealloc{};
    xmlStrdupFunc oldStrdup{};
    xmlMemGet(&oldFree, &oldMalloc, &oldRealloc, &oldStrdup);
    xmlInitParser(); // its tables are not the test's
    xmlMemSetup(Blocks::Free, Blocks::Malloc, Blocks::Realloc, Blocks::Strdup);
    EXPECT_FALSE(SetAutoRunInDoc(nullptr, L"text"));
    const std::string nested = "<srv_root><cfg><autorun><srv_root><cfg><autorun>inner</autorun>"
                               "</cfg></srv_root></autorun></cfg></srv_root>";
    xmlDocPtr doc =
        xmlReadMemory(nested.data(), static_cast<int>(nested.size()), nullptr, "UTF-8", 0);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(SetAutoRunInDoc(doc, nullptr));
    EXPECT_FALSE(SetAutoRunInDoc(doc, L"bell\x0007"));
    EXPECT_TRUE(SetAutoRunInDoc(doc, L"new & <improved>"));
    xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(doc));
    EXPECT_STREQ(reinterpret_cast<const char*>(text), "new & <improved>");
    xmlFree(text);
    xmlFreeDoc(doc);
    xmlMemSetup(oldFree, oldMalloc, oldRealloc, oldStrdup);
    EXPECT_TRUE(Blocks::live.empty()) << "text added to a freed element is never freed";

    const std::string without = "<srv_root><cfg><other/></cfg><autorun/></srv_root>";
    doc = xmlReadMemory(without.data(), static_cast<int>(without.size()), nullptr, "UTF-8", 0);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(SetAutoRunInDoc(doc, L"new"));
    xmlFreeDoc(doc);
    xmlCleanupParser();
}

// An output for every file that libxml2 saves in this test: it writes the first bytes into the
// real file and then fails (or, lying, reports the cut write as done).
struct FailingOutput {
    static inline size_t budget = 0;
    static inline bool lie = false;

    static xmlOutputBufferPtr Open(const char* name, xmlCharEncodingHandlerPtr encoder, int) {
        FILE* file = _wfopen(FromUtf8(name).c_str(), L"wb");
        return file ? xmlOutputBufferCreateIO(Write, Close, file, encoder) : nullptr;
    }
    static int Write(void* file, const char* bytes, int length) {
        const size_t taken = std::min(budget, static_cast<size_t>(length));
        fwrite(bytes, 1, taken, static_cast<FILE*>(file));
        budget -= taken;
        return taken == static_cast<size_t>(length) || lie ? length : -1;
    }
    static int Close(void* file) { return fclose(static_cast<FILE*>(file)); }
};

class FailingSave : public SaveAutoRun {
protected:
    void SetUp() override {
        SaveAutoRun::SetUp();
        CreateDefaults();
        m_previous = xmlOutputBufferCreateFilenameDefault(FailingOutput::Open);
    }
    void TearDown() override {
        xmlOutputBufferCreateFilenameDefault(m_previous);
        SaveAutoRun::TearDown();
    }

private:
    xmlOutputBufferCreateFilenameFunc m_previous = nullptr;
};

TEST_F(FailingSave, AWriteThatFailsMidwayLeavesTheOldFile) {
    const std::string before = ReadFileBytes(ServerFile());
    for (const bool lie : {false, true}) {
        FailingOutput::budget = before.size() / 2;
        FailingOutput::lie = lie;
        EXPECT_FALSE(SaveAutoRunCmd(L"new text"));
        EXPECT_EQ(ReadFileBytes(ServerFile()), before) << (lie ? "reported" : "unreported");
        EXPECT_EQ(FolderContent(Folder().Path()), std::vector<std::wstring>{L"srv.xml"})
            << (lie ? "reported" : "unreported") << ": no temporary file is left";
    }
    FailingOutput::budget = before.size() * 2;
    FailingOutput::lie = false;
    SaveAutoRunCmd(L"new text");
    EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), L"new text") << "a complete write";
}

TEST_F(SaveAutoRun, ASecondProcessReadsAndWritesTheSameFile) {
    UseProgramFolder(L"时间_한국");
    CreateDefaults();
    const std::wstring probe = QuoteArgument(SiblingProgramPath(L"settings_probe.exe"));
    EXPECT_EQ(RunProcess(probe + L" servers " + QuoteArgument(ServerFilePath())), 6u);
    const std::wstring text = L"\"C:\\程序\\a&b.exe\" /ip 1.2.3.4";
    EXPECT_EQ(RunProcess(probe + L" save " + QuoteArgument(g_appDir) + L" " + QuoteArgument(text)),
              0u);
    EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), text);
}

} // namespace
