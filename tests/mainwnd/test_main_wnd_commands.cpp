#include "tests/mainwnd/main_wnd_fixture.h"
#include "settings/text_encoding.h"
#include "timesync/time_exchange.h"
#include "tests/support/time_server.h"

#include <gtest/gtest.h>

namespace {

std::string ServerXml(const std::string& cfg, const std::string& servers) {
    return "<srv_root>\n" + cfg + servers + "</srv_root>\n";
}

std::string Srv(const std::string& url, const std::string& ip) {
    return "  <srv>\n    <url>" + url + "</url>\n    <ip>" + ip + "</ip>\n  </srv>\n";
}

std::string Cfg(const std::string& command) {
    return "  <cfg>\n    <autorun>" + command + "</autorun>\n  </cfg>\n";
}

std::wstring OwnCommand() {
    return L"\"" + GetModulePath() + L"\" /ip 132.163.4.101";
}

using RowList = std::vector<std::pair<std::wstring, std::wstring>>;

const RowList kBuiltInRows = {
    {L"time-a.timefreq.bldrdoc.gov", L"132.163.4.101"},
    {L"time-b.timefreq.bldrdoc.gov", L"132.163.4.102"},
    {L"time-c.timefreq.bldrdoc.gov", L"132.163.4.103"},
    {L"utcnist2.colorado.edu", L"128.138.141.172"},
    {L"time-a.nist.gov", L"129.6.15.28"},
    {L"time-b.nist.gov", L"129.6.15.29"},
};

TEST_F(MainWindowTest, FillsTheListAndTheCommandBoxFromTheServerFile) {
    const std::wstring own = L"\"" + GetModulePath() + L"\" /ip 9.8.7.6";
    const struct {
        const char* name;
        std::string xml;
        RowList rows;
        std::wstring command;
        bool scrolls = false;    // the list has a horizontal scroll bar
        int addressColumn = 153; // the rest of the list's client width (383) beside the host's 230
    } cases[] = {
        {"file order; own command",
         ServerXml(Cfg(ToUtf8(own)), Srv("a.example", "1.1.1.1") + Srv("b.example", "2.2.2.2")),
         {{L"a.example", L"1.1.1.1"}, {L"b.example", L"2.2.2.2"}},
         own},
        {"one child: skipped; another program",
         ServerXml(Cfg("\"C:\\other.exe\" /ip 1.2.3.4"),
                   Srv("a", "1.1.1.1") + "  <srv>\n    <url>lone</url>\n  </srv>\n" +
                       Srv("c", "3.3.3.3")),
         {{L"a", L"1.1.1.1"}, {L"c", L"3.3.3.3"}},
         OwnCommand()},
        {"children by name; no ip option",
         ServerXml(Cfg(ToUtf8(L"\"" + GetModulePath() + L"\"")),
                   "  <srv>\n    <ip>9.9.9.9</ip>\n    <url>swapped</url>\n  </srv>\n"),
         {{L"swapped", L"9.9.9.9"}},
         OwnCommand()},
        {"Chinese host names; an empty cfg",
         ServerXml("  <cfg/>\n", Srv("授时中心", "4.4.4.4")),
         {{L"授时中心", L"4.4.4.4"}},
         OwnCommand()},
        {"own command on the precise road",
         ServerXml(Cfg(ToUtf8(own + L" /precise")), Srv("a", "1.1.1.1")),
         {{L"a", L"1.1.1.1"}},
         own + L" /precise"},
        {"no cfg", ServerXml("", Srv("a", "1.1.1.1")), {{L"a", L"1.1.1.1"}}, L""},
        {"not XML", "<srv_root><srv>", kBuiltInRows, L""},
        {"a host name longer than its column",
         ServerXml("", Srv("a-long-host-name-for-a-time-server.example.net", "1.1.1.1")),
         {{L"a-long-host-name-for-a-time-server.example.net", L"1.1.1.1"}},
         L"",
         true,
         120}, // what "255.255.255.255" needs
    };
    for (const auto& c : cases) {
        WriteServerFile(c.xml);
        ASSERT_TRUE(CreateMainWindow()) << c.name;
        EXPECT_EQ(ListViewRows(Wnd().m_hSrvList), c.rows) << c.name;
        EXPECT_EQ(WindowText(Wnd().m_hCmdEdit), c.command) << c.name;
        EXPECT_EQ((GetWindowLongW(Wnd().m_hSrvList, GWL_STYLE) & WS_HSCROLL) != 0, c.scrolls)
            << c.name;
        EXPECT_EQ(ListView_GetColumnWidth(Wnd().m_hSrvList, 1), c.addressColumn) << c.name;
        DestroyWindow(Wnd().GetHwnd());
        EXPECT_EQ(ReadServerFile(), c.xml) << c.name;
    }
}

TEST_F(MainWindowTest, AFreshFolderGetsTheSixDefaultServers) {
    ASSERT_TRUE(CreateMainWindow());
    EXPECT_EQ(ListViewRows(Wnd().m_hSrvList), kBuiltInRows);
    EXPECT_EQ(WindowText(Wnd().m_hCmdEdit), OwnCommand());
    EXPECT_NE(ReadServerFile().find("<url>time-b.nist.gov</url>"), std::string::npos);
}

// When srv.xml gives the list no servers of its own, one line below the help text says why; a
// file that cannot be made or read leaves the built-in servers in the list. srv.xml stays as it
// was in every case.
TEST_F(MainWindowTest, AListWithoutServersOfItsOwnIsExplained) {
    enum class Folder { Writable, BlockedByAFile, HoldsAFolderNamedSrvXml };
    const struct {
        const char* name;
        Folder folder;
        const char* xml; // null: no srv.xml
        RowList rows;
        std::wstring line;
    } cases[] = {
        {"cannot be created", Folder::BlockedByAFile, nullptr, kBuiltInRows,
         L"无法在此文件夹中创建 srv.xml。"},
        {"cannot be opened", Folder::HoldsAFolderNamedSrvXml, nullptr, kBuiltInRows,
         L"无法读取 srv.xml。"},
        {"empty", Folder::Writable, "", kBuiltInRows, L"无法读取 srv.xml。"},
        {"refused on line 4", Folder::Writable, "<srv_root>\n  <srv/>\n</srv_root>\n<srv/>\n",
         kBuiltInRows, L"无法读取 srv.xml：第 4 行有误。"},
        {"no srv",
         Folder::Writable,
         "<srv_root>\n  <cfg/>\n</srv_root>\n",
         {},
         L"srv.xml 中没有服务器，请在其中添加。"},
        {"only incomplete servers",
         Folder::Writable,
         "<srv_root><srv><url>lone</url></srv><srv><url/><ip>1.1.1.1</ip></srv></srv_root>",
         {},
         L"srv.xml 中没有服务器，请在其中添加。"},
    };
    for (const auto& c : cases) {
        const ScratchFolder folder(L"mainwnd-list");
        g_appDir = folder.ProgramDir();
        const std::wstring file = folder.File(L"srv.xml");
        if (c.folder == Folder::BlockedByAFile) {
            ASSERT_TRUE(WriteFileBytes(folder.File(L"blocker"), "")) << c.name;
            g_appDir += L"blocker/";
        } else if (c.folder == Folder::HoldsAFolderNamedSrvXml) {
            ASSERT_TRUE(CreateDirectoryW(file.c_str(), nullptr)) << c.name;
        }
        if (c.xml) {
            ASSERT_TRUE(WriteFileBytes(file, c.xml)) << c.name;
        }

        ASSERT_TRUE(CreateMainWindow()) << c.name;
        EXPECT_EQ(ListViewRows(Wnd().m_hSrvList), c.rows) << c.name;
        EXPECT_EQ(WindowText(Wnd().m_hLogEdit), kHelpText + c.line + L"\r\n") << c.name;
        DestroyWindow(Wnd().GetHwnd());
        m_wnd.reset();

        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (c.xml)
            EXPECT_EQ(ReadFileBytes(file), c.xml) << c.name;
        else if (c.folder == Folder::HoldsAFolderNamedSrvXml)
            EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << c.name;
        else
            EXPECT_EQ(ReadFileBytes(folder.File(L"blocker")), "") << c.name;
        RemoveDirectoryW(file.c_str());
    }
}

class MainWindowSync : public MainWindowTest {
protected:
    static constexpr auto npos = std::wstring::npos;

