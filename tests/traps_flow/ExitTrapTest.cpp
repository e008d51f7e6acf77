// The exit trap: its mouth, the absorption rule, minimum and maximum, the bogus crusher and
// the preview copy.
#include "app/Random.h"
#include "game/GameController.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/ExitTrap.h"
#include "world/Flimb.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class ExitTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        AsciiMap rows(160, std::string(300, '.'));
        for (size_t y = 150; y < 160; ++y)
            rows[y] = std::string(300, '#');
        LoadMap(rows);
    }
    ExitTrap* AddExit(const std::string& children = "", int32_t loadMode = 0)
    {
        return dynamic_cast<ExitTrap*>(
            AddTrapXml("<trap><type>Exit</type><x>100</x><y>149</y>" + children + "</trap>", loadMode));
    }
    bool Heard(const std::string& prefix) const
    {
        return std::any_of(sounds.begin(), sounds.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    }
};

TEST_F(ExitTrapTest, MouthRectanglePerDirection)
{
    ExitTrap* exit = Add<ExitTrap>(kTrapExit, 100.0f, 100.0f);
    ASSERT_NE(exit, nullptr);
    struct Case {
        float rotation, scale;
        gfx::RECT mouth;
    };
    const Case cases[] = {
        {0, 1, {80, 81, 120, 102}},  {180, 1, {80, 98, 120, 119}}, {90, 1, {81, 80, 102, 120}},
        {270, 1, {98, 80, 119, 120}}, {0, 2, {60, 62, 140, 104}},  {0, 0.5f, {90, 91, 110, 101}},
    };
    for (const Case& c : cases) {
        exit->rotation = c.rotation;
        exit->SetScale(c.scale, 0.0f);
        const gfx::RECT r = exit->GetMouthRect();
        EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
                  (std::array{c.mouth.left, c.mouth.top, c.mouth.right, c.mouth.bottom}))
            << c.rotation << " " << c.scale;
    }
}

