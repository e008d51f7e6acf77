// playbackrun: replays playback files headless to their end through the game session and
// prints one result line each (level, result, flimbs saved and required, updates, final state
// hash, updates per second).
//
//   playbackrun [--hashes N] [--draw K] [--screen WxH] [--detail 0|1] FILE...
//   playbackrun --solutions LIST
//
// --hashes prints "update <u> hash <h>" every N updates, so that runs with different local
// settings can be compared line by line. --draw opens the in-game HUD over the level and draws
// a whole game frame after every K-th update, at the --screen size (1280x720 by default);
// --detail sets the local detail options (particle effects, sky, backgrounds: 1 all on, 0 all
// off). None of them may change a hash.
// --solutions replays the stored solutions of a list whose lines read
// "<playback> <updates> <state hash>" (the playback's game path, the blank lines and lines
// beginning with '#' skipped) and checks that each wins with its recorded updates and hash.
// A FILE that exists here (a relative path from the current folder, or an absolute one) is
// read from there; any other is a game path ("Level\Solutions\<level>.flimbs").
// A file whose level cannot be loaded fails with the level named; a file cut inside a record
// plays up to the cut and its line says where the cut is.
// The exit code is 0 when every file played whole (and every solution held), else 1; 2 for
// usage. -h prints the usage.
#include "tools/headless/HeadlessSession.h"
#include "tools/headless/HelpOption.h"

#include "app/ConsoleParam.h"
#include "hud/HudServices.h"
#include "session/PlaybackRunner.h"
#include "world/StateHash.h"
#include "world/ViewServices.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Options {
    uint32_t hashEvery = 0;
    uint32_t drawEvery = 0;
    int width = 1280, height = 720;
    int detail = 1;
    std::string solutions;
    std::vector<std::string> files; // as given
};

constexpr const char* kUsage = "usage: playbackrun [--hashes N] [--draw K] [--screen WxH] [--detail 0|1] FILE...\n"
                               "       playbackrun --solutions LIST\n";

// A file of this machine by its absolute path (taken before the session moves to the game's
// folder); anything else stays a game path.
std::string ReadablePath(const std::string& given)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(given, error))
        return given;
    const std::filesystem::path absolute = std::filesystem::absolute(given, error);
    return error ? given : absolute.string();
}

bool ParseScreen(const char* text, int& width, int& height)
{
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width >= 320 && height >= 200 && width <= 4096 &&
           height <= 4096;
}

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--hashes") && hasValue)
            options.hashEvery = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--draw") && hasValue)
            options.drawEvery = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--screen") && hasValue) {
            if (!ParseScreen(argv[++i], options.width, options.height))
                return false;
        } else if (!std::strcmp(argv[i], "--detail") && hasValue)
            options.detail = std::atoi(argv[++i]) != 0 ? 1 : 0;
        else if (!std::strcmp(argv[i], "--solutions") && hasValue)
            options.solutions = argv[++i];
        else if (argv[i][0] != '-')
            options.files.push_back(argv[i]);
        else
            return false;
    }
    return !options.files.empty() || !options.solutions.empty();
}

void SetDetail(int detail)
{
    for (const char* name : {"enableparticles", "loadthesky", "showsky", "showback"})
        if (ConsoleParam* param = ConsoleParam::Find(name))
            param->SetInt(detail);
}

PlaybackRunResult Run(HeadlessSession& session, const std::string& given, const Options& options)
{
    const std::string path = ReadablePath(given);
    PlaybackRunOptions run;
    run.afterUpdate = [&](uint32_t update) {
        if (options.hashEvery && update % options.hashEvery == 0)
            std::printf("update %u hash %s\n", update, StateHashText(WorldStateHash()).c_str());
        if (options.drawEvery && update % options.drawEvery == 0) {
            if (update == options.drawEvery) {
                OpenHudForLevel();
                ZoomGameViewToFit(0); // the whole level in sight
            }
            session.Frame(true);
        }
    };
    PlaybackRunResult result = RunPlaybackFile(path, run);
    CloseHudForLevel();
    std::printf("%s\n", PlaybackResultLine(given, result).c_str());
    std::fflush(stdout);
    return result;
}

struct Solution {
    std::string path;
    uint32_t updates = 0;
    std::string hash;
};

bool ReadSolutions(const std::string& list, std::vector<Solution>& solutions)
{
    std::ifstream in(list);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Solution solution;
        if (!(fields >> solution.path >> solution.updates >> solution.hash))
            return false;
        solutions.push_back(solution);
    }
    return true;
}

int CheckSolutions(HeadlessSession& session, const Options& options)
{
    std::vector<Solution> solutions;
    if (!ReadSolutions(options.solutions, solutions) || solutions.empty()) {
        std::fprintf(stderr, "playbackrun: cannot read the solution list %s\n", options.solutions.c_str());
        return 1;
    }
    int failures = 0;
    for (const Solution& solution : solutions) {
        const PlaybackRunResult result = Run(session, solution.path, options);
        const std::string hash = StateHashText(result.stateHash);
        const bool held = result.ok && std::string(PlaybackOutcome(result)) == "win" &&
                          result.updates == solution.updates && hash == solution.hash;
        if (!held) {
            std::printf("SOLUTION BROKEN %s: expected a win after %u updates with state hash %s\n",
                        solution.path.c_str(), solution.updates, solution.hash.c_str());
            ++failures;
        }
    }
    std::printf("%zu solutions, %d broken\n", solutions.size(), failures);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (AsksForHelp(argc, argv))
        return PrintHelp(kUsage);
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        HeadlessSession session(options.width, options.height);
        SetDetail(options.detail);
        if (!options.solutions.empty())
            return CheckSolutions(session, options);
        int failures = 0;
        for (const std::string& file : options.files) {
            const PlaybackRunResult result = Run(session, file, options);
            failures += result.ok && !result.cutAt ? 0 : 1;
        }
        return failures ? 1 : 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "playbackrun: %s\n", error.what());
        return 1;
    }
}
