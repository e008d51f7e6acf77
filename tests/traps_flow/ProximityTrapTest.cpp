// The proximity trap: who qualifies, the area test and its timing, the action cycle, the
// edge cases level scripts rely on, the flimb and trap notifications, and its file form.
#include "game/GameController.h"
#include "tests/support/RecordingTrap.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/ProximityTrap.h"
#include "world/Flimb.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

std::string Action(int type, uint32_t target, int delay = 0, int ttl = -1)
{
    return "<trigger_action><trigger_type>" + std::to_string(type) + "</trigger_type><trigger_id>" +
           std::to_string(target) + "</trigger_id><action_delay>" + std::to_string(delay) +
           "</action_delay><action_ttl>" + std::to_string(ttl) + "</action_ttl></trigger_action>";
}

class ProximityTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        AsciiMap rows(100, std::string(400, '.'));
        for (size_t y = 90; y < 100; ++y)
            rows[y] = std::string(400, '#');
        LoadMap(rows);
        HoldFlimbsStill();
    }
    // A trap that notes the update number of every activation it gets.
    RecordingTrap* AddTarget()
    {
        auto target = std::make_unique<RecordingTrap>(42, journal_);
        std::vector<uint32_t>& at = activations.emplace_back();
        target->onActivate = [&at](RecordingTrap&) { at.push_back(CurrentUpdateCounter()); };
        RecordingTrap* raw = target.get();
        RegisterTrap(std::move(target));
        return raw;
    }
    // A proximity trap over (x, 70): its 64 x 64 area holds a flimb standing at (x, 89).
    ProximityTrap* AddProximity(const std::string& children, float x = 100.0f)
    {
        return dynamic_cast<ProximityTrap*>(AddTrapXml("<trap><type>Proximity</type><x>" + std::to_string(x) +
                                                       "</x><y>70</y>" + children + "</trap>"));
    }

    std::deque<std::vector<uint32_t>> activations; // per target, in AddTarget order
    std::vector<std::string> journal_;
};

