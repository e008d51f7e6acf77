// The modify-flimb trap's eight modes, its refusals and its spawn.
#include "game/GameController.h"
#include "tests/support/TrapHarness.h"
#include "traps/ModifyFlimbTrap.h"
#include "world/Flimb.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class ModifyFlimbTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        AsciiMap rows(100, std::string(200, '.'));
        for (size_t y = 90; y < 100; ++y)
            rows[y] = std::string(200, '#');
        LoadMap(rows);
    }
    ModifyFlimbTrap* AddModify(int mode, int group)
    {
        return dynamic_cast<ModifyFlimbTrap*>(AddTrapXml("<trap><type>ModifyFlimb</type><x>40</x><y>89</y><mcm>" +
                                                         std::to_string(mode) + "</mcm><group>" +
                                                         std::to_string(group) + "</group></trap>"));
    }
};

TEST_F(ModifyFlimbTrapTest, ModesChangeTheActivatingFlimb)
{
    struct Case {
        int mode, group;
        std::function<void(Flimb&)> before;
        std::function<void(const Flimb&)> check;
    };
    const Case cases[] = {
        {1, 255, {}, [](const Flimb& f) { EXPECT_TRUE(f.flags2 & kFlimbLight); }},
        {2, 255, {}, [](const Flimb& f) { EXPECT_TRUE(f.flags2 & kFlimbDark); }},
        {3, 255, [](Flimb& f) { f.flags2 |= kFlimbLight | kFlimbDark; },
         [](const Flimb& f) { EXPECT_FALSE(f.flags2 & (kFlimbLight | kFlimbDark)); }},
        {4, 6, {}, [](const Flimb& f) { EXPECT_EQ(f.group, 6); }},
        {6, 255, {}, [](const Flimb& f) { EXPECT_EQ(World().selected, &f); }},
        {5, 255, [](Flimb& f) { f.SetSelected(true, false), World().selected = &f; },
         [](const Flimb&) { EXPECT_EQ(World().selected, nullptr); }},
        {7, 255, {}, [](const Flimb& f) { EXPECT_FALSE(f.InWorld()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ModifyFlimbTrap* trap = AddModify(c.mode, c.group);
        ASSERT_NE(trap, nullptr);
        Flimb* flimb = PlaceAt(120, 89, 1);
        if (c.before)
            c.before(*flimb);
        trap->Activate(flimb);
        c.check(*flimb);
        if (c.mode == 5 || c.mode == 6) {
            EXPECT_EQ(session->requests, (std::vector<std::string>{"highlight " + std::to_string(flimb->id)}));
        }
        session->requests.clear();
        World().selected = nullptr;
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(ModifyFlimbTrapTest, SpawnMakesAFlimbAtTheTrapWithTheTrapAsOrigin)
{
    ModifyFlimbTrap* trap = AddModify(0, 255);
    Flimb* by = PlaceAt(120, 89, 4);
    trap->Activate(by);
    ASSERT_GE(mode.size(), 2u);
    EXPECT_EQ(mode[0], "next-id 0 4 " + std::to_string(trap->id) + " 0");
    Flimb* spawned = nullptr;
    for (Flimb& flimb : World())
        if (!flimb.IsFree() && &flimb != by)
            spawned = &flimb;
    ASSERT_NE(spawned, nullptr);
    EXPECT_EQ(spawned->x, 40);
    EXPECT_EQ(spawned->group, 4);
    EXPECT_EQ(spawned->energy, 13023);
}

TEST_F(ModifyFlimbTrapTest, WithoutATargetGroupItRefusesWithAMessage)
{
    struct Case {
        int mode;
        const char* text;
    };
    for (const Case c : {Case{0, "Cannot spawn flimb.  Missing target group."},
                         Case{4, "Cannot change flimb group.  Missing target group."}}) {
        ModifyFlimbTrap* trap = AddModify(c.mode, 255);
        Flimb* by = c.mode == 4 ? PlaceAt(120, 89, 2) : nullptr;
        if (by)
            trap->group = 99; // out of range: no group
        const int before = FlimbCount();
        trap->Activate(by);
        EXPECT_EQ(FlimbCount(), before);
        EXPECT_EQ(Messages(), (std::vector<std::string>{std::string("-1: ") + c.text}));
        EXPECT_EQ(sounds, (std::vector<std::string>{"12 vol 1.00"}));
        if (by) {
            EXPECT_EQ(by->group, 2);
        }
        Controller().messages.Entries().clear();
        sounds.clear();
    }
}

} // namespace
