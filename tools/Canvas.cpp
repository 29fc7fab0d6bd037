#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Canvas::Canvas(int width, int height, uint8_t fill)
    : w_(width), h_(height), px_(static_cast<size_t>(width) * height, fill)
{
}

void Canvas::Set(int x, int y, uint8_t c)
{
    if (Inside(x, y))
        px_[static_cast<size_t>(y) * w_ + x] = c;
}

void Canvas::Fill(int x0, int y0, int x1, int y1, uint8_t c)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, w_);
    y1 = std::min(y1, h_);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            px_[static_cast<size_t>(y) * w_ + x] = c;
}

void Canvas::HLine(int x0, int x1, int y, uint8_t c)
{
    Fill(std::min(x0, x1), y, std::max(x0, x1) + 1, y + 1, c);
}

void Canvas::VLine(int x, int y0, int y1, uint8_t c)
{
    Fill(x, std::min(y0, y1), x + 1, std::max(y0, y1) + 1, c);
}

void Canvas::Line(int x0, int y0, int x1, int y1, uint8_t c)
{
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Set(x0, y0, c);
        if (x0 == x1 && y0 == y1)
            return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::ThickLine(double x0, double y0, double x1, double y1, double width, uint8_t c)
{
    const double r = width / 2;
    const double vx = x1 - x0;
    const double vy = y1 - y0;
    const double len2 = vx * vx + vy * vy;
    const int xa = static_cast<int>(std::floor(std::min(x0, x1) - r));
    const int xb = static_cast<int>(std::ceil(std::max(x0, x1) + r));
    const int ya = static_cast<int>(std::floor(std::min(y0, y1) - r));
    const int yb = static_cast<int>(std::ceil(std::max(y0, y1) + r));
    for (int y = ya; y <= yb; ++y) {
        for (int x = xa; x <= xb; ++x) {
            const double px = x + 0.5 - x0;
            const double py = y + 0.5 - y0;
            double t = len2 > 0 ? (px * vx + py * vy) / len2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            const double ex = px - t * vx;
            const double ey = py - t * vy;
            if (ex * ex + ey * ey <= r * r)
                Set(x, y, c);
        }
    }
}

void Canvas::Disc(double cx, double cy, double r, uint8_t c)
{
    Ring(cx, cy, -1, r, c);
}

void Canvas::Ring(double cx, double cy, double rInner, double rOuter, uint8_t c)
{
    const int xa = static_cast<int>(std::floor(cx - rOuter));
    const int xb = static_cast<int>(std::ceil(cx + rOuter));
    const int ya = static_cast<int>(std::floor(cy - rOuter));
    const int yb = static_cast<int>(std::ceil(cy + rOuter));
    const double inner2 = rInner < 0 ? -1 : rInner * rInner;
    for (int y = ya; y <= yb; ++y) {
        for (int x = xa; x <= xb; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double d2 = dx * dx + dy * dy;
            if (d2 <= rOuter * rOuter && d2 > inner2)
                Set(x, y, c);
        }
    }
}

void Canvas::RoundRect(int x0, int y0, int x1, int y1, int radius, uint8_t fill, uint8_t outline)
{
    // Corner test against a circle centred inside each corner.
    auto inside = [&](int x, int y, int shrink) {
        const int l = x0 + shrink, t = y0 + shrink, r = x1 - shrink, b = y1 - shrink;
        if (x < l || x > r || y < t || y > b)
            return false;
        const int rad = std::max(radius - shrink, 0);
        const int cx = x < l + rad ? l + rad : x > r - rad ? r - rad : x;
        const int cy = y < t + rad ? t + rad : y > b - rad ? b - rad : y;
        const double dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= (rad + 0.4) * (rad + 0.4);
    };
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (inside(x, y, 0))
                Set(x, y, inside(x, y, 1) ? fill : outline);
}

void Canvas::Polygon(const std::vector<double>& xy, uint8_t c)
{
    const size_t n = xy.size() / 2;
    if (n < 3)
        return;
    double ymin = xy[1], ymax = xy[1];
    for (size_t i = 0; i < n; ++i) {
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    for (int y = static_cast<int>(std::floor(ymin)); y <= static_cast<int>(std::ceil(ymax)); ++y) {
        const double sy = y + 0.5;
        std::vector<double> xs;
        for (size_t i = 0; i < n; ++i) {
            const double ax = xy[2 * i], ay = xy[2 * i + 1];
            const double bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
            if ((ay <= sy) != (by <= sy))
                xs.push_back(ax + (sy - ay) * (bx - ax) / (by - ay));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int xa = static_cast<int>(std::ceil(xs[i] - 0.5));
            const int xb = static_cast<int>(std::floor(xs[i + 1] - 0.5));
            if (xa <= xb)
                HLine(xa, xb, y, c);
        }
    }
}

namespace {

struct Glyph {
    char ch;
    const char* rows;  // five rows of three cells, top first, '#' set
};

const Glyph kFont[] = {
    {'A', ".#. #.# ### #.# #.#"}, {'B', "##. #.# ##. #.# ##."},
    {'C', ".## #.. #.. #.. .##"}, {'D', "##. #.# #.# #.# ##."},
    {'E', "### #.. ##. #.. ###"}, {'F', "### #.. ##. #.. #.."},
    {'G', ".## #.. #.# #.# .##"}, {'H', "#.# #.# ### #.# #.#"},
    {'I', "### .#. .#. .#. ###"}, {'K', "#.# #.# ##. #.# #.#"},
    {'L', "#.. #.. #.. #.. ###"}, {'M', "#.# ### ### #.# #.#"},
    {'N', "##. #.# #.# #.# #.#"}, {'O', ".#. #.# #.# #.# .#."},
    {'P', "##. #.# ##. #.. #.."}, {'R', "##. #.# ##. #.# #.#"},
    {'S', ".## #.. .#. ..# ##."}, {'T', "### .#. .#. .#. .#."},
    {'U', "#.# #.# #.# #.# ###"}, {'V', "#.# #.# #.# #.# .#."},
    {'W', "#.# #.# ### ### #.#"}, {'Z', "### ..# .#. #.. ###"},
    {'0', "### #.# #.# #.# ###"}, {'1', ".#. ##. .#. .#. ###"},
    {'2', "##. ..# .#. #.. ###"}, {'3', "##. ..# .#. ..# ##."},
    {'4', "#.# #.# ### ..# ..#"}, {'5', "### #.. ##. ..# ##."},
    {'6', ".## #.. ### #.# ###"}, {'8', "### #.# ### #.# ###"},
    {'9', "### #.# ### ..# ##."}, {':', "... .#. ... .#. ..."},
    {'.', "... ... ... ... .#."}, {'-', "... ... ### ... ..."},
    {'[', "##. #.. #.. #.. ##."}, {']', ".## ..# ..# ..# .##"},
};

}  // namespace

void Canvas::Text(int x, int y, const std::string& text, uint8_t c)
{
    for (char ch : text) {
        for (const Glyph& g : kFont) {
            if (g.ch != ch)
                continue;
            for (int i = 0; i < 15; ++i)
                if (g.rows[i + i / 3] == '#')
                    Set(x + i % 3, y + i / 3, c);
        }
        x += 4;
    }
}

int Canvas::TextWidth(const std::string& text)
{
    return text.empty() ? 0 : static_cast<int>(text.size()) * 4 - 1;
}

double SinTurns(double turns)
{
    double t = turns - std::floor(turns);  // [0, 1)
    // Fold to [-0.25, 0.25] turns, where the series converges fast.
    if (t > 0.75)
        t -= 1;
    else if (t > 0.25)
        t = 0.5 - t;
    const double x = t * 6.283185307179586;
    const double x2 = x * x;
    double term = x, sum = x;
    for (int k = 1; k <= 9; ++k) {
        term *= -x2 / ((2 * k) * (2 * k + 1));
        sum += term;
    }
    return sum;
}

double CosTurns(double turns)
{
    return SinTurns(turns + 0.25);
}

int RoundToInt(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

uint32_t Random::Next()
{
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
}

double Random::Unit()
{
    return (Next() >> 8) / 16777216.0;
}

int Random::Below(int n)
{
    return static_cast<int>(Next() % static_cast<uint32_t>(n));
}

bool WritePpm(const std::string& path, const Canvas& canvas, const Palette& palette)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", canvas.Width(), canvas.Height());
    for (uint8_t i : canvas.Pixels()) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{255, 0, 255};
        const uint8_t bytes[3] = {c.r, c.g, c.b};
        std::fwrite(bytes, 1, 3, f);
    }
    return std::fclose(f) == 0;
}
