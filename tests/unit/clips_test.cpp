// The two committed animation clips, read with an independent RIFF reader and RLE8
// decoder: container, headers, index, every frame, the motion and the loop.
#include "RiffReader.h"
#include "RleDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

using bytes::Fields;

struct ClipFacts {
    const char* file;
    int width;
    int height;
    uint32_t frames;
    uint32_t scale;
    uint32_t rate;
    uint32_t colours;
};

void PrintTo(const ClipFacts& facts, std::ostream* out)
{
    *out << facts.file;
}

const ClipFacts kAbout{"about.avi", 90, 130, 169, 2, 100, 16};
const ClipFacts kWidmung{"widmung.avi", 320, 200, 640, 1, 100, 2};

std::string ResPath(const std::string& file)
{
    return std::string(KAVRIN_SOURCE_DIR) + "/res/" + file;
}

// A clip read, parsed and decoded once for all tests.
struct Clip {
    std::vector<uint8_t> bytes;
    std::vector<riff::Chunk> top;
    std::string error;
    const riff::Chunk* hdrl = nullptr;
    const riff::Chunk* movi = nullptr;
    const riff::Chunk* idx1 = nullptr;
    std::vector<RleFrame> frames;  // the picture after each frame
    std::string decodeError;

    uint32_t U16(size_t at) const { return bytes::U16(bytes, at); }
    uint32_t U32(size_t at) const { return bytes::U32(bytes, at); }
};

const Clip& Load(const ClipFacts& facts)
{
    static std::map<std::string, Clip> cache;
    auto found = cache.find(facts.file);
    if (found != cache.end())
        return found->second;
    Clip& clip = cache[facts.file];
    clip.bytes = bytes::ReadFile(ResPath(facts.file));
    if (!riff::Parse(clip.bytes, 0, clip.bytes.size(), clip.top, clip.error))
        return clip;
    if (clip.top.size() != 1 || clip.top[0].id != "RIFF" || clip.top[0].listType != "AVI ") {
        clip.error = "not a single RIFF 'AVI ' form";
        return clip;
    }
    clip.hdrl = clip.top[0].Find("hdrl");
    clip.movi = clip.top[0].Find("movi");
    clip.idx1 = clip.top[0].Find("idx1");
    if (!clip.hdrl || !clip.movi || !clip.idx1) {
        clip.error = "hdrl, movi or idx1 missing";
        return clip;
    }
    RleFrame picture(facts.width, facts.height);
    for (const riff::Chunk& chunk : clip.movi->children) {
        if (!DecodeRle8(clip.bytes, chunk.data, chunk.size, picture, clip.decodeError)) {
            clip.decodeError = "frame " + std::to_string(clip.frames.size()) + ": " + clip.decodeError;
            break;
        }
        clip.frames.push_back(picture);
    }
    return clip;
}

size_t Difference(const RleFrame& a, const RleFrame& b)
{
    size_t n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (a.pixels[i] != b.pixels[i])
            ++n;
    return n;
}

class ClipTest : public ::testing::TestWithParam<ClipFacts> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Load(GetParam()).error, "") << GetParam().file;
    }
    const Clip& clip() const { return Load(GetParam()); }
    const riff::Chunk* Header(const char* id) const
    {
        const riff::Chunk* strl = clip().hdrl->Find("strl");
        return id == std::string("avih") ? clip().hdrl->Find("avih") : strl ? strl->Find(id) : nullptr;
    }
};

TEST_P(ClipTest, HoldsOneVideoStreamAndNoOther)
{
    const riff::Chunk& form = clip().top[0];
    ASSERT_EQ(form.children.size(), 3u);
    EXPECT_EQ(form.children[0].listType, "hdrl");
    EXPECT_EQ(form.children[1].listType, "movi");
    EXPECT_EQ(form.children[2].id, "idx1");

    int streams = 0;
    for (const riff::Chunk& c : clip().hdrl->children)
        if (c.listType == "strl")
            ++streams;
    EXPECT_EQ(streams, 1);
    const riff::Chunk* strh = Header("strh");
    ASSERT_TRUE(strh && Header("strf") && Header("avih"));
    EXPECT_EQ(bytes::FourCc(clip().bytes, strh->data), "vids");
    EXPECT_EQ(bytes::FourCc(clip().bytes, strh->data + 4), "mrle");
    for (const riff::Chunk& c : clip().movi->children)
        EXPECT_EQ(c.id, "00dc") << "at " << c.header;
}

