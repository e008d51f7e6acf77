// The flimb and overlay pass: wrapped copies, the layer order, the splat alerts and the
// group counts' background rule.
#include "game/FlimbOverlay.h"
#include "game/GameViewPort.h"
#include "tests/support/FlimbFixture.h"
#include "tests/support/RecordingTrap.h"
#include "media/ImageCache.h"
#include "traps/Trap.h"
#include "world/TrapDraw.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kSky = 0xFF203040u;

class FlimbOverlayTest : public FlimbFixture {
protected:
    static void DrawPass()
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_ZBUFFER, kSky, 1.0f, 0);
        device->BeginScene();
        DrawFlimbOverlay(World());
        device->EndScene();
    }
    static bool ColumnPainted(int x, int top, int bottom)
    {
        for (int y = top; y < bottom; ++y)
            if (Pixel(x, y) != (kSky & 0xFFFFFFu))
                return true;
        return false;
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> lines;
        for (const auto& entry : Controller().messages.Entries())
            lines.push_back(entry.text);
        return lines;
    }
};

TEST_F(FlimbOverlayTest, AFlimbOffScreenAtAWrappingEdgeShowsThroughItsCopy)
{
    EdgeModes edges;
    edges.left = edges.right = TileStore::kEdgeWrap;
    LoadMap({}, edges, 640, 240);
    Place(636, 150, kWalk);
    DrawPass();
    bool left = false;
    for (int x = 0; x < 14; ++x)
        left = left || ColumnPainted(x, 100, 155);
    EXPECT_TRUE(left) << "the copy one landscape width to the left is on the screen";

    LoadMap({}, {}, 640, 240); // open edges: the flimb stays off the screen
    ClearWorldFlimbs(World());
    Place(636, 150, kWalk);
    DrawPass();
    for (int x = 0; x < 320; ++x)
        ASSERT_FALSE(ColumnPainted(x, 100, 155)) << x;
}

TEST_F(FlimbOverlayTest, OtherGroupsWalkersFallersAndFloatersGoUnderTheRest)
{
    LoadMap({}, {}, 320, 240);
    world_->AddLocalPlayer().team = 0;
    const struct {
        uint8_t type;
    } lowTypes[] = {{kWalk}, {kPuff}, {kSpin}, {kFall}, {kDoppel}};
    for (const auto low : lowTypes) {
        SCOPED_TRACE(int(low.type));
        ClearWorldFlimbs(World());
        Flimb* top = Place(100, 150, kClob, 0);
        Flimb* under = Place(100, 150, low.type, 2); // later in the table, another group
        top->frame = under->frame = 0;
        under->flags &= uint8_t(~kFlimbInWorld);
        DrawPass();
        const uint32_t topAlone = Pixel(100, 130);
        top->flags &= uint8_t(~kFlimbInWorld);
        under->flags |= kFlimbInWorld;
        DrawPass();
        const uint32_t underAlone = Pixel(100, 130);
        ASSERT_NE(topAlone, underAlone) << "the two sprites differ at the test pixel";
        top->flags |= kFlimbInWorld;
        DrawPass();
        EXPECT_EQ(Pixel(100, 130), topAlone) << "the other group's flimb is drawn first";
    }
    ClearWorldFlimbs(World());
    Flimb* first = Place(100, 150, kClob, 0);
    Flimb* second = Place(100, 150, kDrill, 2);
    first->frame = second->frame = 0;
    second->flags &= uint8_t(~kFlimbInWorld);
    DrawPass();
    const uint32_t clobAlone = Pixel(100, 130);
    first->flags &= uint8_t(~kFlimbInWorld);
    second->flags |= kFlimbInWorld;
    DrawPass();
    const uint32_t drillAlone = Pixel(100, 130);
    first->flags |= kFlimbInWorld;
    DrawPass();
    ASSERT_NE(clobAlone, drillAlone);
    EXPECT_EQ(Pixel(100, 130), drillAlone) << "other types keep the table order";
}

