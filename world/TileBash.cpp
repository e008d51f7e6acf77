// Bashing: every change of the terrain by a mask goes through TileStore::Bash.
//
// Arguments of Bash, in order:
//  1. dest: the rectangle (right and bottom exclusive; mask column c lands on left + c).
//  2. source: the mask (or any image the reader understands).
//  3. material: 0 removes terrain; another adds terrain of it. 6 paints without changing the
//     material; 16 sets material 1, but only where the terrain is empty or material 5.
//  4. useSourceColour: lay the mask's tinted colour (else the material's colour).
//  5. affectedMaterials: a pixel whose material m has bit m clear is left alone.
//  6. options: forceOpaque, alphaThreshold, shadowDarken.
//  7. reader: turns the source into mask pixels (no function: the plain reader).
//  8. tint: its alpha scales the mask alpha; its channels offset (additive, 0x80 neutral) or
//     scale (multiplicative, 0xFF neutral) the laid colour.
//  9. emitter: called for cleared pixels on its step grid, its random generator reseeded first
//     (SimRandom, or DrawRandom for a visual emitter).
// 10. multiplyTint. 11. noWrap: set on the copies Bash makes of itself at wrapping edges.
// 12. copyOut: receives the old front pixel of every visited mask pixel.
// 13. eraseOutside: clears affected terrain where the mask is transparent.
// 14. shadow: also writes the back (shadow) colours.
#include "world/TileStore.h"

#include "app/Log.h"
#include "app/Random.h"

#include <algorithm>
#include <limits>

struct TileStore::BashJob {
    const BashMask* source = nullptr;
    int material = 0;
    bool useSourceColour = false;
    uint32_t affected = 0;
    BashOptions options;
    MaskReader reader;
    uint32_t tint = 0;
    BashEmitter* emitter = nullptr;
    bool multiplyTint = false;
    BashMask* copyOut = nullptr;
    bool eraseOutside = false;
    bool shadow = false;
    uint32_t updateCounter = 0;
};

namespace {

const BashMask kEmptyMask{};

constexpr uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFFu; }

int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The generator an emitter's particles draw from: the drawing's own for a visual emitter.
RandomGenerator& EmitterRandom(const BashEmitter& emitter)
{
    return emitter.visual ? DrawRandom() : SimRandom();
}

bool OnStep(int64_t offset, int32_t step)
{
    return step > 0 ? offset % step == 0 : offset == 0;
}

// The tint split once per bash, as lookup tables of the exact per-pixel formulas.
struct TintParts {
    TintParts(uint32_t tint, bool multiply)
        : neutral(multiply ? tint == 0xFFFFFFFFu : (tint | 0xFF000000u) == 0xFF808080u)
    {
        const float alphaFactor = static_cast<float>(tint >> 24) / 255.0f;
        for (int a = 0; a < 256; ++a)
            tintedAlpha[a] = static_cast<uint8_t>(static_cast<int>(static_cast<float>(a) * alphaFactor));
        if (neutral)
            return;
        for (int i = 0; i < 3; ++i) {
            const uint32_t channel = Channel(tint, 16 - 8 * i);
            const int offset = static_cast<int>(channel) - 128;
            const float factor = static_cast<float>(channel) / 255.0f;
            for (int v = 0; v < 256; ++v)
                channels[i][v] = multiply ? static_cast<uint8_t>(static_cast<float>(v) * factor)
                                          : static_cast<uint8_t>(std::clamp(v + offset, 0, 255));
        }
    }
    // The mask colour's red, green and blue after the tint.
    void Apply(uint32_t c, uint32_t rgb[3]) const
    {
        for (int i = 0; i < 3; ++i) {
            const uint32_t channel = Channel(c, 16 - 8 * i);
            rgb[i] = neutral ? channel : channels[i][channel];
        }
    }

    bool neutral;
    uint8_t tintedAlpha[256];
    uint8_t channels[3][256];
};

