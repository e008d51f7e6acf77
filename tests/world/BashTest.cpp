// Bashing on a 256 x 256 landscape: adding and removing, wrapping, alpha, tints, special
// materials, undo copies, the emitter, copy-out, erase-outside, shadows and brushes.
#include "game/GameController.h"
#include "../support/LogCapture.h"
#include "../support/WorldFixture.h"

#include "app/Random.h"
#include "game/GameServices.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr uint32_t kAdditiveNeutral = 0xFF808080u;

BashMaskPtr Filled(int width, int height, uint32_t colour)
{
    BashMaskPtr mask = AllocateBashMask(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask->Row(y)[x] = colour;
    return mask;
}

// A mask of one row with these pixels.
BashMaskPtr Row(std::initializer_list<uint32_t> pixels)
{
    BashMaskPtr mask = AllocateBashMask(static_cast<int>(pixels.size()), 1);
    int x = 0;
    for (uint32_t p : pixels)
        mask->Row(0)[x++] = p;
    return mask;
}

uint32_t Front(const TileStore& land, int x, int y)
{
    const uint32_t* front = land.FrontColours(TileSlot(x >> kTileShift, y >> kTileShift));
    return front ? front[ColourIndex(x, y)] : 0u;
}

uint32_t Back(const TileStore& land, int x, int y)
{
    const uint32_t* back = land.BackColours(TileSlot(x >> kTileShift, y >> kTileShift));
    return back ? back[ColourIndex(x, y)] : 0u;
}

// A distinct colour for every pixel.
uint32_t Unique(int x, int y)
{
    return 0xFF000000u | (uint32_t(x) << 12) | uint32_t(y);
}

struct BashArgs {
    int material = 0;
    bool useSourceColour = true;
    uint32_t affected = kAllMaterials;
    BashOptions options{};
    MaskReader reader{};
    uint32_t tint = kAdditiveNeutral;
    BashEmitter* emitter = nullptr;
    bool multiplyTint = false;
    bool noWrap = false;
    BashMask* copyOut = nullptr;
    bool eraseOutside = false;
    bool shadow = false;
};

uint32_t Stamp(TileStore& land, const BashMask& mask, int x, int y, const BashArgs& a)
{
    return land.Bash(BashRect{x, y, x + mask.width, y + mask.height}, &mask, a.material, a.useSourceColour,
                     a.affected, a.options, a.reader, a.tint, a.emitter, a.multiplyTint, a.noWrap, a.copyOut,
                     a.eraseOutside, a.shadow);
}

class Bashing : public WorldFixture {
protected:
    void SetUp() override
    {
        gameUpdateCounter = 0;
        Controller().runState = 0;
        land = std::make_unique<Landscape>();
        ASSERT_EQ(land->Create(256, 256), TileStore::kCreated);
    }
    void TearDown() override
    {
        gameUpdateCounter = 0;
        Controller().runState = 0;
    }
    void Paint(int x0, int y0, int x1, int y1, uint8_t material)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                land->PlotPixel(material, Unique(x, y), x, y);
    }
};

} // namespace

TEST_F(Bashing, RemovingOverATileThatNeverHeldTerrainLeavesItBare)
{
    const BashMaskPtr mask = Filled(10, 10, 0xFFFFFFFFu);
    const uint32_t revision = land->TileRevision(TileSlot(1, 1));
    EXPECT_EQ(Stamp(*land, *mask, 130, 130, {}), 0u);
    EXPECT_EQ(land->MaterialMap(TileSlot(1, 1)), nullptr);
    EXPECT_EQ(land->FrontColours(TileSlot(1, 1)), nullptr);
    EXPECT_EQ(land->TileRevision(TileSlot(1, 1)), revision);
}

