#pragma once
// What the video layer tells about a clip and how it keys its frames.
#include <cstdint>

namespace platform::video {

// Positions, times and durations are in 100-nanosecond units.
constexpr int64_t kUnitsPerSecond = 10'000'000;

// Limits for untrusted clips: larger pictures and files are refused before anything big is
// allocated.
constexpr int kMaxPictureSide = 4096;
constexpr int64_t kMaxPicturePixels = 3840LL * 2160;
constexpr uint64_t kMaxClipBytes = 512ull << 20;

// The colour key of the frame copier: a pixel whose colour (0x00RRGGBB) ORed with orValue
// has no bit in mask becomes fully transparent (0), every other one fully opaque. The
// default keys nothing.
struct KeyRule {
    uint32_t mask = 0xFFFFFFFFu;
    uint32_t orValue = 0xFF000000u;
    bool operator==(const KeyRule&) const = default;
};

inline uint32_t KeyPixel(uint32_t rgb, const KeyRule& key)
{
    return ((rgb | key.orValue) & key.mask) != 0 ? (rgb | 0xFF000000u) : 0u;
}

struct VideoInfo {
    int width = 0;  // picture size in pixels
    int height = 0;
    uint32_t fpsNumerator = 0;
    uint32_t fpsDenominator = 1;
    int64_t duration = 0; // from the last frame the file names
    int soundChannels = 0; // 0: no sound stream (or one that cannot be played)
    int soundRate = 0;
};

} // namespace platform::video
