#include "Geometry.h"
#include "Layout.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using Sides = std::vector<LONG>;   // left, top, right, bottom

Sides Of(const CRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

// The report control less 2 and 32 pixels, the button centred by truncating halvings 3 above
// the bottom, at 96 DPI and scaled.
TEST(Layout, ReportAndButtonFollowTheClientArea)
{
    EXPECT_EQ(Of(layout::ReportRect(400, 300)), (Sides{0, 0, 398, 268}));
    EXPECT_EQ(Of(layout::OkButtonRect(400, 300, 75, 23)), (Sides{162, 274, 237, 297}));
    EXPECT_EQ(layout::OkButtonRect(401, 300, 75, 23).left, 162);
    EXPECT_EQ(Of(layout::ReportRect(600, 450, 120)), (Sides{0, 0, 597, 410}));
    EXPECT_EQ(Of(layout::OkButtonRect(600, 450, 113, 35, 144)), (Sides{242, 410, 355, 445}));
}

TEST(Layout, EmptyClientAreaHasNoSpecialCase)
{
    EXPECT_EQ(Of(layout::ReportRect(0, 0)), (Sides{0, 0, -2, -32}));
    EXPECT_EQ(Of(layout::OkButtonRect(0, 0, 75, 23)), (Sides{-38, -26, 37, -3}));   // -37.5 truncates
}

// Lengths follow the DPI, rounded as MulDiv(n, dpi, 96) rounds: 2.5 and 4.5 go up.
TEST(Layout, LengthsScaleWithTheDpi)
{
    EXPECT_EQ((Sides{layout::Scale(layout::kMinTrackWidth, 144), layout::Scale(layout::kMinTrackHeight, 144),
                     layout::Scale(layout::kMinTrackWidth, 120), layout::Scale(layout::kMinTrackHeight, 192),
                     layout::Scale(2, 120), layout::Scale(3, 144)}),
              (Sides{522, 444, 435, 592, 3, 5}));
}

TEST(Layout, IconIsCentredWithTruncatingHalvings)
{
    int x = -1;
    int y = -1;
    layout::IconOrigin(36, 36, 32, 32, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(2, 2));
    layout::IconOrigin(30, 10, 32, 32, x, y);
    EXPECT_EQ(x, 0);    // (30 - 32 + 1) / 2 truncates to 0, not -1
    EXPECT_EQ(y, -10);  // (10 - 32 + 1) / 2 = -21 / 2
}

TEST(Geometry, BoxIsCentredOverItsOwnerAndKeptOnTheWorkArea)
{
    const CRect work{0, 0, 1280, 1000};
    int x = 0;
    int y = 0;
    afx::CenterOver({0, 0, 200, 100}, {100, 100, 700, 500}, work, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(300, 250));
    afx::CenterOver({0, 0, 400, 300}, work, work, x, y);   // over the screen
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(440, 350));
    // Pushed back inside on the right and at the bottom.
    afx::CenterOver({0, 0, 400, 300}, {1100, 900, 1300, 1000}, work, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(880, 700));
    afx::CenterOver({0, 0, 400, 300}, {-300, -300, -100, -100}, work, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0));
}
