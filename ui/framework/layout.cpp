#include "ui/framework/layout.h"

#include "ui/framework/gdi_object.h"
#include "ui/framework/placement.h"

namespace Tessel {

namespace {

// Slots of the two side arrays, in their storage order.
constexpr eDirectType kPaddingSlots[4] = {eDirectLeft, eDirectRight, eDirectTop, eDirectBottom};
constexpr eDirectType kMarginSlots[4] = {eDirectLeft, eDirectTop, eDirectRight, eDirectBottom};

void SetSides(int (&values)[4], const eDirectType (&slots)[4], int value, int sides) {
    for (int i = 0; i < 4; ++i) {
        if (sides & slots[i])
            values[i] = value;
    }
}

int GetSide(const int (&values)[4], const eDirectType (&slots)[4], eDirectType side) {
    for (int i = 0; i < 4; ++i) {
        if (side == slots[i])
            return values[i];
    }
    return 0;
}

bool IsAllZero(const RECT& rc) {
    return rc.left == 0 && rc.right == 0 && rc.top == 0 && rc.bottom == 0;
}

ChildValues ValuesOf(const ILayout& child) {
    return {child.m_eFloatType,
            child.m_rcInit,
            child.m_rect,
            {child.m_nMargin[0], child.m_nMargin[1], child.m_nMargin[2], child.m_nMargin[3]},
            child.m_fWidth,
            child.m_bWidthRatio,
            child.m_fHeight,
            child.m_bHeightRatio};
}

bool IsSelfOrAncestor(const ILayout& node, const ILayout* pCandidate) {
    for (const ILayout* pAt = &node; pAt; pAt = pAt->m_pParent) {
        if (pAt == pCandidate)
            return true;
    }
    return false;
}

} // namespace

ILayout* ILayout::CreateInstance() {
    return new ILayout();
}

void ILayout::DeleteInstance(ILayout* pLayout) {
    delete pLayout;
}

ILayout::ILayout() {
    __init__();
}

ILayout::~ILayout() {
    for (ILayout* child : m_children)
        DeleteInstance(child);
    ReleaseGdiObject(m_hBgBrush);
    ReleaseGdiObject(m_hBorderBrush);
}

void ILayout::__init__() {
    m_pParent = nullptr;
    m_fWidth = 0;
    m_fHeight = 0;
    m_bWidthRatio = false;
    m_bHeightRatio = false;
    m_hBgBrush = nullptr;
    m_hBorderBrush = nullptr;
    m_eFloatType = eFloatNone;
    m_rect = {};
    m_rcInit = {};
    for (int& padding : m_nPadding)
        padding = 0;
    for (int& margin : m_nMargin)
        margin = 0;
}

void ILayout::Draw(HDC hdc) {
    if (m_hBgBrush)
        FillRect(hdc, &m_rect, m_hBgBrush);
    if (m_hBorderBrush)
        FrameRect(hdc, &m_rect, m_hBorderBrush);
    for (ILayout* child : m_children)
        child->Draw(hdc);
}

void ILayout::UpdateSize(int l, int t, int r, int b) {
    const RECT rcBox = ClampBox(l, t, r, b);
    if (IsAllZero(m_rcInit))
        m_rcInit = rcBox;
    int nCursorX = rcBox.left;
    for (ILayout* child : m_children) {
        const auto placement = PlaceChild(rcBox, m_rcInit, nCursorX, ValuesOf(*child));
        if (!placement)
            continue;
        const RECT& rc = placement->rcBox;
        child->UpdateSize(rc.left, rc.top, rc.right, rc.bottom);
        nCursorX = placement->nNextCursorX;
    }
    m_rect = rcBox;
}

void ILayout::SetPadding(int value, int sides) {
    SetSides(m_nPadding, kPaddingSlots, value, sides);
}

int ILayout::GetPadding(eDirectType side) const {
    return GetSide(m_nPadding, kPaddingSlots, side);
}

void ILayout::SetMargin(int value, int sides) {
    SetSides(m_nMargin, kMarginSlots, value, sides);
}

int ILayout::GetMargin(eDirectType side) const {
    return GetSide(m_nMargin, kMarginSlots, side);
}

void ILayout::UpdatePadding(int l, int t, int r, int b) {
    SetPadding(l, eDirectLeft);
    SetPadding(t, eDirectTop);
    SetPadding(r, eDirectRight);
    SetPadding(b, eDirectBottom);
}

void ILayout::UpdateMarging(int l, int t, int r, int b) {
    SetMargin(l, eDirectLeft);
    SetMargin(t, eDirectTop);
    SetMargin(r, eDirectRight);
    SetMargin(b, eDirectBottom);
}

void ILayout::SetBgColor(int color) {
    ReplaceSolidBrush(m_hBgBrush, color);
}

void ILayout::SetBorderColor(int color) {
    ReplaceSolidBrush(m_hBorderBrush, color);
}

void ILayout::SetFloatType(eFloatType eType) {
    m_eFloatType = eType;
}

eFloatType ILayout::GetFloatType() const {
    return m_eFloatType;
}

void ILayout::SetFont(const char*) {}

void ILayout::SetWidth(float value, bool ratio) {
    m_fWidth = value;
    m_bWidthRatio = ratio;
}

void ILayout::SetHeight(float value, bool ratio) {
    m_fHeight = value;
    m_bHeightRatio = ratio;
}

RECT& ILayout::GetInitRect() {
    return m_rcInit;
}

RECT& ILayout::GetRect() {
    return m_rect;
}

void ILayout::AddChild(ILayout* child) {
    if (!child || child->m_pParent || IsSelfOrAncestor(*this, child))
        return;
    m_children.push_back(child);
    child->m_pParent = this;
}

} // namespace Tessel
