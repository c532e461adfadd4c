#include "main_wnd_fixture.h"
#include "main_wnd_texts.h"
#include "time_limits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kServerCount = 10'000;

// kServerCount servers; the last one's address is a loopback one with nothing listening.
std::string LongServerFile() {
    std::string xml = "<srv_root><cfg><autorun/></cfg>";
    for (int i = 0; i < kServerCount - 1; ++i)
        xml += "<srv><url>time-" + std::to_string(i) + ".example.net</url><ip>10.0.0.1</ip></srv>";
    return xml + "<srv><url>last.example.net</url><ip>127.0.0.140</ip></srv></srv_root>";
}

using MainWindowLongList = MainWindowTest;

TEST_F(MainWindowLongList, TenThousandServersAreListedWithinASecondAndTheLastOneSynchronises) {
    WriteServerFile(LongServerFile());
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(CreateMainWindow());
    EXPECT_LT(GetTickCount64() - start, ScaledTimeLimitMs(1000));

    const HWND hList = Wnd().m_hSrvList;
    ASSERT_EQ(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0), kServerCount);
    EXPECT_EQ(ListViewCellText(hList, 0, 0), L"time-0.example.net");
    EXPECT_EQ(ListViewCellText(hList, 9998, 0), L"time-9998.example.net");
    EXPECT_EQ(ListViewCellText(hList, 9999, 0), L"last.example.net");
    EXPECT_TRUE(GetWindowLongW(hList, GWL_STYLE) & WS_VISIBLE);
    // The vertical scroll bar takes its width from the address column: the columns still fit.
    EXPECT_EQ(SendMessageW(hList, LVM_GETCOLUMNWIDTH, 1, 0), 136);
    EXPECT_FALSE(GetWindowLongW(hList, GWL_STYLE) & WS_HSCROLL);

    LVITEMW selected = {};
    selected.stateMask = selected.state = LVIS_SELECTED;
    SendMessageW(hList, LVM_SETITEMSTATE, kServerCount - 1, reinterpret_cast<LPARAM>(&selected));
    SendMessageW(Wnd().GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_SYNC_BTN, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Wnd().m_hSyncBtn));
    EXPECT_NE(WindowText(Wnd().m_hLogEdit).find(L"正在连接: 127.0.0.140..."), std::wstring::npos);
}

} // namespace