TEST_F(ProximityTrapTest, QualificationTestsSpeedGroupTypeClassAndFacing)
{
    struct Case {
        const char* what;
        const char* children;
        std::function<void(Flimb&)> setUp;
        bool qualifies;
    };
    const Case cases[] = {
        {"defaults take any walker", "", {}, true},
        {"group 2 refuses group 0", "<trigger_group>2</trigger_group>", {}, false},
        {"group 2 takes group 2", "<trigger_group>2</trigger_group>", [](Flimb& f) { f.group = 2; }, true},
        // Speed is the truncated length of the velocity: sqrt(3^2 + 4^2) = 5.
        {"speed 5 meets 5", "<min_speed>5</min_speed>", [](Flimb& f) { f.jumpVX = 3, f.jumpVY = 4; }, true},
        {"speed 5.9 misses 6", "<min_speed>6</min_speed>", [](Flimb& f) { f.jumpVX = 3, f.jumpVY = 5; }, false},
        {"type 22 is any type", "<flimb_type>22</flimb_type>", [](Flimb& f) { f.type = kDrill; }, true},
        {"type Drill refuses a walker", "<flimb_type>3</flimb_type>", {}, false},
        {"captureable", "<flimb_mode>1</flimb_mode>", [](Flimb& f) { f.attributes |= kAttrMarked; }, true},
        {"captureable refuses others", "<flimb_mode>1</flimb_mode>", {}, false},
        {"non-captureable", "<flimb_mode>2</flimb_mode>", [](Flimb& f) { f.attributes |= kAttrMarked; }, false},
        {"light", "<flimb_mode>3</flimb_mode>", [](Flimb& f) { f.attributes |= kAttrSteered; }, true},
        {"dark", "<flimb_mode>4</flimb_mode>", [](Flimb& f) { f.attributes |= kAttrSureFooted; }, true},
        {"normal refuses dark", "<flimb_mode>5</flimb_mode>", [](Flimb& f) { f.attributes |= kAttrSureFooted; }, false},
        {"normal", "<flimb_mode>5</flimb_mode>", {}, true},
        {"mode 6 takes none", "<flimb_mode>6</flimb_mode>", {}, false},
        {"facing left refuses a right walker", "<facing>1</facing>", {}, false},
        {"facing left", "<facing>1</facing>", [](Flimb& f) { f.walkSpeed = -3; }, true},
        {"facing right", "<facing>2</facing>", {}, true},
        {"facing 3 takes none", "<facing>3</facing>", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProximityTrap* trap = AddProximity(c.children);
        ASSERT_NE(trap, nullptr);
        Flimb* flimb = PlaceAt(300, 89);
        if (c.setUp)
            c.setUp(*flimb);
        EXPECT_EQ(trap->Qualifies(*flimb), c.qualifies);
        // Activation by a flimb applies the same test.
        trap->Activate(flimb);
        EXPECT_EQ(trap->triggered != 0, c.qualifies);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(ProximityTrapTest, AreaTriggersFollowTheDelayAndTheInsideList)
{
    struct Case {
        const char* what;
        const char* children;
        int updates;
        std::vector<uint32_t> expected; // update numbers of the target's activations
    };
    const Case cases[] = {
        // Delay 0: once more every update the flimb stays (now must exceed last_trigger).
        {"delay 0, multi", "<trigger_delay>0</trigger_delay><multi_trigger>1</multi_trigger>", 5, {1, 2, 3, 4}},
        // Delay 2: the first trigger too waits until now exceeds 0 + 2.
        {"delay 2, multi", "<trigger_delay>2</trigger_delay><multi_trigger>1</multi_trigger>", 8, {3, 6}},
        // Without multi_trigger the flimb triggers once while it stays.
        {"delay 0, single", "<trigger_delay>0</trigger_delay>", 6, {1}},
        // Once only: the trap is spent.
        {"once only", "<trigger_delay>-1</trigger_delay><multi_trigger>1</multi_trigger>", 6, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingTrap* target = AddTarget();
        ProximityTrap* trap = AddProximity(std::string(c.children) + Action(2, target->id));
        ASSERT_NE(trap, nullptr);
        PlaceAt(100, 89);
        World().clock.updateCounter = 0;
        Run(c.updates);
        EXPECT_EQ(activations.back(), c.expected);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(ProximityTrapTest, AFlimbThatLeavesAndComesBackTriggersAgain)
{
    RecordingTrap* target = AddTarget();
    ProximityTrap* trap = AddProximity("<trigger_delay>0</trigger_delay>" + Action(2, target->id));
    Flimb* flimb = PlaceAt(100, 89);
    Run(3);
    flimb->x = 300;
    Run(2);
    EXPECT_TRUE(trap->inside.empty());
    flimb->x = 100;
    Run(2);
    EXPECT_EQ(activations.back(), (std::vector<uint32_t>{1, 5}));
}

TEST_F(ProximityTrapTest, ATripleOfFlimbsTriggersOnlyWithTheThird)
{
    RecordingTrap* target = AddTarget();
    ProximityTrap* trap = AddProximity("<trigger_delay>0</trigger_delay><min_flimbs>3</min_flimbs>" +
                                       Action(2, target->id, 10));
    PlaceAt(95, 89);
    PlaceAt(105, 89);
    Run(4);
    EXPECT_EQ(trap->inside.size(), 2u);
    EXPECT_FALSE(trap->triggered);
    Flimb* third = PlaceAt(100, 89);
    Run(1);
    // Only the third flimb triggered: the cycle's one activator.
    EXPECT_EQ(trap->activators, (std::vector<Flimb*>{third}));
    EXPECT_EQ(trap->inside.size(), 3u);
}

TEST_F(ProximityTrapTest, MultiTriggerRepeatsCountTowardsTheMinimum)
{
    RecordingTrap* target = AddTarget();
    ProximityTrap* trap = AddProximity("<trigger_delay>0</trigger_delay><multi_trigger>1</multi_trigger>"
                                       "<min_flimbs>3</min_flimbs>" +
                                       Action(2, target->id));
    PlaceAt(100, 89);
    Run(4); // the one flimb enters the list at updates 1, 2 and 3: the third time counts
    EXPECT_EQ(activations.back(), (std::vector<uint32_t>{3}));
    EXPECT_EQ(trap->inside.size(), 3u);
}

TEST_F(ProximityTrapTest, ActionCycleEdgeCases)
{
    // An action with max use 0 is deleted unrun.
    {
        RecordingTrap* target = AddTarget();
        ProximityTrap* trap = AddProximity("<trigger_delay>0</trigger_delay>" + Action(2, target->id, 0, 0) +
                                           Action(4, target->id, 0, 5));
        target->visible = 0;
        PlaceAt(100, 89);
        Run(3);
        EXPECT_TRUE(activations.back().empty());
        ASSERT_EQ(trap->actions.size(), 1u);
        EXPECT_EQ(trap->actions[0].type, TriggerAction::kShow);
        EXPECT_EQ(target->visible, 1);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
    // A negative delay is never due: the trap stays triggered and no later cycle starts.
    {
        World().clock.updateCounter = 0;
        RecordingTrap* target = AddTarget();
        ProximityTrap* trap = AddProximity("<trigger_delay>0</trigger_delay><multi_trigger>1</multi_trigger>" +
                                           Action(2, target->id) + Action(3, target->id, -1));
        PlaceAt(100, 89);
        Run(6);
        EXPECT_EQ(activations.back(), (std::vector<uint32_t>{1}));
        EXPECT_TRUE(trap->triggered);
        EXPECT_EQ(trap->activators.size(), 5u);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
    // A target that does not exist and a type above 6 are done no-ops; the cycle completes.
    {
        World().clock.updateCounter = 0;
        RecordingTrap* target = AddTarget();
        ProximityTrap* trap = AddProximity(Action(2, 99999) + Action(7, target->id) + Action(2, target->id, 1));
        trap->Activate(nullptr);
        Run(3);
        EXPECT_EQ(activations.back(), (std::vector<uint32_t>{1}));
        EXPECT_FALSE(trap->triggered);
        EXPECT_TRUE(trap->activators.empty());
    }
}

TEST_F(ProximityTrapTest, DelaysCountFromTheLatestActivationAndActivateRepeatsPerActivator)
{
    RecordingTrap* target = AddTarget();
    ProximityTrap* trap = AddProximity("<can_trigger>0</can_trigger>" + Action(2, target->id, 3));
    Run(2); // counter 2
    trap->Activate(nullptr);
    Run(2);
    trap->Activate(nullptr); // at update 4: the delay counts from here
    Run(5);
    EXPECT_EQ(activations.back(), (std::vector<uint32_t>{7, 7}));
}

TEST_F(ProximityTrapTest, EnableHandsTheFlimbsInsideOver)
{
    RecordingTrap* secondTarget = AddTarget();
    ProximityTrap* second = AddProximity("<enabled>0</enabled><trigger_delay>0</trigger_delay>" +
                                         Action(2, secondTarget->id));
    ProximityTrap* first = AddProximity("<trigger_delay>-1</trigger_delay>" + Action(0, second->id));
    Flimb* flimb = PlaceAt(100, 89);
    Run(5);
    EXPECT_TRUE(second->enabled);
    EXPECT_EQ(second->inside, (std::vector<Flimb*>{flimb}));
    EXPECT_TRUE(activations.back().empty());
    (void)first;
    // A newcomer does trigger the enabled trap.
    PlaceAt(110, 89);
    Run(1);
    EXPECT_EQ(activations.back().size(), 1u);
}

TEST_F(ProximityTrapTest, APlayerGroupOtherThanTheLocalOnesSilencesTheTrap)
{
    ASSERT_NE(Controller().localPlayer, nullptr);
    Controller().localPlayer->team = 0;
    for (const int playerGroup : {3, 0, 255}) {
        SCOPED_TRACE(playerGroup);
        RecordingTrap* target = AddTarget();
        ProximityTrap* trap = AddProximity("<trigger_on_load>1</trigger_on_load><trigger_delay>0</trigger_delay><player_group>" +
                                           std::to_string(playerGroup) + "</player_group>" +
                                           Action(2, target->id));
        PlaceAt(100, 89);
        World().clock.updateCounter = 0;
        Run(4);
        // Another trap's activation runs no action on this machine either.
        trap->Activate(nullptr);
        Run(1);
        EXPECT_EQ(activations.back().empty(), playerGroup == 3);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(ProximityTrapTest, ADisabledAutoStartIsSpentButStaysUntilActivated)
{
    RecordingTrap* target = AddTarget();
    ProximityTrap* trap = AddProximity("<enabled>0</enabled><trigger_on_load>1</trigger_on_load>"
                                       "<trigger_delay>-1</trigger_delay>" +
                                       Action(2, target->id));
    const int32_t id = static_cast<int32_t>(trap->id);
    Run(3);
    EXPECT_TRUE(trap->spent);
    EXPECT_FALSE(trap->triggered);
    EXPECT_EQ(trap->last_trigger, 0u);
    // Enabled now, flimbs still cannot trigger it.
    trap->SetEnabled(true);
    PlaceAt(100, 89);
    Run(3);
    EXPECT_TRUE(activations.back().empty());
    EXPECT_EQ(FindTrapById(id), trap);
    // Another trap's activation runs its cycle; then it retires.
    trap->Activate(nullptr);
    Run(3);
    EXPECT_EQ(activations.back().size(), 1u);
    EXPECT_EQ(FindTrapById(id), nullptr);
}

TEST_F(ProximityTrapTest, AnAutoStartFiresInUpdateOneAndAOnceOnlyTrapRetires)
{
    RecordingTrap* target = AddTarget();
    ProximityTrap* trap =
        AddProximity("<trigger_on_load>1</trigger_on_load><trigger_delay>-1</trigger_delay>" + Action(2, target->id));
    const int32_t id = static_cast<int32_t>(trap->id);
    Run(4);
    EXPECT_EQ(activations.back(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(FindTrapById(id), nullptr);
}

TEST_F(ProximityTrapTest, ARemovedFlimbLeavesEveryListEntry)
{
    RecordingTrap* target = AddTarget();
    ProximityTrap* trap = AddProximity("<trigger_delay>0</trigger_delay><multi_trigger>1</multi_trigger>"
                                       "<maxTriggerFlimbs>5</maxTriggerFlimbs>" +
                                       Action(2, target->id, 50));
    Flimb* leaving = PlaceAt(100, 89);
    Flimb* staying = PlaceAt(105, 89);
    Run(3);
    ASSERT_EQ(trap->inside.size(), 4u);
    ASSERT_EQ(trap->activators.size(), 4u);
    trap->ForgetObject(leaving);
    EXPECT_EQ(trap->inside, (std::vector<Flimb*>{staying, staying}));
    EXPECT_EQ(trap->activators, (std::vector<Flimb*>{nullptr, staying, nullptr, staying}));
    // The cycle's "Activate" passes none for the forgotten flimb: still one per activation.
    trap->can_trigger = false;
    trap->actions[0].delay = 0;
    Run(1);
    EXPECT_EQ(activations.back().size(), 4u);
}

TEST_F(ProximityTrapTest, RemovedTargetsRemapsAndCopies)
{
    RecordingTrap* a = AddTarget();
    RecordingTrap* b = AddTarget();
    ProximityTrap* trap = AddProximity(Action(2, a->id) + Action(4, b->id) + Action(3, a->id));
    // The world tells the trap of a removed target: its actions go.
    QueueTrapDeletion(a);
    Run(1);
    ASSERT_EQ(trap->actions.size(), 1u);
    EXPECT_EQ(uint32_t(trap->actions[0].target), b->id);
    // Relinking walks the pairs in order; then the links.
    trap->SetLink({0, 7});
    trap->RemapLinks({{b->id, 500}, {500, 600}, {7, 8}}, 10, 10);
    EXPECT_EQ(trap->actions[0].target, 600);
    EXPECT_EQ(trap->links[0].target_id, 8u);
    // A copy owns its own actions.
    std::unique_ptr<Trap> copy = trap->Duplicate();
    auto* twin = dynamic_cast<ProximityTrap*>(copy.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->actions, trap->actions);
    twin->actions[0].delay = 9;
    EXPECT_EQ(trap->actions[0].delay, 0);
    EXPECT_NE(twin->id, trap->id);
}

TEST_F(ProximityTrapTest, LoadTakesOldNamesAndDefaultsAndSavesStably)
{
    ProximityTrap* trap = AddProximity("<trigger_group>-1</trigger_group><player_group>-1</player_group>"
                                       "<min_magnitude>7</min_magnitude><multi_trigger>YES</multi_trigger>"
                                       "<trigger_action><trigger_id>12</trigger_id></trigger_action>" +
                                       Action(5, 13, 4, 2));
    ASSERT_NE(trap, nullptr);
    EXPECT_EQ(trap->trigger_group, 255);
    EXPECT_EQ(trap->player_group, -1);
    EXPECT_EQ(trap->min_speed, 7);
    EXPECT_TRUE(trap->multi_trigger);
    // A field missing from an action comes from the defaults' first action.
    ASSERT_EQ(trap->actions.size(), 2u);
    EXPECT_EQ(trap->actions[0], (TriggerAction{12, 2, 0, -1}));
    EXPECT_EQ(trap->actions[1], (TriggerAction{13, 5, 4, 2}));
    const std::string saved = SaveText(*trap);
    EXPECT_NE(saved.find("<trigger_action><trigger_type>5</trigger_type><trigger_id>13</trigger_id>"
                         "<action_delay>4</action_delay><action_ttl>2</action_ttl></trigger_action>"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("<min_speed>7</min_speed>"), std::string::npos);
    Trap* again = AddTrapXml(saved.substr(saved.find("<trap>")));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(SaveText(*again), saved);
}

} // namespace
