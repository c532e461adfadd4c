#pragma once
// The layout tree's sides, float rules and direction types.

namespace Tessel {

// A side of a box. The values are bits: the setters take any combination of them in an int.
enum eDirectType { eDirectLeft = 1, eDirectTop = 2, eDirectRight = 4, eDirectBottom = 8 };

// The rule by which a parent node places a child node.
enum eFloatType {
    eFloatNone = 0,   // at its initial rectangle, shifted by its margins, 1 pixel inside
    eFloatLeft = 1,   // after the previous left-floating sibling; fixed or proportional size
    eFloatRight = 2,  // against the right edge less the right margin
    eFloatFill = 3,   // top-left fixed; right and bottom follow the parent's growth
    eFloatBottom = 4, // right follows the growth; a bottom margin keeps it above the bottom
};

} // namespace Tessel