// Front pixel after laying `colour` at `alpha` over `old`.
uint32_t Blend(uint32_t colour, uint32_t old, uint32_t alpha)
{
    const uint32_t oldAlpha = old >> 24;
    const float s = oldAlpha == 0 ? 1.0f : static_cast<float>(alpha) / 255.0f;
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const float mixed =
            s * static_cast<float>(Channel(colour, shift)) + (1.0f - s) * static_cast<float>(Channel(old, shift));
        result |= (static_cast<uint32_t>(mixed) & 0xFFu) << shift;
    }
    const uint32_t outAlpha =
        oldAlpha + static_cast<uint32_t>(static_cast<float>(255 - oldAlpha) * static_cast<float>(alpha) / 255.0f);
    return result | (std::min(outAlpha, 255u) << 24);
}

} // namespace

uint32_t TileStore::Bash(const BashRect& dest, const BashMask* source, int material, bool useSourceColour,
                         uint32_t affectedMaterials, const BashOptions& options, const MaskReader& reader,
                         uint32_t tint, BashEmitter* emitter, bool multiplyTint, bool noWrap, BashMask* copyOut,
                         bool eraseOutside, bool shadow)
{
    if (material < 0 || material > 255) {
        WriteLog("Bash refused: material %d\n", material);
        return 0;
    }
    BashJob job;
    job.source = source ? source : &kEmptyMask;
    job.material = material;
    job.useSourceColour = useSourceColour;
    job.affected = affectedMaterials;
    job.options = options;
    job.reader = reader;
    job.tint = tint;
    job.emitter = emitter;
    job.multiplyTint = multiplyTint;
    job.copyOut = copyOut && copyOut->pixels ? copyOut : nullptr;
    job.eraseOutside = eraseOutside;
    job.shadow = shadow;
    return BashWrapped(job, dest.left, dest.top, dest.right, dest.bottom, noWrap);
}

const BashMask* TileStore::BrushMask(int mask, int size, int direction, int flip)
{
    const int slot = PredefinedSlot(mask, size, direction, flip);
    if (slot < 0)
        return nullptr;
    if (!predefinedMasks_[size_t(slot)])
        predefinedMasks_[size_t(slot)] = LoadPredefinedMask(mask, kBrushScales[size], direction, flip);
    return predefinedMasks_[size_t(slot)].get();
}

uint32_t TileStore::BashBrush(int mask, int size, int direction, int flip, int material, bool useSourceColour,
                              uint32_t affectedMaterials, BashEmitter* emitter, uint32_t tint, int x, int y)
{
    if (material < 0 || material > 255)
        return 0;
    const BashMask* brushMask = BrushMask(mask, size, direction, flip);
    if (!brushMask)
        return 0;
    const BashMask& brush = *brushMask;
    BashJob job;
    job.source = &brush;
    job.material = material;
    job.useSourceColour = useSourceColour;
    job.affected = affectedMaterials;
    job.tint = tint;
    job.emitter = emitter;
    const int64_t left = int64_t(x) - brush.hotspotX;
    const int64_t top = int64_t(y) - brush.hotspotY;
    return BashWrapped(job, left, top, left + brush.width, top + brush.height, false);
}