TEST_F(Bashing, AddingLaysTheMaterialAndItsColour)
{
    const struct {
        bool useSourceColour;
        int material;
        int under; // material already there
        uint32_t colour;
        int expectedMaterial;
    } cases[] = {
        {true, 2, 0, 0xFF204060u, 2},
        {false, 2, 0, 0xFF999999u, 2},
        {false, 17, 0, 0xFFFF8888u, 17},
        {false, 20, 0, 0x00000000u, 20}, // past the colour table: colour 0
        {true, 6, 0, 0xFF204060u, 0},    // 6 paints and leaves the material
        {true, 6, 3, 0xFF204060u, 3},
        {false, 16, 3, 0xFF000000u, 3},  // 16 over 3: new colour, material kept
        {false, 16, 5, 0xFF000000u, 1},  // 16 over 5: material 1
    };
    int x = 10;
    const BashMaskPtr mask = Filled(1, 1, 0xFF204060u);
    for (const auto& c : cases) {
        if (c.under)
            land->PlotPixel(uint8_t(c.under), 0xFF0A0B0Cu, x, 20);
        BashArgs args;
        args.material = c.material;
        args.useSourceColour = c.useSourceColour;
        Stamp(*land, *mask, x, 20, args);
        EXPECT_EQ(land->HitTestPoint(x, 20), c.expectedMaterial) << c.material << " over " << c.under;
        EXPECT_EQ(Front(*land, x, 20), c.colour) << c.material << " over " << c.under;
        x += 2;
    }
    // 16 leaves empty pixels alone.
    BashArgs sixteen;
    sixteen.material = 16;
    Stamp(*land, *mask, 100, 20, sixteen);
    EXPECT_EQ(land->HitTestPoint(100, 20), 0);
    EXPECT_EQ(Front(*land, 100, 20), 0u);
}

TEST_F(Bashing, WrapsAtEdgeModeTwoOnlyWhileRunning)
{
    const BashMaskPtr mask = Filled(8, 4, 0xFFFFFFFFu);
    const struct {
        int32_t rightMode;
        int32_t runState;
        bool wraps;
    } cases[] = {{TileStore::kEdgeWrap, 1, true},
                 {TileStore::kEdgeWrap, 0, false},
                 {TileStore::kEdgeWrap, 2, false},
                 {3, 1, false}}; // 3 wraps the queries but not a bash
    for (const auto& c : cases) {
        Paint(0, 10, 3, 13, 1);
        Paint(252, 10, 255, 13, 1);
        land->edgeModes = {0, 0, 0, c.rightMode};
        Controller().runState = c.runState;
        Stamp(*land, *mask, 252, 10, {}); // covers 252 .. 259
        EXPECT_EQ(land->CountSolidPixels(252, 10, 255, 13), 0);
        EXPECT_EQ(land->CountSolidPixels(0, 10, 3, 13), c.wraps ? 0 : 16) << c.rightMode << " " << c.runState;
    }
    // Top and bottom wrap the same way, moved by the height.
    Paint(20, 0, 21, 1, 1);
    land->edgeModes = {TileStore::kEdgeWrap, 0, 0, 0};
    Controller().runState = 1;
    const BashMaskPtr small = Filled(2, 4, 0xFFFFFFFFu);
    Paint(20, 254, 21, 255, 1);
    Stamp(*land, *small, 20, -2, {});
    EXPECT_EQ(land->CountSolidPixels(20, 254, 21, 255), 0);
    EXPECT_EQ(land->CountSolidPixels(20, 0, 21, 1), 0);
}

TEST_F(Bashing, AlphaThresholdComesBeforeForceOpaque)
{
    const BashMaskPtr mask = Row({0x7F102030u, 0x80102030u, 0xC8102030u});
    const struct {
        uint8_t forceOpaque;
        uint32_t colours[3];
    } cases[] = {{0, {0, 0x80102030u, 0xC8102030u}}, {1, {0, 0xFF102030u, 0xFF102030u}}};
    int y = 30;
    for (const auto& c : cases) {
        BashArgs args;
        args.material = 1;
        args.options.alphaThreshold = 128;
        args.options.forceOpaque = c.forceOpaque;
        Stamp(*land, *mask, 40, y, args);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Front(*land, 40 + i, y), c.colours[i]) << int(c.forceOpaque) << " " << i;
            EXPECT_EQ(land->HitTestPoint(40 + i, y), c.colours[i] ? 1 : 0);
        }
        ++y;
    }
}

TEST_F(Bashing, TintsAddOrMultiply)
{
    const struct {
        uint32_t tint;
        bool multiply;
        uint32_t expected;
    } cases[] = {
        {0xFF808080u, false, 0xFF405060u}, // neutral additive
        {0xFFFFFFFFu, true, 0xFF405060u},  // neutral multiplicative
        {0x7F808080u, false, 0x7F405060u}, // the tint's alpha scales the mask alpha only
        {0xFF908070u, false, 0xFF505050u},
        {0xFFFF0000u, false, 0xFFBF0000u}, // clamped at 0
        {0xFFFFFFFFu, false, 0xFFBFCFDFu},
        {0xFF800000u, true, 0xFF200000u},  // 0x40 x 128 / 255 truncated
        {0xFF8080FFu, true, 0xFF202860u},
    };
    const BashMaskPtr mask = Filled(1, 1, 0xFF405060u);
    int x = 0;
    for (const auto& c : cases) {
        BashArgs args;
        args.material = 1;
        args.tint = c.tint;
        args.multiplyTint = c.multiply;
        Stamp(*land, *mask, x, 40, args);
        EXPECT_EQ(Front(*land, x, 40), c.expected) << std::hex << c.tint << " " << c.multiply;
        x += 1;
    }
}

