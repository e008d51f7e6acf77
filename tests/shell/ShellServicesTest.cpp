// What start-up loads from the neighbouring subsystems: each spec file's failure text, the
// bonus item table, and the placement of the main window.
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/HostPath.h"
#include "app/MemoryFileManager.h"
#include "app/UserFolders.h"
#include "app/WindowPlacement.h"
#include "frontend/FrontEndServices.h"
#include "gui/WindowList.h"
#include "game/GameServices.h"
#include "modes/BonusItems.h"
#include "modes/ModeServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

class SpecFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager_ = std::make_unique<FileManager>();
        auto memory = std::make_unique<MemoryFileManager>();
        memory_ = memory.get();
        manager_->AddMember(std::move(memory));
        fileManager = manager_.get();
    }
    void TearDown() override { fileManager = nullptr; }

    void Add(const std::string& name, const std::string& text) { memory_->AddFile(name, text.data(), text.size()); }

    std::string FailureOf(const std::function<void()>& load)
    {
        try {
            load();
        } catch (const GameException& error) {
            return error.Message();
        }
        return "";
    }

    std::unique_ptr<FileManager> manager_;
    MemoryFileManager* memory_ = nullptr;
};

} // namespace

TEST_F(SpecFiles, EachMissingFileFailsWithItsOwnText)
{
    EXPECT_EQ(FailureOf(LoadProfileResources), "Cannot load the animation-spec.xml file!");
    Add("Graphics\\Animations\\animation-spec.xml", "<animation-spec/>");
    EXPECT_EQ(FailureOf(LoadProfileResources), "Cannot load the level defaults file!");
    Add("Level\\level_defaults.xml", "<level-defaults/>");
    EXPECT_EQ(FailureOf(LoadProfileResources), "");

    EXPECT_EQ(FailureOf(AnimationSpec::Load), "Cannot load the action-sprite-spec.xml file!");
    Add("Graphics\\Actions\\action-sprite-spec.xml",
        "<s><group-labels><group id='1'>green</group><group>blue</group></group-labels></s>");
    EXPECT_EQ(FailureOf(AnimationSpec::Load), "Cannot load the decorations-spec.xml file!");
    Add("Graphics\\Animations\\Decorations\\decorations-spec.xml", "<d/>");
    EXPECT_EQ(FailureOf(AnimationSpec::Load), "");
    EXPECT_EQ(AnimationSpec::GroupLabel(0), "blue");
    EXPECT_EQ(AnimationSpec::GroupLabel(1), "green");

    Add("Graphics\\Traps\\trap-spec.xml", "<broken");
    EXPECT_EQ(FailureOf(LoadTrapSpecs), "Cannot load the trap-spec.xml file!");

    EXPECT_EQ(FailureOf(LoadBonusItems), "Invalid bonus item file");
    FreeProfileResources();
    AnimationSpec::Release();
}

TEST_F(SpecFiles, BonusItemsOfTheStartUpFile)
{
    const std::string item = "<item type='Stamp' id='s' min_points='100'><description>d</description>"
                             "<award_msg>m</award_msg><filepath>Graphics\\s.png</filepath></item>";
    Add("Data\\bonus_items.xml", "<items>" + item + "</items>");
    ASSERT_EQ(FailureOf(LoadBonusItems), "");
    ASSERT_EQ(BonusItemList::Items().size(), 1u);
    EXPECT_EQ(BonusItemList::Items()[0].type, BonusItemInfo::kStamp);
    EXPECT_EQ(BonusItemList::Items()[0].minPoints, 100);
    EXPECT_EQ(BonusItemList::Items()[0].order, 10);
    EXPECT_EQ(BonusItemList::Items()[0].filePath, "Graphics\\s.png");

    // Child texts are elements, not attributes: the tag reader's message stops start-up.
    Add("Data\\bonus_items.xml", "<items><item type='Stamp' min_qdots='2' description='d' award_msg='m'"
                                  " filepath='f'/></items>");
    EXPECT_EQ(FailureOf(LoadBonusItems), "The requested tag [description] was not found in level and in defaults\n");
    EXPECT_EQ(BonusItemList::Items().size(), 1u) << "a bad file leaves the loaded list alone";
    BonusItemList::Clear();
}

