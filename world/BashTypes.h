#pragma once
// The records of terrain bashing: the tile geometry, the material tables, the mask image,
// the bash options, the particle emitter hook and the mask reader.
#include <cstddef>
#include <cstdint>
#include <memory>

// Tiles: 128 x 128 pixels, at most 128 in each direction, slot = column x 128 + row.
constexpr int kTileShift = 7;
constexpr int kTileSize = 1 << kTileShift;
constexpr int kTileMask = kTileSize - 1;
constexpr int kTilePixels = kTileSize * kTileSize;
constexpr int kMaxTilesPerAxis = 128;
constexpr int kTileSlots = kMaxTilesPerAxis * kMaxTilesPerAxis;
constexpr int kMaxLandscapeSize = kTileSize * kMaxTilesPerAxis; // 16,384 pixels a side

constexpr int TileSlot(int column, int row) { return column * kMaxTilesPerAxis + row; }
// Byte of pixel (x, y) inside a material map (column by column).
constexpr int MaterialIndex(int x, int y) { return (x & kTileMask) * kTileSize + (y & kTileMask); }
// Pixel (x, y) inside a tile's colours (row by row).
constexpr int ColourIndex(int x, int y) { return (y & kTileMask) * kTileSize + (x & kTileMask); }

// Materials: 0 empty; 7 and 17 let the ordinary solidity test through. A material set has
// bit m for material m; materials of 32 and up belong to no set.
constexpr bool InMaterialSet(uint32_t set, int material)
{
    return material >= 0 && material < 32 && ((set >> material) & 1u) != 0;
}
// What ApplyGravity moves: materials 0, 1, 5, 6, 7, 10, 11 and 17-31.
constexpr uint32_t kLooseMaterials = 0xFFFE0CE3u;
constexpr uint32_t kAllMaterials = 0xFFFFFFFFu;

constexpr int kMaterialColourCount = 18;
inline constexpr uint32_t kMaterialColours[kMaterialColourCount] = {
    0x00000000u, 0xFF886B0Bu, 0xFF999999u, 0xFFBBBBBBu, 0xFF6666FFu, 0xFF886666u,
    0x00000000u, 0xFF8888FFu, 0x00FF44FFu, 0x001144FFu, 0x00FF44FFu, 0x00FF0011u,
    0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFFFF8888u};
// The colour a material lays; 0 for materials past the table.
constexpr uint32_t MaterialColour(int material)
{
    return material >= 0 && material < kMaterialColourCount ? kMaterialColours[material] : 0u;
}

// A1R5G5B5: alpha bit 31 to bit 15, the top five bits of red, green and blue below it.
constexpr uint16_t ToA1R5G5B5(uint32_t argb)
{
    return static_cast<uint16_t>(((argb >> 16) & 0x8000u) | ((argb >> 9) & 0x7C00u) | ((argb >> 6) & 0x03E0u) |
                                 ((argb >> 3) & 0x001Fu));
}
struct MaterialColours16 {
    uint16_t colour[kMaterialColourCount];
};
constexpr MaterialColours16 MakeMaterialColours16()
{
    MaterialColours16 table{};
    for (int m = 0; m < kMaterialColourCount; ++m)
        table.colour[m] = ToA1R5G5B5(kMaterialColours[m]);
    return table;
}
// The 16-bit copy of the material colours (the minimap's format).
inline constexpr MaterialColours16 kMaterialColours16 = MakeMaterialColours16();

// Brush sizes 0-3 scale a predefined mask by these.
inline constexpr float kBrushScales[4] = {0.5f, 1.0f, 2.0f, 3.0f};

// An ARGB image in rows, top to bottom (pitch in bytes): a bash mask, or a view of any image
// a bash reads or writes (a locked primitive, a copy-out target).
struct BashMask {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    int32_t hotspotX = 0;
    int32_t hotspotY = 0;
    uint32_t* pixels = nullptr;

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t* Row(int y) const
    {
        return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitch);
    }
};

// A mask made by AllocateBashMask is one block: the record, then its pixels.
struct BashMaskDeleter {
    void operator()(BashMask* mask) const;
};
using BashMaskPtr = std::unique_ptr<BashMask, BashMaskDeleter>;
// A zeroed width x height mask (pitch width x 4); none for a side outside 1..16,384 or when
// the memory cannot be had.
BashMaskPtr AllocateBashMask(int width, int height);

struct BashOptions {
    uint8_t forceOpaque = 0;     // every laid pixel gets alpha 255
    int32_t alphaThreshold = 0;  // mask pixels whose tinted alpha is below this are ignored
    int32_t shadowDarken = 112;  // subtracted from each channel of a shadow pixel
};

// The particle hook of a removing bash. Particle kinds extend the record with their own fields.
struct BashEmitter {
    using Callback = void (*)(BashEmitter& emitter, int x, int y, uint32_t colour);
    Callback callback = nullptr;
    int32_t stepX = 1; // only cleared pixels whose offsets from the bash's corner are
    int32_t stepY = 1; // multiples of these emit
    uint8_t emitted = 0; // set by Bash when it called the callback
    // Its particles are the drawing's own: a bash reseeds DrawRandom before calling it, so
    // SimRandom is the same with or without it.
    uint8_t visual = 0;
};

// Maps a point of the output image to a point of the source (u = m11 x + m21 y + dx,
// v = m12 x + m22 y + dy); scaleX and scaleY are the absolute scales of the transform.
struct MaskTransform {
    float m11 = 1.0f, m12 = 0.0f;
    float m21 = 0.0f, m22 = 1.0f;
    float dx = 0.0f, dy = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
};

// Turns a source image into mask pixel (x, y): 0 (transparent) for points outside the source.
// No function means the plain reader (the source pixel itself).
struct MaskReader {
    using Function = uint32_t (*)(const BashMask& source, int x, int y, const void* context);
    Function read = nullptr;
    const void* context = nullptr; // what the function needs (a MaskTransform for the free readers)
};
