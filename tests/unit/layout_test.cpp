#include "Geometry.h"
#include "Layout.h"

#include <gtest/gtest.h>

TEST(Layout, ReportAndButtonFollowTheClientArea)
{
    const CRect report = layout::ReportRect(400, 300);
    EXPECT_EQ(report.left, 0);
    EXPECT_EQ(report.top, 0);
    EXPECT_EQ(report.right, 398);
    EXPECT_EQ(report.bottom, 268);

    const CRect ok = layout::OkButtonRect(400, 300, 75, 23);
    EXPECT_EQ(ok.left, 162);
    EXPECT_EQ(ok.top, 274);
    EXPECT_EQ(ok.right, 237);
    EXPECT_EQ(ok.bottom, 297);
    EXPECT_EQ(layout::OkButtonRect(401, 300, 75, 23).left, 162);
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
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 2);
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
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 250);
    afx::CenterOver({0, 0, 400, 300}, work, work, x, y);   // over the screen
    EXPECT_EQ(x, 440);
    EXPECT_EQ(y, 350);
    afx::CenterOver({0, 0, 400, 300}, {1100, 900, 1300, 1000}, work, x, y);
    EXPECT_EQ(x, 880);   // pushed back inside on the right
    EXPECT_EQ(y, 700);   // and at the bottom
    afx::CenterOver({0, 0, 400, 300}, {-300, -300, -100, -100}, work, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}