TEST_F(ExitTrapTest, AbsorptionRule)
{
    struct Case {
        const char* what;
        const char* exitChildren;
        float scale;
        uint8_t gravity, group;
        bool quiet, absorbed, counted;
    };
    const Case cases[] = {
        {"an upright walker", "", 1.0f, 0, 0, false, true, true},
        {"a larger flimb", "", 2.0f, 0, 0, false, false, false},
        {"another gravity", "", 1.0f, 1, 0, false, false, false},
        {"exclusive, another group", "<groupID>2</groupID><exclusive>1</exclusive>", 1.0f, 0, 1, false, false, false},
        {"exclusive, its group", "<groupID>2</groupID><exclusive>1</exclusive>", 1.0f, 0, 2, false, true, true},
        {"a quiet end", "", 1.0f, 0, 0, true, true, false},
        {"a smaller flimb", "<scale>2</scale>", 1.0f, 0, 0, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExitTrap* exit = AddExit(c.exitChildren);
        ASSERT_NE(exit, nullptr);
        Listen(*exit, 0);
        Flimb* flimb = PlaceAt(100, 149, c.group, c.gravity);
        flimb->scale = c.scale;
        if (c.quiet)
            flimb->attributes |= kAttrQuietEnd;
        Run(1);
        EXPECT_EQ(!flimb->InWorld(), c.absorbed);
        EXPECT_EQ((flimb->flags2 & kFlimbSaved) != 0, c.absorbed);
        EXPECT_EQ(exit->savedCount, c.counted ? 1 : 0);
        EXPECT_EQ(events.size(), c.counted ? 1u : 0u);
        EXPECT_EQ(Heard("1 at "), c.counted);
        EXPECT_EQ(std::count(mode.begin(), mode.end(),
                             "saved " + std::to_string(flimb->id) + " " + std::to_string(exit->id)),
                  c.absorbed ? 1 : 0);
        // Saved once only.
        Run(2);
        EXPECT_EQ(exit->savedCount, c.counted ? 1 : 0);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
        events.clear();
        sounds.clear();
        mode.clear();
    }
}

TEST_F(ExitTrapTest, MaximumThreeFiresZeroThenTwoAndSkipsTheRest)
{
    ExitTrap* exit = AddExit("<max_flimbs>3</max_flimbs>");
    Listen(*exit, 0);
    Listen(*exit, 2);
    std::vector<Flimb*> flimbs;
    for (int i = 0; i < 5; ++i)
        flimbs.push_back(PlaceAt(96 + 2 * i, 149));
    Run(1);
    const std::string id = std::to_string(exit->id);
    EXPECT_EQ(events, (std::vector<std::string>{id + ":0", id + ":0", id + ":0", id + ":2"}));
    EXPECT_EQ(exit->savedCount, 3);
    EXPECT_FALSE(exit->enabled);
    EXPECT_EQ(std::count_if(flimbs.begin(), flimbs.end(), [](Flimb* f) { return f->InWorld(); }), 2);
    Run(3);
    EXPECT_EQ(exit->savedCount, 3);
}

TEST_F(ExitTrapTest, FilledExitsAreReportedOncePerLevel)
{
    Controller().sessionKind = kSessionLocal;
    ExitTrap* exit = AddExit("<min_flimbs>2</min_flimbs>");
    AddExit("<groupID>3</groupID><min_flimbs>9</min_flimbs>")->x = 250.0f; // another group's
    auto filled = [&] { return std::count(sounds.begin(), sounds.end(), "65 vol 1.00"); };
    PlaceAt(100, 149);
    Run(1);
    EXPECT_EQ(filled(), 0);
    PlaceAt(100, 149);
    PlaceAt(101, 149);
    Run(2);
    EXPECT_EQ(exit->savedCount, 3);
    EXPECT_EQ(filled(), 1);
}

TEST_F(ExitTrapTest, TheNumberShowsWhatIsStillWanted)
{
    ExitTrap* exit = AddExit("<min_flimbs>5</min_flimbs>");
    struct Case {
        int32_t saved;
        const char* text;
        uint32_t colour;
    };
    for (const Case c : {Case{2, "3", 0xFFFF4444u}, Case{5, "0", 0xFF44FF44u}, Case{7, "2", 0xFF44FF44u}}) {
        exit->savedCount = c.saved;
        uint32_t colour = 0;
        EXPECT_EQ(exit->NumberText(colour), c.text) << c.saved;
        EXPECT_EQ(colour, c.colour) << c.saved;
    }
    ExitTrap* plain = AddExit("<groupID>2</groupID>");
    plain->savedCount = 4;
    uint32_t colour = 0;
    EXPECT_EQ(plain->NumberText(colour), "4");
    EXPECT_EQ(colour, 0xFFFF4444u); // the group's colour
    EXPECT_FALSE(plain->ShowsStar());
}

TEST_F(ExitTrapTest, ABogusExitCrushesOncePerStroke)
{
    ExitTrap* exit = AddExit("<bogus>1</bogus>");
    Listen(*exit, 1);
    Listen(*exit, 0);
    Flimb* flimb = PlaceAt(100, 149);
    Run(1);
    EXPECT_TRUE(exit->crushing);
    EXPECT_TRUE(flimb->InWorld());
    int strokeEnd = RunUntil(40, [&] { return !exit->crushing; });
    EXPECT_LT(strokeEnd, 40);
    EXPECT_FALSE(flimb->InWorld());
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(exit->id) + ":1"}));
    EXPECT_EQ(exit->crushOffset, 0);
    EXPECT_EQ(exit->savedCount, 0);
}

TEST_F(ExitTrapTest, ThePreviewCopyChangesNothing)
{
    ExitTrap* exit = AddExit();
    Listen(*exit, 0);
    Flimb& copy = World().preview.copy;
    copy = *PlaceAt(100, 149);
    const uint32_t generator = SimRandom().State();
    const auto tallies = World().tallies;
    exit->OnFlimbContact(&copy);
    EXPECT_EQ(exit->savedCount, 0);
    EXPECT_FALSE(exit->beaming);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(std::none_of(mode.begin(), mode.end(), [](const std::string& m) { return m.rfind("saved", 0) == 0; }));
    EXPECT_EQ(SimRandom().State(), generator);
    EXPECT_EQ(World().tallies, tallies);
    EXPECT_FALSE(copy.InWorld()); // the copy's run ends here
}

TEST_F(ExitTrapTest, AnExitThatIsOffDoesNothingExceptInTheEditor)
{
    ExitTrap* off = AddExit("<default_on>0</default_on>");
    EXPECT_FALSE(off->on);
    Flimb* flimb = PlaceAt(100, 149);
    Run(2);
    EXPECT_TRUE(flimb->InWorld());
    EXPECT_EQ(AddExit("<default_on>0</default_on>", kLoadModeEditor)->on, true);
    // The settings panel's "Active" puts it to use.
    ExitSettings settings;
    settings.defaultOn = true;
    settings.exclusive = true;
    off->ApplySettings(settings);
    EXPECT_TRUE(off->on && off->defaultOn && off->exclusive);
    EXPECT_FALSE(off->applyProtection);
    Run(2);
    EXPECT_FALSE(flimb->InWorld());
}

} // namespace
