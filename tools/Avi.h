// A RIFF AVI file with one RLE8 video stream, as the animation control plays it.
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

struct ClipFormat {
    int width;
    int height;
    uint32_t microSecPerFrame;
    uint32_t scale;  // stream rate is rate / scale frames per second
    uint32_t rate;
    Palette palette;
};

// frames[0] is the key frame (EncodeRle8Key), the rest are deltas (EncodeRle8Delta).
std::vector<uint8_t> BuildAvi(const ClipFormat& format,
                              const std::vector<std::vector<uint8_t>>& frames);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