    void SetUp() override {
        MainWindowTest::SetUp();
        WriteServerFile(ServerXml("", Srv("first", "127.0.0.41") + Srv("second", "127.0.0.42") +
                                          Srv("third", "127.0.0.43")));
        ASSERT_TRUE(CreateMainWindow());
    }
    void TearDown() override {
        AbandonExchange();
        MainWindowTest::TearDown();
    }

    // Runs one synchronisation request and reports which servers were asked.
    std::vector<int> Asked(const std::function<void()>& request) {
        const ServerReply answer = AnswerWith(0xDA304000);
        TestTimeServer first("127.0.0.41", answer), second("127.0.0.42", answer),
            third("127.0.0.43", answer);
        request();
        PumpMessagesUntil([] { return !IsExchangeOpen(); }, 5000);
        PumpMessagesFor(50);
        return {first.Connections(), second.Connections(), third.Connections()};
    }

    // Runs one synchronisation request until the first server has been asked and `logged` is in
    // the log (or the exchange ends) and reports which servers were; then ends the exchange.
    std::vector<int> FirstAsked(const std::function<void()>& request, const wchar_t* logged) {
        const ServerReply answer = AnswerWithOffset(0);
        TestTimeServer first("127.0.0.41", answer), second("127.0.0.42", answer),
            third("127.0.0.43", answer);
        const auto count = [&] {
            return first.Connections() + second.Connections() + third.Connections();
        };
        request();
        PumpMessagesUntil(
            [&] {
                return !IsExchangeOpen() ||
                       (count() > 0 && WindowText(Wnd().m_hLogEdit).find(logged) != npos);
            },
            5000);
        PumpMessagesFor(50);
        AbandonExchange();
        return {first.Connections(), second.Connections(), third.Connections()};
    }

