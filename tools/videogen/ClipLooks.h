#pragma once
// The looks of the video generator: how the frames of a clip are drawn and what it sounds
// like. A look owns its timing when the game relies on it (the iris), else the clip's
// "seconds" give the length.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace videogen {

struct ClipSpec {
    std::string name;
    int width = 0;
    int height = 0;
    int fps = 30;
    std::string look;
    uint32_t colour = 0x808080; // 0xRRGGBB
    double seconds = 0.0;
};

struct ClipLook {
    std::function<int(const ClipSpec&)> frameCount;
    // Draws frame `frame` over the whole clip area (opaque).
    std::function<void(cairo_t*, const ClipSpec&, int frame)> drawFrame;
    // Mono samples at soundgen::kSampleRate; empty for a silent clip.
    std::function<std::vector<float>(const ClipSpec&)> sound;
};

// Null for an unknown look.
const ClipLook* FindLook(const std::string& name);

} // namespace videogen
