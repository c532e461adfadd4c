#include "read_reference.h"
#include "time_limits.h"
#include "app_globals.h"
#include "command_line.h"
#include "main_wnd.h"
#include "program_paths.h"
#include "scratch_folder.h"
#include "server_file.h"
#include "server_file_mutations.h"
#include "server_file_text.h"
#include "window_text.h"
#include "xml_session.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

// Each read of a file within the size limit, whatever its shape, takes at most this many times
// as long as libxml2's plain parse of an ordinary list of that size (1.3 at most on an idle
// machine), so that a read ten times slower fails.
constexpr double kReadsPerPlainParse = 4;
// A main window with the file's list, or a save: a second on an idle machine.
const ULONGLONG kCaseTimeLimitMs = ScaledTimeLimitMs(10'000);
constexpr std::uint32_t kSeed = 20261208;
constexpr size_t kLongestWindowList = 10'000;

struct NewCommand {
    const wchar_t* text;
    bool storable; // XML can hold every character of it
};

// Saved in turn: texts that need escaping, and one that no XML document can hold.
constexpr NewCommand kNewCommands[] = {
    {L"\"C:\\程序 & <工具>\\v.exe\" /ip 1.2.3.4 ]]> '\t'", true},
    {L"\"C:\\v.exe\" /ip 1.2.3.4 \x01", false},
};

// What the main window's command box starts with for a stored command line.
std::wstring CommandBoxText(const std::optional<std::wstring>& stored) {
    if (!stored)
        return L"";
    return IsOwnIpCommandLine(stored->c_str()) ? *stored : DefaultAutoRunCommand(GetModulePath());
}

PROCESS_MEMORY_COUNTERS MemoryCounters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Each read of a file, whatever its shape, within this much memory beyond what the process held
// before it (the test's own copies of the files included). The process's peak cannot be reset,
// so the peak since its start bounds the read's from above.
constexpr size_t kReadMemoryLimit = size_t{512} << 20;

// libxml2's plain parse of an ordinary list at the size limit, measured once in each test.
double ReferenceParseMs() {
    static std::string_view measuredIn;
    static double referenceMs = 0;
    const std::string_view test = testing::UnitTest::GetInstance()->current_test_info()->name();
    if (measuredIn != test) {
        referenceMs = PlainParseMs(OrdinaryServerList(kMaxServerFileBytes));
        measuredIn = test;
    }
    return referenceMs;
}

template <typename Read> auto TimedRead(const MutatedFile& file, Read read) {
    const size_t before = MemoryCounters().PagefileUsage;
    decltype(read(ServerFilePath())) result;
    const double readMs = ElapsedMs([&] { result = read(ServerFilePath()); });
    if (!HeapChecksAreOn()) { // which slow a parse of millions of nodes down to hours
        const double referenceMs = ReferenceParseMs();
        EXPECT_LT(readMs, kReadsPerPlainParse * referenceMs)
            << file.name << ": libxml2's own parse took " << referenceMs << " ms";
    }
    // Under Wine's heap checks the usage can pass the reported peak.
    const PROCESS_MEMORY_COUNTERS after = MemoryCounters();
    const size_t peak = std::max(after.PeakPagefileUsage, after.PagefileUsage);
    EXPECT_LT(peak - std::min(peak, before), kReadMemoryLimit) << file.name;
    return result;
}

class HostileServerFiles : public testing::Test {
protected:
    void SetUp() override {
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        g_hInstance = GetModuleHandleW(nullptr);
        g_appDir = m_folder.ProgramDir();
    }
    void TearDown() override { g_appDir = m_strSavedAppDir; }

    std::wstring ServerFile() const { return m_folder.File(L"srv.xml"); }

    // Whether the file has an element that a save puts the command line into.
    bool HasAutoRun() const {
        const XmlSession session;
        const OwnedXmlDoc doc = ReadServerDocument(ServerFile());
        if (!doc)
            return false;
        const OwnedXPathContext context(xmlXPathNewContext(doc.Get()));
        const OwnedXPathObject found(xmlXPathEvalExpression(
            reinterpret_cast<const xmlChar*>("//srv_root/cfg/autorun"), context.Get()));
        return found && found.Get()->nodesetval && found.Get()->nodesetval->nodeNr > 0;
    }

    bool Accepted() const {
        const XmlSession session;
        return static_cast<bool>(ReadServerDocument(ServerFile()));
    }

    // The readers are quick, and the main window shows what they give, or the built-in servers
    // for a file it cannot read.
    void ExpectReadersFollowTheRules(const MutatedFile& file) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), file.bytes)) << file.name;
        const auto command = TimedRead(file, ReadAutoRunCommand);
        const auto entries = TimedRead(file, ReadServerEntries);
        if (file.entries == kRefused) {
            EXPECT_FALSE(command) << file.name << ": a command";
        }
        if (file.entries != kAnyReading) {
            EXPECT_EQ(static_cast<int>(entries.size()), std::max(file.entries, 0)) << file.name;
        }

        if (entries.size() > kLongestWindowList)
            return; // the window's list of that many rows is timed by the main window's tests
        const auto& builtIn = DefaultServers();
        const std::vector<ServerEntry> listed =
            Accepted() ? entries : std::vector<ServerEntry>(builtIn.begin(), builtIn.end());
        const ULONGLONG start = GetTickCount64();
        CMainWnd wnd;
        EXPECT_TRUE(wnd.m_strAutoRunCmd == CommandBoxText(command)) << file.name << ": command box";
        EXPECT_TRUE(ListedEntries(wnd, LongestText(listed)) == listed) << file.name << ": list";
        EXPECT_LT(GetTickCount64() - start, kCaseTimeLimitMs) << file.name;
    }

    // A save leaves a refused file as it was, keeps every entry of another, and nothing beside.
    void ExpectSaveFollowsTheRules(const MutatedFile& file, const NewCommand& command) {
        ASSERT_TRUE(WriteFileBytes(ServerFile(), file.bytes)) << file.name;
        const bool accepted = Accepted();
        EXPECT_TRUE(file.entries == kAnyReading || accepted == (file.entries != kRefused))
            << file.name;
        const auto entries = ReadServerEntries(ServerFilePath());
        const ULONGLONG start = GetTickCount64();
        const bool saved = SaveAutoRunCmd(command.text);
        EXPECT_LT(GetTickCount64() - start, kCaseTimeLimitMs) << file.name;
        EXPECT_EQ(FolderContent(), std::vector<std::wstring>{L"srv.xml"}) << file.name;
        if (!accepted || !command.storable) {
            EXPECT_FALSE(saved) << file.name;
            EXPECT_TRUE(accepted || ReadFileBytes(ServerFile()) == file.bytes) << file.name;
            return;
        }
        // Whatever the readers accept, a save writes back, and it reads with the same entries.
        EXPECT_TRUE(saved || !HasAutoRun()) << file.name << ": not saved";
        EXPECT_LE(ReadFileBytes(ServerFile()).size(), kMaxServerFileBytes) << file.name;
        EXPECT_TRUE(ReadServerEntries(ServerFilePath()) == entries) << file.name << ": lost";
    }

    // Returns how many of the files the readers accept.
    size_t ExpectEveryWayIn(const std::vector<MutatedFile>& files) {
        size_t turn = 0;
        size_t accepted = 0;
        for (const auto& file : files) {
            ExpectReadersFollowTheRules(file);
            ExpectSaveFollowsTheRules(file, kNewCommands[turn++ % std::size(kNewCommands)]);
            accepted += WriteFileBytes(ServerFile(), file.bytes) && Accepted() ? 1 : 0;
            if (HasFailure())
                break; // one broken case is enough to read
        }
        return accepted;
    }

