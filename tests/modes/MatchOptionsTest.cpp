// Match options: reading and writing the option block, bad blocks from levels and peers,
// the panel's change announcements and the modifiers the options make.
#include "../support/FakeMatch.h"

#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "app/XmlUtil.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/GameMode.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"

#include <fstream>
#include <memory>
#include <sstream>

namespace {

class MatchOptionsTest : public MatchFixture {
protected:
    void TearDown() override
    {
        SetOptionAnnouncementsSuppressed(false);
        MatchFixture::TearDown();
    }
    // A "gamemode_data" element holding the given children.
    xmlNode* Block(const std::vector<std::pair<std::string, std::string>>& children)
    {
        docs_.push_back(XmlNewDocument("gamemode_data"));
        xmlNode* root = XmlRoot(docs_.back().get());
        for (const auto& [name, text] : children)
            XmlAddChildText(root, name.c_str(), text);
        return root;
    }
    static std::string LogText()
    {
        std::ifstream in(LogFilePath());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<XmlDocument> docs_;
};

struct TestModifier : GameModifier {
    explicit TestModifier(int type) : GameModifier(type) {}
    static int alive;
    ~TestModifier() override { --alive; }
};
int TestModifier::alive = 0;

std::unique_ptr<GameModifier> MakeTestModifier(int type)
{
    ++TestModifier::alive;
    return std::make_unique<TestModifier>(type);
}

TEST_F(MatchOptionsTest, EveryOptionRoundTrips)
{
    CorralTheFlimbMode mode;
    MatchOptions& o = CurrentMatchOptions();
    o = MatchOptions{true, true, true, true, true, -7, true, true, 3, false, 9};
    mode.showMinimum = false;
    xmlNode* node = Block({});
    mode.WriteOptions(node);
    std::vector<std::string> written;
    for (xmlNode* child = XmlChildren(node); child; child = XmlNext(child))
        written.push_back(XmlName(child) + "=" + XmlNodeText(child));
    EXPECT_EQ(written, (std::vector<std::string>{"allow_paint=1", "allow_stun=1", "double_fall=1", "sticky_gibs=1",
                                                 "explosion_physics=1", "explosion_mag=-7", "exploding_gibs=1",
                                                 "contagious_nova=1", "statsmatch=3", "shatter_doppel=0",
                                                 "doublespeed_morph=9", "showMinSave=0"}));
    ResetMatchOptions();
    mode.showMinimum = true;
    mode.ReadOptions(node, nullptr);
    EXPECT_TRUE(o.allowPaint && o.allowStun && o.doubleFall && o.stickyGibs && o.explosionPhysics &&
                o.explodingGibs && o.contagiousNova);
    EXPECT_EQ(o.explosionMag, -7);
    EXPECT_EQ(o.statsMatch, 3);
    EXPECT_FALSE(o.shatterDoppel);
    EXPECT_EQ(o.doubleSpeedMorph, 9);
    EXPECT_FALSE(mode.showMinimum);
}

TEST_F(MatchOptionsTest, FlagWords)
{
    struct Case {
        const char* text;
        bool value;
    };
    const Case cases[] = {{"YES", true}, {"yes", true}, {"1", true}, {"Yes", true}, {"true", false},
                          {"0", false},  {"", false},    {"no", false}, {"2", false}};
    std::unique_ptr<GameMode> mode = GameMode::Create(6);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CurrentMatchOptions().allowStun = !c.value;
        mode->ReadOptions(Block({{"allow_stun", c.text}}), nullptr);
        EXPECT_EQ(CurrentMatchOptions().allowStun, c.value);
    }
}

TEST_F(MatchOptionsTest, DefaultsFillWhatTheBlockLacks)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(6);
    xmlNode* defaults = Block({{"explosion_mag", "70"}, {"double_fall", "1"}, {"sticky_gibs", "1"}});
    mode->ReadOptions(Block({{"explosion_mag", "40"}, {"double_fall", "0"}}), defaults);
    EXPECT_EQ(CurrentMatchOptions().explosionMag, 40);
    EXPECT_FALSE(CurrentMatchOptions().doubleFall);
    EXPECT_TRUE(CurrentMatchOptions().stickyGibs);
}

