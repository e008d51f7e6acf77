// The sound, chat and AI flimb traps: music and effects through the sound manager (on the
// null OpenAL driver), the editor's preview, the chosen sound, chat lines through the game
// session, and their file forms.
#include "app/ConsoleParam.h"
#include "app/UserFolders.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapEditor.h"
#include "media/SoundManager.h"
#include "session/SessionServices.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/AIFlimbTrap.h"
#include "traps_flow/ChatTrap.h"
#include "traps_flow/SoundTrap.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kTrack = "Sounds\\Music\\multi_tie01.ogg";
constexpr const char* kEffect = "Sounds\\Effects\\saved.wav";

class SoundChatTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(64, std::string(128, '.')));
        SetProgramFolder(FLIMBS_GAME_DIR);
        for (const char* name : {"soundenable", "musicenable"})
            ConsoleParam::Find(name)->SetInt(1);
        ASSERT_TRUE(soundManager.Start());
    }
    void TearDown() override
    {
        SetCurrentEditor(nullptr);
        soundManager.Shutdown();
        for (const char* name : {"soundenable", "musicenable"})
            ConsoleParam::Find(name)->ResetToDefault();
        TrapHarness::TearDown();
    }
    SoundTrap* AddSound(const std::string& file, bool background)
    {
        return dynamic_cast<SoundTrap*>(AddTrapXml("<trap><type>Sound</type><sound_file>" + file +
                                                   "</sound_file><set_background>" + (background ? "1" : "0") +
                                                   "</set_background></trap>"));
    }
    static SoundManager::MusicStatus Music() { return soundManager.GetMusicStatus(); }
};

TEST_F(SoundChatTrapTest, BackgroundMusicStartsAgainOnEveryActivation)
{
    SoundTrap* trap = AddSound(kTrack, true);
    ASSERT_NE(trap, nullptr);
    const uint32_t before = Music().starts;
    trap->Activate(nullptr);
    EXPECT_EQ(Music().starts, before + 1);
    EXPECT_TRUE(Music().playing);
    EXPECT_TRUE(Music().looping);
    EXPECT_EQ(Music().name, kTrack);
    trap->Activate(nullptr);
    EXPECT_EQ(Music().starts, before + 2);
    EXPECT_EQ(Music().loops, 0u);
}

TEST_F(SoundChatTrapTest, AnEffectPlaysOnceAndTheMusicGoesOn)
{
    AddSound(kTrack, true)->Activate(nullptr);
    const uint32_t starts = Music().starts;
    const int free = soundManager.FreeEffectSourceCount();
    AddSound(kEffect, false)->Activate(nullptr);
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), free - 1);
    EXPECT_EQ(Music().starts, starts);
    EXPECT_TRUE(Music().playing);
    EXPECT_EQ(Music().name, kTrack);
}

TEST_F(SoundChatTrapTest, TheEditorPreviewPlaysTheFileOnceAsMusic)
{
    MapEditor model;
    SetCurrentEditor(&model);
    model.Open();
    for (const bool background : {true, false}) {
        SCOPED_TRACE(background);
        const int free = soundManager.FreeEffectSourceCount();
        const uint32_t starts = Music().starts;
        AddSound(kTrack, background)->Activate(nullptr);
        EXPECT_EQ(Music().starts, starts + 1);
        EXPECT_FALSE(Music().looping);
        EXPECT_EQ(soundManager.FreeEffectSourceCount(), free);
    }
}

TEST_F(SoundChatTrapTest, MissingAndOutsideFilesPlayNothing)
{
    const uint32_t starts = Music().starts;
    const int free = soundManager.FreeEffectSourceCount();
    AddSound("Sounds\\Effects\\none.wav", false)->Activate(nullptr);
    AddSound("..\\..\\etc\\passwd", false)->Activate(nullptr);
    AddSound("Sounds\\Music\\none.ogg", true)->Activate(nullptr);
    EXPECT_EQ(Music().starts, starts);
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), free);
    EXPECT_TRUE(log->Contains("PlaySoundFile() File does not exists")) << log->Text();
    EXPECT_TRUE(log->Contains("Sound file path refused: ..\\..\\etc\\passwd")) << log->Text();
    EXPECT_TRUE(log->Contains("PlayMusic() cannot open")) << log->Text();
}

TEST_F(SoundChatTrapTest, AChosenSoundIsMusicWhenItStreamsAsMusic)
{
    SoundTrap* trap = AddSound("", false);
    std::unique_ptr<LayoutPanel> panel = trap->BuildEditPanel();
    ASSERT_NE(panel->Find("set_background"), nullptr);
    SoundTrap::OnSoundChosen(kTrack);
    EXPECT_EQ(trap->sound_file, kTrack);
    EXPECT_TRUE(trap->set_background);
    SoundTrap::OnSoundChosen(kEffect);
    EXPECT_EQ(trap->sound_file, kEffect);
    EXPECT_FALSE(trap->set_background);
    const std::string saved = SaveText(*trap);
    EXPECT_NE(saved.find("<sound_file>Sounds\\Effects\\saved.wav</sound_file><set_background>0</set_background>"),
              std::string::npos)
        << saved;
}

TEST_F(SoundChatTrapTest, AChatLineGoesOutOnlyWithASessionClient)
{
    auto* chat = dynamic_cast<ChatTrap*>(
        AddTrapXml("<trap><type>Chat</type><message>The gate &amp; the bridge</message><speaker>Warden</speaker></trap>"));
    ASSERT_NE(chat, nullptr);
    chat->Activate(nullptr);
    EXPECT_EQ(session->requests, (std::vector<std::string>{"chat -2 0 The gate & the bridge"}));
    EXPECT_EQ(session->chatNames, (std::vector<std::string>{"Warden"}));
    SetGameClientRequests(nullptr); // no client any more
    chat->Activate(nullptr);
    SetGameClientRequests(session.get());
    EXPECT_EQ(session->requests.size(), 1u);
}

TEST_F(SoundChatTrapTest, CopiesAndFileForms)
{
    auto* chat = dynamic_cast<ChatTrap*>(
        AddTrapXml("<trap><type>Chat</type><message>Hello</message><speaker>Warden</speaker></trap>"));
    std::unique_ptr<Trap> copy = chat->Duplicate();
    auto* twin = dynamic_cast<ChatTrap*>(copy.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->speaker, "Warden");
    EXPECT_TRUE(twin->message.empty());

    for (const char* element : {"<trap><type>Chat</type><message>a\nb</message><speaker>Me</speaker></trap>",
                                "<trap><type>Sound</type><sound_file>x.wav</sound_file><set_background>YES"
                                "</set_background></trap>",
                                "<trap><type>AIFlimb</type><x>5</x><y>6</y></trap>"}) {
        SCOPED_TRACE(element);
        Trap* trap = AddTrapXml(element);
        ASSERT_NE(trap, nullptr);
        const std::string saved = SaveText(*trap);
        Trap* again = AddTrapXml(saved.substr(saved.find("<trap>")));
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(SaveText(*again), saved);
    }
    // The AI flimb keeps nothing of its own.
    Trap* ai = AddTrapXml("<trap><type>AIFlimb</type></trap>");
    ASSERT_NE(dynamic_cast<AIFlimbTrap*>(ai), nullptr);
    EXPECT_NE(SaveText(*ai).find("<alive>1</alive></trap>"), std::string::npos) << SaveText(*ai);
}

} // namespace
