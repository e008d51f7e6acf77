// The headless tools as their users call them: playbackrun on a recording whose level does
// not exist, on a recording cut inside a record (given by a relative path), and -h.
#include "session/NetCommand.h"
#include "session/NetInfoFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    std::string output; // standard output and error
    int exitCode = -1;
};

// A playback file stored raw (the reader takes it as it takes a gzip one): the header, the
// records, then any bytes more.
void WriteRawPlayback(const fs::path& path, const std::vector<std::vector<uint8_t>>& records,
                      const std::vector<uint8_t>& more = {})
{
    std::vector<uint8_t> bytes;
    for (uint32_t word : {kPlaybackMagic, kPlaybackVersionWord, 0u})
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(uint8_t(word >> shift));
    for (const auto& record : records)
        bytes.insert(bytes.end(), record.begin(), record.end());
    bytes.insert(bytes.end(), more.begin(), more.end());
    FILE* file = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    EXPECT_EQ(std::fclose(file), 0);
}

std::vector<uint8_t> RecordBytesOf(const NetRecord& record)
{
    return {record.data(), record.data() + record.size()};
}

class PlaybackRunTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        work = fs::temp_directory_path() / ("playbackrun-" + std::string(info->name()) + "-" +
                                            std::to_string(::getpid()));
        fs::remove_all(work);
        fs::create_directories(work / "home");
    }
    void TearDown() override { fs::remove_all(work); }

    // Runs a tool of the build's Bin folder from the work folder with a user folder of its own.
    ToolRun Run(const std::string& tool, const std::string& arguments) const
    {
        const std::string command = "cd '" + work.string() + "' && FLIMBS_HOME='" + (work / "home").string() +
                                    "' '" + std::string(FLIMBS_GAME_DIR) + "/Bin/" + tool + "' " + arguments +
                                    " 2>&1";
        ToolRun run;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[512];
            while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
                run.output.append(buffer, got);
            const int status = pclose(pipe);
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return run;
    }

    fs::path work;
};

TEST_F(PlaybackRunTool, ARecordingOfAMissingLevelFailsNamingTheLevel)
{
    WriteRawPlayback(work / "nowhere.flimbs", {RecordBytesOf(MakeGameData("s_dm_nowhere_at_all", 1234, 0)),
                                               RecordBytesOf(MakeStartGame({1})), RecordBytesOf(MakeUpdateFlimbs()),
                                               RecordBytesOf(MakeUpdateFlimbs())});

    const ToolRun run = Run("playbackrun", "nowhere.flimbs");
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("s_dm_nowhere_at_all"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("cannot be loaded"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("result "), std::string::npos) << "no result line: " << run.output;
}

TEST_F(PlaybackRunTool, ACutRecordingPlaysToTheCutAndSaysWhere)
{
    // The stored solution's first records, then half of the next one.
    NetInfoFileReader reader;
    ASSERT_TRUE(reader.Open(std::string(FLIMBS_GAME_DIR) + "/Level/Solutions/s_dm_sunset_ridge.flimbs"));
    std::vector<std::vector<uint8_t>> records;
    while (const uint8_t* record = reader.ReadRecord())
        records.emplace_back(record, record + RecordLength(record));
    ASSERT_GT(records.size(), 400u);
    const size_t kept = records.size() / 2;
    const std::vector<std::vector<uint8_t>> whole(records.begin(), records.begin() + std::ptrdiff_t(kept));
    uint64_t cutAt = kPlaybackHeaderSize;
    for (const auto& record : whole)
        cutAt += record.size();
    std::vector<uint8_t> cut(records[kept].begin(), records[kept].begin() + 4);
    cut[2] = 32; // the record claims 32 bytes; 4 follow
    cut[3] = 0;
    WriteRawPlayback(work / "cut.flimbs", whole, cut);

    const ToolRun run = Run("playbackrun", "cut.flimbs");
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("level s_dm_sunset_ridge"), std::string::npos) << "it played: " << run.output;
    EXPECT_NE(run.output.find("ends inside a record at byte " + std::to_string(cutAt)), std::string::npos)
        << run.output;
}

TEST_F(PlaybackRunTool, DashHPrintsTheUsageOfEveryHeadlessTool)
{
    for (const char* tool : {"playbackrun", "levelrun", "solutionrec", "replaycheck", "trapcheck", "viewrun"}) {
        SCOPED_TRACE(tool);
        const ToolRun run = Run(tool, "-h");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output.rfind(std::string("usage: ") + tool, 0), 0u) << run.output;
    }
}

} // namespace