TEST_P(ClipTest, HeadersCarryTheClipsTimingSizeAndFormat)
{
    const ClipFacts& facts = GetParam();
    const Clip& c = clip();
    const auto width = static_cast<uint32_t>(facts.width);
    const auto height = static_cast<uint32_t>(facts.height);
    uint32_t largest = 0;
    for (const riff::Chunk& f : c.movi->children)
        largest = std::max(largest, f.size);

    const size_t avih = Header("avih")->data;
    ASSERT_GE(Header("avih")->size, 56u);
    EXPECT_EQ((Fields{c.U32(avih), c.U32(avih + 12), c.U32(avih + 16), c.U32(avih + 24), c.U32(avih + 32),
                      c.U32(avih + 36)}),
              (Fields{1000000 * facts.scale / facts.rate, 0x810, facts.frames, 1, width, height}))
        << "avih: microseconds per frame, flags (HASINDEX | TRUSTCKTYPE), frames, streams, width, height";
    EXPECT_GE(c.U32(avih + 28), largest);

    const size_t strh = Header("strh")->data;
    ASSERT_GE(Header("strh")->size, 56u);
    EXPECT_EQ((Fields{c.U32(strh + 20), c.U32(strh + 24), c.U32(strh + 32), c.U16(strh + 48),
                      c.U16(strh + 50), c.U16(strh + 52), c.U16(strh + 54)}),
              (Fields{facts.scale, facts.rate, facts.frames, 0, 0, width, height}))
        << "strh: scale, rate, frames, frame rectangle";
    EXPECT_GE(c.U32(strh + 36), largest);

    const size_t strf = Header("strf")->data;
    EXPECT_EQ(Header("strf")->size, 40 + 4 * facts.colours);
    EXPECT_EQ((Fields{c.U32(strf), c.U32(strf + 4), c.U32(strf + 8), c.U16(strf + 12), c.U16(strf + 14),
                      c.U32(strf + 16), c.U32(strf + 32)}),
              (Fields{40, width, height, 1, 8, 1, facts.colours}))
        << "strf: header size, width, height, planes, bits per pixel, BI_RLE8, colours";
}

TEST_P(ClipTest, IndexPointsAtEveryFrameAndMarksOnlyTheFirstAsKey)
{
    const Clip& c = clip();
    const auto& chunks = c.movi->children;
    ASSERT_EQ(chunks.size(), GetParam().frames);
    ASSERT_EQ(c.idx1->size, 16 * chunks.size());
    const size_t moviType = c.movi->data;
    for (size_t i = 0; i < chunks.size(); ++i) {
        const size_t entry = c.idx1->data + 16 * i;
        EXPECT_EQ(bytes::FourCc(c.bytes, entry), "00dc");
        EXPECT_EQ(c.U32(entry + 4), i == 0 ? 0x10u : 0u) << "flags of frame " << i;
        EXPECT_EQ(moviType + c.U32(entry + 8), chunks[i].header) << "offset of frame " << i;
        EXPECT_EQ(c.U32(entry + 12), chunks[i].size) << "length of frame " << i;
    }
}

TEST_P(ClipTest, KeyFrameSetsEveryPixelAndDeltasOnlyTheChangedOnes)
{
    const Clip& c = clip();
    ASSERT_EQ(c.decodeError, "");
    ASSERT_EQ(c.frames.size(), GetParam().frames);
    const size_t all = c.frames[0].pixels.size();
    EXPECT_EQ(c.frames[0].writtenCount, all);
    size_t deltaWrites = 0;
    for (size_t i = 1; i < c.frames.size(); ++i) {
        EXPECT_LT(c.frames[i].writtenCount, all / 2) << "frame " << i << " redraws the picture";
        deltaWrites += c.frames[i].writtenCount;
    }
    // Skips carry the unchanged pixels: on average a delta touches a small part.
    EXPECT_LT(deltaWrites / (c.frames.size() - 1), all / 10);
    for (size_t i = 0; i < c.frames.size(); ++i)
        EXPECT_LT(*std::max_element(c.frames[i].pixels.begin(), c.frames[i].pixels.end()), GetParam().colours)
            << "frame " << i << " uses a colour beyond the palette";
}

TEST_P(ClipTest, EveryFrameMovesAndTheLastLeadsSmoothlyIntoTheFirst)
{
    const auto& frames = clip().frames;
    ASSERT_EQ(frames.size(), GetParam().frames);
    std::vector<size_t> steps;
    for (size_t i = 0; i + 1 < frames.size(); ++i) {
        steps.push_back(Difference(frames[i], frames[i + 1]));
        EXPECT_GT(steps.back(), 0u) << "frame " << i + 1 << " repeats frame " << i;
    }
    const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    EXPECT_LE(Difference(frames.back(), frames.front()), steps[steps.size() / 2]);
}

INSTANTIATE_TEST_SUITE_P(Clips, ClipTest, ::testing::Values(kAbout, kWidmung),
                         [](const auto& paramInfo) {
                             const std::string file = paramInfo.param.file;
                             return file.substr(0, file.find('.'));
                         });

TEST(ClipFiles, StaySmall)
{
    const auto size = [](const char* f) { return std::filesystem::file_size(ResPath(f)); };
    EXPECT_LT(size("about.avi") + size("widmung.avi"), 400u * 1024);
}

TEST(ClipFiles, GeneratorReproducesTheCommittedClips)
{
    const std::string dir = ::testing::TempDir() + "kavrin_clips";
    std::filesystem::create_directories(dir);
    const std::string command = std::string(KAVRIN_MAKE_CLIPS) + " " + dir + "/about.avi " + dir + "/widmung.avi";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* file : {"about.avi", "widmung.avi"})
        EXPECT_TRUE(bytes::ReadFile(dir + "/" + file) == bytes::ReadFile(ResPath(file))) << file << " differs";
    std::filesystem::remove_all(dir);
}

}  // namespace
