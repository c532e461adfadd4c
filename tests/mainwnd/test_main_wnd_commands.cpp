#include "main_wnd_fixture.h"
#include "main_wnd_texts.h"
#include "text_encoding.h"
#include "time_exchange.h"
#include "time_server.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

std::string ServerXml(const std::string& cfg, const std::string& servers) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n" + cfg + servers +
           "</srv_root>\n";
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

TEST_F(MainWindowTest, FillsTheListFromTheServerFile) {
    const struct {
        const char* name;
        std::string xml;
        RowList rows;
    } cases[] = {
        {"entries in file order",
         ServerXml(Cfg(""), Srv("a.example", "1.1.1.1") + Srv("b.example", "2.2.2.2")),
         {{L"a.example", L"1.1.1.1"}, {L"b.example", L"2.2.2.2"}}},
        {"an entry with one child is skipped",
         ServerXml("", Srv("a", "1.1.1.1") + "  <srv>\n    <url>lone</url>\n  </srv>\n" +
                           Srv("c", "3.3.3.3")),
         {{L"a", L"1.1.1.1"}, {L"c", L"3.3.3.3"}}},
        {"children are taken by position",
         ServerXml("", "  <srv>\n    <ip>9.9.9.9</ip>\n    <url>swapped</url>\n  </srv>\n"),
         {{L"9.9.9.9", L"swapped"}}},
        {"Chinese host names",
         ServerXml("", Srv("授时中心", "4.4.4.4")),
         {{L"授时中心", L"4.4.4.4"}}},
        {"an empty file", "", {}},
        {"a file that is not XML", "<srv_root><srv>", {}},
    };
    for (const auto& c : cases) {
        WriteServerFile(c.xml);
        ASSERT_TRUE(CreateMainWindow()) << c.name;
        EXPECT_EQ(Rows(), c.rows) << c.name;
        DestroyWindow(Wnd().GetHwnd());
    }
}

TEST_F(MainWindowTest, AFreshFolderGetsTheSixDefaultServers) {
    ASSERT_TRUE(CreateMainWindow());
    const RowList rows = Rows();
    ASSERT_EQ(rows.size(), 6u);
    const wchar_t* addresses[] = {L"132.163.4.101",   L"132.163.4.102", L"132.163.4.103",
                                  L"128.138.141.172", L"129.6.15.28",   L"129.6.15.29"};
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].second, addresses[i]) << "row " << i;
    EXPECT_EQ(WindowText(Wnd().m_hCmdEdit), OwnCommand());
}

TEST_F(MainWindowTest, SettlesTheCommandBoxFromTheStoredCommandLine) {
    const std::wstring own = L"\"" + GetModulePath() + L"\" /ip 9.8.7.6";
    const struct {
        const char* name;
        std::string xml;
        std::wstring command;
    } cases[] = {
        {"this program's own command line", ServerXml(Cfg(ToUtf8(own)), ""), own},
        {"another program", ServerXml(Cfg("\"C:\\other.exe\" /ip 1.2.3.4"), ""), OwnCommand()},
        {"no ip option", ServerXml(Cfg(ToUtf8(L"\"" + GetModulePath() + L"\"")), ""), OwnCommand()},
        {"an empty cfg", ServerXml("  <cfg/>\n", ""), OwnCommand()},
        {"no cfg", ServerXml("", Srv("a", "1.1.1.1")), L""},
        {"an empty file", "", L""},
    };
    for (const auto& c : cases) {
        WriteServerFile(c.xml);
        ASSERT_TRUE(CreateMainWindow()) << c.name;
        EXPECT_EQ(WindowText(Wnd().m_hCmdEdit), c.command) << c.name;
        EXPECT_EQ(Wnd().m_strAutoRunCmd, c.command) << c.name;
        DestroyWindow(Wnd().GetHwnd());
    }
    // The file itself is left as it was.
    EXPECT_EQ(ReadServerFile(), "");
}

class MainWindowSync : public MainWindowTest {
protected:
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
        TestTimeServer first("127.0.0.41", AnswerWith(0xDA304000));
        TestTimeServer second("127.0.0.42", AnswerWith(0xDA304000));
        TestTimeServer third("127.0.0.43", AnswerWith(0xDA304000));
        request();
        PumpMessagesUntil([] { return !IsExchangeOpen(); }, 5000);
        PumpMessagesFor(50);
        return {first.Connections(), second.Connections(), third.Connections()};
    }

    void ClickSync() const { SendMessageW(Wnd().m_hSyncBtn, BM_CLICK, 0, 0); }

    // What the mouse sends for a click, and for a double-click, at a point of the list.
    void ClickAt(POINT point, bool twice = false) const {
        const LPARAM where = MAKELPARAM(point.x, point.y);
        SendMessageW(Wnd().m_hSrvList, WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(Wnd().m_hSrvList, WM_LBUTTONUP, 0, where);
        if (!twice)
            return;
        SendMessageW(Wnd().m_hSrvList, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
        SendMessageW(Wnd().m_hSrvList, WM_LBUTTONUP, 0, where);
    }

    POINT RowCentre(int row) const {
        RECT rect = {};
        rect.left = LVIR_BOUNDS;
        SendMessageW(Wnd().m_hSrvList, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    LRESULT SelectedCount() const {
        return SendMessageW(Wnd().m_hSrvList, LVM_GETSELECTEDCOUNT, 0, 0);
    }
};

TEST_F(MainWindowSync, TheButtonUsesTheTopmostSelectedRow) {
    SelectRows({});
    EXPECT_EQ(Asked([&] { ClickSync(); }), (std::vector{0, 0, 0})) << "no row";
    EXPECT_EQ(WindowText(Wnd().m_hLogEdit), kHelpText) << "no row";
    const struct {
        const char* name;
        std::initializer_list<int> selected;
        std::vector<int> asked;
    } cases[] = {
        {"one row", {1}, {0, 1, 0}},
        {"several rows", {2, 1}, {0, 1, 0}},
        {"all rows", {0, 1, 2}, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        SelectRows(c.selected);
        EXPECT_EQ(Asked([&] { ClickSync(); }), c.asked) << c.name;
    }
}

TEST_F(MainWindowSync, ADoubleClickOnARowSynchronisesWithThatRow) {
    SelectRows({0});
    EXPECT_EQ(Asked([&] { ClickAt(RowCentre(2), true); }), (std::vector{0, 0, 1}));
    const std::wstring log = WindowText(Wnd().m_hLogEdit);
    EXPECT_NE(log.find(L"正在连接: 127.0.0.43..."), std::wstring::npos);
    EXPECT_NE(log.find(L"接受的时间为从1900年1月1日起 3660595200 秒 \r\n"), std::wstring::npos);
}

// A click on the empty area below the rows clears the selection, so the double-click that
// follows finds no row and nothing happens.
TEST_F(MainWindowSync, ADoubleClickBelowTheRowsDoesNothing) {
    POINT below = RowCentre(2);
    below.y += 60;
    for (const bool rowClickedBefore : {false, true}) {
        if (rowClickedBefore)
            ClickAt(RowCentre(1));
        ASSERT_EQ(SelectedCount(), rowClickedBefore ? 1 : 0);
        EXPECT_EQ(Asked([&] { ClickAt(below, true); }), (std::vector{0, 0, 0}));
        EXPECT_EQ(SelectedCount(), 0);
        EXPECT_EQ(WindowText(Wnd().m_hLogEdit), kHelpText);
    }
}

} // namespace
