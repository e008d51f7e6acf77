// Traps that draw sheets of their own, blasts or editor-only pictures stand in the world like
// the base sprite: each shows where the game view puts its point, at the view's scale. The
// trap specs give every kind one element, so each kind finds its sheets in the game's data.
#include "tests/support/TrapFixture.h"

#include "app/XmlUtil.h"
#include "traps/AcidRainTrap.h"
#include "traps/BridgeTrap.h"
#include "traps/MushBombTrap.h"
#include "traps/SlingShotTrap.h"
#include "traps/SwapTrap.h"
#include "world/TrapDraw.h"
#include "world/ViewServices.h"

#include <functional>
#include <map>
#include <string>

namespace {

constexpr uint32_t kSky = 0x203040u;

class TrapViewDrawTest : public TrapFixture {
protected:
    static int Painted(int x0, int y0, int x1, int y1)
    {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += Pixel(x, y) != kSky ? 1 : 0;
        return count;
    }
    static void DrawLayers()
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_ZBUFFER, 0xFF000000u | kSky, 1.0f, 0);
        device->BeginScene();
        RebuildTrapDrawList();
        DrawTrapsBackLayer();
        DrawTrapsMiddleLayer();
        DrawTrapsFrontLayer();
        device->EndScene();
    }
};

TEST_F(TrapViewDrawTest, TheTrapSpecsNameEachKindOnce)
{
    std::map<std::string, int> seen;
    for (xmlNode* child = XmlChildren(XmlRoot(TrapSpecDocument())); child; child = XmlNext(child))
        ++seen[XmlName(child)];
    for (const auto& [name, count] : seen)
        EXPECT_EQ(count, 1) << name << ": the loader reads only the first element of a kind";
}

// The view shows world (1500, 900) at screen (160, 120) at half size; the trap's own pixels
// are far off the 320 x 240 screen.
TEST_F(TrapViewDrawTest, KindsDrawTheirSheetsAndBlastsThroughTheView)
{
    LoadMap({}, {}, 2048, 1024);
    struct Case {
        int32_t kind;
        std::function<void(Trap&)> prepare;
    };
    const Case cases[] = {
        {AcidRainTrap::kKind, [](Trap&) {}},
        {SlingShotTrap::kKind, [](Trap&) {}},
        {SwapTrap::kKind, [](Trap&) {}},
        {BridgeTrap::kKind, [](Trap&) {}}, // drawn before the first update
        {22, [](Trap&) {}},                 // the exit: body, glow, number
        {21, [](Trap&) {}},                 // the start: tank and count
        {MushBombTrap::kKind,
         [](Trap& trap) {
             auto& bomb = static_cast<MushBombTrap&>(trap);
             bomb.alpha = 0; // the blast alone
             bomb.exploding = 1;
             bomb.radius = 60;
             bomb.maxRadius = 120;
         }},
    };
    GameViewHooks hooks;
    hooks.worldToScreen = [](float& x, float& y) {
        x = (x - 1500.0f) / 2.0f + 160.0f;
        y = (y - 900.0f) / 2.0f + 120.0f;
    };
    hooks.viewScale = [] { return 0.5f; };
    hooks.visibleWorldRect = [] { return gfx::RECT{1180, 660, 1820, 1140}; };
    SetGameViewHooks(hooks);
    for (const Case& c : cases) {
        std::unique_ptr<Trap> made = Trap::Create(c.kind);
        ASSERT_NE(made, nullptr) << c.kind;
        EXPECT_NE(made->sprite, nullptr) << "kind " << c.kind << " finds its sheet in the trap specs";
        made->x = 1500.0f;
        made->y = 900.0f;
        c.prepare(*made);
        RegisterTrap(std::move(made));
        DrawLayers();
        EXPECT_GT(Painted(120, 80, 200, 160), 20) << "kind " << c.kind << " shows at its view point";
        EXPECT_EQ(Painted(0, 0, 60, 240) + Painted(260, 0, 320, 240), 0)
            << "kind " << c.kind << " draws at the view's scale, nothing far from its point";
        DeleteAllTraps();
    }
    ResetGameViewHooks();
}

} // namespace
