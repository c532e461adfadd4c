#include "tests/framework/rect_text.h"
#include "ui/framework/layout.h"
#include "tests/framework/recording_dlg.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace Tessel;

struct TreeDeleter {
    void operator()(ILayout* pLayout) const { ILayout::DeleteInstance(pLayout); }
};
using Tree = std::unique_ptr<ILayout, TreeDeleter>;

// A top-level window with child controls to place.
class WndShape : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateTopLevel()); }
    void TearDown() override {
        m_host.m_onMessage = nullptr;
        DestroyWindow(m_host.GetHwnd());
        DrainQueue();
    }

    HWND AddControl() const {
        return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5,
                               m_host.GetHwnd(), nullptr, nullptr, nullptr);
    }

    // The control's rectangle in the host's client coordinates.
    RECT PlacedAt(HWND hControl) const {
        RECT rc = {};
        GetWindowRect(hControl, &rc);
        MapWindowPoints(nullptr, m_host.GetHwnd(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    RecordingDlg m_host;
};

TEST_F(WndShape, MovesItsWindowToItsBoxLessItsPaddings) {
    const struct {
        int l, t, r, b;
        RECT rcBox, rcWindow, rcStored;
    } cases[] = {
        {1, 1, 1, 1, {10, 20, 110, 70}, {11, 21, 109, 69}, {10, 20, 110, 70}},
        {1, 2, 3, 4, {10, 20, 110, 70}, {11, 22, 107, 66}, {10, 20, 110, 70}},
        {0, 0, 0, 0, {10, 20, 110, 70}, {10, 20, 110, 70}, {10, 20, 110, 70}},
        // A reversed box: the window gets no width and no height.
        {0, 0, 0, 0, {50, 50, 40, 45}, {50, 50, 50, 50}, {50, 50, 50, 50}},
    };
    for (const auto& c : cases) {
        const HWND hControl = AddControl();
        ASSERT_TRUE(hControl);
        const Tree shape(IWndShape::CreateInstance(hControl));
        shape->UpdatePadding(c.l, c.t, c.r, c.b);
        shape->UpdateSize(c.rcBox.left, c.rcBox.top, c.rcBox.right, c.rcBox.bottom);
        EXPECT_EQ(Text(PlacedAt(hControl)), Text(c.rcWindow)) << Text(c.rcBox) << " " << c.t;
        EXPECT_EQ(Text(shape->GetRect()), Text(c.rcStored)) << Text(c.rcBox) << " " << c.t;
    }
}

TEST_F(WndShape, KeepsItsOwnPaddingsWhenPlacingChildren) {
    const HWND hPanel = AddControl();
    const Tree panel(IWndShape::CreateInstance(hPanel));
    ILayout* pChild = ILayout::CreateInstance();
    pChild->UpdateSize(1, 1, 10, 10);
    panel->AddChild(pChild);
    panel->UpdateSize(30, 40, 130, 90);
    EXPECT_EQ(panel->GetPadding(eDirectLeft), 0);
    EXPECT_EQ(panel->GetPadding(eDirectTop), 0);
    EXPECT_EQ(Text(PlacedAt(hPanel)), Text({30, 40, 130, 90}));
}

TEST_F(WndShape, LeavesItsWindowAliveWhenDeleted) {
    const HWND hControl = AddControl();
    ILayout* pRoot = IWndShape::CreateInstance(nullptr);
    pRoot->AddChild(IWndShape::CreateInstance(hControl));
    ILayout::DeleteInstance(pRoot);
    EXPECT_TRUE(IsWindow(hControl));
}

} // namespace
