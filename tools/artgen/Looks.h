#pragma once
// The looks of the art generator: how one frame of an image is drawn.
#include <cstdint>
#include <string>

typedef struct _cairo cairo_t;

namespace artgen {

struct ImageSpec {
    std::string name;
    int width = 0, height = 0;
    int frameWidth = 0, frameHeight = 0;
    int frames = 1;
    std::string look;
    uint32_t colour = 0x808080; // 0xRRGGBB
};

// Draws frame `frame` into the frame-sized area at the origin (already clipped). False for
// an unknown look.
bool DrawFrame(cairo_t* cr, const ImageSpec& spec, int frame);

} // namespace artgen
