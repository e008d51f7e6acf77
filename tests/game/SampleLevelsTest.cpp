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

// A level whose flimbs walk off a ledge into a pit, with the bottom boundary given.
std::string PitLevel(int bottom)
{
    LevelParts parts;
    parts.globals = "<title>Pit</title><width>1024</width><height>768</height><singleplayer>1</singleplayer>"
                    "<gamemode>CorralTheFlimb</gamemode><boundary_top>2</boundary_top>"
                    "<boundary_left>1</boundary_left><boundary_right>1</boundary_right><boundary_bottom>" +
                    std::to_string(bottom) + "</boundary_bottom>";
    parts.groups = "<group id=\"0\" group_gravity=\"0\" available_group=\"1\" default_group=\"1\"/>";
    parts.traps = "<trap><objectID>100</objectID><type>Start</type><x>100.0000</x><y>690.0000</y><zorder>0</zorder>"
                  "<flimborder>1</flimborder><alpha>255</alpha><visible>1</visible><trap_rotation>0.0000</trap_rotation>"
                  "<enabled>1</enabled><audible>1</audible><activated>1</activated><alive>1</alive><groupID>0</groupID>"
                  "<releaserate>500</releaserate><flimbCount>2</flimbCount><scale>1.0000</scale><facing>1</facing>"
                  "<apply_protection>0</apply_protection><spawn_energy>13023</spawn_energy>"
                  "<spawn_energy_delta>0</spawn_energy_delta><ai>0</ai><map_order>0</map_order></trap>"
                  "<trap><objectID>101</objectID><type>Exit</type><x>900.0000</x><y>100.0000</y><groupID>0</groupID>"
                  "<enabled>1</enabled><activated>0</activated><alive>1</alive><default_on>1</default_on>"
                  "<min_flimbs>1</min_flimbs><max_flimbs>9999</max_flimbs><map_order>1</map_order></trap>";
    // Ground under the start only: the rest of the level is a pit down to its bottom edge.
    parts.primitives = "<prim><objectID>200</objectID><posX>128.0000</posX><posY>736.0000</posY>"
                       "<filename>Graphics\\Terrain\\ground.png</filename><bash_on_load>1</bash_on_load>"
                       "<map_order>0</map_order></prim>";
    return parts.Text();
}

class LevelBoundaryRun : public LevelFixture {};

// Flimbs fall into the pit: through an open bottom they leave the world and the level ends in
// its loss; a closed bottom keeps them. Each run prints the same in a second process.
TEST_F(LevelBoundaryRun, AnOpenBottomLosesTheFallenFlimbsAClosedOneKeepsThem)
{
    const std::string home = (std::filesystem::temp_directory_path() /
                              ("levelrun-pit-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                               "-" + std::to_string(std::rand())))
                                 .string();
    std::filesystem::create_directories(home + "/Level");
    const auto run = [&](const char* level) {
        const std::string command = "FLIMBS_HOME='" + home + "' '" + std::string(FLIMBS_GAME_DIR) +
                                    "/Bin/levelrun' 'Level\\" + level + ".flevel' --updates 3000";
        std::string output;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[512];
            while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
                output.append(buffer, got);
            EXPECT_EQ(pclose(pipe), 0);
        }
        return output;
    };
    for (const auto& [level, bottom] : {std::pair{"s_dm_pit_open", 0}, std::pair{"s_dm_pit_closed", 1}}) {
        std::ofstream(home + "/Level/" + level + ".flevel") << Hashed(PitLevel(bottom));
    }
    const std::string open = run("s_dm_pit_open");
    EXPECT_NE(open.find("  loaded: yes\n"), std::string::npos) << open;
    EXPECT_NE(open.find("saved=0 result=loss"), std::string::npos) << open;
    EXPECT_EQ(open.find("after 1 updates"), std::string::npos) << "the flimbs come out first\n" << open;
    EXPECT_EQ(run("s_dm_pit_open"), open);
    const std::string closed = run("s_dm_pit_closed");
    EXPECT_NE(closed.find("after 3000 updates: saved=0 result=none"), std::string::npos) << closed;
    EXPECT_EQ(run("s_dm_pit_closed"), closed);
    std::filesystem::remove_all(home);
}

} // namespace
