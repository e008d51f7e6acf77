// The flimb art: the action-sprite spec and the art table agree, and the frame layouts the
// handlers count on (simulation data) are pinned.
#include "app/XmlUtil.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "tests/support/FlimbFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct ArtRow {
    int frameWidth = 0, frameHeight = 0, frames = 0, hotspotX = 0, hotspotY = 0;
    std::string look;
};

int IntAttr(const xmlNode* node, const char* name, int fallback = 0)
{
    const char* text = XmlGetAttrValue(node, name);
    return text ? std::atoi(text) : fallback;
}

std::string TextAttr(const xmlNode* node, const char* name)
{
    const char* text = XmlGetAttrValue(node, name);
    return text ? text : "";
}

TEST(FlimbArt, TheActionSpriteSpecAndTheArtTableAgree)
{
    XmlDocument table = XmlLoadHostFile(std::string(FLIMBS_SOURCE_DIR) + "/data/art/images.xml");
    XmlDocument spec =
        XmlLoadHostFile(std::string(FLIMBS_SOURCE_DIR) + "/data/game/Graphics/Actions/action-sprite-spec.xml");
    ASSERT_TRUE(table);
    ASSERT_TRUE(spec);
    std::map<std::string, ArtRow> rows;
    std::vector<std::string> tableLabels;
    for (xmlNode* n = XmlChildren(XmlRoot(table.get())); n; n = XmlNext(n)) {
        if (XmlName(n) == "group-labels")
            for (xmlNode* g = XmlChildren(n); g; g = XmlNext(g))
                if (XmlName(g) == "group")
                    tableLabels.push_back(TextAttr(g, "label"));
        if (XmlName(n) != "image")
            continue;
        const int width = IntAttr(n, "width");
        rows[TextAttr(n, "name")] = ArtRow{IntAttr(n, "frameWidth", width), IntAttr(n, "frameHeight"),
                                           IntAttr(n, "frames", 1), IntAttr(n, "hotspotX"), IntAttr(n, "hotspotY"),
                                           TextAttr(n, "look")};
    }
    std::vector<std::string> specLabels;
    for (xmlNode* g = XmlChildren(XmlFindNode(XmlRoot(spec.get()), "group-labels")); g; g = XmlNext(g))
        if (XmlName(g) == "group")
            specLabels.push_back(XmlNodeText(g));
    EXPECT_EQ(tableLabels, specLabels) << "the table draws the groups the sprite table names";
    ASSERT_EQ(specLabels.size(), 8u);

    xmlNode* sheet = XmlFindNode(XmlRoot(spec.get()), "group-animation");
    ASSERT_NE(sheet, nullptr);
    const std::string root = TextAttr(sheet, "rootPath");
    int animations = 0;
    for (xmlNode* type = XmlChildren(sheet); type; type = XmlNext(type)) {
        if (XmlName(type).empty())
            continue;
        EXPECT_NE(Flimb::TypeFromName(XmlName(type)) == kWalk, XmlName(type) != "Walk") << XmlName(type);
        for (xmlNode* a = XmlChildren(type); a; a = XmlNext(a)) {
            if (XmlName(a) != "animation")
                continue;
            const std::string name = root + "\\" + TextAttr(a, "file");
            const auto row = rows.find(name);
            ASSERT_NE(row, rows.end()) << name << " is drawn by no row";
            EXPECT_EQ(row->second.look, "flimb") << name;
            EXPECT_EQ(row->second.frameWidth, IntAttr(sheet, "frameWidth")) << name;
            EXPECT_EQ(row->second.frameHeight, IntAttr(sheet, "frameHeight")) << name;
            EXPECT_EQ(row->second.hotspotX, IntAttr(sheet, "hotspotX")) << name;
            EXPECT_EQ(row->second.hotspotY, IntAttr(sheet, "hotspotY")) << name;
            ++animations;
        }
    }
    EXPECT_EQ(animations, 34);
    const std::string select = TextAttr(XmlFindNode(XmlRoot(spec.get()), "select"), "rootPath") + "\\select-{group-label}.png";
    EXPECT_EQ(rows.count(select), 1u);
    EXPECT_EQ(rows.count("Graphics\\Animations\\Select\\pre-select-{group-label}.png"), 1u);
}

class FlimbFrameLayoutTest : public FlimbFixture {};

