// The modify-frame trap: frame steps with wrapping and their events, the animation stepped
// in the world update by the game clock, Set Image on background layers, and its file form.
#include "app/GameException.h"
#include "app/XmlUtil.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/ModifyFrameTrap.h"
#include "game/GameServices.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A target with an eight-frame sheet (the teleport's), standing for a background layer
// (kind 34): it notes the images it is given.
class FrameTarget : public Trap {
public:
    explicit FrameTarget(int32_t kind) : Trap(kind) { sprite = LoadTrapSprites(nullptr, 1); }
    void SetImage(const char* name) override { images.push_back(name ? name : "(none)"); }
    std::vector<std::string> images;
};

class ModifyFrameTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(64, std::string(128, '.')));
    }
    FrameTarget* AddTarget(int32_t kind = 34)
    {
        auto target = std::make_unique<FrameTarget>(kind);
        FrameTarget* raw = target.get();
        RegisterTrap(std::move(target));
        return raw;
    }
    ModifyFrameTrap* AddModifier(const std::vector<uint32_t>& targets, const std::string& children)
    {
        std::string element = "<trap><type>ModifyFrame</type>" + children;
        for (uint32_t id : targets)
            element += "<target_trap_id>" + std::to_string(id) + "</target_trap_id>";
        return dynamic_cast<ModifyFrameTrap*>(AddTrapXml(element + "</trap>"));
    }
    // The target's frame after each of `updates` updates, repeats dropped.
    static std::vector<int> FramesShown(const Trap& target, int updates)
    {
        std::vector<int> shown;
        for (int i = 0; i < updates; ++i) {
            Run(1);
            if (shown.empty() || shown.back() != target.frame)
                shown.push_back(target.frame);
        }
        return shown;
    }
};

