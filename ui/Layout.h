// The main window's geometry, free of Win32 calls so it can be tested alone. Every length is
// given at 96 DPI and scaled to the window's DPI.
#pragma once

#include "Geometry.h"

namespace layout {

constexpr int kBaseDpi = 96;

// n >= 0 pixels at 96 DPI as pixels at dpi, a half rounded up, as MulDiv(n, dpi, 96) rounds.
constexpr int Scale(int n, int dpi)
{
    return static_cast<int>((static_cast<long long>(n) * dpi + kBaseDpi / 2) / kBaseDpi);
}

// The report control: the client area less 2 pixels on the right and 32 at the bottom.
inline CRect ReportRect(int cx, int cy, int dpi = kBaseDpi)
{
    return {0, 0, cx - Scale(2, dpi), cy - Scale(32, dpi)};
}

// The OK button keeps its size, centred by truncating halvings, 3 pixels above the bottom.
inline CRect OkButtonRect(int cx, int cy, int bw, int bh, int dpi = kBaseDpi)
{
    const int left = cx / 2 - bw / 2 - Scale(1, dpi);
    const int bottom = cy - Scale(3, dpi);
    return {left, bottom - bh, left + bw, bottom};
}

// Top-left corner of an icon centred in a client area (truncating halvings).
inline void IconOrigin(int cx, int cy, int cxIcon, int cyIcon, int& x, int& y)
{
    x = (cx - cxIcon + 1) / 2;
    y = (cy - cyIcon + 1) / 2;
}

// Smallest size of the whole window, frame included, in pixels at 96 DPI.
constexpr int kMinTrackWidth = 348;
constexpr int kMinTrackHeight = 296;

}  // namespace layout
