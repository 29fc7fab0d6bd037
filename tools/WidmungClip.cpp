#include "Clips.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

constexpr uint8_t kNight = 0;
constexpr uint8_t kLight = 1;
const Palette kPalette = {{12, 22, 56}, {255, 238, 196}};

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr int kFrames = 640;

// Where the glow of the lights behind the crowd starts and where it is full.
constexpr int kGlowTop = 98;
constexpr int kGlowFull = 124;

// Frames since an event that happens at `start` in every pass.
int Age(int frame, int start)
{
    return ((frame - start) % kFrames + kFrames) % kFrames;
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c)
{
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

void DrawSky(Canvas& c, int frame)
{
    Random rng(1957);
    for (int i = 0; i < 70; ++i) {
        const int x = 4 + rng.Below(kWidth - 8);
        const int y = 4 + rng.Below(kGlowTop - 16);
        const int period = 80 << rng.Below(3);  // 80, 160 or 320: all divide the pass
        const int phase = rng.Below(period);
        if (i % 6 == 0 && Age(frame, phase) % period < 8)
            continue;  // twinkle
        c.Set(x, y, kLight);
        if (i % 11 == 0) {
            c.Set(x - 1, y, kLight);
            c.Set(x + 1, y, kLight);
            c.Set(x, y - 1, kLight);
            c.Set(x, y + 1, kLight);
        }
    }
    // Crescent moon.
    c.Disc(278, 30, 12, kLight);
    c.Disc(284, 25, 11, kNight);
}

void DrawGlow(Canvas& c)
{
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = kGlowTop; y < kHeight; ++y) {
        const double density = static_cast<double>(y - kGlowTop) / (kGlowFull - kGlowTop);
        for (int x = 0; x < kWidth; ++x)
            if (kBayer[y % 4][x % 4] + 0.5 < density * 16)
                c.Set(x, y, kLight);
    }
}

enum class Look : std::uint8_t { Plain, Bun, Bobble, Waving, Cheering };

struct Person {
    double x;
    double top;  // top of the head
    double r;    // head radius
    Look look;
    int side;  // -1 left, +1 right: which arm waves, where the bun sits
};

std::vector<Person> Crowd()
{
    std::vector<Person> people;
    // Back row: smaller, a little higher, partly hidden by the front row drawn over it.
    Random rng(2001);
    for (double x = 4; x < kWidth + 10; x += 21 * (0.85 + 0.3 * rng.Unit())) {
        const int pick = rng.Below(10);
        people.push_back({x, 146 + 10 * rng.Unit(), 6.5 * (0.9 + 0.2 * rng.Unit()),
                          pick < 2 ? Look::Bun : pick < 3 ? Look::Bobble : Look::Plain, rng.Below(2) ? 1 : -1});
    }
    // Front row, placed by hand so that the raised arms stand clear of their neighbours.
    const Person front[] = {
        {14, 164, 9.2, Look::Plain, 1},     {44, 166, 8.8, Look::Bun, -1},
        {76, 160, 10, Look::Cheering, 1},   {112, 165, 9, Look::Plain, 1},
        {142, 166, 9.6, Look::Bobble, 1},   {176, 161, 10.2, Look::Waving, -1},
        {210, 166, 9, Look::Plain, 1},      {240, 163, 9.4, Look::Bun, 1},
        {272, 160, 10, Look::Waving, 1},    {306, 165, 9.3, Look::Bobble, -1},
    };
    people.insert(people.end(), std::begin(front), std::end(front));
    return people;
}

// Head, neck, sloping shoulders and the arms down the sides.
void DrawBody(Canvas& c, double x, double top, double r)
{
    const double cy = top + r;
    c.Disc(x, cy, r, kNight);
    const double b = kHeight + 1.0;
    c.Polygon({x - 0.55 * r, cy, x + 0.55 * r, cy, x + 0.65 * r, cy + 1.0 * r, x + 2.0 * r, cy + 1.55 * r,
               x + 2.6 * r, cy + 2.3 * r, x + 2.6 * r, b, x - 2.6 * r, b, x - 2.6 * r, cy + 2.3 * r,
               x - 2.0 * r, cy + 1.55 * r, x - 0.65 * r, cy + 1.0 * r},
              kNight);
    c.Disc(x - 2.05 * r, cy + 2.15 * r, 0.6 * r, kNight);
    c.Disc(x + 2.05 * r, cy + 2.15 * r, 0.6 * r, kNight);
}

