// Cached level previews: made when missing, remade when older than the level on request.
#include "app/UserFolders.h"
#include "game/LevelPreview.h"
#include "media/Surface.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class LevelPreviewTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        AddLevel("Level\\s_dm_view.flevel", LevelParts{}.Text());
        preview = GetUserPath("Cache\\Previews\\s_dm_view.jpg");
        std::filesystem::remove(preview);
    }
    void AgePreview(std::chrono::hours by)
    {
        std::filesystem::last_write_time(preview, std::filesystem::file_time_type::clock::now() - by);
    }
    std::string preview;
};

TEST_F(LevelPreviewTest, AMissingPreviewIsMadeAsAJpeg)
{
    LogCapture log;
    EXPECT_TRUE(RefreshLevelPreview("s_dm_view", false));
    ASSERT_TRUE(std::filesystem::exists(preview));
    EXPECT_TRUE(log.Contains("Created preview for Level\\s_dm_view.flevel in "));
    std::ifstream in(preview, std::ios::binary);
    unsigned char head[3] = {};
    in.read(reinterpret_cast<char*>(head), 3);
    EXPECT_EQ(head[0], 0xFF); // a JPEG start-of-image marker
    EXPECT_EQ(head[1], 0xD8);
}

TEST_F(LevelPreviewTest, ANewerPreviewIsKeptAnOlderOneRemadeOnRequest)
{
    ASSERT_TRUE(RefreshLevelPreview("s_dm_view", false));
    memory->StampTime("Level\\s_dm_view.flevel"); // the level: now
    AgePreview(std::chrono::hours(-1));            // the preview: newer
    LogCapture log;
    EXPECT_TRUE(RefreshLevelPreview("s_dm_view", true));
    EXPECT_FALSE(log.Contains("Created preview"));

    AgePreview(std::chrono::hours(48)); // the preview: older than the level
    EXPECT_TRUE(RefreshLevelPreview("s_dm_view", false));
    EXPECT_FALSE(log.Contains("Created preview")); // without the check an existing one is kept
    EXPECT_TRUE(RefreshLevelPreview("s_dm_view", true));
    EXPECT_TRUE(log.Contains("Created preview"));
}

TEST_F(LevelPreviewTest, AMissingLevelMakesNone)
{
    LogCapture log;
    EXPECT_FALSE(RefreshLevelPreview("s_dm_gone", false));
    EXPECT_TRUE(log.Contains("WARNING: a map file was deleted while the preview was being checked"));
    EXPECT_EQ(CreateLevelPreview("s_dm_gone", false), nullptr);
}

} // namespace