TEST_F(ModifyFrameTrapTest, FrameStepsWrapAndFireOncePerExistingTarget)
{
    struct Case {
        const char* what;
        const char* children;
        uint8_t before;
        uint8_t after;
    };
    const Case cases[] = {
        {"next at the last frame", "<mfmode>1</mfmode>", 7, 0},
        {"next", "<mfmode>1</mfmode>", 2, 3},
        {"prev at frame 0", "<mfmode>2</mfmode>", 0, 7},
        {"goto", "<mfmode>0</mfmode><goto_frame>5</goto_frame>", 1, 5},
        {"goto past the sheet wraps", "<mfmode>0</mfmode><goto_frame>10</goto_frame>", 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FrameTarget* first = AddTarget(1);
        FrameTarget* second = AddTarget(1);
        ModifyFrameTrap* modifier = AddModifier({first->id, 99999, second->id}, c.children);
        ASSERT_NE(modifier, nullptr);
        Listen(*modifier, 0);
        first->frame = second->frame = c.before;
        events.clear();
        modifier->Activate(nullptr);
        EXPECT_EQ(first->frame, c.after);
        EXPECT_EQ(second->frame, c.after);
        Run(1);
        EXPECT_EQ(events.size(), 2u); // the missing target is skipped
        DeleteAllTraps();
    }
}

TEST_F(ModifyFrameTrapTest, AnimationStepsByTheGameClockInTheUpdate)
{
    struct Case {
        const char* what;
        const char* children;
        int updates;
        std::vector<int> shown;
        int stoppedAfter; // updates until the end event (0: still running)
    };
    const Case cases[] = {
        // 13 fps: a step every 76.9 ms of game time, an update is 71 ms.
        {"frames 2 to 5 show 2, 3, 4", "<start_frame>2</start_frame><end_frame>5</end_frame>", 6, {2, 3, 4}, 3},
        // Both limits 0: the end is the sheet's last frame.
        {"limits 0", "", 10, {0, 1, 2, 3, 4, 5, 6}, 7},
        // 26 fps: two steps are due in most updates.
        {"26 fps", "<fps>26</fps>", 6, {1, 3, 5, 6}, 4},
        // Frames past the sheet wrap round it.
        {"wrapping", "<start_frame>6</start_frame><end_frame>11</end_frame>", 8, {6, 7, 0, 1, 2}, 5},
        // A start above the end never ends.
        {"never ends", "<start_frame>9</start_frame><end_frame>3</end_frame>", 4, {1, 2, 3, 4}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FrameTarget* target = AddTarget(1);
        ModifyFrameTrap* modifier = AddModifier({target->id}, std::string("<mfmode>3</mfmode>") + c.children);
        ASSERT_NE(modifier, nullptr);
        Listen(*modifier, 0);
        events.clear();
        modifier->Activate(nullptr);
        int stoppedAfter = 0;
        std::vector<int> shown;
        for (int i = 1; i <= c.updates; ++i) {
            Run(1);
            if (shown.empty() || shown.back() != target->frame)
                shown.push_back(target->frame);
            if (!modifier->playing && stoppedAfter == 0)
                stoppedAfter = i;
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(stoppedAfter, c.stoppedAfter);
        EXPECT_EQ(events.size(), c.stoppedAfter ? 1u : 0u);
        DeleteAllTraps();
    }
}

TEST_F(ModifyFrameTrapTest, SetImageReachesOnlyBackgroundLayers)
{
    FrameTarget* layer = AddTarget(34);
    FrameTarget* other = AddTarget(1);
    ModifyFrameTrap* modifier =
        AddModifier({layer->id, other->id}, "<mfmode>4</mfmode><image>Graphics\\Backgrounds\\hill.png</image>");
    modifier->Activate(nullptr);
    EXPECT_EQ(layer->images, (std::vector<std::string>{"Graphics\\Backgrounds\\hill.png"}));
    EXPECT_TRUE(other->images.empty());
}

TEST_F(ModifyFrameTrapTest, LoadNeedsATargetKeyAndKeepsTheTargetsInOrder)
{
    ModifyFrameTrap* modifier = dynamic_cast<ModifyFrameTrap*>(AddTrapXml(
        "<trap><type>ModifyFrame</type><target_trap_id>5</target_trap_id><target_trap_id/><target_trap_id>5"
        "</target_trap_id><fps>40</fps><goto_frame>300</goto_frame></trap>"));
    ASSERT_NE(modifier, nullptr);
    EXPECT_EQ(modifier->targets, (std::vector<uint32_t>{5, 0, 5}));
    // File values are taken as they are.
    EXPECT_EQ(modifier->fps, 40);
    EXPECT_EQ(modifier->goto_frame, 300);
    const std::string saved = SaveText(*modifier);
    Trap* again = AddTrapXml(saved.substr(saved.find("<trap>")));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(SaveText(*again), saved);
    modifier->RemapLinks({{5, 8}}, 0, 0);
    EXPECT_EQ(modifier->targets, (std::vector<uint32_t>{8, 0, 8}));

    // Neither the element nor the defaults hold a target: the load fails.
    XmlDocument defaults = XmlCopyDocument(LevelDefaultsDocument());
    xmlNode* trapDefaults = XmlFindNode(XmlRoot(defaults.get()), "trap");
    ASSERT_NE(trapDefaults, nullptr);
    XmlRemoveNode(XmlGetChild(XmlChildren(trapDefaults), "target_trap_id"));
    const std::string element = "<trap><type>ModifyFrame</type><mfmode>1</mfmode></trap>";
    XmlDocument elementDoc = XmlParseBuffer(element.data(), element.size(), "trap");
    std::unique_ptr<Trap> bare = Trap::Create(41);
    try {
        bare->Load(XmlRoot(elementDoc.get()), trapDefaults, kTrapLoadAll);
        ADD_FAILURE() << "loaded without a target";
    } catch (const GameException& e) {
        EXPECT_NE(std::string(e.what()).find("The requested tag [target_trap_id] was not found in level and in defaults"),
                  std::string::npos)
            << e.what();
    }
}

} // namespace