// An arm raised from the shoulder: the upper arm `lean` turns away from straight up,
// the forearm `wave` turns further.
void DrawArm(Canvas& c, double x, double top, double r, int side, double lean, double wave)
{
    const double sx = x + side * 1.9 * r, sy = top + 2.9 * r;
    const double ex = sx + side * 3.2 * r * SinTurns(lean), ey = sy - 3.2 * r * CosTurns(lean);
    const double hx = ex + side * 2.8 * r * SinTurns(lean + wave), hy = ey - 2.8 * r * CosTurns(lean + wave);
    c.ThickLine(sx, sy, ex, ey, 0.65 * r, kNight);
    c.ThickLine(ex, ey, hx, hy, 0.55 * r, kNight);
    c.Disc(hx, hy, 0.42 * r, kNight);
}

void DrawPerson(Canvas& c, const Person& p, int frame)
{
    // Arms take a new pose every fourth frame: smooth enough, and far cheaper to encode.
    // The poses change on frames 2, 6, 10, ..., never between the last frame and the first.
    frame -= ((frame - 2) % 4 + 4) % 4;
    DrawBody(c, p.x, p.top, p.r);
    const double r = p.r;
    switch (p.look) {
    case Look::Plain:
        break;
    case Look::Bun:
        c.Disc(p.x - p.side * 0.3 * r, p.top + 0.1 * r, 0.5 * r, kNight);
        break;
    case Look::Bobble:
        c.Disc(p.x, p.top - 0.1 * r, 0.4 * r, kNight);
        c.Fill(RoundToInt(p.x - 0.9 * r), RoundToInt(p.top + 0.4 * r), RoundToInt(p.x + 0.9 * r),
               RoundToInt(p.top + 0.8 * r), kNight);
        break;
    case Look::Waving: {
        // Three waves per pass, from the elbow.
        const double wave = -0.01 + 0.05 * SinTurns(3.0 * frame / kFrames + (p.side > 0 ? 0 : 0.3));
        DrawArm(c, p.x, p.top, r, p.side, 0.03, wave);
        break;
    }
    case Look::Cheering:
        for (int side : {-1, 1})
            DrawArm(c, p.x, p.top, r, side, 0.08, -0.02);
        break;
    }
}

enum class Shape : std::uint8_t { Ring, Heart, Peony, Star, DoubleRing };

struct Burst {
    int launch;    // frame of the launch within the pass
    double x, y;   // where it bursts
    Shape shape;
    int sparks;
    double radius;  // how far the sparks fly before they hang
};

// Five rockets per pass; each burst lives on into the next, so the sky is never still.
const Burst kBursts[] = {
    {20, 92, 58, Shape::Ring, 30, 36},
    {135, 214, 50, Shape::Heart, 40, 42},
    {255, 146, 70, Shape::Peony, 34, 40},
    {375, 250, 62, Shape::Star, 40, 44},
    {495, 70, 52, Shape::DoubleRing, 36, 38},
};

constexpr int kFlight = 50;        // frames from launch to burst
constexpr double kDrag = 0.955;    // share of its speed a spark keeps per frame
constexpr double kGravity = 0.006; // pixels per frame, added per frame
constexpr int kFade = 30;          // sparks flicker out over their last frames

// A spark's path after the burst: its pixel, one per frame of its life.
struct Spark {
    std::vector<int> x, y;
    int life;
};

