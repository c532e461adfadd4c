#include "ui/mainwnd/main_wnd.h"

#include "ui/framework/dpi_scale.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

using namespace Tessel;

namespace {

// How one node of the layout tree is set up before it is added to its parent.
struct NodeSpec {
    eFloatType floatType = eFloatNone;
    RECT initial = {};
    float width = 0;
    bool widthRatio = false;
    float height = 0;
    bool heightRatio = false;
    RECT margin = {};  // left, top, right, bottom
    RECT padding = {}; // left, top, right, bottom
};

// Applies the non-zero sides of a box of values through a per-side setter.
template <typename Setter> void SetSides(const RECT& values, Setter set) {
    const std::pair<LONG, eDirectType> sides[] = {{values.left, eDirectLeft},
                                                  {values.top, eDirectTop},
                                                  {values.right, eDirectRight},
                                                  {values.bottom, eDirectBottom}};
    for (const auto& [value, side] : sides) {
        if (value != 0)
            set(value, side);
    }
}

// A node for a control, or a container when hWnd is null, placed once at its initial rectangle
// and added to its parent, which owns it from then on.
ILayout* AddNode(ILayout* parent, HWND hWnd, const NodeSpec& spec) {
    ILayout* node = IWndShape::CreateInstance(hWnd);
    node->SetFloatType(spec.floatType);
    if (spec.width != 0)
        node->SetWidth(spec.width, spec.widthRatio);
    if (spec.height != 0)
        node->SetHeight(spec.height, spec.heightRatio);
    SetSides(spec.margin, [node](int value, int side) { node->SetMargin(value, side); });
    SetSides(spec.padding, [node](int value, int side) { node->SetPadding(value, side); });
    node->UpdateSize(spec.initial.left, spec.initial.top, spec.initial.right, spec.initial.bottom);
    parent->AddChild(node);
    return node;
}

// The width a check box needs for its square, the gap and its text in its font, or the design
// width if that is more.
int CheckBoxWidth(HWND hCheckBox, int designWidth) {
    SIZE ideal = {};
    SendMessageW(hCheckBox, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    return std::max(designWidth, static_cast<int>(ideal.cx));
}

// The command box ends where the auto-start box begins: when the command row is cut short by its
// cell, the command box gives the auto-start box the width it lacks. Found by placing the tree
// once in its initial client area.
void GiveWidthToAutoRunBox(ILayout* root, ILayout* commandBox, ILayout* autoRunBox,
                           int autoRunWidth) {
    const RECT& initial = root->GetInitRect();
    root->UpdateSize(initial.left, initial.top, initial.right, initial.bottom);
    const RECT& placed = autoRunBox->GetRect();
    const int lacking = autoRunWidth - (placed.right - placed.left);
    if (lacking > 0)
        commandBox->GetInitRect().right -= lacking;
}

} // namespace

// The sizes below are pixels at 96 DPI; S gives them at the window's DPI. W and H are the right
// and bottom of the client area at the window's minimum size.
void CMainWnd::AddLayoutNodes(ILayout* root, UINT dpi, int W, int H) {
    const auto S = [dpi](int value) { return ScaleForDpi(value, dpi); };
    // At 96 DPI the design sizes stand as they always have. At other DPIs the font's rounding can
    // outgrow them: each check box is then as wide as its text needs, if that is more.
    const bool fitText = dpi != kDesignDpi;
    const int autoRunWidth = fitText ? CheckBoxWidth(m_hAutoRunChk, S(80)) : S(80);
    const int shortcutWidth = fitText ? CheckBoxWidth(m_hShortcutChk, S(136)) : S(136);

    ILayout* const topBand = AddNode(root, nullptr,
                                     {.floatType = eFloatFill,
                                      .initial = {S(5), S(1), W - S(5), S(300)},
                                      .padding = {S(1), S(1), S(1), S(1)}});
    AddNode(topBand, m_hSrvList,
            {.floatType = eFloatLeft,
             .initial = {0, 0, S(420), S(300)},
             .width = 0.55f,
             .widthRatio = true,
             .height = 1.0f,
             .heightRatio = true});
    AddNode(topBand, m_hLogEdit,
            {.floatType = eFloatLeft,
             .initial = {S(1), 0, S(321), S(300)},
             .width = 0.45f,
             .widthRatio = true,
             .height = 1.0f,
             .heightRatio = true});

    ILayout* const bottomBand = AddNode(root, nullptr,
                                        {.floatType = eFloatFill,
                                         .initial = {S(5), S(302), W - S(5), H - S(2)},
                                         .margin = {0, 0, 0, S(2)}});
    ILayout* const bottomRow = AddNode(bottomBand, nullptr,
                                       {.floatType = eFloatBottom,
                                        .initial = {S(1), 0, W - S(6), S(100)},
                                        .margin = {0, 0, 0, S(1)}});
    ILayout* const buttonCell = AddNode(bottomRow, nullptr,
                                        {.floatType = eFloatLeft,
                                         .initial = {S(1), S(1), S(401), S(98)},
                                         .width = 0.35f,
                                         .widthRatio = true});
    const RECT syncButton = {S(1), S(1), S(61), S(30)};
    AddNode(buttonCell, m_hSyncBtn,
            {.floatType = eFloatRight, .initial = syncButton, .margin = {0, S(30), S(2), 0}});
    // "精确校时" stands left of "校时", as high and a gap apart, wide enough for its four
    // characters; nothing else moves.
    const int syncWidth = syncButton.right - syncButton.left;
    AddNode(buttonCell, m_hPreciseBtn,
            {.floatType = eFloatRight,
             .initial = {S(1), S(1), S(81), S(30)},
             .margin = {0, S(30), S(2) + syncWidth + S(6), 0}});

    ILayout* const optionsCell = AddNode(bottomRow, nullptr,
                                         {.floatType = eFloatLeft,
                                          .initial = {S(1), S(1), S(471), S(98)},
                                          .width = 0.65f,
                                          .widthRatio = true});
    AddNode(
        optionsCell, m_hAutoRunTip,
        {.floatType = eFloatNone, .initial = {S(1), 0, S(471), S(20)}, .margin = {0, S(15), 0, 0}});
    ILayout* const commandRow = AddNode(optionsCell, nullptr,
                                        {.floatType = eFloatNone,
                                         .initial = {S(1), S(23), S(471), S(43)},
                                         .margin = {0, S(15), 0, 0}});
    ILayout* const commandBox = AddNode(
        commandRow, m_hCmdEdit, {.floatType = eFloatLeft, .initial = {S(1), 0, S(371), S(20)}});
    ILayout* const autoRunBox =
        AddNode(commandRow, m_hAutoRunChk,
                {.floatType = eFloatLeft, .initial = {S(1), 0, S(1) + autoRunWidth, S(20)}});
    AddNode(optionsCell, m_hShortcutChk,
            {.floatType = eFloatNone,
             .initial = {S(1), S(46), S(1) + shortcutWidth, S(66)},
             .margin = {0, S(15), 0, 0}});
    if (fitText)
        GiveWidthToAutoRunBox(root, commandBox, autoRunBox, autoRunWidth);
}
