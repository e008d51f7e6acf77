#pragma once
// The flimb fixture: the world fixture's ASCII-map terrain on the game's landscape, the
// game's flimb art and specs from the build's archive (a hidden device loads them), a fresh
// world, placed flimbs, N world updates and the state hash.
//
// Brushes: the predefined masks are drawn by the stamping code; tests put small hand-made
// masks into the landscape's cache with SetBrush ('#' solid, '.' clear), built for every
// direction the way the flimb code lays a brush in its own frame.
#include "../gui/DeviceFixture.h"
#include "tests/support/TestWorld.h"
#include "tests/support/WorldFixture.h"

#include "app/StandardFileManager.h"
#include "game/WorldUpdate.h"
#include "world/AnimationSpec.h"
#include "world/FlimbTable.h"
#include "world/StateHash.h"
#include "world/WorldServices.h"

#include <optional>

class FlimbFixture : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        // The specs lie in the game folder beside the archive.
        manager_->AddMember(std::make_unique<StandardFileManager>(
            std::vector<StandardFileManager::Root>{{"", std::string(FLIMBS_GAME_DIR)}}));
        manager_->IndexNames(nullptr, 0, nullptr);
        StartScreen(320, 240);
        world_.emplace();
        LoadActionSprites();
        InitLandscape();
    }
    void TearDown() override
    {
        UnloadActionSprites();
        ReleaseLandscape();
        world_.reset();
        DeviceFixture::TearDown();
    }

    Landscape& Land() { return *GameLandscape(); }

    // A landscape of the map's size (or larger), the map painted at its top-left corner.
    void LoadMap(const AsciiMap& rows, EdgeModes edges = {}, int width = 0, int height = 0)
    {
        size_t mapWidth = 0;
        for (const std::string& row : rows)
            mapWidth = std::max(mapWidth, row.size());
        Landscape& land = Land();
        land.Clear();
        ASSERT_EQ(land.Create(std::max(width, int(mapWidth)), std::max(height, int(rows.size()))),
                  TileStore::kCreated);
        land.edgeModes = {edges.top, edges.bottom, edges.left, edges.right};
        ASSERT_TRUE(PaintAscii(land, 0, 0, rows));
    }
    // Fills the inclusive rectangle with a material in the fixture's colour.
    void Fill(int material, int x0, int y0, int x1, int y1)
    {
        Land().SetPixel(uint8_t(material), true, AsciiColour(material), x0, y0, x1, y1);
    }
    AsciiMap Map() const { return ReadAscii(*GameLandscape(), 0, 0, GameLandscape()->Width(), GameLandscape()->Height()); }

    Flimb* Place(int x, int y, uint8_t type, uint8_t group = 0, uint8_t gravity = 0, int facing = 1)
    {
        return AddFlimb(int16_t(x), int16_t(y), int16_t(nextId_++), group, type, gravity, kFlimbStartEnergy, 0, facing);
    }
    static void Run(int updates)
    {
        for (int i = 0; i < updates; ++i)
            UpdateWorld();
    }
    // Runs until done() or the limit; the updates it took (limit + 1 when never done).
    template <class Fn>
    static int RunUntil(int limit, Fn done)
    {
        for (int i = 1; i <= limit; ++i) {
            UpdateWorld();
            if (done())
                return i;
        }
        return limit + 1;
    }

    // Puts a mask drawn as rows into the brush cache for every direction and flip at the
    // size, in the colour given. The rows are the brush as it stands in the flimb's frame
    // (upright, facing the positive way).
    void SetBrush(int mask, int size, const AsciiMap& rows, uint32_t colour = 0xFFFFFFFFu)
    {
        const int w = int(rows.front().size()), h = int(rows.size());
        auto solid = [&](int c, int r) { return rows[size_t(r)][size_t(c)] == '#'; };
        for (int flip = 0; flip < 2; ++flip) {
            auto frame = [&](int c, int r) { return solid(flip ? w - 1 - c : c, r); };
            for (int direction = 0; direction < 4; ++direction) {
                const bool quarter = direction >= 2;
                BashMaskPtr built = AllocateBashMask(quarter ? h : w, quarter ? w : h);
                ASSERT_TRUE(built);
                for (int y = 0; y < built->height; ++y)
                    for (int x = 0; x < built->width; ++x) {
                        bool on = false;
                        switch (direction) {
                        case 1: on = frame(w - 1 - x, h - 1 - y); break;
                        case 2: on = frame(y, h - 1 - x); break;
                        case 3: on = frame(w - 1 - y, x); break;
                        default: on = frame(x, y); break;
                        }
                        built->Row(y)[x] = on ? colour : 0u;
                    }
                ASSERT_TRUE(Land().SetPredefinedMask(mask, size, direction, flip, std::move(built)));
            }
        }
    }
    // A solid rectangle brush.
    void SetBlockBrush(int mask, int size, int width, int height, uint32_t colour = 0xFFFFFFFFu)
    {
        SetBrush(mask, size, AsciiMap(size_t(height), std::string(size_t(width), '#')), colour);
    }

    std::optional<TestWorld> world_;
    int nextId_ = 1;
};
