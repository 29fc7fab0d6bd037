// The committed icon file: its directory, the three images in their fixed order, and
// the transparent background carried by the AND masks.
#include "Bytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using bytes::Cursor;
using bytes::Fields;
using bytes::U16;
using bytes::U32;

const std::string kIcon = std::string(KAVRIN_SOURCE_DIR) + "/res/Kavrin.ico";

struct Expected {
    uint32_t size;
    uint32_t bits;
};
const Expected kImages[] = {{32, 4}, {16, 4}, {48, 8}};

// One image of the file, located through its directory entry.
struct Image {
    int width, height, bits;
    size_t dib;     // BITMAPINFOHEADER
    size_t colour;  // XOR bitmap, rows bottom-up
    size_t mask;    // AND bitmap, rows bottom-up
    int colourStride, maskStride;

    bool Transparent(const std::vector<uint8_t>& b, int x, int y) const
    {
        return (b[mask + static_cast<size_t>(height - 1 - y) * maskStride + x / 8] & (0x80 >> (x % 8))) != 0;
    }
    int ColourIndex(const std::vector<uint8_t>& b, int x, int y) const
    {
        const uint8_t byte = b[colour + static_cast<size_t>(height - 1 - y) * colourStride + x * bits / 8];
        return bits == 8 ? byte : x % 2 ? byte & 0x0F : byte >> 4;
    }
};

class IconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytes = bytes::ReadFile(kIcon);
        ASSERT_GE(bytes.size(), 6u + 3 * 16);
        ASSERT_EQ(U16(bytes, 0), 0);  // reserved
        ASSERT_EQ(U16(bytes, 2), 1);  // icon, not cursor
        ASSERT_EQ(U16(bytes, 4), 3);
        size_t expectedOffset = 6 + 3 * 16;
        for (int i = 0; i < 3; ++i) {
            const size_t entry = 6 + 16 * i;
            const uint32_t length = U32(bytes, entry + 8), offset = U32(bytes, entry + 12);
            ASSERT_EQ(offset, expectedOffset) << "image " << i << " does not follow its predecessor";
            ASSERT_LE(size_t{offset} + length, bytes.size());
            expectedOffset += length;
            Image image;
            image.width = bytes[entry];
            image.height = bytes[entry + 1];
            image.bits = U16(bytes, entry + 6);
            image.dib = offset;
            const uint32_t clrUsed = U32(bytes, offset + 32);
            const size_t colours = clrUsed ? clrUsed : size_t{1} << U16(bytes, offset + 14);
            image.colourStride = (image.width * image.bits + 31) / 32 * 4;
            image.maskStride = (image.width + 31) / 32 * 4;
            image.colour = offset + 40 + 4 * colours;
            image.mask = image.colour + static_cast<size_t>(image.colourStride) * image.height;
            ASSERT_EQ(image.mask + static_cast<size_t>(image.maskStride) * image.height, size_t{offset} + length)
                << "image " << i << ": header, palette and bitmaps do not fill the entry";
            images.push_back(image);
        }
        ASSERT_EQ(expectedOffset, bytes.size());
    }

    std::vector<uint8_t> bytes;
    std::vector<Image> images;
};

TEST_F(IconTest, DirectoryListsThreeImagesInTheirOrder)
{
    for (size_t i = 0; i < 3; ++i) {
        const auto [size, bits] = kImages[i];
        Cursor c(bytes, 6 + 16 * i);
        EXPECT_EQ((Fields{c.U8(), c.U8(), c.U8(), c.U8(), c.U16(), c.U16()}),
                  (Fields{size, size, bits == 4 ? 16u : 0u, 0, 1, bits}))
            << "image " << i << ": width, height, colours (0 for 256), reserved, planes, bits";
    }
}

TEST_F(IconTest, EachImageIsADibWithDoubledHeightAndFullPalette)
{
    for (size_t i = 0; i < 3; ++i) {
        const auto [size, bits] = kImages[i];
        const Image& image = images[i];
        Cursor c(bytes, image.dib);
        EXPECT_EQ((Fields{c.U32(), c.U32(), c.U32(), c.U16(), c.U16(), c.U32(), c.U32()}),
                  (Fields{40, size, 2 * size, 1, bits, 0, (image.colourStride + image.maskStride) * size}))
            << "image " << i << ": header size, width, colour and mask height, planes, bits, BI_RGB, size";
        EXPECT_EQ(image.colour - image.dib - 40, 4u << bits) << "image " << i << ": palette bytes";
    }
}

TEST_F(IconTest, BackgroundIsMaskedAndTheMonitorIsOpaque)
{
    for (const Image& image : images) {
        SCOPED_TRACE(std::to_string(image.width) + " px");
        const int n = image.width;
        EXPECT_TRUE(image.Transparent(bytes, 0, 0));
        EXPECT_TRUE(image.Transparent(bytes, n - 1, n - 1));
        EXPECT_FALSE(image.Transparent(bytes, n / 2, n / 3));
        int clear = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                if (!image.Transparent(bytes, x, y))
                    continue;
                ++clear;
                // Black under the mask, so the desktop shows through unchanged.
                const size_t entry = image.dib + 40 + 4 * static_cast<size_t>(image.ColourIndex(bytes, x, y));
                EXPECT_EQ(U32(bytes, entry) & 0xFFFFFF, 0u) << "at " << x << "," << y;
            }
        }
        EXPECT_GT(clear, n * n / 8);
        EXPECT_LT(clear, n * n / 2);
    }
}

TEST(IconFile, GeneratorReproducesTheCommittedIcon)
{
    const std::string path = ::testing::TempDir() + "kavrin_icon.ico";
    const std::string command = std::string(KAVRIN_MAKE_ICON) + " " + path;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(bytes::ReadFile(path) == bytes::ReadFile(kIcon));
    std::filesystem::remove(path);
}

}  // namespace
