// A strict BI_RLE8 decoder for the clip tests. It applies one frame on top of the
// previous picture, as a player does, and refuses anything that would leave the bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RleFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // rows bottom-up, as in the DIB
    std::vector<bool> written;    // pixels the last frame set
    size_t writtenCount = 0;

    RleFrame(int w, int h)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h), written(pixels.size())
    {
    }
};

// Decodes data[0, size) onto frame; false with a reason on any escape that leaves the
// bitmap, on a truncated stream, or if the end-of-bitmap marker is not the last code.
inline bool DecodeRle8(const std::vector<uint8_t>& data, size_t offset, size_t size, RleFrame& frame,
                       std::string& error)
{
    frame.written.assign(frame.written.size(), false);
    frame.writtenCount = 0;
    int x = 0, row = 0;
    size_t at = offset;
    const size_t end = offset + size;
    auto put = [&](uint8_t colour) {
        if (x >= frame.width || row >= frame.height)
            return false;
        const size_t i = static_cast<size_t>(row) * frame.width + x++;
        frame.pixels[i] = colour;
        if (!frame.written[i])
            ++frame.writtenCount;
        frame.written[i] = true;
        return true;
    };
    while (at + 2 <= end) {
        const uint8_t count = data[at], code = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                if (!put(code))
                    return error = "run leaves the bitmap at row " + std::to_string(row), false;
            continue;
        }
        switch (code) {
        case 0:  // end of line
            x = 0;
            ++row;
            break;
        case 1:  // end of bitmap
            if (at != end)
                return error = std::to_string(end - at) + " bytes after the end of bitmap", false;
            return true;
        case 2:  // skip right and up
            if (at + 2 > end)
                return error = "truncated skip", false;
            x += data[at];
            row += data[at + 1];
            at += 2;
            if (x >= frame.width || row >= frame.height)
                return error = "skip leaves the bitmap", false;
            break;
        default: {  // absolute run, padded to a word
            const size_t padded = code + (code & 1u);
            if (at + padded > end)
                return error = "truncated absolute run", false;
            for (int i = 0; i < code; ++i)
                if (!put(data[at + i]))
                    return error = "absolute run leaves the bitmap at row " + std::to_string(row), false;
            at += padded;
        }
        }
    }
    error = "no end-of-bitmap marker";
    return false;
}