TEST_F(Bashing, PartialAlphaBlendsOverTheOldColour)
{
    const struct {
        uint32_t old;
        uint32_t expected;
    } cases[] = {
        {0xFF000064u, 0xFF32004Au}, // s = 64 / 255: red 200 -> 50, blue 100 -> 74
        {0x80000064u, 0x9F32004Au}, // alpha 128 + trunc(127 x 64 / 255)
        {0x00000064u, 0x40C80000u}, // old alpha 0: the new colour whole
    };
    const BashMaskPtr mask = Filled(1, 1, 0x40C80000u);
    int x = 60;
    for (const auto& c : cases) {
        land->PlotPixel(1, c.old, x, 50);
        BashArgs args;
        args.material = 1;
        Stamp(*land, *mask, x, 50, args);
        EXPECT_EQ(Front(*land, x, 50), c.expected) << std::hex << c.old;
        ++x;
    }
}

TEST_F(Bashing, SetPixelFillsEveryTilePiece)
{
    {
        // Clearing with a colour in a tile without terrain only logs.
        LogCapture log;
        land->SetPixel(0, true, 0, 200, 200, 210, 210);
        EXPECT_TRUE(log.Contains("Could not Lock front surface for Lancscaoe::SetPixel! 1 1\n")) << log.Text();
        EXPECT_EQ(land->MaterialMap(TileSlot(1, 1)), nullptr);
    }
    land->SetPixel(4, true, 0xFF010203u, 120, 120, 135, 135);
    for (int x : {120, 127, 128, 135})
        for (int y : {120, 127, 128, 135}) {
            EXPECT_EQ(land->HitTestPoint(x, y), 4) << x << "," << y;
            EXPECT_EQ(Front(*land, x, y), 0xFF010203u) << x << "," << y;
        }
    EXPECT_EQ(land->HitTestPoint(119, 120), 0);
    EXPECT_EQ(land->HitTestPoint(136, 136), 0);
    EXPECT_EQ(land->CountSolidPixels(0, 0, 255, 255), 16 * 16);
    // Clamped to the landscape.
    land->SetPixel(1, false, 0, -10, -10, 2, 2);
    EXPECT_EQ(land->CountSolidPixels(0, 0, 2, 2), 9);
    land->SetPixel(1, false, 0, 5, 5, 4, 4); // reversed: nothing
    EXPECT_EQ(land->HitTestPoint(5, 5), 0);
}

TEST_F(Bashing, RemovalAnswersTheColourOfTheLastClearedPixel)
{
    Paint(120, 120, 135, 135, 1);
    const BashMaskPtr solid = Filled(4, 4, 0xFFFFFFFFu);
    const BashMaskPtr clear = Filled(4, 4, 0x00FFFFFFu);
    EXPECT_EQ(Stamp(*land, *clear, 126, 126, {}), 0u);          // transparent: clears nothing
    BashArgs untouched;
    untouched.affected = 1u << 3;
    EXPECT_EQ(Stamp(*land, *solid, 126, 126, untouched), 0u);    // material 1 not affected
    EXPECT_EQ(Stamp(*land, *solid, 126, 126, {}), Unique(129, 129)); // tiles by row, pixels by row
    EXPECT_EQ(Stamp(*land, *solid, 126, 126, {}), 0u);           // nothing left there
    EXPECT_EQ(Stamp(*land, *solid, 133, 120, {}), Unique(135, 123)); // the mask's last columns fall off the terrain
}

