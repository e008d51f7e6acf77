// The SuperNova and checkpoint prompts on the software device, with the frame clock and the
// input injected: fading buttons, keys and clicks, what they send, the slots a profile has,
// and both prompts drawn to <build>/supernova-prompt.png and <build>/checkpoint-prompt.png.
#include "../gui/DeviceFixture.h"
#include "../support/FakeMatch.h"

#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "gui/Animators.h"
#include "gui/GraphicButtons.h"
#include "gui/GuiClock.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/FontManager.h"
#include "media/KBManager.h"
#include "media/PngFile.h"
#include "modes/CheckpointPrompt.h"
#include "modes/SuperNovaPrompt.h"

#include <filesystem>
#include <fstream>

namespace {

constexpr int kPress = 0x80;

class PromptTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        SetMatchWorld(&world);
        SetMatchEffects(&effects);
        StartScreen(1280, 720);
        FontManager::Start();
        SetProgramFolder(FLIMBS_GAME_DIR);
        CurrentProfile().Load(std::string("Prompt") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        world.levelPath = "Level\\s_dm_prompt.flevel";
    }
    void TearDown() override
    {
        CloseAllWindows();
        SetGuiFrameElapsed(0);
        FontManager::ReleaseFonts();
        SetMatchWorld(nullptr);
        SetMatchEffects(nullptr);
        DeviceFixture::TearDown();
        SetScreenSize(1000, 1000);
    }
    // Runs the prompt's update for `ms` milliseconds of frames of 100 ms.
    static void Run(Primitive& prompt, uint32_t ms)
    {
        SetGuiFrameElapsed(100);
        for (uint32_t t = 0; t < ms; t += 100)
            prompt.Update();
        SetGuiFrameElapsed(0);
    }
    static bool Closed(const Primitive& prompt) { return !prompt.active || !prompt.visible; }
    static int Key(Primitive& prompt, int value, int code) { return prompt.OnKey(value, code, false, kbManager); }
    void FillSlot(bool automatic, int slot)
    {
        const std::filesystem::path path = GetUserPath(CurrentProfile().CheckpointPath(world.levelPath, automatic, slot, false));
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    void Picture(Primitive& prompt, const std::string& file)
    {
        const FloatPoint size = prompt.GetSizeVirtual();
        prompt.SetPosition((1000.0f - size.x) / 2.0f, (1000.0f - size.y) / 2.0f);
        prompt.UpdateAbsolutePosition();
        DrawFrame([&] { prompt.Draw(); });
        std::vector<uint32_t> pixels(1280u * 720u);
        for (int y = 0; y < 720; ++y)
            for (int x = 0; x < 1280; ++x)
                pixels[size_t(y) * 1280 + size_t(x)] = 0xFF000000u | Pixel(x, y);
        EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/" + file, pixels.data(), 1280, 720));
    }

    FakeMatchWorld world;
    RecordingMatchEffects effects;
};

TEST_F(PromptTest, TheWindowIsAlways183DesignPixelsHigh)
{
    SuperNovaWindow window;
    window.SetSize(DesignToVirtualX(300.0f), DesignToVirtualY(400.0f));
    EXPECT_NEAR(window.GetSizeVirtual().y, DesignToVirtualY(183.0f), 0.01f);
    EXPECT_NEAR(window.GetSizeVirtual().x, DesignToVirtualX(300.0f), 0.01f);
}

TEST_F(PromptTest, SuperNovaButtonsWaitForTheirFade)
{
    SuperNovaPrompt prompt;
    SuperNovaButton* yes = prompt.YesButton();
    ASSERT_NE(yes, nullptr);
    EXPECT_EQ(yes->caption, "Yes");
    EXPECT_EQ(yes->fontId, 5);
    EXPECT_EQ(yes->tint, 0xFFAF6060u);
    EXPECT_NE(yes->Icon(), nullptr);
    EXPECT_EQ(yes->parent->name, "ANIMATE_ALPHA");
    EXPECT_EQ(prompt.CancelButton()->tint, 0xFF808080u);
    Run(prompt, 400);
    yes->Click();
    EXPECT_FALSE(Closed(prompt)) << "Yes within 500 ms does nothing";
    EXPECT_TRUE(effects.groupUpdates.empty());
    Run(prompt, 100);
    EXPECT_TRUE(yes->enabled);
    EXPECT_TRUE(prompt.CancelButton()->enabled);
    yes->Click();
    EXPECT_TRUE(Closed(prompt));
    EXPECT_EQ(effects.groupUpdates, std::vector<int>{-1}) << "the local group goes SuperNova";
}

TEST_F(PromptTest, KeysClicksCancelAndSpectatorsCloseWithoutSending)
{
    {
        SuperNovaPrompt prompt;
        EXPECT_EQ(Key(prompt, 0, 57), 0) << "a late release closes nothing";
        EXPECT_FALSE(Closed(prompt));
        EXPECT_EQ(Key(prompt, kPress, 57), 1);
        EXPECT_TRUE(Closed(prompt));
    }
    {
        SuperNovaPrompt prompt;
        prompt.SetPosition(100.0f, 100.0f);
        prompt.UpdateAbsolutePosition();
        prompt.OnLeftButton(int(prompt.rect.left) + 5, int(prompt.rect.top) + 5, kPhaseDown);
        EXPECT_FALSE(Closed(prompt)) << "a press inside is the prompt's own";
        EXPECT_EQ(prompt.OnLeftButton(2, 2, kPhaseDown), nullptr);
        EXPECT_TRUE(Closed(prompt));
    }
    {
        SuperNovaPrompt prompt;
        Run(prompt, 500);
        prompt.CancelButton()->Click();
        EXPECT_TRUE(Closed(prompt));
    }
    world.spectator = true;
    {
        SuperNovaPrompt prompt;
        Run(prompt, 500);
        prompt.YesButton()->Click();
        EXPECT_TRUE(Closed(prompt));
    }
    EXPECT_TRUE(effects.groupUpdates.empty());
    EXPECT_EQ(OpenSuperNovaPrompt(), nullptr) << "none for a spectator";
    world.spectator = false;
    SuperNovaPrompt* open = OpenSuperNovaPrompt();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(FindOpenWindow("SuperNovaPrompt"), open);
    EXPECT_EQ(OpenSuperNovaPrompt(), nullptr) << "one at a time";
}

TEST_F(PromptTest, LoadModeWithoutCheckpoints)
{
    for (bool withCancel : {true, false}) {
        SCOPED_TRACE(withCancel);
        CheckpointPrompt prompt(withCancel, false);
        EXPECT_EQ(prompt.FindChild("a"), nullptr);
        for (int slot = 0; slot < CheckpointPrompt::kSlots; ++slot) {
            SuperNovaButton* button = prompt.Slot(slot);
            EXPECT_EQ(button->name, std::to_string(slot));
            EXPECT_FALSE(button->enabled);
            EXPECT_EQ(button->tint, 0xFFAAAAAAu);
            EXPECT_EQ(button->toolTip, "Empty slot.");
            EXPECT_EQ(button->fontId, 4);
            EXPECT_FLOAT_EQ(button->IconScale(), 0.48f);
        }
        for (int code = 2; code <= 5; ++code)
            Key(prompt, kPress, code);
        EXPECT_TRUE(effects.checkpointLoads.empty());
        EXPECT_FALSE(Closed(prompt));
        Key(prompt, kPress, 30); // no automatic checkpoint: A is any other key
        EXPECT_EQ(Closed(prompt), withCancel);
        EXPECT_EQ(prompt.CancelButton() != nullptr, withCancel);
        // From the end of a match (no Cancel) a click outside keeps it open.
        if (!withCancel) {
            prompt.SetPosition(100.0f, 100.0f);
            prompt.UpdateAbsolutePosition();
            prompt.OnLeftButton(1, 1, kPhaseDown);
            EXPECT_FALSE(Closed(prompt));
        }
    }
    EXPECT_TRUE(effects.hostVariables.empty()) << "loading never paused the game";
}

TEST_F(PromptTest, LoadModeWithTwoSlotsAndTheAutomaticOne)
{
    FillSlot(false, 0);
    FillSlot(false, 2);
    FillSlot(true, 0);
    CheckpointPrompt prompt(true, false);
    EXPECT_TRUE(prompt.Slot(0)->enabled);
    EXPECT_FALSE(prompt.Slot(1)->enabled);
    EXPECT_TRUE(prompt.Slot(2)->enabled);
    EXPECT_EQ(prompt.Slot(2)->tint, 0xFF808080u);
    ASSERT_NE(prompt.AutoButton(), nullptr);
    EXPECT_EQ(prompt.AutoButton()->caption, "Auto");
    Key(prompt, kPress, 3); // slot 1: empty
    Key(prompt, kPress, 4); // slot 2
    Key(prompt, kPress, 30);
    EXPECT_EQ(effects.checkpointLoads, (std::vector<std::pair<bool, int>>{{false, 2}, {true, 0}}));
    EXPECT_FALSE(Closed(prompt)) << "loading restarts the level, which closes the windows";
    Picture(prompt, "checkpoint-prompt.png");
}

TEST_F(PromptTest, SavingIntoSlotTwoAnnouncesCheckpointThreeAndResumesBeforeClosing)
{
    effects.hudOpen = true;
    FillSlot(false, 1);
    CheckpointPrompt prompt(true, true);
    EXPECT_TRUE(prompt.Slot(0)->enabled) << "an empty slot takes a save";
    EXPECT_EQ(prompt.Slot(0)->tint, 0xFFAAAAAAu);
    EXPECT_EQ(prompt.Slot(1)->tint, 0xFF808080u);
    EXPECT_EQ(prompt.AutoButton(), nullptr);
    size_t resumesAtClose = 99;
    prompt.closeHandler = [&](PrimContainer*) {
        resumesAtClose = effects.hostVariables.size();
        return false;
    };
    Key(prompt, kPress, 4);
    EXPECT_EQ(effects.playbackRequests,
              std::vector<std::string>{CurrentProfile().CheckpointPath(world.levelPath, false, 2, false)});
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Checkpoint 3 set"});
    EXPECT_EQ(effects.checkpointRefreshes, 1);
    EXPECT_EQ(effects.hostVariables, (std::vector<std::pair<int, int32_t>>{{18, 0}}));
    EXPECT_EQ(resumesAtClose, 1u);
    EXPECT_TRUE(Closed(prompt));
    prompt.Close();
    EXPECT_EQ(effects.hostVariables.size(), 1u) << "resumed once";
}

TEST_F(PromptTest, ASavePromptClosedAnyWayResumesOnce)
{
    {
        CheckpointPrompt prompt(true, true);
        prompt.SetPosition(100.0f, 100.0f);
        prompt.UpdateAbsolutePosition();
        EXPECT_EQ(Key(prompt, 0, 57), 0);
        EXPECT_EQ(prompt.OnLeftButton(1, 1, kPhaseDown), nullptr); // outside
        EXPECT_TRUE(Closed(prompt));
    }
    {
        CheckpointPrompt prompt(true, true);
        prompt.CancelButton()->Click();
        EXPECT_TRUE(Closed(prompt));
    }
    {
        CheckpointPrompt prompt(true, true);
        prompt.Deactivate(); // every window goes, say on a disconnect
    }
    {
        CheckpointPrompt prompt(true, true); // destroyed unseen
    }
    EXPECT_EQ(effects.hostVariables, (std::vector<std::pair<int, int32_t>>(4, {18, 0})));
    effects.hostVariables.clear();
    {
        CheckpointPrompt prompt(true, false);
        prompt.CancelButton()->Click();
    }
    EXPECT_TRUE(effects.hostVariables.empty()) << "a load prompt owes nothing";
}

TEST_F(PromptTest, SuperNovaPromptPicture)
{
    SuperNovaPrompt prompt;
    Run(prompt, 500);
    Picture(prompt, "supernova-prompt.png");
    // The frame and the buttons are drawn: the middle of the prompt is not black.
    const int cx = int((prompt.rect.left + prompt.rect.right) / 2), cy = int((prompt.rect.top + prompt.rect.bottom) / 2);
    EXPECT_NE(Pixel(cx, cy), 0u);
}

} // namespace
