// BI_RLE8 encoding of 8-bit frames (rows bottom-up, as in a DIB).
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <vector>

// A key frame: every pixel of every row written, rows ended by 00 00, the last by 00 01.
std::vector<uint8_t> EncodeRle8Key(const Canvas& frame);

// A delta frame: only the pixels that differ from prev are written; the decoder's cursor
// jumps over unchanged ones with 00 02 dx dy and 00 00. Ends with 00 01.
std::vector<uint8_t> EncodeRle8Delta(const Canvas& prev, const Canvas& frame);
