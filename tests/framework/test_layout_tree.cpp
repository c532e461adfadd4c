#include "tests/framework/rect_text.h"
#include "tests/framework/gdi_canvas.h"
#include "ui/framework/layout.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Tessel;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A root node that DeleteInstance frees when the test ends.
struct TreeDeleter {
    void operator()(ILayout* pLayout) const { ILayout::DeleteInstance(pLayout); }
};
using Tree = std::unique_ptr<ILayout, TreeDeleter>;

Tree MakeNode() {
    return Tree(ILayout::CreateInstance());
}

// A child placed once by its creator, as the main window builds its tree.
ILayout* AddPlaced(ILayout& parent, eFloatType eFloat, RECT rcInit) {
    ILayout* pChild = ILayout::CreateInstance();
    pChild->SetFloatType(eFloat);
    pChild->UpdateSize(rcInit.left, rcInit.top, rcInit.right, rcInit.bottom);
    parent.AddChild(pChild);
    return pChild;
}

TEST(LayoutNode, RecordsItsInitialRectangleAtTheFirstNonEmptyPlacement) {
    const Tree node = MakeNode();
    node->UpdateSize(0, 0, 0, 0);
    EXPECT_EQ(Text(node->GetInitRect()), Text({0, 0, 0, 0}));
    node->UpdateSize(3, 4, 50, 60);
    EXPECT_EQ(Text(node->GetInitRect()), Text({3, 4, 50, 60}));
    node->UpdateSize(0, 0, 100, 100);
    EXPECT_EQ(Text(node->GetInitRect()), Text({3, 4, 50, 60}));
    EXPECT_EQ(Text(node->GetRect()), Text({0, 0, 100, 100}));
}

TEST(LayoutNode, StoresAReversedBoxEmptyAndPlacesItsChildrenInside) {
    const Tree root = MakeNode();
    root->UpdateSize(0, 0, 100, 100);
    ILayout* pChild = AddPlaced(*root, eFloatNone, {1, 1, 20, 20});
    root->UpdateSize(10, 10, 5, 5);
    EXPECT_EQ(Text(root->GetRect()), Text({10, 10, 10, 10}));
    EXPECT_EQ(Text(pChild->GetRect()), Text({11, 11, 11, 11}));
    EXPECT_EQ(Text(pChild->GetInitRect()), Text({1, 1, 20, 20}));
}

TEST(LayoutNode, PlacesLeftFloatingSiblingsOneAfterAnother) {
    const Tree band = MakeNode();
    band->UpdateSize(10, 20, 710, 320);
    ILayout* pA = AddPlaced(*band, eFloatLeft, {0, 0, 420, 300});
    pA->SetWidth(0.55f, true);
    pA->SetHeight(1.0f, true);
    ILayout* pB = AddPlaced(*band, eFloatLeft, {1, 0, 321, 300});
    pB->SetWidth(0.45f, true);
    pB->SetHeight(1.0f, true);
    // Widths adding up to more than the parent: the last child starts beyond the edge.
    ILayout* pC = AddPlaced(*band, eFloatLeft, {1, 0, 51, 300});
    band->UpdateSize(10, 20, 710, 320);
    EXPECT_EQ(Text(pA->GetRect()), Text({10, 20, 395, 319}));
    EXPECT_EQ(Text(pB->GetRect()), Text({396, 20, 709, 319}));
    EXPECT_EQ(Text(pC->GetRect()), Text({710, 20, 710, 319}));
}

TEST(LayoutNode, PlacesAGrandchildInsideItsParentsNewBox) {
    const Tree root = MakeNode();
    root->UpdateSize(0, 0, 700, 400);
    ILayout* pBand = AddPlaced(*root, eFloatFill, {5, 302, 695, 400});
    pBand->SetMargin(2, eDirectBottom);
    ILayout* pRow = AddPlaced(*pBand, eFloatBottom, {1, 0, 694, 100});
    pRow->SetMargin(1, eDirectBottom);
    ILayout* pButton = AddPlaced(*pRow, eFloatRight, {1, 1, 61, 30});
    pButton->SetMargin(30, eDirectTop);
    pButton->SetMargin(2, eDirectRight);
    root->UpdateSize(0, 0, 800, 500);
    EXPECT_EQ(Text(pBand->GetRect()), Text({5, 302, 795, 498}));
    EXPECT_EQ(Text(pRow->GetRect()), Text({6, 397, 794, 497}));
    EXPECT_EQ(Text(pButton->GetRect()), Text({732, 428, 792, 457}));
}

