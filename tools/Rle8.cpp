#include "Rle8.h"

#include <algorithm>

namespace {

using Bytes = std::vector<uint8_t>;

int RunAt(const Canvas& f, int y, int x, int end)
{
    int run = 1;
    while (x + run < end && run < 255 && f.At(x + run, y) == f.At(x, y))
        ++run;
    return run;
}

// Pixels x0..x1-1 of canvas row y: runs of two or more as encoded runs, the rest in
// absolute mode (three or more, padded to a word) or as runs of one.
void EncodeSpan(const Canvas& f, int y, int x0, int x1, Bytes& out)
{
    int x = x0;
    while (x < x1) {
        const int run = RunAt(f, y, x, x1);
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(f.At(x, y));
            x += run;
            continue;
        }
        // A literal stretch ends where a run of three begins; shorter runs ride along.
        int end = x + 1;
        while (end < x1 && end - x < 255 && RunAt(f, y, end, x1) < 3)
            ++end;
        const int n = end - x;
        if (n >= 3) {
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(n));
            for (int i = x; i < end; ++i)
                out.push_back(f.At(i, y));
            if (n % 2)
                out.push_back(0);
        } else {
            for (int i = x; i < end; ++i) {
                out.push_back(1);
                out.push_back(f.At(i, y));
            }
        }
        x = end;
    }
}

int RunsIn(const Canvas& f, int y, int x0, int x1)
{
    int runs = 0;
    for (int x = x0; x < x1; ++x)
        if (x == x0 || f.At(x, y) != f.At(x - 1, y))
            ++runs;
    return runs;
}

// The decoder's cursor: column and bitmap row (0 is the bottom row).
struct Cursor {
    int x = 0;
    int row = 0;

    void Skip(int dx, int dy, Bytes& out)
    {
        while (dx > 0 || dy > 0) {
            const int sx = std::min(dx, 255), sy = std::min(dy, 255);
            out.insert(out.end(), {0, 2, static_cast<uint8_t>(sx), static_cast<uint8_t>(sy)});
            dx -= sx;
            dy -= sy;
            x += sx;
            row += sy;
        }
    }

    // Skips can only move right and up, so a target left of the cursor needs an end of line.
    void MoveTo(int tx, int trow, Bytes& out)
    {
        if (trow > row && tx < x) {
            out.insert(out.end(), {0, 0});
            x = 0;
            ++row;
        }
        Skip(tx - x, trow - row, out);
    }
};

}  // namespace

std::vector<uint8_t> EncodeRle8Key(const Canvas& frame)
{
    Bytes out;
    const int h = frame.Height();
    for (int row = 0; row < h; ++row) {
        EncodeSpan(frame, h - 1 - row, 0, frame.Width(), out);
        out.insert(out.end(), {0, static_cast<uint8_t>(row + 1 < h ? 0 : 1)});
    }
    return out;
}

std::vector<uint8_t> EncodeRle8Delta(const Canvas& prev, const Canvas& frame)
{
    Bytes out;
    Cursor cursor;
    const int h = frame.Height(), w = frame.Width();
    for (int row = 0; row < h; ++row) {
        const int y = h - 1 - row;
        // Spans of changed pixels; a gap of at most two runs is cheaper to rewrite than to skip.
        std::vector<std::pair<int, int>> spans;
        for (int x = 0; x < w; ++x) {
            if (frame.At(x, y) == prev.At(x, y))
                continue;
            int end = x + 1;
            while (end < w && frame.At(end, y) != prev.At(end, y))
                ++end;
            if (!spans.empty() && RunsIn(frame, y, spans.back().second, x) <= 2)
                spans.back().second = end;
            else
                spans.emplace_back(x, end);
            x = end;
        }
        for (const auto& [a, b] : spans) {
            cursor.MoveTo(a, row, out);
            EncodeSpan(frame, y, a, b, out);
            cursor.x = b;
        }
    }
    out.insert(out.end(), {0, 1});
    return out;
}
