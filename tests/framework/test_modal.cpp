#include "tests/framework/modal_script.h"
#include "tests/support/message_sequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tessel::CBaseDlg;

constexpr UINT kFiltered = WM_APP + 3; // consumed by the test's filter

class Modal : public ::testing::Test {
protected:
    void TearDown() override { DrainQueue(); }
};

TEST_F(Modal, RunsWithoutAParentUntilTheWindowIsDestroyed) {
    RecordingDlg other;
    ASSERT_TRUE(other.CreateTopLevel());
    RecordingDlg dlg;
    const HWND hWnd = dlg.CreateTopLevel();
    ASSERT_TRUE(hWnd);
    std::vector<bool> enabled;
    ScriptProbeThenEnd(dlg, [&] {
        enabled = {IsWindowEnabled(hWnd) != FALSE, IsWindowEnabled(other.GetHwnd()) != FALSE};
    });

    ASSERT_TRUE(RunModal(hWnd, nullptr));
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(enabled, (std::vector<bool>{true, true}));
    EXPECT_TRUE(IsWindowEnabled(other.GetHwnd()));
    // The loop took the WM_QUIT of the destruction.
    PumpMessagesFor(10);
    EXPECT_FALSE(TakeQuitCode().has_value());
}

TEST_F(Modal, DisablesTheTopWindowOfItsParentWhileItRuns) {
    for (const bool bParentIsControl : {false, true}) {
        const char* pszCase = bParentIsControl ? "parent is a control" : "parent is top-level";
        RecordingDlg top;
        ASSERT_TRUE(top.CreateTopLevel()) << pszCase;
        const HWND hControl = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10,
                                              10, top.GetHwnd(), nullptr, nullptr, nullptr);
        ASSERT_TRUE(hControl) << pszCase;
        // No parent of its own: only the loop disables and enables.
        RecordingDlg dlg;
        ASSERT_TRUE(dlg.CreateTopLevel(kPopup)) << pszCase;
        std::vector<bool> enabled;
        ScriptProbeThenEnd(dlg, [&] {
            enabled = {IsWindowEnabled(top.GetHwnd()) != FALSE, IsWindowEnabled(hControl) != FALSE};
        });

        ASSERT_TRUE(RunModal(dlg.GetHwnd(), bParentIsControl ? hControl : top.GetHwnd()))
            << pszCase;
        EXPECT_EQ(enabled, (std::vector<bool>{false, true})) << pszCase;
        EXPECT_TRUE(IsWindowEnabled(top.GetHwnd())) << pszCase;
        EXPECT_TRUE(IsWindowEnabled(hControl)) << pszCase;
    }
}

TEST_F(Modal, LeavesATopWindowThatWasDisabledDisabled) {
    RecordingDlg top;
    ASSERT_TRUE(top.CreateTopLevel());
    EnableWindow(top.GetHwnd(), FALSE);
    RecordingDlg dlg;
    ASSERT_TRUE(dlg.CreateTopLevel(kPopup));
    ScriptProbeThenEnd(dlg, [] {});
    ASSERT_TRUE(RunModal(dlg.GetHwnd(), top.GetHwnd()));
    EXPECT_FALSE(IsWindowEnabled(top.GetHwnd()));
}

TEST_F(Modal, NestsALoopRunFromAHandlerOfTheWindowItBlocks) {
    std::vector<std::string> log;
    RecordingDlg outer;
    ASSERT_TRUE(outer.CreateTopLevel());
    RecordingDlg inner;
    ScriptProbeThenEnd(outer, [&] {
        ASSERT_TRUE(inner.CreateTopLevel(kPopup, outer.GetHwnd()));
        ScriptProbeThenEnd(inner, [&] {
            log.push_back(IsWindowEnabled(outer.GetHwnd()) ? "outer enabled" : "outer disabled");
        });
        CBaseDlg::DoModal(inner.GetHwnd(), outer.GetHwnd(), nullptr);
        log.push_back(IsWindow(inner.GetHwnd()) ? "inner alive" : "inner returned");
        log.push_back(IsWindowEnabled(outer.GetHwnd()) ? "outer enabled" : "outer disabled");
    });

    ASSERT_TRUE(RunModal(outer.GetHwnd(), nullptr));
    EXPECT_EQ(log, (std::vector<std::string>{"outer disabled", "inner returned", "outer enabled"}));
    EXPECT_FALSE(IsWindow(outer.GetHwnd()));
}

int g_nFiltered = 0;

int FilterOut(MSG* pMessage) {
    if (pMessage->message != kFiltered)
        return 0;
    ++g_nFiltered;
    return 1;
}

TEST_F(Modal, LetsAFilterConsumeMessages) {
    g_nFiltered = 0;
    RecordingDlg dlg;
    ASSERT_TRUE(dlg.CreateTopLevel());
    PostMessageW(dlg.GetHwnd(), kFiltered, 0, 0);
    PostMessageW(dlg.GetHwnd(), kFiltered, 0, 0);
    ScriptProbeThenEnd(dlg, [] {});

    ASSERT_TRUE(RunModal(dlg.GetHwnd(), nullptr, FilterOut));
    EXPECT_EQ(g_nFiltered, 2);
    EXPECT_TRUE(SameMessages(dlg.m_arrivals, {WM_CREATE, kAfterCreate, kProbe, kEnd, WM_DESTROY}));
}

} // namespace
