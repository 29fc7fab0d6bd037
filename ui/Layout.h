// The main window's geometry, free of Win32 calls so it can be tested alone.
#pragma once

#include "Geometry.h"

namespace layout {

// The report control: the client area less 2 pixels on the right and 32 at the bottom.
inline CRect ReportRect(int cx, int cy)
{
    return {0, 0, cx - 2, cy - 32};
}

// The OK button keeps its size, centred by truncating halvings, 3 pixels above the bottom.
inline CRect OkButtonRect(int cx, int cy, int bw, int bh)
{
    const int left = cx / 2 - bw / 2 - 1;
    const int bottom = cy - 3;
    return {left, bottom - bh, left + bw, bottom};
}

// Top-left corner of an icon centred in a client area (truncating halvings).
inline void IconOrigin(int cx, int cy, int cxIcon, int cyIcon, int& x, int& y)
{
    x = (cx - cxIcon + 1) / 2;
    y = (cy - cyIcon + 1) / 2;
}

// Smallest size of the whole window, frame included, in pixels.
constexpr int kMinTrackWidth = 348;
constexpr int kMinTrackHeight = 296;

}  // namespace layout
