// The 14 particle sprites: game data (they are broken up and stamped), so their sizes and
// pixels are pinned, and their alpha is 0 or 255 only.
#include "../support/GameFiles.h"

#include "app/Md5.h"
#include "app/StringUtil.h"
#include "media/PngFile.h"
#include "world/ParticleKinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string PixelDigest(int width, int height, const std::vector<uint32_t>& argb)
{
    std::string bytes = StringPrintf("%dx%d:", width, height);
    for (uint32_t p : argb)
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += char((p >> shift) & 0xFF);
    return Md5Hex(bytes);
}

} // namespace

TEST(ParticleSprites, ShippedSpritesArePinned)
{
    const char* const pins[kParticleKindCount] = {
        "c3e3987598fbb75ab8809a1caacacb35",
        "61f25b7d065307739975b5d039f2a5c8",
        "b6b1788621f0de25d07a98c2a2ab2b5d",
        "ec6708ca8a30b2882dd4d1c173370e4b",
        "298c3f2494720903643c89f9047e7d93",
        "311db5254856f6a29f41355f7a5761f3",
        "407b41540664056c3e44690b36e997e0",
        "82f3cf44ebf02680ac5488d5c8983e6d",
        "ee05ec1478720a9f6493fb88bb759ce3",
        "eb99b4b1466c0a21293ccfa46e0c0cec",
        "83eabe860869a8f7c3a929c102e5c227",
        "214539915d954efa1f5d40fc81657797",
        "823499d3df0feab8b70b3e465734eb15",
        "27db195c772100aa02099c4a408c5eaf",
    };
    ScopedGameFiles files;
    for (int kind = 0; kind < kParticleKindCount; ++kind) {
        const ParticleKindInfo& info = ParticleKindOf(kind);
        SCOPED_TRACE(info.sprite);
        PNGReader png;
        ASSERT_TRUE(png.Init(std::string("Graphics\\") + info.sprite, 1));
        EXPECT_EQ(png.Width(), info.frameWidth * info.sheetFrames);
        EXPECT_EQ(png.Height(), info.frameHeight);
        EXPECT_TRUE(std::all_of(png.Pixels().begin(), png.Pixels().end(),
                                [](uint32_t p) { return (p >> 24) == 0 || (p >> 24) == 255; }));
        // The hot spot lies on the sprite (every frame of the fireball).
        for (int frame = 0; frame < info.sheetFrames; ++frame)
            EXPECT_EQ(png.Pixels()[size_t(info.hotY) * size_t(png.Width()) + size_t(frame * info.frameWidth + info.hotX)] >> 24,
                      255u)
                << frame;
        EXPECT_EQ(PixelDigest(png.Width(), png.Height(), png.Pixels()), pins[kind]);
    }
}
