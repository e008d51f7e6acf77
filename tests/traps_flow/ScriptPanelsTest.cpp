// The property panels of the scripting traps: per kind, the panel is built, a control set as
// the designer sets it, the panel applied and the field read back within its limits; and
// the picking handlers of the updater and the modify-frame trap.
#include "game/GameController.h"
#include "gui/ComboBox.h"
#include "gui/ScreenImage.h"
#include "gui/TextButtons.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapTrap.h"
#include "tests/support/TrapFixture.h"
#include "traps_flow/ChatTrap.h"
#include "traps_flow/ModifyFrameTrap.h"
#include "traps_flow/SoundTrap.h"
#include "traps_flow/UnlockTrap.h"
#include "traps_flow/UpdateTrap.h"
#include "traps_flow/WatchTraps.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class ScriptPanelsTest : public TrapFixture {
protected:
    void SetUp() override
    {
        TrapFixture::SetUp();
        SetCurrentEditor(&model);
        model.Open();
    }
    void TearDown() override
    {
        CancelPicking();
        SetCurrentEditor(nullptr);
        model.Reset();
        TrapFixture::TearDown();
    }
    MapTrap* Place(int32_t kind)
    {
        auto placed = std::make_unique<MapTrap>(Trap::Create(kind));
        MapTrap* raw = placed.get();
        model.AddObject(std::move(placed));
        return raw;
    }

    MapEditor model;
};