TEST(LayoutNode, LeavesAChildWithAnUnknownRuleWhereItWas) {
    const Tree root = MakeNode();
    root->UpdateSize(0, 0, 100, 100);
    ILayout* pChild = AddPlaced(*root, static_cast<eFloatType>(7), {1, 2, 30, 40});
    root->UpdateSize(0, 0, 300, 300);
    EXPECT_EQ(Text(pChild->GetRect()), Text({1, 2, 30, 40}));
    EXPECT_EQ(pChild->GetFloatType(), static_cast<eFloatType>(7));
}

TEST(LayoutNode, SetsAndReadsSidesByTheirBits) {
    const Tree node = MakeNode();
    node->SetPadding(5, eDirectLeft | eDirectTop);
    EXPECT_EQ(node->GetPadding(eDirectLeft), 5);
    EXPECT_EQ(node->GetPadding(eDirectTop), 5);
    EXPECT_EQ(node->GetPadding(eDirectRight), 0);
    EXPECT_EQ(node->GetPadding(eDirectBottom), 0);
    EXPECT_EQ(node->GetPadding(static_cast<eDirectType>(eDirectLeft | eDirectTop)), 0);

    node->SetMargin(2, 255);
    for (const eDirectType side : {eDirectLeft, eDirectTop, eDirectRight, eDirectBottom})
        EXPECT_EQ(node->GetMargin(side), 2) << "side " << side;
    EXPECT_EQ(node->GetMargin(static_cast<eDirectType>(16)), 0);
    EXPECT_EQ(node->GetMargin(static_cast<eDirectType>(0)), 0);
}

TEST(LayoutNode, UpdatesTheFourPaddingsAndMarginsInTheirStorageOrder) {
    const Tree node = MakeNode();
    node->UpdatePadding(1, 2, 3, 4);
    node->UpdateMarging(5, 6, 7, 8);
    const int expectedPadding[4] = {1, 3, 2, 4}; // left, right, top, bottom
    const int expectedMargin[4] = {5, 6, 7, 8};  // left, top, right, bottom
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(node->m_nPadding[i], expectedPadding[i]) << "padding slot " << i;
        EXPECT_EQ(node->m_nMargin[i], expectedMargin[i]) << "margin slot " << i;
    }
    EXPECT_EQ(node->GetPadding(eDirectTop), 2);
    EXPECT_EQ(node->GetMargin(eDirectRight), 7);
}

TEST(LayoutNode, TakesEachChildOnceAndNeverItsOwnAncestor) {
    const Tree root = MakeNode();
    ILayout* pA = ILayout::CreateInstance();
    ILayout* pB = ILayout::CreateInstance();
    root->AddChild(nullptr);
    root->AddChild(pA);
    root->AddChild(pB);
    root->AddChild(pA);
    pA->AddChild(pB);
    pA->AddChild(root.get());
    pA->AddChild(pA);
    EXPECT_EQ(root->m_children, (std::vector<ILayout*>{pA, pB}));
    EXPECT_TRUE(pA->m_children.empty());
    EXPECT_EQ(pA->m_pParent, root.get());
    EXPECT_EQ(pB->m_pParent, root.get());
    EXPECT_EQ(root->m_pParent, nullptr);
}

