// The breakable bridge: its timers, the weight test, the terrain it stamps and removes, the
// crack sound and the limits of its file values.
#include "game/GameController.h"
#include "media/ImageCache.h"
#include "tests/support/FlimbFixture.h"
#include "traps/BridgeTrap.h"
#include "world/WorldState.h"
#include "app/XmlUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kWood = 0xFF8B5A2Bu;
std::vector<int> g_effects;

class BridgeTrapTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        LoadMap(AsciiMap(100, std::string(200, '.')));
        g_effects.clear();
        SetEffectAtListener([](int id, int32_t, int32_t) { g_effects.push_back(id); });
    }
    void TearDown() override
    {
        SetEffectAtListener(nullptr);
        FlimbFixture::TearDown();
    }

    // A 16 x 8 sheet of `frames` frames: frame f solid but for its last 2f columns.
    std::unique_ptr<BridgeTrap> MakeBridge(int frames, int sections = 3)
    {
        const std::string name = "Graphics\\Test\\bridge" + std::to_string(frames) + ".png";
        AddImage(name, 16 * frames, 8, [](int x, int) { return (x % 16) < 16 - 2 * (x / 16) ? kWood : 0u; });
        auto bridge = std::make_unique<BridgeTrap>();
        bridge->sprite = ImageCache::GetImage(name);
        bridge->sprite->SetFrameSize(16, 8);
        bridge->sprite->SetHotspot(8, 4);
        bridge->x = 100.0f;
        bridge->y = 60.0f;
        bridge->sections = sections;
        return bridge;
    }
    int CountMaterial(int material) const
    {
        int count = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                count += GameLandscape()->HitTestPoint(x, y) == material;
        return count;
    }
    static void Step(BridgeTrap& bridge)
    {
        ++World().clock.updateCounter;
        bridge.Update();
    }
};

} // namespace

// With maxFlimbs 0 flimbs on the line change nothing: the bridge follows its timers.
TEST_F(BridgeTrapTest, WithoutAWeightLimitOnlyTheTimersAct)
{
    std::unique_ptr<BridgeTrap> bridge = MakeBridge(3);
    bridge->timeClosed = 2;
    bridge->timeOpen = 1;
    bridge->StampLand();
    Place(100, 47, kWalk);
    Place(90, 47, kWalk);
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {0, 0}, {1, 0}, {1, 1}, {1, 2}, {2, 2},
                                                       {2, 2}, {1, 2}, {0, 0}, {0, 0}, {0, 0}, {1, 0}};
    for (size_t n = 0; n < expected.size(); ++n) {
        Step(*bridge);
        EXPECT_EQ(std::make_pair(int(bridge->bridgeState), int(bridge->frame)), expected[n]) << "update " << n + 1;
    }
}

// Only feet within a pixel of the walking line count; a flimb falling past is not weight.
TEST_F(BridgeTrapTest, OnlyFlimbsWithTheirFeetOnTheLineCount)
{
    std::unique_ptr<BridgeTrap> bridge = MakeBridge(3);
    bridge->maxFlimbs = 2;
    bridge->timeClosed = 99999;
    float x1, y1, x2, y2;
    bridge->WalkingLine(x1, y1, x2, y2);
    EXPECT_FLOAT_EQ(y1, 47.0f);
    EXPECT_FLOAT_EQ(x2 - x1, 45.0f);
    Place(100, 47, kWalk);
    Place(80, 52, kFall); // crossing the line on its way down
    EXPECT_EQ(bridge->FlimbsOnBridge(), 1);
    Step(*bridge);
    EXPECT_EQ(bridge->bridgeState, BridgeTrap::kClosed);
    Place(110, 48, kWalk);
    EXPECT_EQ(bridge->FlimbsOnBridge(), 2);
    Step(*bridge);
    EXPECT_EQ(bridge->bridgeState, BridgeTrap::kMoving);
    EXPECT_EQ(bridge->motion, BridgeTrap::kOpening);
}

// Breaking removes only the bridge's own material; closing stamps it back.
TEST_F(BridgeTrapTest, BreakingSparesOtherMaterialsAndClosingRebuilds)
{
    std::unique_ptr<BridgeTrap> bridge = MakeBridge(2);
    bridge->timeClosed = 0;
    bridge->timeOpen = 0;
    Fill(1, 95, 58, 104, 61);
    bridge->StampLand();
    const int stamped = CountMaterial(3);
    EXPECT_GT(stamped, 300);
    EXPECT_EQ(CountMaterial(1), 40) << "behind the landscape it fills empty pixels only";
    while (bridge->bridgeState != BridgeTrap::kOpen)
        Step(*bridge);
    EXPECT_EQ(CountMaterial(3), 0);
    EXPECT_EQ(CountMaterial(1), 40);
    while (bridge->bridgeState != BridgeTrap::kClosed)
        Step(*bridge);
    EXPECT_EQ(bridge->frame, 0);
    EXPECT_GT(CountMaterial(3), 0);
    EXPECT_EQ(CountMaterial(1), 40);
}

// The crack plays once per opening at frame 8; shorter sheets open silently. A one-frame
// sheet opens and closes with frame 0 (the frame never wraps) and re-forms its terrain.
TEST_F(BridgeTrapTest, CrackSoundAndShortSheets)
{
    struct Case {
        int frames;
        int cracks;
    };
    for (const Case& c : {Case{9, 2}, Case{12, 2}, Case{8, 0}, Case{1, 0}, Case{2, 0}}) {
        g_effects.clear();
        World().clock.updateCounter = 0;
        std::unique_ptr<BridgeTrap> bridge = MakeBridge(c.frames, 1);
        bridge->timeClosed = 0;
        bridge->timeOpen = 0;
        bridge->StampLand();
        int closings = 0;
        for (int n = 0; n < 4 * c.frames + 10 && closings < 2; ++n) {
            const uint8_t before = bridge->bridgeState;
            Step(*bridge);
            ASSERT_LT(bridge->frame, c.frames) << c.frames << " frames";
            closings += before == BridgeTrap::kMoving && bridge->bridgeState == BridgeTrap::kClosed;
        }
        EXPECT_EQ(closings, 2) << c.frames << " frames";
        EXPECT_EQ(std::count(g_effects.begin(), g_effects.end(), 3), c.cracks) << c.frames << " frames";
        EXPECT_GT(CountMaterial(3), 0) << c.frames << " frames";
        GameLandscape()->Clear();
        LoadMap(AsciiMap(100, std::string(200, '.')));
    }
}

// Sections from a file are bounded; a value missing from the trap comes from the defaults.
TEST_F(BridgeTrapTest, SectionsFromAFileAreBounded)
{
    for (const auto& [text, sections] : std::vector<std::pair<std::string, int>>{
             {"0", 1}, {"-4", 1}, {"7", 7}, {"100", 100}, {"1000000", 100}}) {
        BridgeTrap bridge;
        XmlDocument doc = XmlNewDocument("trap");
        bridge.Save(XmlRoot(doc.get()));
        std::string element = XmlDocumentText(doc.get());
        const std::string was = "<sections>4</sections>";
        ASSERT_NE(element.find(was), std::string::npos);
        element.replace(element.find(was), was.size(), "<sections>" + text + "</sections>");
        XmlDocument edited = XmlParseBuffer(element.data(), element.size(), "trap");
        BridgeTrap loaded;
        loaded.Load(XmlRoot(edited.get()), nullptr, kTrapLoadAll);
        EXPECT_EQ(loaded.sections, sections) << text;
    }
}
