// Window arithmetic of the class layer, kept free of Win32 calls so it can be tested alone.
#pragma once

#include <string>

namespace afx {

struct Box {
    int left, top, right, bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Top-left corner that centres `box` over `over`, kept inside `work` where it fits.
inline void CenterOver(const Box& box, const Box& over, const Box& work, int& x, int& y)
{
    x = over.left + (over.Width() - box.Width()) / 2;
    y = over.top + (over.Height() - box.Height()) / 2;
    if (x + box.Width() > work.right)
        x = work.right - box.Width();
    if (y + box.Height() > work.bottom)
        y = work.bottom - box.Height();
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
}

// The application name: the module's file name without directory and extension.
inline std::string AppNameFromPath(const std::string& path)
{
    const auto slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.erase(dot);
    return name;
}

}  // namespace afx
