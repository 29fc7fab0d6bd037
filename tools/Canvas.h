// An 8-bit indexed picture and the few drawing operations the generators need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator<(const Rgb& o) const
    {
        return r != o.r ? r < o.r : g != o.g ? g < o.g : b < o.b;
    }
};

using Palette = std::vector<Rgb>;

// Pixels are palette indices, top row first. Every drawing call clips to the picture.
class Canvas {
public:
    Canvas(int width, int height, uint8_t fill = 0);

    int Width() const { return w_; }
    int Height() const { return h_; }
    uint8_t At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    const std::vector<uint8_t>& Pixels() const { return px_; }

    void Set(int x, int y, uint8_t c);
    // Half-open rectangle [x0, x1) x [y0, y1).
    void Fill(int x0, int y0, int x1, int y1, uint8_t c);
    void HLine(int x0, int x1, int y, uint8_t c);  // x0..x1 inclusive
    void VLine(int x, int y0, int y1, uint8_t c);  // y0..y1 inclusive
    void Line(int x0, int y0, int x1, int y1, uint8_t c);
    // A line of the given width: every pixel whose centre lies within width/2 of the segment.
    void ThickLine(double x0, double y0, double x1, double y1, double width, uint8_t c);
    // Every pixel whose centre lies inside the circle.
    void Disc(double cx, double cy, double r, uint8_t c);
    // Pixels whose centre lies between the two radii.
    void Ring(double cx, double cy, double rInner, double rOuter, uint8_t c);
    // Outlined rectangle with rounded corners (radius in pixels), inclusive corners.
    void RoundRect(int x0, int y0, int x1, int y1, int radius, uint8_t fill, uint8_t outline);
    // Every pixel whose centre lies inside the polygon (even-odd rule).
    void Polygon(const std::vector<double>& xy, uint8_t c);

    // Text in the 3x5 font, 4 pixels per character; unknown characters are blank.
    void Text(int x, int y, const std::string& text, uint8_t c);
    static int TextWidth(const std::string& text);

private:
    int w_;
    int h_;
    std::vector<uint8_t> px_;
};

// sin(2*pi*turns) and cos(2*pi*turns) from plain arithmetic, so the output does not
// depend on the C library's rounding.
double SinTurns(double turns);
double CosTurns(double turns);
int RoundToInt(double v);

// A small fixed-seed generator (xorshift32): the same numbers on every machine.
class Random {
public:
    explicit Random(uint32_t seed) : s_(seed ? seed : 1) {}
    uint32_t Next();
    double Unit();  // [0, 1)
    int Below(int n);

private:
    uint32_t s_;
};

// Writes the picture as a binary PPM (P6); returns false if the file cannot be written.
bool WritePpm(const std::string& path, const Canvas& canvas, const Palette& palette);
