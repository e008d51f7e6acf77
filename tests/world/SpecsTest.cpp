// The action-sprite, decoration and trap specs: loading, failure texts, the group-animation
// cache, decorations, and the flimb rectangle measured on the loaded animations.
#include "app/GameException.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "tests/media/SurfaceFixture.h"
#include "tests/support/TestWorld.h"
#include "world/ActionChecks.h"
#include "world/AnimationSpec.h"
#include "world/FlimbTable.h"
#include "world/TrapSpecs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

const char* const kActionSpec = R"(<action-sprite-spec>
  <group-labels><group id="0">blue</group><group id="1">green</group><group id="2">red</group>
                <group id="9">nine</group><group id="-1">minus</group></group-labels>
  <group-animation rootPath="Graphics\Test\Flimbs" frameWidth="8" frameHeight="12" hotspotX="4" hotspotY="11">
    <Walk><animation name="0" file="walk-0-{group-label}.png"/></Walk>
    <Fall><animation name="0" file="fall-0-{group-label}.png" frameWidth="16" frameHeight="20" hotspotX="8" hotspotY="18"/></Fall>
    <Clob><animation name="0" file="clob-0-{group-label}.png" frameWidth="24"/></Clob>
  </group-animation>
  <select rootPath="Graphics\Test\Select" frameWidth="8" frameHeight="8" hotspotX="4" hotspotY="4">
    <animation name="select" file="select-{group-label}.png"/>
  </select>
</action-sprite-spec>)";

const char* const kDecorations = R"(<decorations-spec>
  <tophat>
    <variant type="wALK" version="0" frameWidth="8" frameHeight="4" hotspotX="3" hotspotY="9">tophat-walk.png</variant>
    <variant type="Walk" version="1" frameWidth="8" frameHeight="8">tophat-walk-big.png</variant>
  </tophat>
</decorations-spec>)";

class SpecsTest : public SurfaceFixture {
protected:
    void SetUp() override
    {
        SurfaceFixture::SetUp();
        StartDevice();
        const auto solid = [](int, int) { return 0xFF00FF00u; };
        for (const char* label : {"blue", "green", "red"}) {
            AddImage(std::string("Graphics\\Test\\Flimbs\\walk-0-") + label + ".png", 32, 12, solid);
            AddImage(std::string("Graphics\\Test\\Flimbs\\fall-0-") + label + ".png", 16, 20, solid);
            AddImage(std::string("Graphics\\Test\\Flimbs\\clob-0-") + label + ".png", 48, 12, solid);
        }
        AddImage("Graphics\\Animations\\Decorations\\tophat-walk.png", 16, 4, solid);
        AddImage("Graphics\\Actions\\halo.png", 8, 8, solid);
        AddText("Graphics\\Actions\\action-sprite-spec.xml", kActionSpec);
        AddText("Graphics\\Animations\\Decorations\\decorations-spec.xml", kDecorations);
    }
    void TearDown() override
    {
        UnloadActionSprites();
        UnloadTraps();
        SurfaceFixture::TearDown();
    }

    void AddText(const std::string& name, const std::string& text)
    {
        memory_->AddFile(name, text.data(), text.size());
        manager_->IndexNames(nullptr, 0, nullptr);
    }

    static std::string FailureOf(void (*load)())
    {
        try {
            load();
        } catch (const GameException& error) {
            return error.Message();
        }
        return "";
    }

    std::vector<std::string> journal;
    TestWorld test;
};

TEST_F(SpecsTest, BrokenOrMissingSpecsStopStartUpWithTheirTexts)
{
    AddText("Graphics\\Animations\\Decorations\\decorations-spec.xml", "<decorations-spec><open>");
    EXPECT_EQ(FailureOf(LoadActionSprites), "Cannot load the decorations-spec.xml file!");
    AddText("Graphics\\Actions\\action-sprite-spec.xml", "");
    EXPECT_EQ(FailureOf(LoadActionSprites), "Cannot load the action-sprite-spec.xml file!");
    EXPECT_EQ(FailureOf(LoadTrapSpecs), "Cannot load the trap-spec.xml file!");
    AddText("Graphics\\Traps\\trap-spec.xml", "<trap-spec><Teleport></trap-spec>");
    EXPECT_EQ(FailureOf(LoadTrapSpecs), "Cannot load the trap-spec.xml file!");
}

