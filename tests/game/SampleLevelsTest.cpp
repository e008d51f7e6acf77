// The sample levels the game ships: they load in every mode, levelrun prints the same in
// two processes, and an edited copy without a new hash is refused but still previews.
#include "app/XmlUtil.h"
#include "game/LevelLoader.h"
#include "levelmodel/MapEditor.h"
#include "media/DXManager.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* const kSamples[] = {"s_dm_first_steps", "m_dm_twin_valleys", "f_dm_the_gardener"};

// levelrun's output for the samples, run with a user folder of its own.
std::string RunLevelrun()
{
    const std::string home = (std::filesystem::temp_directory_path() /
                              ("levelrun-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                               std::to_string(std::rand())))
                                 .string();
    std::filesystem::create_directories(home);
    std::string command = "FLIMBS_HOME='" + home + "' '" + std::string(FLIMBS_GAME_DIR) + "/Bin/levelrun'";
    for (const char* sample : kSamples)
        command += std::string(" ") + sample;
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, got);
        EXPECT_EQ(pclose(pipe), 0);
    }
    std::filesystem::remove_all(home);
    return output;
}

class SampleLevelsTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        for (const char* sample : kSamples)
            AddFile(std::string("Level\\") + sample + ".flevel", ReadShippedLevel(sample));
    }
};

TEST_F(SampleLevelsTest, TheSamplesLoadInEveryMode)
{
    for (const char* sample : kSamples) {
        SCOPED_TRACE(sample);
        auto game = LoadFlimbsLevel(sample, kLevelLoadGame);
        ASSERT_TRUE(LoadLevel(*game));
        EXPECT_GE(World().traps.all.size(), 2u);
        EXPECT_EQ(game->missingPrimitives, 0);
        // The ground slabs lie along the bottom of every sample.
        EXPECT_NE(GameLandscape()->HitTestPoint(420, 1000), 0);
        EXPECT_EQ(GameLandscape()->HitTestPoint(420, 100), 0);

        MapEditor editor;
        auto edit = LoadFlimbsLevel(sample, kLevelLoadEditor, &editor);
        ASSERT_TRUE(LoadLevel(*edit));
        EXPECT_GT(editor.ObjectCount(), 5u);

        auto preview = LoadFlimbsLevel(sample, kLevelLoadPreview, nullptr, 256);
        ASSERT_TRUE(LoadLevel(*preview));
        ASSERT_TRUE(preview->previewSurface);
        EXPECT_EQ(preview->previewSurface->Width(), 256u);
        // For looking at: build/sample_preview_<level>.png.
        EXPECT_TRUE(DXManager::SurfaceToFile(DXManager::kFormatPng, nullptr, preview->previewSurface.get(),
                                             std::string(FLIMBS_GAME_DIR) + "/sample_preview_" + sample + ".png", 0));
    }
    // The multiplayer sample is stored gzip-compressed; its hash holds all the same.
    const std::vector<uint8_t> bytes = ReadShippedLevel("m_dm_twin_valleys");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0x1F);
    EXPECT_EQ(bytes[1], 0x8B);
}

TEST_F(SampleLevelsTest, AnEditedSampleIsRefusedButStillPreviews)
{
    XmlDocument doc = XmlLoadFile("Level\\s_dm_first_steps.flevel");
    ASSERT_TRUE(doc);
    XmlAddChildText(XmlGetChild(XmlChildren(XmlRoot(doc.get())), "globals"), "title", "Changed");
    const std::string text = XmlDocumentText(doc.get());
    AddFile("Level\\s_dm_edited.flevel", std::vector<uint8_t>(text.begin(), text.end()));
    LogCapture log;
    MapEditor editor;
    EXPECT_FALSE(LoadFlimbsLevel("s_dm_edited", kLevelLoadGame)->loaded);
    EXPECT_FALSE(LoadFlimbsLevel("s_dm_edited", kLevelLoadEditor, &editor)->loaded);
    EXPECT_TRUE(log.Contains("Error: LoadFlimbsLevel() : Invalid hash on flimbs level file"));
    auto preview = LoadFlimbsLevel("s_dm_edited", kLevelLoadPreview);
    ASSERT_TRUE(preview->loaded);
    EXPECT_TRUE(LoadLevel(*preview));
    EXPECT_EQ(preview->info.title, "Changed");
}

TEST(LevelrunTest, TwoProcessesPrintTheSame)
{
    const std::string first = RunLevelrun();
    const std::string second = RunLevelrun();
    EXPECT_EQ(first, second);
    EXPECT_NE(first.find("level s_dm_first_steps\n  loaded: yes\n  title: First Steps\n"), std::string::npos) << first;
    EXPECT_NE(first.find("  traps: 5 (Exit 1, FlimbMaster 1, Level 2, Start 1)\n"), std::string::npos) << first;
    EXPECT_NE(first.find("  state hash: "), std::string::npos);
}

} // namespace
