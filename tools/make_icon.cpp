// Writes the program's icon: a monitor showing an info sign, as three images in this
// order: 32 x 32 with 16 colours, 16 x 16 with 16 colours, 48 x 48 with 256 colours.
//   make_icon Kavrin.ico
#include "Avi.h"
#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// The 16 colours of the standard VGA palette, in their usual order.
const Palette kVga = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
enum Vga : uint8_t { kBlack = 0, kNavy = 4, kSilver = 7, kGrey = 8, kLime = 10, kBlue = 12, kWhite = 15 };
constexpr uint8_t kClear = 16;  // marks transparent pixels of the 16-colour art

struct IconImage {
    Canvas pixels;  // palette indices, 0 where transparent
    Canvas mask;    // 1 where transparent
    Palette palette;
    int bits;
};

// A 16-colour image from art that marks its transparent pixels with kClear.
IconImage FromArt(const Canvas& art)
{
    IconImage image{art, Canvas(art.Width(), art.Height()), kVga, 4};
    for (int y = 0; y < art.Height(); ++y) {
        for (int x = 0; x < art.Width(); ++x) {
            if (art.At(x, y) == kClear) {
                image.pixels.Set(x, y, 0);
                image.mask.Set(x, y, 1);
            }
        }
    }
    return image;
}