Spark Launch(const Burst& b, int index, int j)
{
    Random rng(Hash(static_cast<uint32_t>(index), static_cast<uint32_t>(j), 7));
    const double speed = b.radius * (1 - kDrag);
    const double turn = (j + 0.3 * rng.Unit()) / b.sparks;
    double dx = SinTurns(turn), dy = -CosTurns(turn), k = 1;
    switch (b.shape) {
    case Shape::Ring:
        break;
    case Shape::DoubleRing:
        k = j % 2 ? 0.55 : 1;
        break;
    case Shape::Peony: {
        const double u = rng.Unit();
        k = std::sqrt(1 - u * u);
        break;
    }
    case Shape::Star: {
        const double c = std::fabs(CosTurns(2.5 * turn));
        k = 0.5 + 0.5 * c * c * c;
        break;
    }
    case Shape::Heart: {
        const double t = static_cast<double>(j) / b.sparks;
        const double s = SinTurns(t);
        dx = s * s * s;
        dy = -(13 * CosTurns(t) - 5 * CosTurns(2 * t) - 2 * CosTurns(3 * t) - CosTurns(4 * t)) / 16;
        break;
    }
    }
    Spark spark{{}, {}, 150 + rng.Below(40)};
    double vx = speed * k * dx, vy = speed * k * dy, x = b.x, y = b.y;
    for (int a = 0; a < spark.life; ++a) {
        spark.x.push_back(RoundToInt(x));
        spark.y.push_back(RoundToInt(y));
        x += vx;
        y += vy;
        vx *= kDrag;
        vy = vy * kDrag + kGravity;
    }
    return spark;
}

// Every spark of every burst, worked out once.
const std::vector<std::vector<Spark>>& Sparks()
{
    static const std::vector<std::vector<Spark>> sparks = [] {
        std::vector<std::vector<Spark>> all;
        for (const Burst& b : kBursts) {
            all.emplace_back();
            for (int j = 0; j < b.sparks; ++j)
                all.back().push_back(Launch(b, static_cast<int>(all.size() - 1), j));
        }
        return all;
    }();
    return sparks;
}

void DrawBurst(Canvas& c, const Burst& b, int index, int frame)
{
    const int age = Age(frame, b.launch);
    const double launchX = b.x + (b.x < kWidth / 2.0 ? -14 : 14);
    if (age < kFlight) {
        // The rocket slows as it climbs and leaves a dotted trail.
        for (int back = 0; back <= 10 && back <= age; back += 2) {
            const double u = static_cast<double>(age - back) / kFlight;
            const double e = u * (1.6 - 0.6 * u);
            c.Set(RoundToInt(launchX + (b.x - launchX) * e), RoundToInt(kGlowFull + (b.y - kGlowFull) * e),
                  kLight);
        }
        return;
    }
    const int a = age - kFlight;
    if (a < 4)
        c.Disc(b.x, b.y, 1.5 + a, kLight);
    for (int j = 0; j < b.sparks; ++j) {
        const Spark& s = Sparks()[index][j];
        if (a >= s.life)
            continue;
        const int dying = a - (s.life - kFade);
        if (dying > 0 && static_cast<int>(Hash(index, j, (a + j) / 5) % kFade) < dying)
            continue;
        const int hx = s.x[a], hy = s.y[a];
        if (a < 24) {
            const int tail = a < 3 ? 0 : a - 3;
            c.Line(s.x[tail], s.y[tail], hx, hy, kLight);
        } else {
            c.Set(hx, hy, kLight);
            if (a < 56) {
                c.Set(hx - 1, hy, kLight);
                c.Set(hx + 1, hy, kLight);
                c.Set(hx, hy - 1, kLight);
                c.Set(hx, hy + 1, kLight);
            }
        }
    }
}

Canvas WidmungFrame(int frame)
{
    static const std::vector<Person> crowd = Crowd();
    Canvas c(kWidth, kHeight, kNight);
    DrawSky(c, frame);
    for (size_t i = 0; i < sizeof kBursts / sizeof kBursts[0]; ++i)
        DrawBurst(c, kBursts[i], static_cast<int>(i), frame);
    DrawGlow(c);
    for (const Person& p : crowd)
        DrawPerson(c, p, frame);
    return c;
}

}  // namespace

ClipArt WidmungClip()
{
    return {{kWidth, kHeight, 10000, 1, 100, kPalette}, kFrames, WidmungFrame};
}