TEST_F(FlimbOverlayTest, SplatAlertsAnnounceAt5And15AndReArmOnlyAt0)
{
    LoadMap({}, {}, 320, 240);
    world_->AddLocalPlayer().team = 1;
    const struct {
        int endangered;
        std::vector<std::string> said;
    } steps[] = {
        {4, {}},
        {5, {"SPLAT ALERT!"}},
        {6, {"SPLAT ALERT!"}},
        {15, {"SPLAT ALERT!", "MEGA SPLAT ALERT!!"}},
        {5, {"SPLAT ALERT!", "MEGA SPLAT ALERT!!"}},
        {16, {"SPLAT ALERT!", "MEGA SPLAT ALERT!!"}},
        {0, {"SPLAT ALERT!", "MEGA SPLAT ALERT!!"}},
        {5, {"SPLAT ALERT!", "MEGA SPLAT ALERT!!", "SPLAT ALERT!"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.endangered);
        World().tallies[1][kTallyFalling] = step.endangered;
        World().tallies[0][kTallyFalling] = 40; // another team's flimbs do not count
        DrawPass();
        EXPECT_EQ(Messages(), step.said);
    }
    EXPECT_EQ(Controller().messages.Entries().back().sender, -1) << "a system line";
    Controller().playbackRunning = 1;
    World().tallies[1][kTallyFalling] = 0;
    DrawPass();
    World().tallies[1][kTallyFalling] = 15;
    DrawPass();
    EXPECT_EQ(Messages().size(), 3u) << "quiet during a playback";
}

TEST_F(FlimbOverlayTest, GroupCountsAreHiddenOverAShownActiveBackgroundTrap)
{
    LoadMap({}, {}, 320, 240);
    Place(100, 150, kWalk, 0);
    Place(100, 150, kWalk, 3);
    Place(100, 150, kClob, 3);
    std::array<int32_t, 8> counts{};
    ASSERT_TRUE(GameViewPort::GroupCountsAt(100, 130, counts));
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[3], 2);

    std::vector<std::string> journal;
    auto background = std::make_unique<RecordingTrap>(34, journal);
    background->bounds = gfx::RECT{50, 50, 200, 200};
    RecordingTrap* trap = background.get();
    RegisterTrap(std::move(background));
    EXPECT_FALSE(GameViewPort::GroupCountsAt(100, 130, counts));
    EXPECT_EQ(counts[3], 0);
    EXPECT_TRUE(GameViewPort::GroupCountsAt(250, 130, counts)) << "outside its bounds";
    trap->visible = 0;
    EXPECT_TRUE(GameViewPort::GroupCountsAt(100, 130, counts)) << "a hidden background";
    trap->visible = 1;
    trap->enabled = 0;
    EXPECT_TRUE(GameViewPort::GroupCountsAt(100, 130, counts)) << "an inactive background";
    DeleteAllTraps();
}

// Traps stand in the world like flimbs: a trap and its highlight marker show where the view
// puts their point, not at the point's own pixels.
TEST_F(FlimbOverlayTest, TrapsAndTheirHighlightMarkerDrawThroughTheView)
{
    LoadMap({}, {}, 1024, 512);
    LoadTrapSpecs(); // the highlight marker's image
    ASSERT_NE(GroupSelectImage(), nullptr);
    auto made = std::make_unique<Trap>(22);
    made->x = 700.0f;
    made->y = 400.0f;
    made->sprite = ImageCache::GetImage("Graphics\\Traps\\Exit\\exit.png");
    ASSERT_NE(made->sprite, nullptr);
    Trap* trap = made.get();
    RegisterTrap(std::move(made));
    const auto drawTraps = [] {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_ZBUFFER, kSky, 1.0f, 0);
        device->BeginScene();
        DrawTrapsMiddleLayer();
        DrawTrapsFrontLayer();
        device->EndScene();
    };
    const auto painted = [](int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += Pixel(x, y) != (kSky & 0xFFFFFFu) ? 1 : 0;
        return count;
    };

    GameViewHooks hooks; // the view shows world (540, 280) at screen (160, 120), at half size
    hooks.worldToScreen = [](float& x, float& y) {
        x = (x - 540.0f) / 2.0f + 160.0f;
        y = (y - 280.0f) / 2.0f + 120.0f;
    };
    hooks.viewScale = [] { return 0.5f; };
    hooks.visibleWorldRect = [] { return gfx::RECT{220, 40, 860, 520}; };
    SetGameViewHooks(hooks);
    RebuildTrapDrawList();
    drawTraps();
    const int half = painted(220, 160, 260, 200); // around (240, 180)
    EXPECT_GT(half, 40) << "the trap shows at its view point";
    EXPECT_LT(half, 85 * 70 / 4 + 200) << "at the view's scale";

    const int around = painted(180, 120, 300, 240);
    World().traps.highlightedTrapId = trap->id;
    drawTraps();
    EXPECT_GT(painted(180, 120, 300, 240), around + 100) << "the highlight marker rings it";
    ResetGameViewHooks();
    UnloadTraps();
}

} // namespace
