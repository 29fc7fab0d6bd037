#include "Geometry.h"
#include "Layout.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using Sides = std::vector<LONG>;   // left, top, right, bottom

TEST(Layout, ReportAndButtonFollowTheClientArea)
{
    const CRect report = layout::ReportRect(400, 300);
    EXPECT_EQ((Sides{report.left, report.top, report.right, report.bottom}), (Sides{0, 0, 398, 268}));
    const CRect ok = layout::OkButtonRect(400, 300, 75, 23);
    EXPECT_EQ((Sides{ok.left, ok.top, ok.right, ok.bottom}), (Sides{162, 274, 237, 297}));
    EXPECT_EQ(layout::OkButtonRect(401, 300, 75, 23).left, 162);
}

// Lengths follow the DPI, rounded as MulDiv(n, dpi, 96) rounds: 2.5 and 4.5 go up.
TEST(Layout, LengthsScaleWithTheDpi)
{
    EXPECT_EQ((Sides{layout::Scale(layout::kMinTrackWidth, 144), layout::Scale(layout::kMinTrackHeight, 144),
                     layout::Scale(348, 120), layout::Scale(296, 192)}),
              (Sides{522, 444, 435, 592}));
    const CRect report = layout::ReportRect(600, 450, 120);
    EXPECT_EQ((Sides{report.left, report.top, report.right, report.bottom}), (Sides{0, 0, 597, 410}));
    const CRect ok = layout::OkButtonRect(600, 450, 113, 35, 144);
    EXPECT_EQ((Sides{ok.left, ok.top, ok.right, ok.bottom}), (Sides{242, 410, 355, 445}));
}

TEST(Layout, EmptyClientAreaHasNoSpecialCase)
{
    const CRect report = layout::ReportRect(0, 0);
    EXPECT_EQ(report.right - report.left, -2);
    EXPECT_EQ(report.bottom - report.top, -32);
    const CRect ok = layout::OkButtonRect(0, 0, 75, 23);
    EXPECT_EQ(ok.left, -75 / 2 - 1);   // halvings truncate toward zero: -38
    EXPECT_EQ(ok.left, -38);
    EXPECT_EQ(ok.top, -3 - 23);
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
