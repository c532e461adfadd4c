#include "tests/framework/rect_text.h"
#include "ui/framework/base_dlg_geometry.h"
#include "ui/framework/class_name.h"
#include "ui/framework/placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>

namespace {

using namespace Tessel;

ChildValues Child(eFloatType eFloat, RECT rcInit, Sides margin = {}, float fWidth = 0,
                  bool bWidthRatio = false, float fHeight = 0, bool bHeightRatio = false) {
    return {eFloat, rcInit, rcInit, margin, fWidth, bWidthRatio, fHeight, bHeightRatio};
}

struct PlacementCase {
    const char* name = "";
    RECT rcParent = {};
    RECT rcParentInit = {};
    int nCursorX = 0;
    ChildValues child;
    RECT rcExpected = {};
    int nExpectedCursorX = 0;
};

TEST(PlaceChild, PlacesEachRuleToThePixel) {
    const PlacementCase cases[] = {
        // The worked examples.
        {"fill grows with the parent", {0, 0, 800, 500}, {0, 0, 700, 400}, 0,
         Child(eFloatFill, {5, 1, 695, 300}), {5, 1, 795, 400}, 0},
        {"left A, 0.55 of 700", {10, 20, 710, 320}, {10, 20, 710, 320}, 10,
         Child(eFloatLeft, {0, 0, 420, 300}, {}, 0.55f, true, 1.0f, true),
         {10, 20, 395, 319}, 395},
        {"left B after A, clamped to R - 1", {10, 20, 710, 320}, {10, 20, 710, 320}, 395,
         Child(eFloatLeft, {1, 0, 321, 300}, {}, 0.45f, true, 1.0f, true),
         {396, 20, 709, 319}, 709},
        {"right against the right margin", {0, 0, 300, 100}, {0, 0, 300, 100}, 0,
         Child(eFloatRight, {1, 1, 61, 30}, {0, 30, 2, 0}), {238, 31, 298, 60}, 0},
        {"none shifted by its top margin", {100, 50, 600, 150}, {100, 50, 600, 150}, 100,
         Child(eFloatNone, {1, 23, 471, 43}, {0, 15, 0, 0}), {101, 88, 571, 108},
         100},
        {"bottom above the bottom margin", {5, 302, 795, 500}, {5, 302, 695, 400}, 5,
         Child(eFloatBottom, {1, 0, 694, 100}, {0, 0, 0, 1}), {6, 399, 794, 499}, 5},
        // None: margins on all four sides, and the 1-pixel inset at every edge.
        {"none with every margin", {10, 10, 210, 110}, {10, 10, 210, 110}, 10,
         Child(eFloatNone, {5, 6, 50, 40}, {1, 2, 3, 4}), {16, 18, 58, 48}, 10},
        {"none kept 1 pixel inside", {10, 10, 110, 60}, {10, 10, 110, 60}, 10,
         Child(eFloatNone, {-5, -5, 200, 200}, {0, 0, 0, 0}), {11, 11, 109, 59},
         10},
        // Left: proportional, pixel and initial sizes.
        {"left 0.35 of 700 is 244 wide", {0, 0, 700, 100}, {0, 0, 700, 100}, 0,
         Child(eFloatLeft, {0, 0, 10, 10}, {}, 0.35f, true, 0, false), {0, 0, 244, 10},
         244},
        {"left width 1 keeps the initial width", {0, 0, 700, 100}, {0, 0, 700, 100}, 50,
         Child(eFloatLeft, {2, 3, 42, 23}, {}, 1.0f, false, -1.0f, false),
         {52, 3, 92, 20}, 92},
        {"left width 1.5 is 1 pixel", {0, 0, 700, 100}, {0, 0, 700, 100}, 50,
         Child(eFloatLeft, {2, 3, 42, 23}, {}, 1.5f, false, 0, false), {52, 3, 53, 20},
         53},
        {"left pixel sizes", {0, 10, 700, 110}, {0, 0, 700, 100}, 0,
         Child(eFloatLeft, {0, 5, 10, 15}, {}, 120.0f, false, 30.0f, false),
         {0, 15, 120, 40}, 120},
        {"left negative pixel width", {0, 0, 700, 100}, {0, 0, 700, 100}, 100,
         Child(eFloatLeft, {0, 0, 10, 10}, {}, -30.0f, false, 0, false),
         {100, 0, 70, 10}, 70},
        {"left height counts from the parent top", {0, 40, 700, 140}, {0, 40, 700, 140}, 0,
         Child(eFloatLeft, {0, 30, 10, 50}, {}, 0, false, 0.5f, true), {0, 70, 10, 90}, 10},
        {"left ignores margins", {0, 0, 700, 100}, {0, 0, 700, 100}, 0,
         Child(eFloatLeft, {3, 4, 13, 14}, {5, 5, 5, 5}), {3, 4, 13, 10}, 13},
        {"left overflowing the parent stops at R - 1", {0, 0, 300, 100}, {0, 0, 300, 100}, 299,
         Child(eFloatLeft, {1, 0, 101, 50}, {}, 0.5f, true, 0, false), {300, 0, 299, 50},
         299},
        // Right: never left of the parent, the current height, overlapping siblings.
        {"right wider than the parent", {20, 0, 70, 100}, {20, 0, 70, 100}, 20,
         Child(eFloatRight, {0, 0, 100, 10}), {20, 0, 70, 10}, 20},
        {"right keeps its current height", {0, 0, 300, 100}, {0, 0, 300, 100}, 0,
         [] {
             ChildValues child = Child(eFloatRight, {1, 1, 61, 30});
             child.rcLast = {5, 5, 65, 85};
             return child;
         }(),
         {240, 1, 300, 81}, 0},
        // Fill: a bottom margin, and no shrinking below the initial bottom.
        {"fill with a bottom margin", {5, 302, 795, 500}, {5, 302, 695, 400}, 5,
         Child(eFloatFill, {1, 0, 690, 98}, {0, 0, 0, 2}), {6, 302, 790, 196}, 5},
        {"fill in a shrunken parent", {0, 0, 600, 300}, {0, 0, 700, 400}, 0,
         Child(eFloatFill, {5, 1, 695, 300}), {5, 1, 595, 300}, 0},
        // Bottom without a margin: the initial bottom as an absolute coordinate.
        {"bottom without a margin", {5, 302, 795, 500}, {5, 302, 695, 400}, 5,
         Child(eFloatBottom, {1, 0, 694, 100}), {6, 302, 794, 100}, 5},
    };
    for (const auto& c : cases) {
        const auto placement = PlaceChild(c.rcParent, c.rcParentInit, c.nCursorX, c.child);
        ASSERT_TRUE(placement) << c.name;
        EXPECT_EQ(Text(placement->rcBox), Text(c.rcExpected)) << c.name;
        EXPECT_EQ(placement->nNextCursorX, c.nExpectedCursorX) << c.name;
    }
}

TEST(PlaceChild, KeepsOutOfRangeSizeValuesWithinInt) {
    const float values[] = {1e20f, -1e20f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
    for (const float value : values) {
        for (const bool bRatio : {false, true}) {
            const ChildValues child =
                Child(eFloatLeft, {0, 0, 10, 10}, {}, value, bRatio, value, bRatio);
            const auto placement = PlaceChild({0, 0, 100, 100}, {0, 0, 100, 100}, 0, child);
            ASSERT_TRUE(placement);
            EXPECT_LE(placement->rcBox.right, 99) << value << (bRatio ? " ratio" : "");
            EXPECT_LE(placement->rcBox.bottom, 99) << value << (bRatio ? " ratio" : "");
        }
    }
    EXPECT_EQ(TruncToInt(1e20), INT_MAX);
    EXPECT_EQ(TruncToInt(-1e20), INT_MIN);
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
    EXPECT_EQ(TruncToInt(-2.9), -2);
    EXPECT_EQ(TruncToInt(2.9), 2);
}

TEST(ClampBox, CollapsesReversedEdgesOntoTheLeftAndTop) {
    EXPECT_EQ(Text(ClampBox(10, 10, 5, 5)), Text({10, 10, 10, 10}));
    EXPECT_EQ(Text(ClampBox(10, 10, 5, 50)), Text({10, 10, 10, 50}));
    EXPECT_EQ(Text(ClampBox(1, 2, 3, 4)), Text({1, 2, 3, 4}));
}

TEST(CenteredOrigin, HalvesTheRemainderTruncatingTowardZero) {
    const struct {
        int screenWidth, screenHeight, width, height;
        POINT expected;
    } cases[] = {
        {1920, 1080, 1000, 500, {460, 290}}, {1024, 768, 719, 437, {152, 165}},
        {1024, 768, 1025, 769, {0, 0}},      {1024, 768, 1027, 771, {-1, -1}},
        {1024, 768, 1100, 900, {-38, -66}},
    };
    for (const auto& c : cases) {
        const POINT origin = CenteredOrigin(c.screenWidth, c.screenHeight, c.width, c.height);
        EXPECT_EQ(origin.x, c.expected.x) << c.width << " x " << c.height;
        EXPECT_EQ(origin.y, c.expected.y) << c.width << " x " << c.height;
    }
}

TEST(ClassName, FormatsAGuidWithALowerCaseThirdGroup) {
    const GUID guid = {
        0x0123abcd, 0x4ef5, 0xa6b7, {0xc8, 0xd9, 0xea, 0xfb, 0x0c, 0x1d, 0x2e, 0x3f}};
    EXPECT_EQ(FormatGuidClassName(guid), L"{0123ABCD-4EF5-a6b7-C8D9-EAFB0C1D2E3F}");
}

TEST(ClassName, MakesAFreshGuidNameWhenNoneIsGiven) {
    const std::wstring first = MakeClassName(nullptr).data();
    const std::wstring second = MakeClassName(L"").data();
    EXPECT_EQ(first.size(), 38u);
    EXPECT_EQ(first.front(), L'{');
    EXPECT_EQ(first.back(), L'}');
    EXPECT_NE(first, second);
}

} // namespace
