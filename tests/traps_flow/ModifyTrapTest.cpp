// The modify-trap trap: stepping towards the final values with the overshoot clamps, the
// orbit, the end event, oneshot, timed steps, atomizing, the flimb trigger, the
// notifications and its file form.
#include "app/GameException.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/ModifyTrapTrap.h"
#include "world/ParticleManager.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t kWinLose = 25; // a still target with a sprite

// A background layer stand-in: a trap of kind 34 that does nothing of its own.
class LayerTarget : public Trap {
public:
    LayerTarget() : Trap(34) {}
};

class ModifyTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        AsciiMap rows(200, std::string(400, '.'));
        for (size_t y = 190; y < 200; ++y)
            rows[y] = std::string(400, '#');
        LoadMap(rows);
    }
    ModifyTrapTrap* AddModifier(const std::vector<uint32_t>& targets, const std::string& children)
    {
        // Flimbs trigger none unless the children say so.
        std::string element = "<trap><type>Modifytrap</type><x>350</x><y>40</y>" + children;
        if (children.find("<can_trigger>") == std::string::npos)
            element += "<can_trigger>0</can_trigger>";
        for (uint32_t id : targets)
            element += "<modify_trap><trap_id>" + std::to_string(id) + "</trap_id></modify_trap>";
        auto* modifier = dynamic_cast<ModifyTrapTrap*>(AddTrapXml(element + "</trap>"));
        if (modifier)
            Listen(*modifier, 0);
        return modifier;
    }
};