private:
    static size_t LongestText(const std::vector<ServerEntry>& entries) {
        size_t longest = 0;
        for (const auto& entry : entries)
            longest = std::max({longest, entry.url.size(), entry.ip.size()});
        return longest;
    }

    // The rows that FillServerList puts into a list view; texts longer than the given length
    // come back cut.
    std::vector<ServerEntry> ListedEntries(CMainWnd& wnd, size_t longest) const {
        const HWND hList = CreateWindowExW(0, WC_LISTVIEWW, nullptr, WS_POPUP | LVS_REPORT, 0, 0,
                                           300, 200, nullptr, nullptr, g_hInstance, nullptr);
        for (int column = 0; column < 2; ++column) {
            LVCOLUMNW spec = {};
            spec.mask = LVCF_WIDTH | LVCF_SUBITEM;
            spec.cx = 100;
            spec.iSubItem = column;
            SendMessageW(hList, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&spec));
        }
        wnd.FillServerList(hList);
        // Room for one character more than expected shows a text that is too long.
        std::vector<ServerEntry> rows;
        for (auto& [url, ip] : ListViewRows(hList, longest + 2))
            rows.push_back({std::move(url), std::move(ip)});
        DestroyWindow(hList);
        return rows;
    }

    std::vector<std::wstring> FolderContent() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            names.push_back(entry.path().filename().wstring());
        return names;
    }

    ScratchFolder m_folder{L"vexlo-hostile"};
    std::wstring m_strSavedAppDir = g_appDir;
};