TEST_F(Bashing, UndoCopiesAreSavedOncePerTile)
{
    Paint(0, 0, 3, 0, 1);
    land->undoRecording = 1;
    const BashMaskPtr mask = Filled(200, 2, 0xFF00FF00u);
    BashArgs add;
    add.material = 2;
    Stamp(*land, *mask, 0, 0, add); // tiles (0, 0) and (1, 0)
    const int mapped = TileSlot(0, 0), bare = TileSlot(1, 0);
    ASSERT_EQ(land->UndoMaterialState(mapped), UndoState::Saved);
    ASSERT_EQ(land->UndoFrontState(mapped), UndoState::Saved);
    EXPECT_EQ(land->UndoMaterials(mapped)[MaterialIndex(2, 0)], 1);
    EXPECT_EQ(land->UndoMaterials(mapped)[MaterialIndex(2, 1)], 0);
    EXPECT_EQ(land->UndoFront(mapped)[ColourIndex(2, 0)], Unique(2, 0));
    EXPECT_EQ(land->UndoMaterialState(bare), UndoState::HadNone);
    EXPECT_EQ(land->UndoFrontState(bare), UndoState::HadNone);
    EXPECT_EQ(land->UndoMaterialState(TileSlot(0, 1)), UndoState::None);

    add.material = 3;
    Stamp(*land, *mask, 0, 0, add); // the copies keep the state before the first change
    EXPECT_EQ(land->UndoMaterials(mapped)[MaterialIndex(2, 0)], 1);
    EXPECT_EQ(land->UndoMaterialState(bare), UndoState::HadNone);

    land->FreeTiles();
    EXPECT_EQ(land->UndoMaterialState(mapped), UndoState::None);
    EXPECT_EQ(land->UndoMaterials(mapped), nullptr);
    land->undoRecording = 0;
    Stamp(*land, *mask, 0, 0, add);
    EXPECT_EQ(land->UndoMaterialState(mapped), UndoState::None);
}

namespace {

struct Emission {
    int x, y;
    uint32_t colour;
    uint32_t seed;
    bool operator==(const Emission&) const = default;
};

struct RecordingEmitter : BashEmitter {
    std::vector<Emission> calls;
    RecordingEmitter()
    {
        stepX = 2;
        stepY = 2;
        callback = [](BashEmitter& self, int x, int y, uint32_t colour) {
            auto& me = static_cast<RecordingEmitter&>(self);
            me.calls.push_back({x, y, colour, SimRandom().State()});
            SimRand(); // the particle draws; the next emission reseeds anyway
        };
    }
};

} // namespace

TEST_F(Bashing, EmitterIsCalledOnItsStepGridWithReseeds)
{
    Paint(10, 10, 13, 13, 1);
    gameUpdateCounter = 1000;
    RecordingEmitter emitter;
    const BashMaskPtr mask = Filled(4, 4, 0xFFFFFFFFu);
    BashArgs args;
    args.emitter = &emitter;
    Stamp(*land, *mask, 10, 10, args);
    const std::vector<Emission> expected = {
        {10, 10, Unique(10, 10), 1 * 1 + 1000},
        {12, 10, Unique(12, 10), 1 * 3 + 1000},
        {10, 12, Unique(10, 12), 3 * 1 + 1000},
        {12, 12, Unique(12, 12), 3 * 3 + 1000},
    };
    EXPECT_EQ(emitter.calls, expected);
    EXPECT_EQ(emitter.emitted, 1);

    // Nothing to clear: the generator is still seeded with the update counter, nothing emits.
    RecordingEmitter idle;
    args.emitter = &idle;
    SimSrand(5);
    Stamp(*land, *mask, 10, 10, args);
    EXPECT_TRUE(idle.calls.empty());
    EXPECT_EQ(idle.emitted, 0);
    EXPECT_EQ(SimRandom().State(), 1000u);
}

TEST_F(Bashing, CopyOutAndEraseOutside)
{
    Paint(0, 60, 3, 60, 1);
    const BashMaskPtr mask = Row({0xFFFFFFFFu, 0x00FFFFFFu, 0xFFFFFFFFu, 0x00FFFFFFu});
    BashMaskPtr saved = AllocateBashMask(4, 1);
    BashArgs remove;
    remove.copyOut = saved.get();
    Stamp(*land, *mask, 0, 60, remove);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(saved->Row(0)[x], Unique(x, 60)) << x; // every visited pixel, transparent or not
    EXPECT_EQ(ReadAscii(*land, 0, 60, 4, 1), AsciiMap{".1.1"});

    Paint(0, 61, 3, 61, 1);
    BashArgs erase;
    erase.material = 2;
    erase.eraseOutside = true;
    Stamp(*land, *mask, 0, 61, erase);
    EXPECT_EQ(ReadAscii(*land, 0, 61, 4, 1), AsciiMap{"#.#."});
    EXPECT_EQ(Front(*land, 1, 61), 0u);

    // Forced opacity never paints where the mask is transparent, copy-out or not.
    BashArgs forced;
    forced.material = 2;
    forced.options.forceOpaque = 1;
    forced.copyOut = saved.get();
    Stamp(*land, *mask, 0, 62, forced);
    EXPECT_EQ(ReadAscii(*land, 0, 62, 4, 1), AsciiMap{"#.#."});
    EXPECT_EQ(Front(*land, 1, 62), 0u);
    EXPECT_EQ(Front(*land, 0, 62), 0xFFFFFFFFu);
}