TEST_F(MatchOptionsTest, BadBlocksAreReadWithoutThrowing)
{
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    // Missing everywhere: the constructor's values stay.
    EXPECT_NO_THROW(mode->ReadOptions(Block({{"unknown_option", "1"}}), nullptr));
    EXPECT_EQ(CurrentMatchOptions().explosionMag, 55);
    EXPECT_TRUE(CurrentMatchOptions().shatterDoppel);
    EXPECT_NE(LogText().find("WARNING: game mode option [shatter_doppel] not found"), std::string::npos);
    EXPECT_NE(LogText().find("WARNING: unknown game mode option [unknown_option] ignored"), std::string::npos);
    mode->ReadOptions(Block({{"showMinSave", "0"}}), nullptr);
    EXPECT_EQ(LogText().find("unknown game mode option [showMinSave]"), std::string::npos) << "the rescue mode's own";

    struct Case {
        const char* mag;
        int32_t magRead;
        const char* morph;
        int32_t morphRead;
    };
    const Case cases[] = {{"abc", 0, "9", 9},    {"12x", 0, "10", -1},  {" 8 ", 8, "-1", -1},
                          {"-3", -3, "-2", -1},  {"99999999999", 0, "x", 0}, {"", 0, "0", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mag << " / " << c.morph);
        mode->ReadOptions(Block({{"explosion_mag", c.mag}, {"doublespeed_morph", c.morph}}), nullptr);
        EXPECT_EQ(CurrentMatchOptions().explosionMag, c.magRead);
        EXPECT_EQ(CurrentMatchOptions().doubleSpeedMorph, c.morphRead);
    }
    EXPECT_NE(LogText().find("is no number [abc]"), std::string::npos);
    EXPECT_NE(LogText().find("doublespeed_morph 10 names no morph"), std::string::npos);
}

TEST_F(MatchOptionsTest, StatsMatchFromABlockLeavesTheConsoleVariable)
{
    std::unique_ptr<ConsoleParam> own;
    ConsoleParam* variable = ConsoleParam::Find("statsmatch");
    if (!variable) {
        own = std::make_unique<ConsoleParam>("statsmatch", ConsoleParamType::Int, "0", "ranked match");
        variable = own.get();
    }
    variable->SetInt(0);
    std::unique_ptr<GameMode> mode = GameMode::Create(0);
    mode->ReadOptions(Block({{"statsmatch", "1"}}), nullptr);
    EXPECT_EQ(CurrentMatchOptions().statsMatch, 1);
    EXPECT_EQ(variable->GetInt(), 0);
    // A mode's constructor takes the host's own setting.
    variable->SetInt(1);
    std::unique_ptr<GameMode> next = GameMode::Create(0);
    EXPECT_EQ(CurrentMatchOptions().statsMatch, 1);
    variable->SetInt(0);
}

