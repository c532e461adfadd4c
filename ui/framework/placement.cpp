#include "ui/framework/placement.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace Tessel {

namespace {

int Width(const RECT& rc) {
    return rc.right - rc.left;
}

int Height(const RECT& rc) {
    return rc.bottom - rc.top;
}

// A size value between -1 and 1 that is not a fraction means "keep the initial size".
bool IsPixelSize(float value) {
    return value < -1.0f || value > 1.0f;
}

// The far edge of a left-floating child along one axis: a fraction of the parent's extent, a
// number of pixels, or the initial extent.
int FarEdge(int nOrigin, int nParentExtent, float value, bool bRatio, int nInitialFar) {
    const double fValue = value;
    if (bRatio)
        return TruncToInt(nParentExtent * fValue + nOrigin);
    if (IsPixelSize(value))
        return TruncToInt(nOrigin + fValue);
    return nInitialFar;
}

RECT PlaceNone(const RECT& p, const ChildValues& c) {
    const RECT& i = c.rcInit;
    const Sides& m = c.margin;
    return {std::max<LONG>(p.left + i.left + m.nLeft, p.left + 1),
            std::max<LONG>(p.top + i.top + m.nTop, p.top + 1),
            std::min<LONG>(p.left + i.right + m.nLeft - m.nRight, p.right - 1),
            std::min<LONG>(p.top + i.bottom + m.nTop - m.nBottom, p.bottom - 1)};
}

RECT PlaceLeft(const RECT& p, int nCursorX, const ChildValues& c) {
    const RECT& i = c.rcInit;
    const int x = nCursorX + i.left;
    const int y = p.top + i.top;
    const int right = FarEdge(x, Width(p), c.fWidth, c.bWidthRatio, nCursorX + i.right);
    // The height counts from the parent's top, not from y.
    const int bottom = FarEdge(p.top, Height(p), c.fHeight, c.bHeightRatio, p.top + Height(i));
    return {x, y, std::min<LONG>(right, p.right - 1), std::min<LONG>(bottom, p.bottom - 1)};
}

RECT PlaceRight(const RECT& p, const ChildValues& c) {
    const int nWidth = Width(c.rcInit);
    const int x = std::max<LONG>(p.right - nWidth - c.margin.nRight, p.left);
    const int y = p.top + c.rcInit.top + c.margin.nTop;
    return {x, y, std::min<LONG>(x + nWidth, p.right), y + Height(c.rcLast)};
}

// Fill and bottom take the initial right and bottom edges in the owner's client coordinates
// and add only the parent's growth.
RECT PlaceFill(const RECT& p, int dW, int dH, const ChildValues& c) {
    const RECT& i = c.rcInit;
    return {p.left + i.left, p.top + i.top, i.right + dW,
            std::max<LONG>(i.bottom + dH - c.margin.nBottom, i.bottom)};
}

RECT PlaceBottom(const RECT& p, int dW, const ChildValues& c) {
    const RECT& i = c.rcInit;
    if (c.margin.nBottom > 0) {
        const int bottom = p.bottom - c.margin.nBottom;
        return {p.left + i.left, bottom - Height(i), i.right + dW, bottom};
    }
    return {p.left + i.left, p.top + i.top, i.right + dW, i.bottom};
}

} // namespace

int TruncToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(value);
}

RECT ClampBox(int nLeft, int nTop, int nRight, int nBottom) {
    return {nLeft, nTop, std::max<LONG>(nRight, nLeft), std::max<LONG>(nBottom, nTop)};
}

std::optional<ChildPlacement> PlaceChild(const RECT& rcParent, const RECT& rcParentInit,
                                         int nCursorX, const ChildValues& child) {
    const int dW = Width(rcParent) - Width(rcParentInit);
    const int dH = Height(rcParent) - Height(rcParentInit);
    switch (child.eFloat) {
    case eFloatNone:
        return ChildPlacement{PlaceNone(rcParent, child), nCursorX};
    case eFloatLeft: {
        const RECT rc = PlaceLeft(rcParent, nCursorX, child);
        return ChildPlacement{rc, static_cast<int>(rc.right)};
    }
    case eFloatRight:
        return ChildPlacement{PlaceRight(rcParent, child), nCursorX};
    case eFloatFill:
        return ChildPlacement{PlaceFill(rcParent, dW, dH, child), nCursorX};
    case eFloatBottom:
        return ChildPlacement{PlaceBottom(rcParent, dW, child), nCursorX};
    }
    return std::nullopt;
}

WindowBounds LeafWindowBounds(int nLeft, int nTop, int nRight, int nBottom, const Sides& padding) {
    return {nLeft + padding.nLeft, nTop + padding.nTop,
            nRight - padding.nRight - padding.nLeft - nLeft,
            nBottom - padding.nBottom - padding.nTop - nTop};
}

} // namespace Tessel
