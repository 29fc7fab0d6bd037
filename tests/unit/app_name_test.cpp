#include "AppName.h"

#include <gtest/gtest.h>

TEST(AppName, IsTheFileNameWithoutDirectoryAndExtension)
{
    EXPECT_EQ(afx::AppNameFromPath("C:\\Programme\\Kavrin\\Kavrin.exe"), "Kavrin");
    EXPECT_EQ(afx::AppNameFromPath("Z:\\tmp\\Andere.EXE"), "Andere");
    EXPECT_EQ(afx::AppNameFromPath("C:\\a.b\\Kavrin.v2.exe"), "Kavrin.v2");
    EXPECT_EQ(afx::AppNameFromPath("C:\\tools\\Kavrin"), "Kavrin");
    EXPECT_EQ(afx::AppNameFromPath("Kavrin.exe"), "Kavrin");
}