uint32_t TileStore::BashWrapped(const BashJob& request, int64_t left, int64_t top, int64_t right, int64_t bottom,
                                bool noWrap)
{
    if (verboseLog) {
        WriteLog("BASH DEST = { %d , %d , %d , %d }\n", ClampToInt(left), ClampToInt(top), ClampToInt(right),
                 ClampToInt(bottom));
        WriteLog("BEFORE ");
        LogBlockChecksums();
    }
    BashJob job = request;
    job.updateCounter = UpdateCounter();
    if (job.emitter)
        EmitterRandom(*job.emitter).Seed(job.updateCounter);

    uint32_t result = 0;
    if (!noWrap && RunState() == 1) {
        BashJob copy = job;
        copy.copyOut = nullptr;
        copy.eraseOutside = false;
        copy.shadow = false;
        auto stamp = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
            if (const uint32_t cleared = BashWrapped(copy, l, t, r, b, true))
                result = cleared;
        };
        const int64_t w = width_, h = height_;
        if (edgeModes[kEdgeRight] == kEdgeWrap && right > w - 1)
            stamp(left - w, top, right - w, bottom);
        if (edgeModes[kEdgeLeft] == kEdgeWrap && left < 0)
            stamp(left + w, top, right + w, bottom);
        if (edgeModes[kEdgeTop] == kEdgeWrap && top < 0)
            stamp(left, top + h, right, bottom + h);
        if (edgeModes[kEdgeBottom] == kEdgeWrap && bottom > h - 1)
            stamp(left, top - h, right, bottom - h);
    }
    if (const uint32_t cleared = BashTiles(job, left, top, right, bottom))
        result = cleared;

    const int64_t l = std::max<int64_t>(left, 0), t = std::max<int64_t>(top, 0);
    const int64_t r = std::min<int64_t>(right, width_), b = std::min<int64_t>(bottom, height_);
    if (l < r && t < b)
        OnTerrainChanged(int(l), int(t), int(r), int(b));

    if (verboseLog) {
        WriteLog("AFTER ");
        LogBlockChecksums();
    }
    return result;
}

