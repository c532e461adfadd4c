#include "tests/mainwnd/main_wnd_fixture.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "tests/support/time_limits.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The least work of the same kind, measured beside the window: kServerCount rows of two columns
// put into a bare list view, with room made at once and no redrawing until the last row.
double BareListFillMs() {
    return ElapsedMs([] {
        const HWND hList = CreateWindowExW(0, WC_LISTVIEWW, nullptr, WS_POPUP | LVS_REPORT, 0, 0,
                                           600, 300, nullptr, nullptr, g_hInstance, nullptr);
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 200;
        for (int i = 0; i < 2; ++i)
            SendMessageW(hList, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        SendMessageW(hList, WM_SETREDRAW, FALSE, 0);
        SendMessageW(hList, LVM_SETITEMCOUNT, kServerCount, 0);
        for (int i = 0; i < kServerCount; ++i) {
            std::wstring url = L"time-" + std::to_wstring(i) + L".example.net";
            std::wstring ip = L"10.0.0.1";
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = url.data();
            const auto row =
                SendMessageW(hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = ip.data();
            SendMessageW(hList, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(hList, WM_SETREDRAW, TRUE, 0);
        DestroyWindow(hList);
    });
}

using MainWindowLongList = MainWindowTest;

TEST_F(MainWindowLongList, TenThousandServersAreListedQuicklyAndTheLastOneSynchronises) {
    WriteServerFile(LongServerFile());
    const double createMs = ElapsedMs([&] { ASSERT_TRUE(CreateMainWindow()); });
    // Reading the file and building the window cost about as much again as the rows alone (a
    // ratio of two on an idle machine); a list that redraws after every row takes more than ten
    // times as long. Wine's heap checks slow down by what the heap holds, not by the work done.
    if (!HeapChecksAreOn()) {
        const double bareMs = std::max(BareListFillMs(), 1.0);
        EXPECT_LT(createMs, 5 * bareMs) << "a bare list view took " << bareMs << " ms";
    }

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