TEST_F(Bashing, ShadowLayerIsDarkenedAndCleared)
{
    const BashMaskPtr mask = Row({0xFF8090A0u, 0x64FFFFFFu, 0xFF405060u});
    BashArgs add;
    add.material = 1;
    add.shadow = true;
    add.options.shadowDarken = 112;
    Stamp(*land, *mask, 70, 70, add);
    EXPECT_EQ(Back(*land, 70, 70), 0xFF102030u);
    EXPECT_EQ(Back(*land, 71, 70), 0u); // alpha 100: no shadow
    EXPECT_EQ(Back(*land, 72, 70), 0xFF000000u); // clamped at 0
    BashArgs remove;
    remove.shadow = true;
    Stamp(*land, *mask, 70, 70, remove);
    EXPECT_EQ(Back(*land, 70, 70), 0u);
    EXPECT_EQ(land->HitTestPoint(70, 70), 0);
}

TEST_F(Bashing, MaterialsPastTheTablesAndBadArguments)
{
    land->PlotPixel(40, 0xFF111111u, 80, 80);
    land->PlotPixel(20, 0xFF222222u, 81, 80);
    const BashMaskPtr mask = Filled(2, 1, 0xFFFFFFFFu);
    Stamp(*land, *mask, 80, 80, {});
    EXPECT_EQ(land->HitTestPoint(80, 80), 40); // 32 and up: in no material set
    EXPECT_EQ(land->HitTestPoint(81, 80), 0);

    LogCapture log;
    BashArgs bad;
    bad.material = 300;
    EXPECT_EQ(Stamp(*land, *mask, 90, 90, bad), 0u);
    EXPECT_TRUE(log.Contains("Bash refused: material 300\n"));
    EXPECT_EQ(land->HitTestPoint(90, 90), 0);

    // Any rectangle stays inside the tables, and wrapping copies of it too.
    land->edgeModes = {2, 2, 2, 2};
    Controller().runState = 1;
    const int huge[][4] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX - 1, 5, INT_MAX, 6},
                           {-300, -300, 600, 600}, {10, 10, 5, 5}};
    for (const auto& r : huge) {
        land->Bash(BashRect{r[0], r[1], r[2], r[3]}, mask.get(), 0, true, kAllMaterials, BashOptions{}, MaskReader{},
                   kAdditiveNeutral, nullptr, false, false, nullptr, false, false);
        land->Bash(BashRect{r[0], r[1], r[2], r[3]}, mask.get(), 1, true, kAllMaterials, BashOptions{}, MaskReader{},
                   kAdditiveNeutral, nullptr, false, false, nullptr, true, true);
    }
    land->Bash(BashRect{0, 0, 10, 10}, nullptr, 1, true, kAllMaterials, BashOptions{}, MaskReader{}, kAdditiveNeutral,
               nullptr, false, false, nullptr, false, false);
}

namespace {

// A landscape whose brush builder hands out one 2 x 2 mask with its hot spot at (1, 1).
class BrushLandscape : public Landscape {
public:
    std::vector<std::pair<int, float>> built;

protected:
    BashMaskPtr LoadPredefinedMask(int mask, float scale, int, int) override
    {
        built.emplace_back(mask, scale);
        BashMaskPtr made = Filled(2, 2, 0xFFFFFFFFu);
        made->hotspotX = 1;
        made->hotspotY = 1;
        return made;
    }
};

} // namespace