TEST_F(SpecsTest, LabelsOutsideTheGroupsAreSkippedWithALogLine)
{
    ASSERT_NO_THROW(LoadActionSprites());
    EXPECT_EQ(AnimationSpec::GroupLabel(2), "red");
    EXPECT_EQ(AnimationSpec::GroupLabel(3), "");
    EXPECT_EQ(AnimationSpec::GroupLabel(9), "");
    EXPECT_NE(ReadLog().find("group label id 9 is not a group"), std::string::npos);
    EXPECT_NE(AnimationSpec::HaloImage(), nullptr);
}

TEST_F(SpecsTest, GroupLabelReplacesTheFirstTokenOnly)
{
    ASSERT_NO_THROW(LoadActionSprites());
    EXPECT_EQ(SubstituteGroupLabel("a-{group-label}-{group-label}.png", 2), "a-red-{group-label}.png");
    EXPECT_EQ(SubstituteGroupLabel("{group-color}.png", 1), "green.png");
    EXPECT_EQ(SubstituteGroupLabel("plain.png", 1), "plain.png");
}

TEST(HashString, Djb2OverSignedCharacters)
{
    EXPECT_EQ(HashString(""), 5381u);
    EXPECT_EQ(HashString("a"), 5381u * 33u + 97u);
    EXPECT_EQ(HashString("\xC3"), 5381u * 33u - 61u) << "a byte above 127 adds a negative value";
    EXPECT_EQ(HashString("ab"), (5381u * 33u + 97u) * 33u + 98u);
}

TEST_F(SpecsTest, GroupAnimationsAreCachedUnlessAskedNotTo)
{
    ASSERT_NO_THROW(LoadActionSprites());
    AnimSurface* uncached = AnimationSpec::GetGroupAnimation(1, kWalk, 0, true);
    ASSERT_NE(uncached, nullptr);
    EXPECT_STREQ(uncached->GetName(), "Graphics\\Test\\Flimbs\\walk-0-green.png");
    EXPECT_EQ(uncached->frameCount, 4);
    EXPECT_EQ(ImageCache::ReferenceCount(uncached), 1) << "the caller's reference only";
    AnimSurface* cached = AnimationSpec::GetGroupAnimation(1, kWalk, 0, false);
    EXPECT_EQ(cached, uncached) << "the image cache shares the surface";
    EXPECT_EQ(ImageCache::ReferenceCount(cached), 2);
    EXPECT_EQ(AnimationSpec::GetGroupAnimation(1, kWalk, 0, false), cached);
    EXPECT_EQ(ImageCache::ReferenceCount(cached), 2) << "a cached animation is not loaded again";
    ImageCache::ReleaseImage(uncached);

    EXPECT_EQ(AnimationSpec::GetGroupAnimation(1, kWalk, 3, false), nullptr) << "no such frame set";
    EXPECT_EQ(AnimationSpec::GetGroupAnimation(1, kSpin, 0, false), nullptr) << "no such type";
    EXPECT_EQ(AnimationSpec::GetGroupAnimation(8, kWalk, 0, false), nullptr);
    EXPECT_EQ(AnimationSpec::GetGroupAnimation(0, 22, 0, false), nullptr);
    EXPECT_EQ(AnimationSpec::GetGroupAnimation(0, kWalk, 5, false), nullptr);
    EXPECT_NE(ReadLog().find("No group animation for group 8, type 10, frame set 0"), std::string::npos);

    ReleaseGroupAnimations(1);
    EXPECT_EQ(ImageCache::ReferenceCount(cached), 0);
}

TEST_F(SpecsTest, SelectAndPreSelectMarkersTakeTheGroupLabel)
{
    AddImage("Graphics\\Test\\Select\\select-red.png", 16, 8, [](int, int) { return 0xFFFF0000u; });
    ASSERT_NO_THROW(LoadActionSprites());
    AnimSurface* select = GetGroupSelectAnimation(2);
    ASSERT_NE(select, nullptr);
    EXPECT_STREQ(select->GetName(), "Graphics\\Test\\Select\\select-red.png");
    EXPECT_EQ(select->frameCount, 2);
    EXPECT_EQ(GetGroupSelectAnimation(2), select);
    AnimSurface* pre = GetPreSelectImage(0);
    ASSERT_NE(pre, nullptr);
    EXPECT_EQ(pre->hotspotX, 14);
    EXPECT_EQ(pre->hotspotY, 8);
    EXPECT_EQ(GetGroupSelectAnimation(8), nullptr);
}