TEST_F(FlimbFrameLayoutTest, TheFrameCountsTheHandlersCountOnArePinned)
{
    // (type, frame set) -> frames; every frame 32 x 48 with the feet at (16, 46).
    const std::map<std::pair<int, int>, int> layout = {
        {{kClob, 0}, 16},      {{kMold, 0}, 20},      {{kNova, 0}, 16},      {{kDrill, 0}, 26},
        {{kGulp, 0}, 16},      {{kGulp, 1}, 16},      {{kDoppel, 0}, 8},     {{kPuff, 0}, 8},
        {{kSpin, 0}, 8},       {{kAtomize, 0}, 4},    {{kLop, 0}, 16},       {{kWalk, 0}, 8},
        {{kWalk, 1}, 8},       {{kWalk, 2}, 8},       {{kWalk, 3}, 8},       {{kWalk, 4}, 8},
        {{kSquish, 0}, 4},     {{kDrown, 0}, 4},      {{kFall, 0}, 4},       {{kFall, 1}, 4},
        {{kFall, 2}, 4},       {{kShock, 0}, 4},      {{kShock, 1}, 4},      {{kShock, 2}, 4},
        {{kStun, 0}, 8},       {{kSplat, 0}, 8},      {{kGraviturn, 0}, 8},  {{kSpawn, 0}, 22},
        {{kBurn, 0}, 6},       {{kBurn, 1}, 6},       {{kEntangle, 0}, 8},   {{kEntangle, 3}, 8},
        {{kCopySpawn, 0}, 8},  {{kCopySpawn, 1}, 8},
    };
    for (int group = 0; group < 8; ++group) {
        for (int type = 0; type < kFlimbTypeCount; ++type) {
            for (int set = 0; set < kFrameSetCount; ++set) {
                AnimSurface* image = AnimationSpec::GetGroupAnimation(group, type, set, true);
                const auto wanted = layout.find({type, set});
                if (wanted == layout.end()) {
                    EXPECT_EQ(image, nullptr) << FlimbTypeName(type) << " " << set;
                    continue;
                }
                ASSERT_NE(image, nullptr) << FlimbTypeName(type) << " " << set << " group " << group;
                EXPECT_EQ(image->frameCount, wanted->second) << FlimbTypeName(type) << " " << set;
                EXPECT_EQ(image->frameWidth, 32);
                EXPECT_EQ(image->frameHeight, 48);
                EXPECT_EQ(image->hotspotX, 16);
                EXPECT_EQ(image->hotspotY, 46);
                ImageCache::ReleaseImage(image);
            }
        }
        AnimSurface* select = GetGroupSelectAnimation(group);
        ASSERT_NE(select, nullptr);
        EXPECT_EQ(select->frameCount, 8);
        EXPECT_EQ(select->hotspotX, 16);
    }
    AnimSurface* pre = GetPreSelectImage(3);
    ASSERT_NE(pre, nullptr);
    EXPECT_STREQ(pre->GetName(), "Graphics\\Animations\\Select\\pre-select-grey.png");
    EXPECT_EQ(pre->hotspotX, 14);
    EXPECT_EQ(pre->hotspotY, 8);
}

TEST_F(FlimbFrameLayoutTest, AMissingAnimationFallsBackToAFixedFrameWithOneLogLine)
{
    Flimb flimb{};
    flimb.Init();
    flimb.Setup(10, 10, 1, 0, kNova, 0, kFlimbStartEnergy, 0, 1);
    const std::string before = ReadLog();
    flimb.SetGroupAnimation(3, 0); // Nova has no frame set 3
    flimb.SetGroupAnimation(3, 0);
    EXPECT_EQ(flimb.animation, nullptr);
    const FrameLayout layout = flimb.Layout();
    EXPECT_EQ(layout.count, 1);
    EXPECT_EQ(layout.width, 32);
    EXPECT_EQ(layout.height, 48);
    const gfx::RECT r = flimb.GetCurrentSprite();
    EXPECT_EQ(r.right - r.left, 32);
    const std::string added = ReadLog().substr(before.size());
    size_t lines = 0;
    for (size_t at = added.find("No animation"); at != std::string::npos; at = added.find("No animation", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << added;
    flimb.AdvanceFrame();
    EXPECT_EQ(flimb.frame, 0);
}

TEST_F(FlimbFrameLayoutTest, PairedSheetsSkipTheirInBetweenFramesInTheSimulation)
{
    Flimb flimb{};
    flimb.Init();
    flimb.Setup(10, 10, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    flimb.SetType(kDrill, true);
    EXPECT_EQ(flimb.frame, 22);
    std::vector<int> frames;
    for (int i = 0; i < 4; ++i) {
        flimb.AdvanceFrame();
        frames.push_back(flimb.frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{24, 0, 2, 4}));
    flimb.SetType(kWalk, true);
    frames.clear();
    for (int i = 0; i < 9; ++i) {
        flimb.AdvanceFrame();
        frames.push_back(flimb.frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
}

} // namespace
