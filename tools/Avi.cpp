#include "Avi.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint32_t kHasIndex = 0x10;
constexpr uint32_t kTrustChunkType = 0x800;
constexpr uint32_t kKeyFrame = 0x10;  // AVIIF_KEYFRAME
constexpr uint32_t kBiRle8 = 1;

class Writer {
public:
    std::vector<uint8_t> bytes;

    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint32_t v)
    {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void FourCc(const char* cc) { bytes.insert(bytes.end(), cc, cc + 4); }

    // Starts a chunk (or, with a list type, a RIFF/LIST) and returns where its size goes.
    size_t Open(const char* id, const char* listType = nullptr)
    {
        FourCc(id);
        const size_t at = bytes.size();
        U32(0);
        if (listType)
            FourCc(listType);
        return at;
    }
    // Fills in the size and pads the chunk to an even length.
    void Close(size_t at)
    {
        const auto size = static_cast<uint32_t>(bytes.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(size >> (8 * i));
        if (size % 2)
            U8(0);
    }
};

}  // namespace

std::vector<uint8_t> BuildAvi(const ClipFormat& format,
                              const std::vector<std::vector<uint8_t>>& frames)
{
    const auto count = static_cast<uint32_t>(frames.size());
    size_t largest = 0;
    for (const auto& f : frames)
        largest = std::max(largest, f.size());
    const auto buffer = static_cast<uint32_t>((largest + 1) & ~size_t{1});
    const auto bytesPerSec = static_cast<uint32_t>(
        (uint64_t{buffer} * 1000000 + format.microSecPerFrame - 1) / format.microSecPerFrame);
    const auto colours = static_cast<uint32_t>(format.palette.size());

    Writer w;
    const size_t riff = w.Open("RIFF", "AVI ");
    const size_t hdrl = w.Open("LIST", "hdrl");

    const size_t avih = w.Open("avih");
    w.U32(format.microSecPerFrame);
    w.U32(bytesPerSec);
    w.U32(0);  // padding granularity
    w.U32(kHasIndex | kTrustChunkType);
    w.U32(count);
    w.U32(0);  // initial frames
    w.U32(1);  // streams
    w.U32(buffer);
    w.U32(format.width);
    w.U32(format.height);
    for (int i = 0; i < 4; ++i)
        w.U32(0);
    w.Close(avih);

    const size_t strl = w.Open("LIST", "strl");
    const size_t strh = w.Open("strh");
    w.FourCc("vids");
    w.FourCc("mrle");
    w.U32(0);  // flags
    w.U16(0);  // priority
    w.U16(0);  // language
    w.U32(0);  // initial frames
    w.U32(format.scale);
    w.U32(format.rate);
    w.U32(0);  // start
    w.U32(count);
    w.U32(buffer);
    w.U32(0xFFFFFFFF);  // quality: the default
    w.U32(0);           // sample size: frames vary
    w.U16(0);
    w.U16(0);
    w.U16(format.width);
    w.U16(format.height);
    w.Close(strh);

    const size_t strf = w.Open("strf");
    w.U32(40);
    w.U32(format.width);
    w.U32(format.height);
    w.U16(1);
    w.U16(8);
    w.U32(kBiRle8);
    w.U32(buffer);
    w.U32(0);
    w.U32(0);
    w.U32(colours);
    w.U32(colours);
    for (const Rgb& c : format.palette) {
        w.U8(c.b);
        w.U8(c.g);
        w.U8(c.r);
        w.U8(0);
    }
    w.Close(strf);
    w.Close(strl);
    w.Close(hdrl);

    // Index offsets count from the 'movi' type code, as players expect.
    const size_t movi = w.Open("LIST", "movi");
    const size_t moviType = movi + 4;
    std::vector<uint32_t> offsets;
    for (const auto& f : frames) {
        offsets.push_back(static_cast<uint32_t>(w.bytes.size() - moviType));
        const size_t chunk = w.Open("00dc");
        w.bytes.insert(w.bytes.end(), f.begin(), f.end());
        w.Close(chunk);
    }
    w.Close(movi);

    const size_t idx1 = w.Open("idx1");
    for (uint32_t i = 0; i < count; ++i) {
        w.FourCc("00dc");
        w.U32(i == 0 ? kKeyFrame : 0);
        w.U32(offsets[i]);
        w.U32(static_cast<uint32_t>(frames[i].size()));
    }
    w.Close(idx1);
    w.Close(riff);
    return w.bytes;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
