#include "tests/framework/rect_text.h"
#include "ui/framework/layout.h"
#include "tests/framework/modal_script.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace Tessel;

constexpr UINT kStep = WM_APP + 5;
constexpr int kMinWidth = 400;
constexpr int kMinHeight = 300;

// A framework window that lays its controls out with a small tree, as the main window does: a
// band of two proportional panes, and below it a band whose bottom row holds a button at its
// right edge.
class LayoutDlg : public CBaseDlg {
public:
    LayoutDlg() : m_pLayout(ILayout::CreateInstance()) {}
    ~LayoutDlg() override { ILayout::DeleteInstance(m_pLayout); }

    LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = CBaseDlg::WndProc(uMsg, wParam, lParam);
        if (uMsg == WM_CREATE)
            OnCreate();
        else if (uMsg == WM_SIZE)
            LayOut();
        else if (uMsg == kStep && m_onStep)
            m_onStep();
        return result;
    }

    std::function<void()> m_onStep;
    HWND m_hList = nullptr;
    HWND m_hLog = nullptr;
    HWND m_hButton = nullptr;

private:
    HWND AddControl(const wchar_t* pszClass) const {
        return CreateWindowExW(0, pszClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hWnd, nullptr,
                               nullptr, nullptr);
    }

    static ILayout* AddNode(ILayout& parent, HWND hWnd, eFloatType eFloat, RECT rcInit) {
        ILayout* pNode = IWndShape::CreateInstance(hWnd);
        pNode->SetFloatType(eFloat);
        pNode->UpdateSize(rcInit.left, rcInit.top, rcInit.right, rcInit.bottom);
        parent.AddChild(pNode);
        return pNode;
    }

    void OnCreate() {
        SetWndMinSize(kMinWidth, kMinHeight);
        MoveWindow(m_hWnd, 40, 40, 500, 400, TRUE);
        RECT rc = {};
        GetClientRect(m_hWnd, &rc);
        const int W = rc.right;
        const int H = rc.bottom;
        m_hList = AddControl(L"STATIC");
        m_hLog = AddControl(L"EDIT");
        m_hButton = AddControl(L"BUTTON");

        ILayout* pBand = AddNode(*m_pLayout, nullptr, eFloatFill, {5, 1, W - 5, 150});
        pBand->SetPadding(1, 0xFF);
        ILayout* pList = AddNode(*pBand, m_hList, eFloatLeft, {0, 0, 200, 150});
        pList->SetWidth(0.55f, true);
        pList->SetHeight(1.0f, true);
        ILayout* pLog = AddNode(*pBand, m_hLog, eFloatLeft, {1, 0, 161, 150});
        pLog->SetWidth(0.45f, true);
        pLog->SetHeight(1.0f, true);
        ILayout* pBottom = AddNode(*m_pLayout, nullptr, eFloatFill, {5, 152, W - 5, H - 2});
        pBottom->SetMargin(2, eDirectBottom);
        ILayout* pRow = AddNode(*pBottom, nullptr, eFloatBottom, {1, 0, W - 6, 60});
        pRow->SetMargin(1, eDirectBottom);
        ILayout* pButton = AddNode(*pRow, m_hButton, eFloatRight, {1, 1, 61, 30});
        pButton->SetMargin(10, eDirectTop);
        pButton->SetMargin(2, eDirectRight);
        m_pLayout->UpdateSize(0, 0, W, H);
    }

    void LayOut() {
        RECT rc = {};
        GetClientRect(m_hWnd, &rc);
        m_pLayout->UpdateSize(rc.left, rc.top, rc.right, rc.bottom);
    }

    ILayout* m_pLayout;
};

