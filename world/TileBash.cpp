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
//  9. emitter: called for cleared pixels on its step grid, the random generator reseeded first.
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

bool OnStep(int64_t offset, int32_t step)
{
    return step > 0 ? offset % step == 0 : offset == 0;
}

// The tint split once per bash.
struct TintParts {
    explicit TintParts(uint32_t tint, bool multiply)
        : alphaFactor(static_cast<float>(tint >> 24) / 255.0f), multiply(multiply),
          neutral(multiply ? tint == 0xFFFFFFFFu : (tint | 0xFF000000u) == 0xFF808080u)
    {
        for (int i = 0; i < 3; ++i) {
            const uint32_t channel = Channel(tint, 16 - 8 * i);
            offset[i] = static_cast<int>(channel) - 128;
            factor[i] = static_cast<float>(channel) / 255.0f;
        }
    }
    // The mask colour's red, green and blue after the tint.
    void Apply(uint32_t c, uint32_t rgb[3]) const
    {
        for (int i = 0; i < 3; ++i) {
            const uint32_t channel = Channel(c, 16 - 8 * i);
            if (neutral)
                rgb[i] = channel;
            else if (multiply)
                rgb[i] = static_cast<uint32_t>(static_cast<float>(channel) * factor[i]);
            else
                rgb[i] = static_cast<uint32_t>(std::clamp(static_cast<int>(channel) + offset[i], 0, 255));
        }
    }

    float alphaFactor;
    bool multiply;
    bool neutral;
    int offset[3]{};
    float factor[3]{};
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

uint32_t TileStore::BashBrush(int mask, int size, int direction, int flip, int material, bool useSourceColour,
                              uint32_t affectedMaterials, BashEmitter* emitter, uint32_t tint, int x, int y)
{
    const int slot = PredefinedSlot(mask, size, direction, flip);
    if (slot < 0 || material < 0 || material > 255)
        return 0;
    if (!predefinedMasks_[size_t(slot)]) {
        BashMaskPtr built = LoadPredefinedMask(mask, kBrushScales[size], direction, flip);
        if (!built)
            return 0;
        predefinedMasks_[size_t(slot)] = std::move(built);
    }
    const BashMask& brush = *predefinedMasks_[size_t(slot)];
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
        SimSrand(job.updateCounter);

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

    const BashMask& source = *job.source;
    const bool plainReader = job.reader.read == nullptr;
    const TintParts tint(job.tint, job.multiplyTint);
    const bool special = job.copyOut || job.eraseOutside;
    const bool removing = job.material == 0;
    const int threshold = job.options.alphaThreshold;
    const uint32_t materialColour = MaterialColour(job.material);
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
            bool prepared = false;
            bool abandoned = false;
            for (int y = y0; y < y1 && !abandoned; ++y) {
                const int64_t my = y - top;
                for (int x = x0; x < x1; ++x) {
                    uint8_t* map = tile.material.get();
                    const int mi = MaterialIndex(x, y);
                    const int m = map ? map[mi] : 0;
                    const bool affected = InMaterialSet(job.affected, m);
                    if (!special && (!affected || (m == 0 && (removing || job.material == 16))))
                        continue;
                    const int64_t mx = x - left;
                    uint32_t c = 0;
                    if (mx <= std::numeric_limits<int>::max() && my <= std::numeric_limits<int>::max()) {
                        if (plainReader)
                            c = source.pixels && source.Contains(int(mx), int(my)) ? source.Row(int(my))[mx] : 0u;
                        else
                            c = job.reader.read(source, int(mx), int(my), job.reader.context);
                    }
                    const uint32_t a = c >> 24;
                    const int tinted = static_cast<int>(static_cast<float>(a) * tint.alphaFactor);
                    const bool passes = tinted != 0 && tinted >= threshold;
                    if (!special && !passes)
                        continue;
                    const uint32_t layAlpha = job.options.forceOpaque ? 255u : static_cast<uint32_t>(tinted);

                    if (!prepared) {
                        if (undoRecording)
                            SaveUndo(tile);
                        if (!removing) {
                            if (!MakeTerrain(tile)) {
                                abandoned = true;
                                break;
                            }
                            if (job.shadow)
                                MakeBack(tile);
                        }
                        ++tile.revision;
                        prepared = true;
                        map = tile.material.get();
                    }
                    uint32_t* front = tile.front.get();
                    uint32_t* back = tile.back.get();
                    const int ci = ColourIndex(x, y);
                    const uint32_t old = front ? front[ci] : 0u;
                    if (job.copyOut && job.copyOut->Contains(int(mx), int(my)))
                        job.copyOut->Row(int(my))[mx] = old;

                    if (job.eraseOutside && a == 0 && affected && m != 0) {
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
                                BashEmitter* emitter = job.emitter;
                                const int64_t dx = mx, dy = my;
                                if (emitter && OnStep(dx, emitter->stepX) && OnStep(dy, emitter->stepY)) {
                                    SimSrand(static_cast<uint32_t>((dy + 1) * (dx + 1) + job.updateCounter));
                                    emitter->emitted = 1;
                                    if (emitter->callback)
                                        emitter->callback(*emitter, x, y, old);
                                }
                            }
                        }
                        if (job.shadow && back)
                            back[ci] = 0;
                        continue;
                    }

                    // Adding: only pixels that pass the alpha test are laid, forced opaque or not.
                    if (!passes || !affected)
                        continue;
                    if (job.material == 16) {
                        if (m == 0 || m == 5)
                            map[mi] = 1;
                    } else if (job.material != 6) {
                        map[mi] = static_cast<uint8_t>(job.material);
                    }
                    uint32_t rgb[3];
                    tint.Apply(c, rgb);
                    const uint32_t laid = (layAlpha << 24) | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
                    if (job.shadow && back && layAlpha > 127) {
                        const int darken = job.options.shadowDarken;
                        auto dark = [darken](uint32_t v) {
                            return static_cast<uint32_t>(std::clamp<int64_t>(int64_t(v) - darken, 0, 255));
                        };
                        back[ci] = (layAlpha << 24) | (dark(rgb[0]) << 16) | (dark(rgb[1]) << 8) | dark(rgb[2]);
                    }
                    const uint32_t colour = job.useSourceColour ? laid : materialColour;
                    front[ci] = layAlpha == 255 || old == 0 ? colour : Blend(colour, old, layAlpha);
                }
            }
        }
    }
    return result;
}
