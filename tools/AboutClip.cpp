#include "Clips.h"

#include <cmath>
#include <string>

namespace {

enum Colour : uint8_t {
    kWall,
    kInk,
    kShade,
    kBeigeDark,
    kBeige,
    kBeigeLight,
    kGlass,
    kPhosphor,
    kTitleBar,
    kGreen,
    kAmber,
    kDesk,
    kDeskDark,
    kBrass,
    kWood,
    kWhite,
};

const Palette kPalette = {
    {214, 222, 232}, {28, 30, 38},    {96, 100, 108},  {158, 150, 128},
    {208, 200, 176}, {238, 232, 214}, {18, 44, 80},    {150, 230, 255},
    {54, 110, 200},  {70, 220, 90},   {255, 176, 40},  {166, 116, 72},
    {120, 80, 48},   {214, 170, 70},  {92, 52, 36},    {255, 255, 255},
};

constexpr int kWidth = 90;
constexpr int kHeight = 130;
constexpr int kFrames = 169;

// The screen lists these facts, one line after the other, and starts over.
const char* const kFacts[] = {
    "CPU: PENTIUM", "TAKT: 166 MHZ", "RAM: 32 MB", "WINDOWS 4.0", "BUILD: 1381", "MAUS: 2 TASTEN",
};
constexpr int kFactCount = 6;
constexpr int kVisibleLines = 4;

// Frame at which line slot i begins; the clip holds exactly kFactCount slots. The first
// slot begins before frame 0, so that the pass does not start with a scroll.
constexpr int kSlotShift = 12;

int SlotStart(int i)
{
    return (kFrames * i + kFactCount - 1) / kFactCount - kSlotShift;
}

struct Typing {
    int slot;      // which fact is being typed
    int age;       // frames since the slot began
    int typed;     // characters shown so far
    bool busy;     // still typing
};

Typing TypingAt(int frame)
{
    int slot = 0;
    while (SlotStart(slot + 1) <= frame)
        ++slot;
    if (slot == kFactCount) {
        slot = 0;
        frame -= kFrames;
    }
    const int age = frame - SlotStart(slot);
    const int len = static_cast<int>(std::string(kFacts[slot]).size());
    return {slot, age, age < len ? age : len, age < len};
}

void DrawRoom(Canvas& c)
{
    c.Fill(0, 90, kWidth, kHeight, kDesk);
    c.HLine(0, kWidth - 1, 90, kDeskDark);
}

void DrawMonitor(Canvas& c)
{
    c.RoundRect(10, 8, 79, 66, 4, kBeige, kInk);
    c.HLine(14, 75, 9, kBeigeLight);
    c.VLine(11, 12, 62, kBeigeLight);
    c.HLine(14, 75, 65, kBeigeDark);
    c.VLine(78, 12, 62, kBeigeDark);
    // Recess and glass.
    c.Fill(15, 13, 75, 58, kBeigeDark);
    c.HLine(15, 74, 13, kShade);
    c.VLine(15, 13, 57, kShade);
    c.Fill(16, 14, 74, 57, kGlass);
    for (int x : {16, 73})
        for (int y : {14, 56})
            c.Set(x, y, kBeigeDark);
    // Chin: badge and power light.
    c.Fill(38, 60, 52, 63, kBeigeDark);
    c.Fill(40, 61, 50, 62, kBeigeLight);
    c.Fill(70, 60, 73, 63, kInk);
    c.Fill(71, 61, 72, 62, kGreen);
    // Neck.
    c.Fill(37, 67, 53, 71, kBeigeDark);
    c.VLine(36, 67, 70, kInk);
    c.VLine(53, 67, 70, kInk);
}

void DrawScreen(Canvas& c, const Typing& t, int frame)
{
    c.Fill(17, 15, 73, 22, kTitleBar);
    c.Text(17 + (56 - Canvas::TextWidth("KAVRIN")) / 2, 16, "KAVRIN", kWhite);
    for (int line = 0; line < kVisibleLines; ++line) {
        const int fact = (t.slot - (kVisibleLines - 1) + line + kFactCount) % kFactCount;
        std::string text = kFacts[fact];
        const bool current = line == kVisibleLines - 1;
        if (current)
            text.resize(t.typed);
        const int y = 24 + 7 * line;
        c.Text(18, y, text, kPhosphor);
        // The cursor stands after the text while typing, then blinks.
        const int idle = t.age - t.typed;
        if (current && (t.busy || (idle / 7) % 2 == 1))
            c.Fill(18 + 4 * t.typed, y, 21 + 4 * t.typed, y + 5, kPhosphor);
    }
    // Busy bar: two chunks march right one pixel per frame; 13 divides the pass.
    for (int x = 18; x < 72; ++x) {
        const int phase = ((x - frame) % 13 + 13) % 13;
        if (phase < 7 && phase != 3)
            c.Fill(x, 52, x + 1, 55, kTitleBar);
    }
}

void DrawCase(Canvas& c, bool diskBusy)
{
    c.HLine(8, 81, 95, kDeskDark);
    c.HLine(10, 80, 96, kDeskDark);
    c.RoundRect(7, 71, 82, 94, 2, kBeige, kInk);
    c.HLine(9, 80, 72, kBeigeLight);
    c.HLine(9, 80, 93, kBeigeDark);
    // Floppy and CD drive.
    c.RoundRect(12, 75, 38, 81, 1, kBeige, kBeigeDark);
    c.HLine(15, 32, 78, kInk);
    c.Fill(34, 77, 37, 80, kBeigeDark);
    c.RoundRect(12, 84, 38, 90, 1, kBeigeLight, kBeigeDark);
    c.HLine(14, 36, 87, kBeigeDark);
    c.Fill(33, 88, 36, 89, kBeigeDark);
    for (int y = 76; y <= 89; y += 3)
        c.HLine(44, 55, y, kBeigeDark);
    // Power and disk lights, power button.
    c.Fill(61, 77, 64, 80, kInk);
    c.Fill(62, 78, 63, 79, kGreen);
    c.Fill(66, 77, 69, 80, kInk);
    c.Fill(67, 78, 68, 79, diskBusy ? kAmber : kBeigeDark);
    c.Disc(73.5, 86.5, 4, kBeigeDark);
    c.Disc(73.5, 86.5, 3, kBeigeLight);
}

void DrawKeyboard(Canvas& c)
{
    c.HLine(11, 70, 118, kDeskDark);
    c.HLine(12, 69, 119, kDeskDark);
    c.Polygon({14, 100, 67, 100, 70, 115, 11, 115}, kInk);
    c.Polygon({15, 101, 66, 101, 69, 114, 12, 114}, kBeige);
    c.Fill(11, 115, 71, 118, kBeigeDark);
    c.HLine(11, 70, 117, kInk);
    c.VLine(11, 115, 117, kInk);
    c.VLine(70, 115, 117, kInk);
    for (int row = 0; row < 4; ++row) {
        const int y = 102 + 3 * row;
        const int left = 17 - row, right = 64 + row;
        if (row == 3) {
            c.Fill(left, y, left + 9, y + 2, kBeigeLight);
            c.Fill(left + 12, y, right - 11, y + 2, kBeigeLight);
            c.Fill(right - 8, y, right + 1, y + 2, kBeigeLight);
            continue;
        }
        for (int x = left + (row % 2) * 2; x + 2 <= right; x += 4)
            c.Fill(x, y, x + 3, y + 2, kBeigeLight);
    }
}

void DrawMouse(Canvas& c)
{
    c.Line(77, 103, 76, 100, kInk);
    c.Line(76, 100, 78, 97, kInk);
    c.RoundRect(73, 103, 81, 115, 3, kBeige, kInk);
    c.HLine(74, 80, 108, kBeigeDark);
    c.VLine(77, 104, 107, kBeigeDark);
}

int FloorHalf(int v)
{
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}

// A magnifying glass circling over the screen once per pass: the glass shows the
// scene beneath it at twice the size.
void DrawMagnifier(Canvas& out, const Canvas& scene, int frame)
{
    const double turn = static_cast<double>(frame) / kFrames;
    const int cx = RoundToInt(45 + 15 * CosTurns(turn));
    const int cy = RoundToInt(36 + 12 * SinTurns(turn));
    const double px = cx + 0.5, py = cy + 0.5;
    const double d = 0.70710678;

    out.ThickLine(px + 16 * d, py + 16 * d, px + 28 * d, py + 28 * d, 6, kInk);
    out.ThickLine(px + 16.5 * d, py + 16.5 * d, px + 27.5 * d, py + 27.5 * d, 4, kWood);
    out.ThickLine(px + 13 * d, py + 13 * d, px + 17 * d, py + 17 * d, 6, kInk);
    out.ThickLine(px + 13 * d, py + 13 * d, px + 16.5 * d, py + 16.5 * d, 4, kBrass);

    for (int y = cy - 16; y <= cy + 16; ++y) {
        for (int x = cx - 16; x <= cx + 16; ++x) {
            const int dx = x - cx, dy = y - cy;
            const double r = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            if (r > 15.2)
                continue;
            uint8_t colour = kInk;
            if (r <= 11.5) {
                const int sx = cx + FloorHalf(dx), sy = cy + FloorHalf(dy);
                colour = scene.Inside(sx, sy) ? scene.At(sx, sy) : uint8_t{kWall};
                if (r > 8 && r <= 10 && -dx - dy > 10)
                    colour = kWhite;
            } else if (r > 12.5 && r <= 14.2) {
                colour = kBrass;
            }
            out.Set(x, y, colour);
        }
    }
}

Canvas AboutFrame(int frame)
{
    const Typing typing = TypingAt(frame);
    Canvas scene(kWidth, kHeight, kWall);
    DrawRoom(scene);
    DrawMonitor(scene);
    DrawScreen(scene, typing, frame);
    DrawCase(scene, typing.busy && typing.age % 3 != 2);
    DrawKeyboard(scene);
    DrawMouse(scene);
    Canvas out = scene;
    DrawMagnifier(out, scene, frame);
    return out;
}

}  // namespace

ClipArt AboutClip()
{
    return {{kWidth, kHeight, 20000, 2, 100, kPalette}, kFrames, AboutFrame};
}
