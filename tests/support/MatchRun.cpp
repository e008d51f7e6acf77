#include "tests/support/MatchRun.h"

#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "game/GameController.h"
#include "session/ClientCommandState.h"
#include "session/SessionGame.h"
#include "world/Flimb.h"
#include "world/WorldState.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

StateHashes ParseStateHashes(const std::string& text)
{
    StateHashes hashes;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const size_t at = line.find("STATE HASH ");
        if (at == std::string::npos)
            continue;
        std::istringstream fields(line.substr(at + 11));
        uint32_t update = 0;
        std::string hash;
        if (fields >> update >> hash)
            hashes[update] = hash;
    }
    return hashes;
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool LoopUntil(const std::function<bool()>& done, const std::function<void()>& frame, int limitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        frame();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
}

bool MessageLogHas(const std::string& text)
{
    for (const auto& entry : Controller().messages.Entries())
        if (entry.text == text)
            return true;
    return false;
}

std::vector<int16_t> LiveFlimbIds(int group)
{
    std::vector<int16_t> ids;
    for (const Flimb& flimb : World())
        if (flimb.IsAlive() && (group < 0 || flimb.group == group))
            ids.push_back(flimb.id);
    return ids;
}

MatchScope::MatchScope(const std::string& level)
{
    MemoryFileManager* memory = nullptr;
    files = InstallLevelFiles(&memory);
    AddShippedLevel(*memory, level);
    SetSessionGame(nullptr);
    ResetCommandState();
}

MatchScope::~MatchScope()
{
    ResetCommandState();
    ReleaseLevelFiles();
}

HashComparison CompareStateHashes(const StateHashes& a, const StateHashes& b)
{
    HashComparison result;
    for (const auto& [update, hash] : a) {
        const auto found = b.find(update);
        if (found == b.end())
            continue;
        ++result.common;
        if (found->second != hash && result.firstDifference == 0)
            result.firstDifference = update;
    }
    return result;
}
