// The Multiverse sample level against the FlimbMaster, on each difficulty, played headless
// through the game session in two processes at once: both end with a result and the same
// figures and state hash, and the FlimbMaster saves more flimbs the harder it is.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class MultiverseFlimbMaster : public ::testing::Test {
protected:
    void SetUp() override
    {
        work = fs::temp_directory_path() / ("flimbmaster-" + std::to_string(::getpid()));
        fs::remove_all(work);
        fs::create_directories(work);
        // The player gives no orders: orders given live land at updates the machine's pace
        // decides, the FlimbMaster's recorded ones at the updates they were recorded at.
        std::FILE* script = std::fopen((work / "idle.txt").string().c_str(), "w");
        ASSERT_NE(script, nullptr);
        std::fputs("# the player watches\n", script);
        std::fclose(script);
    }
    void TearDown() override { fs::remove_all(work); }

    // solutionrec plays the level at the difficulty, the player giving no orders; the game's
    // pace leaves time to spare, so that the server stamps each request at the update the
    // client asked it at.
    FILE* Start(int skill, const std::string& run) const
    {
        const fs::path home = work / run;
        fs::create_directories(home);
        const std::string command =
            "FLIMBS_HOME='" + home.string() + "' '" + std::string(FLIMBS_GAME_DIR) +
            "/Bin/solutionrec' s_ar_twin_ridges '" + (work / "idle.txt").string() + "' '" +
            (home / "match.flimbs").string() + "' --skill " + std::to_string(skill) + " --lag 40 --limit 240 2>&1";
        return popen(command.c_str(), "r");
    }
    static std::string Finish(FILE* pipe, int& exitCode)
    {
        std::string output;
        char buffer[512];
        while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, got);
        const int status = pclose(pipe);
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return output;
    }
    // The lines that must agree between the processes.
    static std::string Outcome(const std::string& output)
    {
        std::smatch live, saved;
        const bool found =
            std::regex_search(output, live, std::regex("live: the game is over after [0-9]+ updates, match result "
                                                       "[0-9]+, state hash [0-9a-f]+")) &&
            std::regex_search(output, saved, std::regex("saved by group:[ 0-9:]+"));
        return found ? live.str() + "\n" + saved.str() : std::string();
    }
    static int SavedBy(const std::string& outcome, int group)
    {
        std::smatch match;
        const std::regex pattern(" " + std::to_string(group) + ":([0-9]+)");
        return std::regex_search(outcome, match, pattern) ? std::stoi(match[1]) : -1;
    }

    fs::path work;
};

TEST_F(MultiverseFlimbMaster, EveryDifficultyPlaysToAResultAlikeInTwoProcesses)
{
    std::string outcomes[3];
    for (int skill = 0; skill < 3; ++skill) {
        SCOPED_TRACE(skill);
        FILE* first = Start(skill, "a" + std::to_string(skill));
        FILE* second = Start(skill, "b" + std::to_string(skill));
        ASSERT_TRUE(first && second);
        int firstExit = -1, secondExit = -1;
        const std::string a = Finish(first, firstExit);
        const std::string b = Finish(second, secondExit);
        EXPECT_EQ(firstExit, 0) << a;
        EXPECT_EQ(secondExit, 0) << b;
        const std::string outcome = Outcome(a);
        ASSERT_FALSE(outcome.empty()) << a;
        EXPECT_EQ(outcome, Outcome(b)) << "the two processes differ:\n" << a << "\n---\n" << b;
        EXPECT_EQ(a.find("has no recording"), std::string::npos) << a;
        EXPECT_NE(a.find("match result "), std::string::npos);
        EXPECT_GT(SavedBy(outcome, 1), 0) << "the FlimbMaster's flimbs reach its exit: " << outcome;
        outcomes[skill] = outcome;
    }
    EXPECT_LT(SavedBy(outcomes[0], 1), SavedBy(outcomes[1], 1)) << "the harder, the better it plays";
    EXPECT_LT(SavedBy(outcomes[1], 1), SavedBy(outcomes[2], 1));
}

} // namespace