RECT PlacedAt(HWND hControl) {
    RECT rc = {};
    GetWindowRect(hControl, &rc);
    MapWindowPoints(nullptr, GetAncestor(hControl, GA_PARENT), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

struct Observation {
    std::string step;
    SIZE client;
    SIZE window;
    std::map<std::string, RECT> placed;
    bool bIconic;
};

TEST(LayoutWindow, KeepsEveryControlInPlaceThroughResizesInsideItsModalLoop) {
    LayoutDlg dlg;
    const HWND hWnd = dlg.Create(nullptr, GetModuleHandleW(nullptr), WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(hWnd);
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);

    std::vector<Observation> observations;
    auto observe = [&](const char* pszStep) {
        RECT rcClient = {};
        GetClientRect(hWnd, &rcClient);
        observations.push_back({pszStep,
                                {rcClient.right, rcClient.bottom},
                                WindowSize(hWnd),
                                {{"list", PlacedAt(dlg.m_hList)},
                                 {"log", PlacedAt(dlg.m_hLog)},
                                 {"button", PlacedAt(dlg.m_hButton)}},
                                IsIconic(hWnd) != FALSE});
    };
    const std::vector<std::function<void()>> steps = {
        [&] { observe("created"); },
        [&] {
            SetWindowPos(hWnd, nullptr, 0, 0, 760, 580, SWP_NOMOVE | SWP_NOZORDER);
            observe("larger");
        },
        [&] {
            SetWindowPos(hWnd, nullptr, 0, 0, 150, 120, SWP_NOMOVE | SWP_NOZORDER);
            observe("below its minimum");
        },
        [&] {
            ShowWindow(hWnd, SW_MINIMIZE);
            observe("minimised");
        },
        [&] {
            ShowWindow(hWnd, SW_RESTORE);
            observe("restored");
        },
        [&] { DestroyWindow(hWnd); },
    };
    size_t nextStep = 0;
    dlg.m_onStep = [&] {
        if (nextStep < steps.size())
            steps[nextStep++]();
        if (IsWindow(hWnd))
            PostMessageW(hWnd, kStep, 0, 0);
    };
    PostMessageW(hWnd, kStep, 0, 0);
    ASSERT_TRUE(RunModal(hWnd, nullptr)) << "the loop did not end with the window";
    EXPECT_FALSE(IsWindow(hWnd));
    ASSERT_EQ(observations.size(), 5u);

    // Worked out by hand from the float rules for Wine's frame (8 x 27 pixels around the client
    // area): the list and the log share the top band (0.55 and 0.45 of it), the button keeps to
    // the bottom band's right edge, and the bottom band never shrinks below its initial bottom.
    const struct {
        SIZE client;
        RECT list, log, button;
    } expected[] = {
        {{492, 373}, {5, 1, 270, 149}, {271, 1, 486, 149}, {424, 321, 484, 350}},
        {{752, 553}, {5, 1, 413, 329}, {414, 1, 746, 329}, {684, 499, 744, 528}},
        {{392, 273}, {5, 1, 215, 149}, {216, 1, 386, 149}, {324, 321, 384, 350}},
        {{0, 0}, {5, 1, 5, 149}, {5, 1, 5, 149}, {6, 321, 6, 350}},
        {{392, 273}, {5, 1, 215, 149}, {216, 1, 386, 149}, {324, 321, 384, 350}},
    };
    for (size_t i = 0; i < observations.size(); ++i) {
        const auto& o = observations[i];
        const auto& e = expected[i];
        EXPECT_EQ(o.client.cx, e.client.cx) << o.step;
        EXPECT_EQ(o.client.cy, e.client.cy) << o.step;
        EXPECT_EQ(Text(o.placed.at("list")), Text(e.list)) << o.step;
        EXPECT_EQ(Text(o.placed.at("log")), Text(e.log)) << o.step;
        EXPECT_EQ(Text(o.placed.at("button")), Text(e.button)) << o.step;
    }
    const auto& larger = observations[1];
    EXPECT_EQ(larger.window.cx, 760);
    EXPECT_EQ(larger.window.cy, 580);
    const auto& clamped = observations[2];
    EXPECT_EQ(clamped.window.cx, kMinWidth);
    EXPECT_EQ(clamped.window.cy, kMinHeight);
    EXPECT_TRUE(observations[3].bIconic);
    EXPECT_FALSE(observations[4].bIconic);
}

} // namespace