TEST_F(MatchOptionsTest, PanelChangesAnnounceOnlyRealChanges)
{
    CreateCurrentGameMode(6);
    GameMode& mode = *CurrentGameMode();
    CheckBox box;
    struct Case {
        const char* key;
        bool MatchOptions::*field;
        const char* announcement;
    };
    const Case cases[] = {{"allow_paint", &MatchOptions::allowPaint, "Flimb statues are now "},
                          {"allow_stun", &MatchOptions::allowStun, "Flimb stunning is now "},
                          {"double_fall", &MatchOptions::doubleFall, "Double fall distance is now "},
                          {"shatter_doppel", &MatchOptions::shatterDoppel, "Shatter doppel on nova is now "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        box.SetName(c.key);
        const bool start = CurrentMatchOptions().*c.field;
        effects.chats.clear();
        box.SetChecked(start, false, false);
        mode.ApplyOptionChange(&box);
        EXPECT_TRUE(effects.chats.empty()) << "the same value announces nothing";
        box.SetChecked(!start, false, false);
        mode.ApplyOptionChange(&box);
        EXPECT_EQ(CurrentMatchOptions().*c.field, !start);
        ASSERT_EQ(effects.chats.size(), 1u);
        EXPECT_EQ(effects.chats[0], std::string(c.announcement) + (start ? "DISABLED" : "ENABLED"));
    }
    EXPECT_TRUE(effects.modeStates.empty()) << "no client, no option block sent";

    // Suppressed announcements still store the value.
    SetOptionAnnouncementsSuppressed(true);
    box.SetName("allow_paint");
    box.SetChecked(!CurrentMatchOptions().allowPaint, false, false);
    effects.chats.clear();
    mode.ApplyOptionChange(&box);
    EXPECT_EQ(CurrentMatchOptions().allowPaint, box.IsChecked());
    EXPECT_TRUE(effects.chats.empty());
}

TEST_F(MatchOptionsTest, DoubleSpeedListAndTheOptionBlockToPeers)
{
    CreateCurrentGameMode(0);
    GameMode& mode = *CurrentGameMode();
    effects.hasClient = true;
    ComboBox combo;
    combo.SetName("doublespeed_morph");
    combo.AddItem("None", 0);
    for (int i = 0; i < 10; ++i)
        combo.AddItem(MorphNames()[size_t(i)], i + 1);
    combo.SetSelection(3, false);
    mode.ApplyOptionChange(&combo);
    EXPECT_EQ(CurrentMatchOptions().doubleSpeedMorph, 2);
    combo.SetSelection(0, false);
    mode.ApplyOptionChange(&combo);
    EXPECT_EQ(CurrentMatchOptions().doubleSpeedMorph, -1);
    EXPECT_EQ(effects.chatLines,
              (std::vector<std::string>{"The Nova Morph is now DOUBLE SPEED.", "Double speed morphs are DISABLED."}));
    EXPECT_TRUE(effects.chats.empty());

    // Every change sends the whole block; a peer reading it gets the same options.
    CheckBox box;
    box.SetName("some_other_key");
    mode.ApplyOptionChange(&box);
    ASSERT_EQ(effects.modeStates.size(), 3u);
    const std::string sent = effects.modeStates.back();
    EXPECT_NE(sent.find("<game-mode-state><gamemode_data><allow_paint>0</allow_paint>"), std::string::npos);
    CurrentMatchOptions().doubleSpeedMorph = 5;
    CurrentMatchOptions().explosionMag = 1;
    EXPECT_TRUE(ModeReadStateDocument(sent));
    EXPECT_EQ(CurrentMatchOptions().doubleSpeedMorph, -1);
    EXPECT_EQ(CurrentMatchOptions().explosionMag, 55);

    CheckBox minimum;
    minimum.SetName("showMinSave");
    minimum.SetChecked(false, false, false);
    mode.ApplyOptionChange(&minimum);
    EXPECT_FALSE(static_cast<CorralTheFlimbMode&>(mode).showMinimum);
    EXPECT_EQ(effects.modeStates.size(), 4u);
    EXPECT_TRUE(effects.chats.empty()) << "the minimum stat is not announced";
}

TEST_F(MatchOptionsTest, BrokenStateDocumentsChangeNothing)
{
    CreateCurrentGameMode(0);
    CurrentMatchOptions().explosionMag = 31;
    for (const char* text : {"", "not xml", "<other><gamemode_data/></other>", "<game-mode-state/>",
                             "<game-mode-state><gamemode_data>"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ModeReadStateDocument(text));
        EXPECT_EQ(CurrentMatchOptions().explosionMag, 31);
    }
}

TEST_F(MatchOptionsTest, ModifiersOnlyWithAnOpenHud)
{
    GameModifier::RegisterMaker(GameModifier::kStatue, [] { return MakeTestModifier(GameModifier::kStatue); });
    GameModifier::RegisterMaker(GameModifier::kStun, [] { return MakeTestModifier(GameModifier::kStun); });
    {
        std::unique_ptr<GameMode> mode = GameMode::Create(0);
        mode->ReadOptions(Block({{"allow_paint", "1"}, {"allow_stun", "yes"}}), nullptr);
        EXPECT_TRUE(mode->modifiers.empty()) << "no HUD, no modifier";
        effects.hudOpen = true;
        mode->ReadOptions(Block({{"allow_paint", "1"}, {"allow_stun", "yes"}}), nullptr);
        ASSERT_EQ(mode->modifiers.size(), 2u);
        EXPECT_EQ(mode->modifiers[0]->modifierType, GameModifier::kStatue);
        EXPECT_EQ(mode->modifiers[1]->modifierType, GameModifier::kStun);
        EXPECT_EQ(mode->modifiers[0]->visible, 0);
        EXPECT_EQ(effects.attached.size(), 2u);
        EXPECT_EQ(mode->FindModifier(GameModifier::kStun), mode->modifiers[1].get());
        EXPECT_EQ(mode->FindModifier(GameModifier::kShift), nullptr);
        EXPECT_TRUE(mode->AllModifiersReady());
        EXPECT_EQ(TestModifier::alive, 2);
        mode->ReadOptions(Block({{"allow_paint", "1"}, {"allow_stun", "0"}}), nullptr);
        EXPECT_EQ(TestModifier::alive, 1) << "a new read replaces the modifiers";
    }
    EXPECT_EQ(TestModifier::alive, 0) << "the mode deletes its modifiers";
}

} // namespace