uint32_t TileStore::BashTiles(const BashJob& job, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    if (right <= left || bottom <= top || tileColumns_ <= 0 || tileRows_ <= 0)
        return 0;
    const int64_t lastColumn = std::min<int64_t>(tileColumns_, kMaxTilesPerAxis) - 1;
    const int64_t lastRow = std::min<int64_t>(tileRows_, kMaxTilesPerAxis) - 1;
    const int64_t firstTx = std::max<int64_t>(left >> kTileShift, 0);
    const int64_t lastTx = std::min<int64_t>((right - 1) >> kTileShift, lastColumn);
    const int64_t firstTy = std::max<int64_t>(top >> kTileShift, 0);
    const int64_t lastTy = std::min<int64_t>((bottom - 1) >> kTileShift, lastRow);
    if (firstTx > lastTx || firstTy > lastTy)
        return 0;

    // Everything the pixel loop reads lives in locals: the terrain is written through byte
    // pointers, which could alias any field the loop would otherwise read again.
    const BashMask& source = *job.source;
    const uint32_t* const sourcePixels = source.pixels;
    const int sourceWidth = source.width, sourceHeight = source.height;
    const MaskReader reader = job.reader;
    const bool plainReader = reader.read == nullptr;
    const TintParts tint(job.tint, job.multiplyTint);
    BashMask* const copyOut = job.copyOut;
    BashEmitter* const emitter = job.emitter;
    const bool eraseOutside = job.eraseOutside;
    const bool shadow = job.shadow;
    const bool special = copyOut || eraseOutside;
    const int material = job.material;
    const bool removing = material == 0;
    const bool useSourceColour = job.useSourceColour;
    bool affectedTable[256];
    for (int m = 0; m < 256; ++m)
        affectedTable[m] = InMaterialSet(job.affected, m);
    const bool skipEmpty = removing || material == 16; // empty pixels take no part (but in special bashes)
    const int threshold = job.options.alphaThreshold;
    const bool forceOpaque = job.options.forceOpaque != 0;
    const int darken = job.options.shadowDarken;
    const uint32_t materialColour = MaterialColour(material);
    const uint32_t updateCounter = job.updateCounter;
    const bool recordUndo = undoRecording != 0;
    uint32_t result = 0;

    for (int64_t ty = firstTy; ty <= lastTy; ++ty) {
        for (int64_t tx = firstTx; tx <= lastTx; ++tx) {
            Tile& tile = tiles_[TileSlot(int(tx), int(ty))];
            if (removing && !tile.material)
                continue;
            const int x0 = int(std::max<int64_t>(left, tx << kTileShift));
            const int x1 = int(std::min<int64_t>(right, (tx + 1) << kTileShift));
            const int y0 = int(std::max<int64_t>(top, ty << kTileShift));
            const int y1 = int(std::min<int64_t>(bottom, (ty + 1) << kTileShift));
            uint8_t* map = tile.material.get();
            uint32_t* front = tile.front.get();
            uint32_t* back = tile.back.get();
            bool prepared = false;
            bool abandoned = false;
            for (int y = y0; y < y1 && !abandoned; ++y) {
                const int64_t my = y - top;
                const uint32_t* sourceRow =
                    plainReader && sourcePixels && my >= 0 && my < sourceHeight ? source.Row(int(my)) : nullptr;
                for (int x = x0; x < x1; ++x) {
                    const int mi = MaterialIndex(x, y);
                    const int m = map ? map[mi] : 0;
                    const bool affected = affectedTable[m];
                    if (!special && (!affected || (m == 0 && skipEmpty)))
                        continue;
                    const int64_t mx = x - left;
                    uint32_t c = 0;
                    if (plainReader) {
                        if (sourceRow && mx >= 0 && mx < sourceWidth)
                            c = sourceRow[mx];
                    } else if (mx <= std::numeric_limits<int>::max() && my <= std::numeric_limits<int>::max()) {
                        c = reader.read(source, int(mx), int(my), reader.context);
                    }
                    const uint32_t a = c >> 24;
                    const int tinted = tint.tintedAlpha[a];
                    const bool passes = tinted != 0 && tinted >= threshold;
                    if (!special && !passes)
                        continue;
                    const uint32_t layAlpha = forceOpaque ? 255u : static_cast<uint32_t>(tinted);

                    if (!prepared) {
                        if (recordUndo)
                            SaveUndo(tile);
                        if (!removing) {
                            if (!MakeTerrain(tile)) {
                                abandoned = true;
                                break;
                            }
                            if (shadow)
                                MakeBack(tile);
                        }
                        ++tile.revision;
                        prepared = true;
                        map = tile.material.get();
                        front = tile.front.get();
                        back = tile.back.get();
                    }
                    const int ci = ColourIndex(x, y);
                    const uint32_t old = front ? front[ci] : 0u;
                    if (copyOut && copyOut->Contains(int(mx), int(my)))
                        copyOut->Row(int(my))[mx] = old;

                    if (eraseOutside && a == 0 && affected && m != 0) {
                        if (front)
                            front[ci] = MaterialColour(0);
                        map[mi] = 0;
                    }

                    if (removing) {
                        if (a == 0 || !map)
                            continue;
                        if (affected && (m != 0 || old != 0)) {
                            if (front)
                                front[ci] = MaterialColour(0);
                            map[mi] = 0;
                            if (old != 0) {
                                result = old;
                                if (emitter && OnStep(mx, emitter->stepX) && OnStep(my, emitter->stepY)) {
                                    EmitterRandom(*emitter).Seed(
                                        static_cast<uint32_t>((my + 1) * (mx + 1) + updateCounter));
                                    emitter->emitted = 1;
                                    if (emitter->callback)
                                        emitter->callback(*emitter, x, y, old);
                                }
                            }
                        }
                        if (shadow && back)
                            back[ci] = 0;
                        continue;
                    }

                    // Adding: only pixels that pass the alpha test are laid, forced opaque or not.
                    if (!passes || !affected)
                        continue;
                    if (material == 16) {
                        if (m == 0 || m == 5)
                            map[mi] = 1;
                    } else if (material != 6) {
                        map[mi] = static_cast<uint8_t>(material);
                    }
                    const bool shadowed = shadow && back && layAlpha > 127;
                    uint32_t colour = materialColour;
                    if (useSourceColour || shadowed) {
                        uint32_t rgb[3];
                        tint.Apply(c, rgb);
                        if (useSourceColour)
                            colour = (layAlpha << 24) | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
                        if (shadowed) {
                            auto dark = [darken](uint32_t v) {
                                return static_cast<uint32_t>(std::clamp<int64_t>(int64_t(v) - darken, 0, 255));
                            };
                            back[ci] = (layAlpha << 24) | (dark(rgb[0]) << 16) | (dark(rgb[1]) << 8) | dark(rgb[2]);
                        }
                    }
                    front[ci] = layAlpha == 255 || old == 0 ? colour : Blend(colour, old, layAlpha);
                }
            }
        }
    }
    return result;
}
