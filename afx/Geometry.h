// The rectangle type and the window arithmetic of the class layer, free of Win32 calls
// so that they can be tested alone.
#pragma once

#include "WinTypes.h"

// The one rectangle type: a RECT that knows its size.
struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rc) : RECT(rc) {}  // NOLINT(google-explicit-constructor)
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

namespace afx {

// Top-left corner that centres `box` over `over`, kept inside `work` where it fits.
inline void CenterOver(const CRect& box, const CRect& over, const CRect& work, int& x, int& y)
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

}  // namespace afx