TEST_F(SpecsTest, DecorationsMatchTheTypeInAnyCaseAndTheVersion)
{
    ASSERT_NO_THROW(LoadActionSprites());
    AnimSurface* hat = AnimationSpec::LoadDecoration("tophat", kWalk, 0);
    ASSERT_NE(hat, nullptr);
    EXPECT_EQ(hat->frameWidth, 8);
    EXPECT_EQ(hat->frameHeight, 4);
    EXPECT_EQ(hat->hotspotX, 3);
    EXPECT_EQ(hat->hotspotY, 9);
    ImageCache::ReleaseImage(hat);
    EXPECT_EQ(AnimationSpec::LoadDecoration("tophat", kWalk, 2), nullptr);
    EXPECT_EQ(AnimationSpec::LoadDecoration("tophat", kFall, 0), nullptr);
    EXPECT_EQ(AnimationSpec::LoadDecoration("cap", kWalk, 0), nullptr);

    DecorationSet* set = FindDecorationAnimation("tophat");
    EXPECT_EQ(FindDecorationAnimation("tophat"), set);
    EXPECT_EQ(set->name, "tophat");
    EXPECT_EQ(set->slots[0], nullptr);
}

TEST_F(SpecsTest, NudgedHotspotIsWrittenToTheUserCopyOfTheSpec)
{
    ASSERT_NO_THROW(LoadActionSprites());
    Flimb* flimb = AddFlimb(0, 0, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    flimb->overlaySet = FindDecorationAnimation("tophat");
    flimb->SetGroupAnimation(1, 0); // Walk's animation 1 wears the overlay of animation 0
    ASSERT_NE(flimb->overlay, nullptr);
    EXPECT_EQ(flimb->overlaySet->slots[kWalk * kFrameSetCount], flimb->overlay);
    World().selected = flimb;
    NudgeDecorationHotspot(2, -1);
    EXPECT_EQ(flimb->overlay->hotspotX, 5);
    EXPECT_EQ(flimb->overlay->hotspotY, 8);
    const std::string written =
        (std::filesystem::path(GetUserRoot()) / "Graphics/Animations/Decorations/decorations-spec.xml").string();
    XmlDocument saved = XmlLoadHostFile(written);
    ASSERT_TRUE(saved);
    xmlNode* variant = XmlFindNodeWithAttrValue(XmlRoot(saved.get()), "variant", "version", "0");
    ASSERT_NE(variant, nullptr);
    EXPECT_STREQ(XmlGetAttrValue(variant, "hotspotX"), "5");
    EXPECT_STREQ(XmlGetAttrValue(variant, "hotspotY"), "8");
}

TEST_F(SpecsTest, LoadedTypeRowsHoldTheirStartValues)
{
    ASSERT_NO_THROW(LoadActionSprites());
    struct Row {
        int type;
        uint8_t accepts, second, final, whileFalling;
    };
    const Row rows[] = {
        {kClob, 1, 1, 0, 0},  {kNova, 1, 1, 1, 1},   {kDoppel, 1, 1, 0, 0}, {kPuff, 1, 0, 0, 1},
        {kLop, 1, 0, 0, 0},   {kWalk, 1, 0, 0, 1},   {kSplat, 1, 0, 1, 1},  {kSpawn, 0, 0, 0, 1},
        {kEntangle, 0, 0, 0, 1}, {kCopySpawn, 0, 0, 0, 1}, {kAtomize, 1, 1, 1, 1},
    };
    for (const Row& row : rows) {
        const FlimbTypeRow& loaded = FlimbTypeRowOf(row.type);
        EXPECT_EQ(loaded.acceptsOrders, row.accepts) << FlimbTypeName(row.type);
        EXPECT_EQ(loaded.second, row.second) << FlimbTypeName(row.type);
        EXPECT_EQ(loaded.final, row.final) << FlimbTypeName(row.type);
        EXPECT_EQ(loaded.whileFalling, row.whileFalling) << FlimbTypeName(row.type);
    }
    // Doppel: only Nova and Atomize; Puff: Nova, Spin, Atomize and Walk; Walk: all but Puff... and Puff.
    const auto changes = [](int type) {
        std::string text;
        for (int action = 0; action < 11; ++action)
            text += FlimbTypeRowOf(type).changeInto[action] ? '1' : '0';
        return text;
    };
    EXPECT_EQ(changes(kDoppel), "00100000100");
    EXPECT_EQ(changes(kPuff), "00100001101");
    EXPECT_EQ(changes(kSpin), "00100000100");
    EXPECT_EQ(changes(kFall), "00100011100");
    EXPECT_EQ(changes(kWalk), "11111111111");
    EXPECT_EQ(changes(kClob), "11111101111");
}

TEST_F(SpecsTest, ActionChecksFollowTheLoadedRows)
{
    ASSERT_NO_THROW(LoadActionSprites());
    for (auto& group : Controller().groups)
        group.uses.fill(5);
    struct Case {
        const char* what;
        uint8_t type;
        std::function<void(Flimb&)> setup;
        int side;
        uint8_t action;
        bool checkUses;
        bool allowed;
    };
    const auto none = [](Flimb&) {};
    const Case cases[] = {
        {"a walker digs", kWalk, none, 0, kClob, true, true},
        {"not into its own type", kWalk, none, 0, kWalk, false, false},
        {"but Mold again", kMold, none, 0, kMold, false, true},
        {"no digging while falling", kWalk, [](Flimb& f) { f.fallDistance = 4; }, 0, kClob, false, false},
        {"a Nova may start while falling", kWalk, [](Flimb& f) { f.fallDistance = 4; }, 0, kNova, false, true},
        {"Puff needs a fall", kWalk, none, 0, kPuff, false, false},
        {"Puff while falling", kFall, [](Flimb& f) { f.fallDistance = 5; }, 0, kPuff, false, true},
        {"no Puff with the attribute", kFall,
         [](Flimb& f) {
             f.fallDistance = 5;
             f.attributes |= kAttrNoPuff;
         },
         0, kPuff, false, false},
        {"no second fuse", kWalk, [](Flimb& f) { f.attributes |= kAttrNovaFuse; }, 0, kNova, false, false},
        {"final types take nothing", kSplat, none, 0, kWalk, false, false},
        {"a Doppel only explodes", kDoppel, none, 0, kWalk, false, false},
        {"a Doppel may go Nova", kDoppel, none, 0, kNova, false, true},
        {"spawning flimbs take no orders", kSpawn, none, 0, kClob, false, false},
        {"a steered Entangle counts as a walker", kEntangle, [](Flimb& f) { f.attributes = kAttrSteered; }, 0, kClob,
         false, true},
        {"an exhausted budget", kWalk, [](Flimb& f) { Controller().groups[f.group].uses[kClob] = 0; }, 0, kClob,
         true, false},
        {"200 and above is no budget", kWalk, [](Flimb& f) { Controller().groups[f.group].uses[kClob] = 200; }, 0,
         kClob, true, false},
        {"199 is unlimited", kWalk, [](Flimb& f) { Controller().groups[f.group].uses[kClob] = 199; }, 0, kClob, true,
         true},
        {"not alive", kWalk, [](Flimb& f) { f.flags &= static_cast<uint8_t>(~kFlimbAlive); }, 0, kClob, false, false},
        {"no action 11", kWalk, none, 0, 11, false, false},
        {"facing the wrong side", kWalk, none, 1, kDrill, false, false},
        {"facing the wanted side", kWalk, none, 2, kDrill, false, true},
        {"sides swap under gravity 1", kWalk, [](Flimb& f) { f.gravity = 1; }, 1, kDrill, false, true},
        {"a turning walker faces the other way for Clob", kWalk, [](Flimb& f) { f.anim = 2; }, 1, kClob, false, true},
    };
    int16_t id = 1;
    for (const Case& c : cases) {
        Flimb* flimb = AddFlimb(0, 0, id++, 1, c.type, 0, kFlimbStartEnergy, 0, 1);
        c.setup(*flimb);
        EXPECT_EQ(CanGiveAction(*flimb, c.side, c.action, c.checkUses), c.allowed) << c.what;
        Controller().groups[1].uses.fill(5);
    }
}

TEST_F(SpecsTest, TheFlimbRectangleIsMeasuredOnTheWalkingFrameForDiggers)
{
    ASSERT_NO_THROW(LoadActionSprites());
    Flimb* walker = AddFlimb(100, 100, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    // Walk frames are 8 x 12 with the feet at (4, 11); 10 pixels come off the head side.
    EXPECT_EQ(walker->GetCurrentSprite(), (gfx::RECT{96, 99, 104, 101}));
    walker->scale = 2.0f;
    EXPECT_EQ(walker->GetCurrentSprite(), (gfx::RECT{92, 98, 108, 102}));
    walker->scale = 1.0f;

    Flimb* clob = AddFlimb(100, 100, 2, 0, kClob, 0, kFlimbStartEnergy, 0, 1);
    ASSERT_NE(clob->animation, nullptr);
    EXPECT_EQ(clob->animation->frameWidth, 24) << "the bashing frame is wider";
    EXPECT_EQ(clob->GetCurrentSprite(), walker->GetCurrentSprite()) << "but the rectangle is the walker's";

    Flimb* faller = AddFlimb(100, 100, 3, 0, kFall, 0, kFlimbStartEnergy, 0, 1);
    EXPECT_EQ(faller->GetCurrentSprite(), (gfx::RECT{92, 92, 108, 102}));

    // The rectangle turns with gravity: the head always points against it.
    struct Case {
        uint8_t gravity;
        gfx::RECT rect;
    };
    const Case cases[] = {
        {0, {96, 99, 104, 101}},
        {1, {96, 99, 104, 101}},
        {2, {99, 96, 101, 104}},
        {3, {99, 96, 101, 104}},
    };
    walker->animation = AnimationSpec::GetGroupAnimation(0, kWalk, 0, false);
    walker->frame = 0;
    for (const Case& c : cases) {
        walker->gravity = c.gravity;
        EXPECT_EQ(walker->GetCurrentSprite(), c.rect) << int(c.gravity);
    }
}

TEST_F(SpecsTest, TrapSpritesByNameOrTheKindsFirstAnimation)
{
    AddText("Graphics\\Traps\\trap-spec.xml", R"(<trap-spec rootPath="Graphics\Traps\">
        <Teleport><animation name="base" file="base.png" frameWidth="8" frameHeight="8" hotspotX="4" hotspotY="4"/>
                  <animation name="front" file="front.png"/></Teleport><Swap/></trap-spec>)");
    AddImage("Graphics\\Traps\\Teleport\\base.png", 16, 8, [](int, int) { return 0xFF0000FFu; });
    AddImage("Graphics\\Traps\\Teleport\\front.png", 4, 4, [](int, int) { return 0xFF0000FFu; });
    World().traps.visibleRect = {1, 2, 3, 4};
    ASSERT_NO_THROW(LoadTrapSpecs());
    EXPECT_EQ(World().traps.visibleRect, (gfx::RECT{-1, -1, -1, -1})) << "the draw state starts afresh";
    ASSERT_NE(GroupSelectImage(), nullptr);
    EXPECT_EQ(GroupSelectImage()->hotspotX, GroupSelectImage()->imageWidth / 2);
    EXPECT_EQ(GroupSelectImage()->hotspotY, GroupSelectImage()->imageHeight / 2);

    AnimSurface* sheet = LoadTrapSprites(nullptr, 1);
    ASSERT_NE(sheet, nullptr);
    EXPECT_STREQ(sheet->GetName(), "Graphics\\Traps\\Teleport\\base.png");
    EXPECT_EQ(sheet->frameCount, 2);
    EXPECT_EQ(sheet->hotspotX, 4);
    AnimSurface* front = LoadTrapSprites("front", 1);
    ASSERT_NE(front, nullptr);
    EXPECT_STREQ(front->GetName(), "Graphics\\Traps\\Teleport\\front.png");
    EXPECT_EQ(LoadTrapSprites("back", 1), nullptr);
    EXPECT_EQ(LoadTrapSprites(nullptr, 2), nullptr) << "an element without animations";
    EXPECT_EQ(LoadTrapSprites(nullptr, 3), nullptr) << "a kind missing from the specs";
    EXPECT_EQ(LoadTrapSprites(nullptr, 77), nullptr);
    ImageCache::ReleaseImage(sheet);
    ImageCache::ReleaseImage(front);
}

} // namespace
