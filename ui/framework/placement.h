#pragma once
// The layout tree's placement arithmetic, free of any window.

#include "ui/framework/layout_types.h"

#include <windows.h>

#include <optional>

// The layout tree's placement arithmetic, free of any window: a parent node's box and initial
// rectangle and a child's values in, the child's box out.
namespace Tessel {

struct Sides {
    int nLeft = 0;
    int nTop = 0;
    int nRight = 0;
    int nBottom = 0;
};

// What a parent needs to know of one child to place it.
struct ChildValues {
    eFloatType eFloat = eFloatNone;
    RECT rcInit = {};  // the child's initial rectangle
    RECT rcLast = {};  // the child's last placement
    Sides margin = {}; // the child's margins
    float fWidth = 0;
    bool bWidthRatio = false;
    float fHeight = 0;
    bool bHeightRatio = false;
};

// Where a child lands, and where the next left-floating sibling starts.
struct ChildPlacement {
    RECT rcBox;
    int nNextCursorX;
};

// A box whose right or bottom edge lies before its left or top edge collapses onto that edge.
RECT ClampBox(int nLeft, int nTop, int nRight, int nBottom);

// The box given to a child by its rule inside the parent's (clamped) box, with the parent's
// initial rectangle and the left-floating cursor. Empty for a rule that places nothing.
std::optional<ChildPlacement> PlaceChild(const RECT& rcParent, const RECT& rcParentInit,
                                         int nCursorX, const ChildValues& child);

// Position and size of a window, as MoveWindow takes them.
struct WindowBounds {
    int x;
    int y;
    int cx;
    int cy;
};

// Where a leaf moves its window: its box, as received (before any clamp), less its paddings.
WindowBounds LeafWindowBounds(int nLeft, int nTop, int nRight, int nBottom, const Sides& padding);

// Conversion of a floating-point coordinate to int, truncated toward zero and saturated at the
// range of int (NaN gives 0).
int TruncToInt(double value);

} // namespace Tessel