TEST_F(ModifyTrapTest, StepsReachTheFinalValueAndClampTheOvershoot)
{
    struct Case {
        const char* what;
        const char* children;
        float startX;
        std::vector<float> xs; // x after each step
        size_t eventAfter;     // steps until event 0
    };
    const Case cases[] = {
        {"3 a step towards 10", "<relative>0</relative><x_final_pos>10</x_final_pos><x_pos_delta>3</x_pos_delta>", 0,
         {3, 6, 9, 10, 10}, 4},
        {"a change pointing away", "<relative>0</relative><x_final_pos>10</x_final_pos><x_pos_delta>-2</x_pos_delta>",
         0, {0, 0}, 1},
        {"relative -4 from 20", "<x_final_pos>-10</x_final_pos><x_pos_delta>-4</x_pos_delta>", 20, {16, 12, 10}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Trap* target = AddTrap(kWinLose, c.startX, 50.0f);
        ModifyTrapTrap* modifier = AddModifier({target->id}, c.children);
        ASSERT_NE(modifier, nullptr);
        events.clear();
        modifier->Activate(nullptr);
        size_t eventAfter = 0;
        for (size_t step = 0; step < c.xs.size(); ++step) {
            Run(1);
            EXPECT_FLOAT_EQ(target->x, c.xs[step]) << "step " << step + 1;
            if (!events.empty() && eventAfter == 0)
                eventAfter = step + 1;
        }
        EXPECT_EQ(eventAfter, c.eventAfter);
        EXPECT_EQ(events.size(), 1u);
        DeleteAllTraps();
    }
}

TEST_F(ModifyTrapTest, RelativeMoveOfAHundredInFiftyStepsThenOneEvent)
{
    Trap* target = AddTrap(kWinLose, 50.0f, 50.0f);
    ModifyTrapTrap* modifier = AddModifier({target->id}, "<x_final_pos>100</x_final_pos><x_pos_delta>2</x_pos_delta>");
    modifier->Activate(nullptr);
    Run(49);
    EXPECT_FLOAT_EQ(target->x, 148.0f);
    EXPECT_TRUE(events.empty());
    Run(1);
    EXPECT_FLOAT_EQ(target->x, 150.0f);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_FALSE(modifier->running);
    // An activation while running is ignored; after the end it starts from the present values.
    modifier->Activate(nullptr);
    modifier->Activate(nullptr);
    Run(50);
    EXPECT_FLOAT_EQ(target->x, 250.0f);
    Run(10);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(ModifyTrapTest, AnOrbitEndsAHundredPixelsAboveTheCentre)
{
    for (const bool noRotate : {false, true}) {
        SCOPED_TRACE(noRotate);
        Trap* target = AddTrap(kWinLose, 200.0f, 100.0f);
        ModifyTrapTrap* modifier =
            AddModifier({target->id}, std::string("<custom_center>1</custom_center><x_center>100</x_center>"
                                                  "<y_center>100</y_center><rot_delta>5</rot_delta>"
                                                  "<rotation_final>90</rotation_final><no_rotate>") +
                                          (noRotate ? "1" : "0") + "</no_rotate>");
        ASSERT_NE(modifier, nullptr);
        events.clear();
        modifier->Activate(nullptr);
        ASSERT_EQ(modifier->targets[0].orbitRadius, 100);
        Run(1);
        EXPECT_FLOAT_EQ(modifier->targets[0].orbitAngle, 5.0f);
        Run(16);
        EXPECT_TRUE(events.empty());
        Run(1);
        EXPECT_FLOAT_EQ(modifier->targets[0].orbitAngle, 90.0f);
        EXPECT_FLOAT_EQ(target->x, 100.0f);
        EXPECT_FLOAT_EQ(target->y, 0.0f);
        EXPECT_FLOAT_EQ(target->rotation, noRotate ? 0.0f : 90.0f);
        Run(3);
        EXPECT_EQ(events.size(), 1u);
        DeleteAllTraps();
    }
}

TEST_F(ModifyTrapTest, EndlessTurningFadingAndOneShot)
{
    // infinite_rot turns for ever and never raises event 0.
    Trap* spinner = AddTrap(kWinLose, 20.0f, 20.0f);
    ModifyTrapTrap* spin = AddModifier({spinner->id}, "<rot_delta>3</rot_delta><infinite_rot>1</infinite_rot>");
    spin->Activate(nullptr);
    Run(40);
    EXPECT_FLOAT_EQ(spinner->rotation, 120.0f);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(spin->running);
    DeleteAllTraps();

    // final_alpha 300 in absolute mode fades to 255.
    Trap* fading = AddTrap(kWinLose, 20.0f, 20.0f);
    fading->alpha = 0;
    ModifyTrapTrap* fade = AddModifier({fading->id}, "<relative>0</relative><final_alpha>300</final_alpha>"
                                                     "<alpha_delta>50</alpha_delta><oneshot>1</oneshot>");
    const int32_t fadeId = static_cast<int32_t>(fade->id);
    fade->Activate(nullptr);
    std::vector<int> alphas;
    for (int i = 0; i < 6; ++i) {
        Run(1);
        alphas.push_back(fading->alpha);
    }
    EXPECT_EQ(alphas, (std::vector<int>{50, 100, 150, 200, 250, 255}));
    // oneshot: gone after finishing; a further event to it finds no target.
    Run(1);
    EXPECT_EQ(FindTrapById(fadeId), nullptr);
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(ModifyTrapTest, TimedStepsStayOnlyForBackgroundLayersAndRunWhileRunning)
{
    auto owned = std::make_unique<LayerTarget>();
    LayerTarget* layer = owned.get();
    RegisterTrap(std::move(owned));
    Trap* plain = AddTrap(kWinLose, 0.0f, 0.0f);
    const std::string timed = "<relative>0</relative><x_final_pos>1000</x_final_pos><x_pos_delta>1</x_pos_delta>"
                              "<trigger_ms>100</trigger_ms>";
    ModifyTrapTrap* mixed = AddModifier({plain->id, layer->id}, timed);
    ModifyTrapTrap* onLayer = AddModifier({layer->id}, timed + "<can_trigger>1</can_trigger>");
    ModifyTrapTrap* perUpdate = AddModifier({plain->id}, "<can_trigger>1</can_trigger>");
    RunTrapsAfterLevelLoad();
    EXPECT_EQ(mixed->trigger_ms, 0);
    EXPECT_EQ(onLayer->trigger_ms, 100);
    // Idle, a timed trap neither steps nor notices a flimb walking into it.
    onLayer->y = perUpdate->y = 170.0f;
    PlaceAt(350, 189);
    Run(5);
    EXPECT_FALSE(onLayer->running);
    EXPECT_TRUE(perUpdate->running || !events.empty()); // the flimb trigger of the per-update one
    EXPECT_FLOAT_EQ(layer->x, 0.0f);
    // Running: one step per 100 ms of game clock, as many as are due in each update.
    onLayer->Activate(nullptr);
    Run(10); // 710 ms
    EXPECT_FLOAT_EQ(layer->x, 7.0f);
}

TEST_F(ModifyTrapTest, AtomizingBreaksEveryTargetUpAndFinishesInOneStep)
{
    InitParticles();
    Particles()->SetEnabled(true);
    for (const int mode : {1, 2, 3}) {
        SCOPED_TRACE(mode);
        Trap* first = AddTrap(kWinLose, 100.0f, 100.0f);
        Trap* second = AddTrap(kWinLose, 200.0f, 100.0f);
        const int32_t ids[2] = {int32_t(first->id), int32_t(second->id)};
        ModifyTrapTrap* modifier =
            AddModifier({first->id, second->id}, "<atomizeMode>" + std::to_string(mode) + "</atomizeMode>");
        events.clear();
        modifier->Activate(nullptr);
        Run(1);
        EXPECT_EQ(FindTrapById(ids[0]), nullptr);
        EXPECT_EQ(FindTrapById(ids[1]), nullptr);
        EXPECT_EQ(events.size(), 1u);
        EXPECT_TRUE(modifier->targets.empty()); // the world told it of both removals
        // Soil and bridge particles are the simulation's (they land); render ones are looks.
        Run(1);
        if (mode == 1)
            EXPECT_EQ(ParticleCount(), 0);
        else
            EXPECT_GT(ParticleCount(), 0);
        DeleteAllTraps();
        ReleaseParticles();
        InitParticles();
        Particles()->SetEnabled(true);
    }
    ReleaseParticles();
}

TEST_F(ModifyTrapTest, RemovalsAndRelinking)
{
    Trap* a = AddTrap(kWinLose, 0.0f, 0.0f);
    Trap* b = AddTrap(kWinLose, 0.0f, 0.0f);
    ModifyTrapTrap* modifier = AddModifier({a->id, b->id, a->id}, "<custom_center>1</custom_center><x_center>5</x_center>"
                                                                   "<relative>0</relative><x_final_pos>7</x_final_pos>");
    const uint32_t aId = a->id, bId = b->id;
    modifier->ForgetTrap(a); // the first record of a only
    ASSERT_EQ(modifier->targets.size(), 2u);
    EXPECT_EQ(modifier->targets[0].trapId, bId);
    EXPECT_EQ(modifier->targets[1].trapId, aId);
    modifier->RemapLinks({{aId, 900}}, 10, 20);
    EXPECT_EQ(modifier->targets[1].trapId, 900u);
    EXPECT_EQ(modifier->x_center, 15);
    EXPECT_EQ(modifier->y_center, 20);
    EXPECT_EQ(modifier->x_final_pos, 17);
    // A copy owns its own records.
    std::unique_ptr<Trap> copy = modifier->Duplicate();
    auto& twin = static_cast<ModifyTrapTrap&>(*copy);
    EXPECT_EQ(twin.targets, modifier->targets);
    twin.targets.clear();
    EXPECT_EQ(modifier->targets.size(), 2u);
    // With no targets left a trap removes itself at its next step.
    modifier->targets.clear();
    const int32_t id = static_cast<int32_t>(modifier->id);
    Run(2);
    EXPECT_EQ(FindTrapById(id), nullptr);
}

TEST_F(ModifyTrapTest, FileForm)
{
    Trap* target = AddTrap(kWinLose, 0.0f, 0.0f);
    // The same target twice keeps two records and is written once; a gone target not at all.
    ModifyTrapTrap* modifier = AddModifier({target->id, 77777, target->id},
                                           "<x_delta>0.25</x_delta><liqx>0</liqx><liqy>40</liqy><no_rotate>1</no_rotate>");
    ASSERT_NE(modifier, nullptr);
    EXPECT_EQ(modifier->targets.size(), 3u);
    EXPECT_EQ(modifier->liqx, 1);
    EXPECT_EQ(modifier->liqy, 16);
    EXPECT_FALSE(modifier->no_rotate); // only with a custom centre
    EXPECT_FALSE(modifier->can_trigger);
    const std::string saved = SaveText(*modifier);
    EXPECT_NE(saved.find("<x_final_scale>1.0000</x_final_scale><y_final_scale>1.0000</y_final_scale>"
                         "<rotation_final>0</rotation_final><x_delta>0.2500</x_delta>"),
              std::string::npos)
        << saved;
    const std::string once = "<modify_trap><trap_id>" + std::to_string(target->id) + "</trap_id></modify_trap>";
    EXPECT_NE(saved.find(once), std::string::npos);
    EXPECT_EQ(saved.find(once), saved.rfind(once));
    EXPECT_EQ(saved.find("77777"), std::string::npos);
    Trap* again = AddTrapXml(saved.substr(saved.find("<trap>")));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(SaveText(*again), saved);

    // Older files: atomizeMode -1 with the two flags.
    struct Legacy {
        const char* flags;
        int32_t mode;
    };
    for (const Legacy c : {Legacy{"", 0}, Legacy{"<liquid_bash>1</liquid_bash>", 1},
                           Legacy{"<liquid_bash>1</liquid_bash><add_to_landscape>1</add_to_landscape>", 3},
                           Legacy{"<add_to_landscape>1</add_to_landscape>", 0}}) {
        SCOPED_TRACE(c.flags);
        auto* old = dynamic_cast<ModifyTrapTrap*>(
            AddTrapXml(std::string("<trap><type>Modifytrap</type><atomizeMode>-1</atomizeMode>") + c.flags + "</trap>"));
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(old->atomizeMode, c.mode);
    }
    // A target element without its id fails the load.
    std::unique_ptr<Trap> broken = Trap::Create(39);
    try {
        LoadInto(*broken, "<trap><modify_trap><id>4</id></modify_trap></trap>");
        ADD_FAILURE() << "loaded";
    } catch (const GameException& e) {
        EXPECT_NE(std::string(e.what()).find("The requested tag [trap_id] was not found in level and in defaults"),
                  std::string::npos)
            << e.what();
    }
}

} // namespace
