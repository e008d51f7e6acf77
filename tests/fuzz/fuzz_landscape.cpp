// The terrain's tile store driven by a stream of operations, as level files and network
// bashes would drive it: sizes, rectangles, materials, options, masks, readers and offsets
// of any value. Each operation is one byte followed by its arguments; a short stream ends it.
#include "FuzzHome.h"
#include "app/Random.h"
#include "world/MaskReaders.h"
#include "world/TileStore.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Landscapes above this side are accepted by the store but would let one bash allocate
// gigabytes of tiles; the harness keeps valid sizes below it (invalid ones go through).
constexpr int kLargestSide = 2048;

class Stream {
public:
    Stream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(U8()) << (8 * i);
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    bool Bool() { return (U8() & 1) != 0; }
    // Mostly coordinates near the landscape; one in eight raw.
    int32_t Coordinate()
    {
        const uint8_t kind = U8();
        if ((kind & 7) == 0)
            return I32();
        return static_cast<int32_t>(int16_t(uint16_t(U8()) | uint16_t(U8()) << 8)) % 1100;
    }
    float Small(float lo, float hi) { return lo + (hi - lo) * (float(U8()) / 255.0f); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

class FuzzStore : public TileStore {
public:
    uint32_t counter = 0;
    int32_t runState = 1;
    uint8_t buildMasks = 0;

protected:
    uint32_t UpdateCounter() const override { return counter; }
    int32_t RunState() const override { return runState; }
    BashMaskPtr LoadPredefinedMask(int, float scale, int direction, int flip) override
    {
        if (!buildMasks)
            return nullptr;
        BashMaskPtr mask = AllocateBashMask(1 + direction * 3, 1 + int(scale * 4) + flip);
        if (mask)
            for (int y = 0; y < mask->height; ++y)
                for (int x = 0; x < mask->width; ++x)
                    mask->Row(y)[x] = ((x + y) & 1) ? 0xFF886B0Bu : 0x40FFFFFFu;
        return mask;
    }
};

BashMaskPtr MakeMask(Stream& in)
{
    const int width = 1 + in.U8() % 16, height = 1 + in.U8() % 16;
    BashMaskPtr mask = AllocateBashMask(width, height);
    const uint32_t base = in.U32(), step = in.U32();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask->Row(y)[x] = base + step * uint32_t(y * width + x);
    mask->hotspotX = in.U8() % 20;
    mask->hotspotY = in.U8() % 20;
    return mask;
}

void Emit(BashEmitter&, int, int, uint32_t)
{
    SimRand();
}

FuzzStore* g_store = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    g_store = new FuzzStore;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Stream in(data, size);
    // One store for every input, brought back to the same start each time.
    FuzzStore& store = *g_store;
    store.Clear();
    store.FreePredefinedMasks();
    store.edgeModes = {};
    store.undoRecording = 0;
    store.suppressed = 0;
    store.counter = 0;
    store.runState = 1;
    store.buildMasks = 0;
    store.Create(256, 256);
    BashMaskPtr mask = AllocateBashMask(4, 4);
    BashMaskPtr copyOut = AllocateBashMask(8, 8);
    MaskTransform transform;
    BashEmitter emitter;
    emitter.callback = &Emit;
    int operations = 0;
    while (!in.Empty() && ++operations < 200) {
        switch (in.U8() % 14) {
        case 0: {
            const int32_t w = in.Bool() ? in.I32() : 1 + in.U8() * 8, h = in.Bool() ? in.I32() : 1 + in.U8() * 8;
            const bool valid = w >= 1 && h >= 1 && w <= kMaxLandscapeSize && h <= kMaxLandscapeSize;
            if (!valid || (w <= kLargestSide && h <= kLargestSide))
                in.Bool() ? void(store.Create(w, h)) : void(store.SetSize(w, h));
            break;
        }
        case 1:
            store.edgeModes[in.U8() % 4] = in.Bool() ? in.I32() : in.U8() % 4;
            break;
        case 2:
            mask = MakeMask(in);
            break;
        case 3: {
            const BashRect rect{in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate()};
            const int material = in.Bool() ? in.I32() : in.U8() % 20;
            const bool useSource = in.Bool();
            const uint32_t affected = in.Bool() ? in.U32() : kAllMaterials;
            BashOptions options;
            options.forceOpaque = in.U8();
            options.alphaThreshold = in.Bool() ? in.I32() : in.U8();
            options.shadowDarken = in.Bool() ? in.I32() : in.U8();
            MaskReader reader;
            const uint8_t choice = in.U8();
            transform.m11 = in.Small(-4, 4);
            transform.m12 = in.Small(-4, 4);
            transform.m21 = in.Small(-4, 4);
            transform.m22 = in.Small(-4, 4);
            transform.dx = in.Small(-20, 20);
            transform.dy = in.Small(-20, 20);
            transform.scaleX = in.Small(0.0625f, 16);
            transform.scaleY = in.Small(0.0625f, 16);
            switch (choice % 5) {
            case 1: reader = OrientationReader(choice / 5 % 5, choice / 25 % 9); break;
            case 2: reader = NearestReader(transform); break;
            case 3: reader = BilinearReader(transform); break;
            case 4: reader = AreaReader(transform); break;
            default: break;
            }
            const uint32_t tint = in.U32();
            const uint8_t flags = in.U8();
            emitter.stepX = in.Bool() ? in.I32() : in.U8() % 4;
            emitter.stepY = in.Bool() ? in.I32() : in.U8() % 4;
            store.Bash(rect, (flags & 64) ? nullptr : mask.get(), material, useSource, affected, options, reader, tint,
                       (flags & 1) ? &emitter : nullptr, (flags & 2) != 0, (flags & 4) != 0,
                       (flags & 8) ? copyOut.get() : nullptr, (flags & 16) != 0, (flags & 32) != 0);
            break;
        }
        case 4: {
            const int m = in.Bool() ? in.I32() : in.U8() % 18, s = in.Bool() ? in.I32() : in.U8() % 4;
            const int d = in.Bool() ? in.I32() : in.U8() % 4, f = in.Bool() ? in.I32() : in.U8() % 2;
            store.BashBrush(m, s, d, f, in.Bool() ? in.I32() : in.U8() % 20, in.Bool(), in.U32(),
                            in.Bool() ? &emitter : nullptr, in.U32(), in.Coordinate(), in.Coordinate());
            break;
        }
        case 5:
            store.SetPixel(in.U8(), in.Bool(), in.U32(), in.Coordinate(), in.Coordinate(), in.Coordinate(),
                           in.Coordinate());
            break;
        case 6:
            store.CopyTiles(in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate(),
                            in.Coordinate());
            break;
        case 7:
            store.ApplyGravity(in.Bool() ? in.I32() : in.U8() % 4, in.Bool(), in.Bool(), in.Coordinate(),
                               in.Coordinate(), in.Coordinate(), in.Coordinate());
            break;
        case 8: {
            const int x0 = in.Coordinate(), y0 = in.Coordinate(), x1 = in.Coordinate(), y1 = in.Coordinate();
            store.HitTestPoint(x0, y0);
            store.HitTestRect(in.Bool(), in.Bool(), x0, y0, x1, y1);
            store.CountSolidPixels(x0, y0, x1, y1);
            store.ProbeSolid(x0, y0, x1, y1);
            store.GetPixelColour(x1, y1);
            store.TestPixelColour(x0, y1);
            break;
        }
        case 9: {
            const PixelRect rect{in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate()};
            in.Bool() ? void(store.Checksum(&rect)) : void(store.ComputeChecksum());
            break;
        }
        case 10:
            store.StateHash();
            break;
        case 11:
            switch (in.U8() % 6) {
            case 0: store.Clear(); break;
            case 1: store.FreeTiles(); break;
            case 2: store.SetFrontAlpha(in.U8()); break;
            case 3: store.undoRecording = in.U8(); break;
            case 4: store.suppressed = in.U8() & 1; break;
            default: store.FreePredefinedMasks(); break;
            }
            break;
        case 12:
            store.counter = in.U32();
            store.runState = in.U8() % 3;
            store.buildMasks = in.U8() & 1;
            break;
        default:
            store.SetPredefinedMask(in.Bool() ? in.I32() : in.U8() % 17, in.U8() % 5, in.U8() % 5, in.U8() % 3,
                                    MakeMask(in));
            break;
        }
    }
    return 0;
}