TEST(ShellPaths, CaseVariantsAreAllTried)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::path(GetUserRoot()) / "game";
    fs::create_directories(root / "data");
    fs::create_directories(root / "Data");
    std::ofstream(root / "Data" / "items.xml") << "<x/>";
    EXPECT_EQ(ResolveHostPathNoCase(root.string(), "data\\ITEMS.xml"), (root / "Data" / "items.xml").string());
    EXPECT_EQ(ResolveHostPathNoCase(root.string(), "data\\none.xml"), "");
}

TEST(ShellPaths, WindowFitsAndCentresOnTheDesktop)
{
    EXPECT_EQ(FitOnDesktop({10, 20, 810, 620}, false, 1920, 1080).left, 10);
    const WindowRect centred = FitOnDesktop({5, 5, 805, 605}, true, 1920, 1080);
    EXPECT_EQ(centred.left, 560);
    EXPECT_EQ(centred.top, 240);
    const WindowRect big = FitOnDesktop({1500, 900, 4000, 3000}, false, 1280, 720);
    EXPECT_EQ(big.left, 0);
    EXPECT_EQ(big.top, 0);
    EXPECT_EQ(big.right, 1280);
    EXPECT_EQ(big.bottom, 720);
}

// The resolution a stored size gives on a desktop: taken when the desktop can show it,
// else the desktop's own size (1024 x 768 with nothing shown), with the reason.
TEST(ShellPaths, StoredResolutionFitsTheDesktopOrFallsBack)
{
    struct Case {
        DisplayMode wanted, desktop, expected;
        const char* refused;
    };
    const Case cases[] = {
        {{1280, 720}, {1920, 1080}, {1280, 720}, ""},
        {{1280, 720}, {1280, 720}, {1280, 720}, ""},
        {{1920, 1080}, {1280, 720}, {1280, 720}, "1920x1080 is larger than the desktop"},
        {{1280, 1080}, {1280, 720}, {1280, 720}, "1280x1080 is larger than the desktop"},
        {{600, 400}, {1920, 1080}, {1920, 1080}, "600x400 is smaller than 640x480"},
        {{1000, 1050}, {1920, 1080}, {1920, 1080}, "1000x1050 is of an aspect that is not shown"},
        {{1800, 700}, {1920, 1080}, {1920, 1080}, "1800x700 is of an aspect that is not shown"},
        {{0, 0}, {1920, 1080}, {1920, 1080}, ""},
        {{0, 0}, {0, 0}, {1024, 768}, ""},
        {{3840, 2160}, {0, 0}, {3840, 2160}, ""},
    };
    for (const Case& c : cases) {
        std::string refused = "stale";
        const DisplayMode got = FitResolution(c.wanted, c.desktop, &refused);
        EXPECT_EQ(got.width, c.expected.width) << c.wanted.width << "x" << c.wanted.height;
        EXPECT_EQ(got.height, c.expected.height) << c.wanted.width << "x" << c.wanted.height;
        EXPECT_EQ(refused, c.refused);
    }
}

TEST(ShellScreens, FrontEndOpensTheMenuBackdropOnce)
{
    ShowFrontEnd();
    ShowFrontEnd();
    ASSERT_EQ(OpenWindows().size(), 1u);
    Primitive* screen = FindOpenWindow("FlimbsMenuTemplate");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(OpenWindows().front(), screen);
    EXPECT_NE(FindOpenWindow("PromptForNewUser"), nullptr) << "the default profile asks for a name";
    CloseAllWindows();
    EXPECT_TRUE(OpenWindows().empty());
}
