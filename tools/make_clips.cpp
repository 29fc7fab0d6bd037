// Writes the About clip and the dedication clip:
//   make_clips ABOUT.avi WIDMUNG.avi [--frames DIR ABOUT_STEP WIDMUNG_STEP]
// With --frames, every ABOUT_STEP-th About frame and every WIDMUNG_STEP-th dedication
// frame is also written to DIR as about_NNN.ppm / widmung_NNN.ppm.
#include "Clips.h"
#include "Rle8.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Build(const ClipArt& clip, const std::string& path, const std::string& dumpDir,
           const char* dumpName, int dumpStep)
{
    std::vector<std::vector<uint8_t>> encoded;
    Canvas prev(1, 1);
    for (int i = 0; i < clip.frameCount; ++i) {
        Canvas frame = clip.frame(i);
        encoded.push_back(i == 0 ? EncodeRle8Key(frame) : EncodeRle8Delta(prev, frame));
        if (!dumpDir.empty() && i % dumpStep == 0) {
            char name[64];
            std::snprintf(name, sizeof name, "/%s_%03d.ppm", dumpName, i);
            if (!WritePpm(dumpDir + name, frame, clip.format.palette))
                return false;
        }
        prev = std::move(frame);
    }
    return WriteFile(path, BuildAvi(clip.format, encoded));
}

}  // namespace

int main(int argc, char** argv)
{
    const bool dump = argc == 7 && std::string(argv[3]) == "--frames";
    if (argc != 3 && !dump) {
        std::fprintf(stderr,
                     "usage: make_clips ABOUT.avi WIDMUNG.avi [--frames DIR ABOUT_STEP WIDMUNG_STEP]\n");
        return 2;
    }
    const std::string dir = dump ? argv[4] : "";
    const int aboutStep = dump ? std::atoi(argv[5]) : 1;
    const int widmungStep = dump ? std::atoi(argv[6]) : 1;
    if (aboutStep < 1 || widmungStep < 1) {
        std::fprintf(stderr, "make_clips: steps must be positive\n");
        return 2;
    }
    if (!Build(AboutClip(), argv[1], dir, "about", aboutStep) ||
        !Build(WidmungClip(), argv[2], dir, "widmung", widmungStep)) {
        std::fprintf(stderr, "make_clips: cannot write the clips\n");
        return 1;
    }
    return 0;
}