TEST_F(ScriptPanelsTest, AppliedValuesAreKeptWithinTheirLimits)
{
    struct Case {
        const char* what;
        int32_t kind;
        std::function<void(LayoutPanel&)> set;
        std::function<int(Trap&)> read;
        int expected;
    };
    auto updater = [](Trap& t) -> UpdateTrap& { return static_cast<UpdateTrap&>(t); };
    auto frames = [](Trap& t) -> ModifyFrameTrap& { return static_cast<ModifyFrameTrap&>(t); };
    const Case cases[] = {
        {"trigger_mod 0 is 1", 45, [](LayoutPanel& p) { Type(p, "trigger_mod", "0"); },
         [&](Trap& t) { return updater(t).trigger_mod; }, 1},
        {"trigger_mod 20000 is 9999", 45, [](LayoutPanel& p) { Type(p, "trigger_mod", "20000"); },
         [&](Trap& t) { return updater(t).trigger_mod; }, 9999},
        {"trigger_val", 45, [](LayoutPanel& p) { Type(p, "trigger_val", "7"); },
         [&](Trap& t) { return updater(t).trigger_val; }, 7},
        {"counter", 45, [](LayoutPanel& p) { Check(p, "counter", true); },
         [&](Trap& t) { return int(updater(t).counter); }, 1},
        {"enabled", 45, [](LayoutPanel& p) { Check(p, "enabled", false); }, [](Trap& t) { return int(t.enabled); }, 0},
        {"mfmode", 41, [](LayoutPanel& p) { Choose(p, "mfmode", 3); }, [&](Trap& t) { return frames(t).mfmode; }, 3},
        {"start_frame 500 is 127", 41, [](LayoutPanel& p) { Type(p, "start_frame", "500"); },
         [&](Trap& t) { return frames(t).start_frame; }, 127},
        {"goto_frame -3 is 0", 41, [](LayoutPanel& p) { Type(p, "goto_frame", "-3"); },
         [&](Trap& t) { return frames(t).goto_frame; }, 0},
        {"fps 0 is 1", 41, [](LayoutPanel& p) { Type(p, "fps", "0"); }, [&](Trap& t) { return frames(t).fps; }, 1},
        {"fps 99 is 26", 41, [](LayoutPanel& p) { Type(p, "fps", "99"); }, [&](Trap& t) { return frames(t).fps; }, 26},
        {"background music", 42, [](LayoutPanel& p) { Check(p, "set_background", true); },
         [](Trap& t) { return int(static_cast<SoundTrap&>(t).set_background); }, 1},
        {"unlock mode", 48, [](LayoutPanel& p) { Choose(p, "umode", 1); },
         [](Trap& t) { return static_cast<UnlockTrap&>(t).umode; }, 1},
        {"watch mode", 33, [](LayoutPanel& p) { Choose(p, "watchMode", 4); },
         [](Trap& t) { return static_cast<LandWatchTrap&>(t).watchMode; }, 4},
        {"camera direction", 52, [](LayoutPanel& p) { Choose(p, "grav_id", 2); },
         [](Trap& t) { return static_cast<CameraWatchTrap&>(t).grav_id; }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<Trap> trap = Trap::Create(c.kind);
        std::unique_ptr<LayoutPanel> panel = trap->BuildEditPanel();
        c.set(*panel);
        EXPECT_TRUE(trap->ApplyEditPanel(panel.get()));
        EXPECT_EQ(c.read(*trap), c.expected);
    }
}

TEST_F(ScriptPanelsTest, TextsAndListedNamesAreReadBack)
{
    auto chat = MakeTrap<ChatTrap>(43);
    std::unique_ptr<LayoutPanel> panel = chat->BuildEditPanel();
    Type(*panel, "speaker", "Warden");
    Type(*panel, "message", "Two lines\nof news");
    EXPECT_TRUE(chat->ApplyEditPanel(panel.get()));
    EXPECT_EQ(chat->speaker, "Warden");
    EXPECT_EQ(chat->message, "Two lines\nof news");

    auto unlock = MakeTrap<UnlockTrap>(48);
    panel = unlock->BuildEditPanel();
    auto* maps = dynamic_cast<ComboBox*>(panel->Find("fm_map_file"));
    ASSERT_NE(maps, nullptr);
    const int at = maps->FindItem("f_dm_the_gardener.flevel");
    ASSERT_GE(at, 0);
    Choose(*panel, "fm_map_file", at);
    auto* levels = dynamic_cast<ComboBox*>(panel->Find("hidden_level"));
    ASSERT_NE(levels, nullptr);
    EXPECT_GE(levels->FindItem("s_dm_first_steps.flevel"), 0);
    EXPECT_TRUE(unlock->ApplyEditPanel(panel.get()));
    EXPECT_EQ(unlock->fm_map_file, "f_dm_the_gardener.flevel");
    EXPECT_TRUE(unlock->hidden_level.empty()); // not changed

    // Only what the designer changed is read.
    auto frame = MakeTrap<ModifyFrameTrap>(41);
    frame->fps = 40; // from a file: kept unless edited
    panel = frame->BuildEditPanel();
    Type(*panel, "end_frame", "6");
    EXPECT_TRUE(frame->ApplyEditPanel(panel.get()));
    EXPECT_EQ(frame->fps, 40);
    EXPECT_EQ(frame->end_frame, 6);
    auto* image = dynamic_cast<ScreenImage*>(panel->Find("image"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->ImagePath(), "Graphics\\Traps\\Icons\\red_x.png");
}

TEST_F(ScriptPanelsTest, PickingTargets)
{
    // Updater: the clicked trap becomes the target; anything else is refused with a notice.
    MapTrap* updater = Place(45);
    MapTrap* door = Place(27);
    updater->GetTrap()->BuildEditPanel();
    UpdateTrap::OnTargetPicked(updater, door);
    EXPECT_EQ(static_cast<UpdateTrap*>(updater->GetTrap())->target_trap_id, door->GetTrap()->id);
    UpdateTrap::OnTargetPicked(updater, nullptr);
    EXPECT_EQ(static_cast<UpdateTrap*>(updater->GetTrap())->target_trap_id, door->GetTrap()->id);
    ASSERT_FALSE(Controller().messages.Entries().empty());
    EXPECT_EQ(Controller().messages.Entries().back().text, "You did not select a target trap.");

    // Modify-frame: the selected background layers join its targets, in selection order.
    MapTrap* frames = Place(41);
    MapTrap* layerA = Place(34);
    MapTrap* layerB = Place(34);
    std::unique_ptr<LayoutPanel> panel = frames->GetTrap()->BuildEditPanel();
    ModifyFrameTrap::OnTargetsSelected({layerB, door, layerA});
    auto* modifier = static_cast<ModifyFrameTrap*>(frames->GetTrap());
    EXPECT_EQ(modifier->targets, (std::vector<uint32_t>{layerB->GetTrap()->id, layerA->GetTrap()->id}));
    // "Clear Background Trap(s)".
    auto* clear = dynamic_cast<Button*>(panel->Find("tarcl"));
    ASSERT_NE(clear, nullptr);
    clear->onClick(nullptr, clear);
    EXPECT_TRUE(modifier->targets.empty());
    // "Set Image" for the selected modify-frame traps.
    model.selection = {frames, door};
    ModifyFrameTrap::OnImageChosen("Graphics\\Backgrounds\\sky.png");
    EXPECT_EQ(modifier->image, "Graphics\\Backgrounds\\sky.png");
    // Until the level editor builds its windows, "Set Image" only logs.
    auto* setImage = dynamic_cast<Button*>(panel->Find("sim991"));
    ASSERT_NE(setImage, nullptr);
    setImage->onClick(nullptr, setImage);
}

} // namespace