    // What the mouse sends for a click, or a double-click, at a point of the list.
    void ClickAt(POINT point, bool twice = false, WPARAM keys = 0) const {
        const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
        for (int i = 0; i < (twice ? 4 : 2); ++i)
            SendMessageW(Wnd().m_hSrvList, messages[i], keys | (i % 2 ? 0 : MK_LBUTTON),
                         MAKELPARAM(point.x, point.y));
    }

    POINT RowCentre(int row) const {
        RECT rect = {};
        rect.left = LVIR_BOUNDS;
        SendMessageW(Wnd().m_hSrvList, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
};

// Each button starts its road with the topmost selected row; nothing happens without one. Only
// the first answer is waited for: the precise road goes on asking, and only it writes a progress
// line, while the quick road has set the clock and written the offset line.
TEST_F(MainWindowSync, EachButtonUsesTheTopmostSelectedRow) {
    const struct {
        const char* name;
        HWND hButton;
        const wchar_t* roadLine; // the road's own line after one answer
        const wchar_t* otherLine;
    } buttons[] = {{"校时", Wnd().m_hSyncBtn, L"本机时钟", L"精确校时："},
                   {"精确校时", Wnd().m_hPreciseBtn, L"精确校时：已收到 1 个应答", L"本机时钟"}};
    const struct {
        const char* name;
        std::vector<int> clicked; // the first one plain, the others with Ctrl held
        std::vector<int> asked;
        const wchar_t* address; // what the log names; null: the log stays as it was
    } cases[] = {
        {"no row", {}, {0, 0, 0}, nullptr},
        {"one row", {1}, {0, 1, 0}, L"127.0.0.42"},
        {"several rows", {2, 1}, {0, 1, 0}, L"127.0.0.42"},
        {"all rows", {2, 0, 1}, {1, 0, 0}, L"127.0.0.41"},
    };
    for (const auto& button : buttons) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << button.name << ", " << c.name);
            ListView_SetItemState(Wnd().m_hSrvList, -1, 0, LVIS_SELECTED);
            for (size_t i = 0; i < c.clicked.size(); ++i)
                ClickAt(RowCentre(c.clicked[i]), false, i == 0 ? 0 : MK_CONTROL);
            const std::wstring before = WindowText(Wnd().m_hLogEdit);
            const auto click = [&] { SendMessageW(button.hButton, BM_CLICK, 0, 0); };
            EXPECT_EQ(FirstAsked(click, button.roadLine), c.asked);
            const std::wstring log = WindowText(Wnd().m_hLogEdit);
            if (c.address) {
                EXPECT_NE(log.find(L"正在连接: " + std::wstring(c.address) + L"..."), npos)
                    << ToUtf8(log);
                EXPECT_NE(log.find(button.roadLine), npos) << ToUtf8(log);
                EXPECT_EQ(log.find(button.otherLine), npos) << ToUtf8(log);
            } else
                EXPECT_EQ(log, before);
        }
    }
}

// A click below the rows clears the selection, so a double-click there does nothing; one on a
// row selects it and synchronises with it.
TEST_F(MainWindowSync, ADoubleClickSynchronisesWithTheRowItSelects) {
    const HWND hList = Wnd().m_hSrvList;
    ClickAt(RowCentre(1));
    ASSERT_EQ(SendMessageW(hList, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    const POINT below = {RowCentre(2).x, RowCentre(2).y + 60};
    EXPECT_EQ(Asked([&] { ClickAt(below, true); }), (std::vector{0, 0, 0}));
    EXPECT_EQ(SendMessageW(hList, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(WindowText(Wnd().m_hLogEdit), kHelpText);

    EXPECT_EQ(Asked([&] { ClickAt(RowCentre(2), true); }), (std::vector{0, 0, 1}));
    EXPECT_NE(WindowText(Wnd().m_hLogEdit).find(L"3660595200 秒"), std::wstring::npos);
}

} // namespace