TEST(LayoutNode, ReplacesItsBrushesReleasingTheOldOnes) {
    const Tree node = MakeNode();
    node->SetBgColor(static_cast<int>(kRed));
    node->SetBorderColor(static_cast<int>(kBlue));
    const HBRUSH hOldBg = node->m_hBgBrush;
    const HBRUSH hOldBorder = node->m_hBorderBrush;
    node->SetBgColor(static_cast<int>(kGreen));
    node->SetBorderColor(static_cast<int>(kYellow));
    EXPECT_EQ(GetObjectType(hOldBg), 0u);
    EXPECT_EQ(GetObjectType(hOldBorder), 0u);
    EXPECT_EQ(GetObjectType(node->m_hBgBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(node->m_hBorderBrush), static_cast<DWORD>(OBJ_BRUSH));
}

// A node that notes, when its destructor starts, which nodes of the tree still hold their
// background brush.
class TracingNode : public ILayout {
public:
    using Log = std::vector<std::pair<std::string, std::vector<std::string>>>;
    using Brushes = std::map<std::string, HBRUSH>;

    static TracingNode* CreateInstance(Log& log, Brushes& brushes, const std::string& name) {
        auto* pNode = new TracingNode(log, brushes, name);
        pNode->SetBgColor(static_cast<int>(kRed));
        brushes[name] = pNode->m_hBgBrush;
        return pNode;
    }
    ~TracingNode() override {
        std::vector<std::string> alive;
        for (const auto& [name, hBrush] : m_brushes) {
            if (GetObjectType(hBrush) == OBJ_BRUSH)
                alive.push_back(name);
        }
        m_log.emplace_back(m_name, alive);
    }

private:
    TracingNode(Log& log, Brushes& brushes, std::string name)
        : m_log(log), m_brushes(brushes), m_name(std::move(name)) {}

    Log& m_log;
    Brushes& m_brushes;
    std::string m_name;
};

TEST(LayoutNode, DeletesAThreeLevelTreeOnceDepthFirstAndBrushesAfterChildren) {
    TracingNode::Log log;
    TracingNode::Brushes brushes;
    auto node = [&](const char* name) { return TracingNode::CreateInstance(log, brushes, name); };
    TracingNode* pRoot = node("root");
    TracingNode* pA = node("a");
    TracingNode* pB = node("b");
    pRoot->AddChild(pA);
    pRoot->AddChild(pB);
    pA->AddChild(node("a1"));
    pA->AddChild(node("a2"));
    pB->AddChild(node("b1"));
    ILayout::DeleteInstance(pRoot);

    using Names = std::vector<std::string>;
    const Names all = {"a", "a1", "a2", "b", "b1", "root"};
    const TracingNode::Log expected = {
        {"root", all},
        {"a", all},
        {"a1", all},
        {"a2", {"a", "a2", "b", "b1", "root"}},
        {"b", {"b", "b1", "root"}},
        {"b1", {"b", "b1", "root"}},
    };
    EXPECT_EQ(log, expected);
    for (const auto& [name, hBrush] : brushes)
        EXPECT_EQ(GetObjectType(hBrush), 0u) << name;
    ILayout::DeleteInstance(nullptr);
}

TEST(LayoutNode, PaintsBackgroundBorderThenChildrenInListOrder) {
    const GdiCanvas canvas(40, 40);
    const Tree root = MakeNode();
    root->GetRect() = {0, 0, 20, 20};
    root->SetBgColor(static_cast<int>(kRed));
    root->SetBorderColor(static_cast<int>(kBlue));
    ILayout* pFirst = ILayout::CreateInstance();
    pFirst->GetRect() = {2, 2, 8, 8};
    pFirst->SetBgColor(static_cast<int>(kYellow));
    ILayout* pSecond = ILayout::CreateInstance();
    pSecond->GetRect() = {5, 5, 12, 12};
    pSecond->SetBgColor(static_cast<int>(kGreen));
    // No brush of its own: paints nothing, but its child still paints.
    ILayout* pBare = ILayout::CreateInstance();
    pBare->GetRect() = {0, 0, 40, 40};
    ILayout* pInner = ILayout::CreateInstance();
    pInner->GetRect() = {30, 30, 35, 35};
    pInner->SetBorderColor(static_cast<int>(kBlue));
    root->AddChild(pFirst);
    root->AddChild(pSecond);
    root->AddChild(pBare);
    pBare->AddChild(pInner);

    root->Draw(canvas.Dc());

    const struct {
        int x, y;
        COLORREF color;
    } pixels[] = {
        {0, 0, kBlue},   {19, 19, kBlue}, {19, 0, kBlue},   {1, 1, kRed},     {18, 18, kRed},
        {3, 3, kYellow}, {6, 6, kGreen},  {11, 11, kGreen}, {20, 20, kWhite}, {25, 25, kWhite},
        {30, 30, kBlue}, {34, 34, kBlue}, {32, 32, kWhite}, {39, 39, kWhite},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(canvas.Pixel(p.x, p.y), p.color) << "pixel " << p.x << ", " << p.y;
}

} // namespace
