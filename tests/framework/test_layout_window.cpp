#include "rect_text.h"
#include "layout.h"
#include "modal_script.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    ~LayoutDlg() override {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
        ILayout::DeleteInstance(m_pLayout);
    }

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
    SIZE m_initialClient = {};

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
        m_initialClient = {W, H};
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

// Where a window lands that MoveWindow gets (x, y, right - x, bottom - y): the window system
// keeps a negative size as 0.
RECT Landed(int x, int y, int right, int bottom) {
    return {x, y, std::max(x, right), std::max(y, bottom)};
}

int Trunc(double value) {
    return static_cast<int>(value);
}

// The rectangles of the three controls that the float rules give for a client area of W x H,
// written out for this tree.
std::map<std::string, RECT> ExpectedPlaces(SIZE initial, int W, int H) {
    const int W0 = initial.cx;
    const int H0 = initial.cy;
    const int dW = W - W0;
    const int dH = H - H0;
    // Top band, eFloatFill: (5, 1, W0 - 5 + dW, max(150 + dH, 150)), clamped.
    const int bandRight = std::max(5, W0 - 5 + dW);
    const int bandBottom = std::max(150 + dH, 150);
    const int bandWidth = bandRight - 5;
    // The panes, eFloatLeft by fractions of the band; their bottom is the band's less 1.
    const int listRight =
        std::min(Trunc(bandWidth * static_cast<double>(0.55f) + 5), bandRight - 1);
    const int logLeft = listRight + 1;
    const int logRight =
        std::min(Trunc(bandWidth * static_cast<double>(0.45f) + logLeft), bandRight - 1);
    const int paneBottom = bandBottom - 1;
    // Bottom band, eFloatFill with bottom margin 2, initially (5, 152, W0 - 5, H0 - 2).
    const int bottomRight = std::max(5, W0 - 5 + dW);
    const int bottomBottom = std::max(std::max(H0 - 2 + dH - 2, H0 - 2), 152);
    const int bottomGrowth = (bottomRight - 5) - (W0 - 10);
    // Row, eFloatBottom with bottom margin 1, 60 high.
    const int rowRight = std::max(6, W0 - 6 + bottomGrowth);
    const int rowBottom = bottomBottom - 1;
    const int rowTop = rowBottom - 60;
    // Button, eFloatRight with margins right 2 and top 10, 60 x 29.
    const int buttonLeft = std::max(rowRight - 60 - 2, 6);
    const int buttonRight = std::min(buttonLeft + 60, rowRight);
    const int buttonTop = rowTop + 1 + 10;
    return {
        {"list", Landed(5, 1, listRight, paneBottom)},
        {"log", Landed(logLeft, 1, logRight, paneBottom)},
        {"button", Landed(buttonLeft, buttonTop, buttonRight, buttonTop + 29)},
    };
}

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

    const SIZE initial = dlg.m_initialClient;
    for (const auto& o : observations) {
        const auto expected = ExpectedPlaces(initial, o.client.cx, o.client.cy);
        for (const auto& [name, rc] : expected)
            EXPECT_EQ(Text(o.placed.at(name)), Text(rc))
                << name << " " << o.step << ", client " << o.client.cx << " x " << o.client.cy;
    }
    const auto& larger = observations[1];
    EXPECT_EQ(larger.window.cx, 760);
    EXPECT_EQ(larger.window.cy, 580);
    const auto& clamped = observations[2];
    EXPECT_EQ(clamped.window.cx, kMinWidth);
    EXPECT_EQ(clamped.window.cy, kMinHeight);
    EXPECT_TRUE(observations[3].bIconic);
    EXPECT_FALSE(observations[4].bIconic);
    EXPECT_EQ(observations[4].client.cx, clamped.client.cx);
    EXPECT_EQ(observations[4].client.cy, clamped.client.cy);
}

} // namespace