TEST_F(HostileServerFiles, TheValidFileReadsAsWritten) {
    ASSERT_TRUE(WriteFileBytes(ServerFile(), ValidServerFile()));
    EXPECT_EQ(ReadAutoRunCommand(ServerFilePath()), L"\"C:\\V\\a.exe\" /ip 1.2.3.4");
    const std::vector<ServerEntry> entries = {{L"a.example", L"10.0.0.1"},
                                              {L"b & c 时", L"10.0.0.2"}};
    EXPECT_EQ(ReadServerEntries(ServerFilePath()), entries);
    ExpectEveryWayIn({{"valid", ValidServerFile(), 2}});
}

TEST_F(HostileServerFiles, CutAtEveryOffset) {
    // Only the cut of the final line break leaves a whole document.
    EXPECT_EQ(ExpectEveryWayIn(Truncations(ValidServerFile())), 1u);
}

TEST_F(HostileServerFiles, WithBytesChanged) {
    const auto files = ByteFlips(ValidServerFile(), kSeed, 400);
    const size_t accepted = ExpectEveryWayIn(files);
    EXPECT_GT(accepted, 10u) << "too few changes keep the file readable";
    EXPECT_LT(accepted, files.size() - 20) << "too few changes break the file";
}

TEST_F(HostileServerFiles, WithElementsDuplicatedOrDeleted) {
    const auto files = ElementEdits(ValidServerFile(), kSeed, 300);
    EXPECT_GT(ExpectEveryWayIn(files), files.size() / 2);
}

TEST_F(HostileServerFiles, NestedDeeply) {
    ExpectEveryWayIn(DeepNesting());
}

TEST_F(HostileServerFiles, WithEntityDefinitions) {
    ExpectEveryWayIn(EntityDefinitions());
}

TEST_F(HostileServerFiles, WithHugeTexts) {
    ExpectEveryWayIn(HugeTexts(kMaxServerFileBytes));
}

TEST_F(HostileServerFiles, OfCostlyShapesAtTheSizeLimit) {
    SKIP_VOLUME_UNDER_HEAP_CHECKS();
    ExpectEveryWayIn(SuperLinearShapes(kMaxServerFileBytes));
}

TEST_F(HostileServerFiles, ThatReadOnlyWhatTheySave) {
    SKIP_VOLUME_UNDER_HEAP_CHECKS();
    ExpectEveryWayIn(ShapesThatMustReadAndSave(kMaxServerFileBytes));
}

} // namespace