TEST_F(Bashing, BrushesComeFromTheMaskCache)
{
    Paint(40, 40, 60, 60, 1);
    // No mask file (no file manager here): a missing mask bashes nothing.
    EXPECT_EQ(land->BashBrush(12, 1, 0, 0, 0, false, kAllMaterials, nullptr, kAdditiveNeutral, 50, 50), 0u);
    EXPECT_EQ(land->CountSolidPixels(40, 40, 60, 60), 21 * 21);
    // A hand-made mask in the cache.
    BashMaskPtr mask = Filled(3, 3, 0xFFFFFFFFu);
    mask->hotspotX = 1;
    mask->hotspotY = 2;
    ASSERT_TRUE(land->SetPredefinedMask(12, 1, 0, 0, std::move(mask)));
    EXPECT_EQ(land->BashBrush(12, 1, 0, 0, 0, false, kAllMaterials, nullptr, kAdditiveNeutral, 50, 50),
              Unique(51, 50));
    EXPECT_EQ(land->CountSolidPixels(49, 48, 51, 50), 0);
    EXPECT_EQ(land->CountSolidPixels(40, 40, 60, 60), 21 * 21 - 9);
    // Out of range: nothing.
    for (const auto& i : {std::array{17, 1, 0, 0}, std::array{0, 4, 0, 0}, std::array{0, 0, -1, 0},
                          std::array{0, 0, 0, 2}}) {
        EXPECT_EQ(land->BashBrush(i[0], i[1], i[2], i[3], 0, false, kAllMaterials, nullptr, kAdditiveNeutral, 45, 45),
                  0u);
        EXPECT_FALSE(land->SetPredefinedMask(i[0], i[1], i[2], i[3], Filled(1, 1, 0)));
        EXPECT_EQ(land->PredefinedMask(i[0], i[1], i[2], i[3]), nullptr);
    }
    EXPECT_EQ(land->CountSolidPixels(40, 40, 60, 60), 21 * 21 - 9);

    // A builder is asked once per combination, with the size's scale.
    BrushLandscape brushes;
    ASSERT_EQ(brushes.Create(256, 256), TileStore::kCreated);
    brushes.SetPixel(1, true, 0xFF0000FFu, 0, 0, 20, 20);
    brushes.BashBrush(3, 2, 1, 1, 0, false, kAllMaterials, nullptr, kAdditiveNeutral, 10, 10);
    brushes.BashBrush(3, 2, 1, 1, 0, false, kAllMaterials, nullptr, kAdditiveNeutral, 15, 15);
    ASSERT_EQ(brushes.built.size(), 1u);
    EXPECT_EQ(brushes.built[0], std::make_pair(3, 2.0f));
    EXPECT_NE(brushes.PredefinedMask(3, 2, 1, 1), nullptr);
    EXPECT_EQ(brushes.CountSolidPixels(0, 0, 20, 20), 21 * 21 - 8);
}

namespace {

struct RecordingMinimap : IMinimapSurface {
    explicit RecordingMinimap(std::vector<std::array<int, 4>>& log) : log(log) {}
    void TerrainChanged(int left, int top, int right, int bottom) override { log.push_back({left, top, right, bottom}); }
    std::vector<std::array<int, 4>>& log;
};

} // namespace

TEST_F(Bashing, TheMinimapIsToldOfEveryChange)
{
    std::vector<std::array<int, 4>> changes;
    Landscape::SetMinimapFactory([&](Landscape&) { return std::make_unique<RecordingMinimap>(changes); });
    land->RecreateMinimapSurface();
    Landscape::SetMinimapFactory(nullptr);
    ASSERT_NE(land->Minimap(), nullptr);

    const BashMaskPtr mask = Filled(20, 20, 0xFFFFFFFFu);
    BashArgs add;
    add.material = 1;
    Stamp(*land, *mask, -5, 250, add);
    land->PlotPixel(2, 0xFF000000u, 7, 9);
    const std::vector<std::array<int, 4>> expected = {{0, 250, 15, 256}, {7, 9, 8, 10}};
    EXPECT_EQ(changes, expected);
    land->Clear();
    EXPECT_EQ(land->Minimap(), nullptr);
}

TEST_F(Bashing, VerboseLogShowsTheDestinationAndTheBlockChecksums)
{
    Paint(0, 0, 0, 0, 1);
    const BashMaskPtr mask = Filled(1, 1, 0xFFFFFFFFu);
    LogCapture log;
    verboseLog = 1;
    Stamp(*land, *mask, 0, 0, {});
    verboseLog = 0;
    EXPECT_EQ(log.Text(), "BASH DEST = { 0 , 0 , 1 , 1 }\nBEFORE Block 0 (0,0) CheckSum 122881\n"
                          "AFTER Block 0 (0,0) CheckSum 122880\n");
}