IconImage Small()
{
    static const char* const kArt[16] = {
        ".KKKKKKKKKKKKKK.",
        "KWWWWWWWWWWWWWsK",
        "KWBBBBBBBBBnnngK",
        "KWBBBBnWWnnnnngK",
        "KWBBBnnnnnnnnngK",
        "KWBBnnWWWnnnnngK",
        "KWBnnnnWWnnnnngK",
        "KWnnnnnWWnnnnngK",
        "KWnnnnWWWWnnnngK",
        "KWnnnnnnnnnnnngK",
        "KssssssssssssLgK",
        ".KKKKKKKKKKKKKK.",
        "......KsgK......",
        "....KKKKKKKK....",
        "...KWssssssgK...",
        "...KKKKKKKKKK...",
    };
    const std::map<char, uint8_t> colours = {{'.', kClear}, {'K', kBlack}, {'W', kWhite}, {'s', kSilver},
                                             {'g', kGrey},  {'n', kNavy},  {'B', kBlue},  {'L', kLime}};
    Canvas c(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            c.Set(x, y, colours.at(kArt[y][x]));
    return FromArt(c);
}

IconImage Medium()
{
    Canvas c(32, 32, kClear);
    // Monitor with a raised bezel.
    c.RoundRect(1, 2, 30, 24, 2, kSilver, kBlack);
    c.HLine(3, 28, 3, kWhite);
    c.VLine(2, 4, 22, kWhite);
    c.HLine(3, 28, 23, kGrey);
    c.VLine(29, 4, 22, kGrey);
    c.Fill(4, 5, 28, 21, kGrey);
    // Screen: blue at the top left, dithered into navy towards the bottom right.
    for (int y = 6; y < 20; ++y) {
        for (int x = 5; x < 27; ++x) {
            const int t = (x - 5) + (y - 6);
            c.Set(x, y, t < 9 || (t < 14 && (x + y) % 2) ? kBlue : kNavy);
        }
    }
    c.Set(25, 22, kLime);
    c.Set(26, 22, kLime);
    // Info sign: a white disc with a navy "i".
    c.Disc(16, 13, 6.2, kWhite);
    c.Fill(15, 8, 17, 10, kNavy);
    c.Fill(15, 11, 17, 17, kNavy);
    c.Set(14, 11, kNavy);
    c.Fill(14, 16, 18, 17, kNavy);
    // Neck and foot.
    c.Fill(13, 25, 19, 27, kGrey);
    c.VLine(12, 25, 26, kBlack);
    c.VLine(19, 25, 26, kBlack);
    c.RoundRect(7, 27, 24, 30, 1, kSilver, kBlack);
    c.HLine(8, 23, 28, kWhite);
    return FromArt(c);
}

// Signed distance from a rounded rectangle (negative inside).
double RoundRectDistance(double x, double y, double x0, double y0, double x1, double y1, double r)
{
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double qx = std::fabs(x - cx) - ((x1 - x0) / 2 - r);
    const double qy = std::fabs(y - cy) - ((y1 - y0) / 2 - r);
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
}

struct Colour {
    double r, g, b;
};

Colour Mix(const Colour& a, const Colour& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The 48 x 48 picture at one sample point; false outside the icon's outline.
bool Sample48(double x, double y, Colour& out)
{
    const Colour ink{44, 48, 60};
    const double body = RoundRectDistance(x, y, 2, 4, 46, 37, 4);
    const double neck = RoundRectDistance(x, y, 19, 36, 29, 42, 0.5);
    const double foot = RoundRectDistance(x, y, 10, 40.5, 38, 45.5, 2.2);
    if (body > 0 && neck > 0 && foot > 0)
        return false;
    if (body > 0) {
        const double d = neck <= 0 && foot > 0 ? neck : foot;
        const double shade = (y - 36) / 10 + std::fabs(x - 24) / 40;
        out = d > -1 ? ink : Mix({226, 228, 232}, {150, 154, 164}, shade);
        return true;
    }
    if (body > -1) {
        out = ink;
        return true;
    }
    const double recess = RoundRectDistance(x, y, 6.5, 8, 41.5, 31.5, 2);
    if (recess > 0) {
        out = Mix({244, 245, 248}, {178, 182, 192}, (y - 4) / 33 + (x - 2) / 120);
        if (std::hypot(x - 39.5, y - 34.3) < 1.3)
            out = {60, 210, 90};
        return true;
    }
    if (recess > -1) {
        out = {96, 100, 112};
        return true;
    }
    // Screen: deep blue with a soft glare in the upper left.
    Colour screen = Mix({52, 128, 224}, {10, 36, 110}, ((x - 7.5) + (y - 9)) / 50);
    if ((x - 7.5) * 0.8 + (y - 9) < 9)
        screen = Mix(screen, {255, 255, 255}, 0.14);
    const double badge = std::hypot(x - 24, y - 19.8) - 8.3;
    const double shadow = std::hypot(x - 24.8, y - 20.9) - 8.3;
    if (badge > 0) {
        out = shadow < 0 ? Mix(screen, {0, 0, 30}, 0.35) : screen;
        return true;
    }
    const Colour sign{24, 72, 172};
    const bool dot = std::hypot(x - 24, y - 14.9) < 1.75;
    const bool stem = RoundRectDistance(x, y, 22.3, 17.4, 25.7, 25.0, 0.4) < 0;
    const bool serif = RoundRectDistance(x, y, 20.6, 17.4, 25.7, 18.9, 0.4) < 0;
    const bool base = RoundRectDistance(x, y, 20.4, 23.6, 27.6, 25.2, 0.4) < 0;
    if (dot || stem || serif || base)
        out = sign;
    else
        out = badge > -1.1 ? Colour{190, 204, 228} : Mix({255, 255, 255}, {214, 224, 242}, (y - 12) / 16);
    return true;
}

// Median cut: splits the colour set along its widest channel until there are `count` boxes.
Palette MedianCut(const std::map<Rgb, int>& histogram, size_t count)
{
    using Entry = std::pair<Rgb, int>;
    std::vector<std::vector<Entry>> boxes(1, std::vector<Entry>(histogram.begin(), histogram.end()));
    auto channel = [](const Rgb& c, int k) { return k == 0 ? c.r : k == 1 ? c.g : c.b; };
    auto widest = [&](const std::vector<Entry>& box, int& span) {
        int best = 0;
        span = -1;
        for (int k = 0; k < 3; ++k) {
            int lo = 255, hi = 0;
            for (const Entry& e : box) {
                lo = std::min<int>(lo, channel(e.first, k));
                hi = std::max<int>(hi, channel(e.first, k));
            }
            if (hi - lo > span) {
                span = hi - lo;
                best = k;
            }
        }
        return best;
    };
    while (boxes.size() < count) {
        size_t pick = boxes.size();
        long bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2)
                continue;
            int span;
            widest(boxes[i], span);
            long pixels = 0;
            for (const Entry& e : boxes[i])
                pixels += e.second;
            const long score = span * pixels;
            if (pick == boxes.size() || score > bestScore) {
                pick = i;
                bestScore = score;
            }
        }
        if (pick == boxes.size())
            break;
        std::vector<Entry>& box = boxes[pick];
        int span;
        const int k = widest(box, span);
        std::sort(box.begin(), box.end(), [&](const Entry& a, const Entry& b) {
            return channel(a.first, k) != channel(b.first, k) ? channel(a.first, k) < channel(b.first, k)
                                                                : a.first < b.first;
        });
        long total = 0, half = 0;
        for (const Entry& e : box)
            total += e.second;
        size_t cut = 1;
        for (; cut < box.size() - 1; ++cut) {
            half += box[cut - 1].second;
            if (2 * half >= total)
                break;
        }
        boxes.emplace_back(box.begin() + static_cast<long>(cut), box.end());
        boxes[pick].resize(cut);
    }
    Palette palette;
    for (const auto& box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const Entry& e : box) {
            r += e.first.r * e.second;
            g += e.first.g * e.second;
            b += e.first.b * e.second;
            n += e.second;
        }
        palette.push_back({static_cast<uint8_t>(RoundToInt(r / n)), static_cast<uint8_t>(RoundToInt(g / n)),
                           static_cast<uint8_t>(RoundToInt(b / n))});
    }
    palette.resize(count, Rgb{0, 0, 0});
    return palette;
}

