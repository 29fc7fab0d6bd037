// The two animation clips of the About and the dedication box, frame by frame.
#pragma once

#include "Avi.h"
#include "Canvas.h"

// A looping clip: frame i is drawn from i alone, and every motion in it has the
// clip's length as a period, so frame FrameCount() would equal frame 0.
struct ClipArt {
    ClipFormat format;
    int frameCount;
    Canvas (*frame)(int index);
};

// 90 x 130, 169 frames at 50 per second, 16 colours: a desktop computer listing its
// facts on screen while a magnifying glass circles over it.
ClipArt AboutClip();

// 320 x 200, 640 frames at 100 per second, 2 colours: fireworks over a crowd of users.
ClipArt WidmungClip();