uint8_t Nearest(const Palette& palette, Rgb c)
{
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        const long dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = d;
        }
    }
    return static_cast<uint8_t>(best);
}

IconImage Large()
{
    constexpr int kSize = 48, kSub = 4;
    std::vector<Rgb> rgb(size_t{kSize} * kSize);
    std::vector<bool> opaque(size_t{kSize} * kSize);
    std::map<Rgb, int> histogram;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Colour sum{0, 0, 0};
            int inside = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    Colour c;
                    if (Sample48(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub, c)) {
                        sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                        ++inside;
                    }
                }
            }
            const size_t i = static_cast<size_t>(y) * kSize + x;
            opaque[i] = 2 * inside >= kSub * kSub;
            if (!opaque[i])
                continue;
            rgb[i] = {static_cast<uint8_t>(RoundToInt(sum.r / inside)),
                      static_cast<uint8_t>(RoundToInt(sum.g / inside)),
                      static_cast<uint8_t>(RoundToInt(sum.b / inside))};
            ++histogram[rgb[i]];
        }
    }
    // Index 0 is black: the colour under the mask, which leaves the desktop unchanged.
    Palette palette = MedianCut(histogram, 255);
    palette.insert(palette.begin(), Rgb{0, 0, 0});
    IconImage image{Canvas(kSize, kSize), Canvas(kSize, kSize, 1), palette, 8};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const size_t i = static_cast<size_t>(y) * kSize + x;
            if (opaque[i]) {
                image.pixels.Set(x, y, Nearest(image.palette, rgb[i]));
                image.mask.Set(x, y, 0);
            }
        }
    }
    return image;
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image: BITMAPINFOHEADER (height doubled), palette, colour bitmap, AND mask.
std::vector<uint8_t> Dib(const IconImage& image)
{
    const int w = image.pixels.Width(), h = image.pixels.Height();
    const int colourStride = (w * image.bits + 31) / 32 * 4;
    const int maskStride = (w + 31) / 32 * 4;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, w);
    Put32(out, 2 * h);
    Put16(out, 1);
    Put16(out, image.bits);
    Put32(out, 0);
    Put32(out, (colourStride + maskStride) * h);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (const Rgb& c : image.palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(colourStride);
        for (int x = 0; x < w; ++x) {
            const uint8_t i = image.pixels.At(x, y);
            if (image.bits == 8)
                row[x] = i;
            else
                row[x / 2] = static_cast<uint8_t>(row[x / 2] | (x % 2 ? i : i << 4));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride);
        for (int x = 0; x < w; ++x)
            if (image.mask.At(x, y))
                row[x / 8] = static_cast<uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> Ico(const std::vector<IconImage>& images)
{
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(images.size()));
    std::vector<std::vector<uint8_t>> dibs;
    dibs.reserve(images.size());
    for (const IconImage& image : images)
        dibs.push_back(Dib(image));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        out.push_back(static_cast<uint8_t>(image.pixels.Width()));
        out.push_back(static_cast<uint8_t>(image.pixels.Height()));
        out.push_back(static_cast<uint8_t>(image.bits >= 8 ? 0 : 1 << image.bits));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, image.bits);
        Put32(out, static_cast<uint32_t>(dibs[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(dibs[i].size());
    }
    for (const auto& dib : dibs)
        out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon Kavrin.ico\n");
        return 2;
    }
    if (!WriteFile(argv[1], Ico({Medium(), Small(), Large()}))) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
