#pragma once
// What the tests that play a match across processes share: the world with the game's level
// files and fresh session state, the frame loop with a deadline, the "STATE HASH" lines of a
// log, the message log and the live flimbs.
#include "tests/support/LevelFixture.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/TestWorld.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class FileManager;

// The update number and the hash text of every "STATE HASH <update> <hash>" line.
using StateHashes = std::map<uint32_t, std::string>;
StateHashes ParseStateHashes(const std::string& text);
std::string ReadTextFile(const std::string& path);

// Runs `frame` (with a short sleep) until `done`; false when `limitMs` passed first.
bool LoopUntil(const std::function<bool()>& done, const std::function<void()>& frame, int limitMs);

// Whether the game's message log holds the text.
bool MessageLogHas(const std::string& text);

// The ids of the live flimbs (of one group; any group for -1), in the table's order.
std::vector<int16_t> LiveFlimbIds(int group = -1);

// The world, the game's level files with one shipped level, fresh session state, and the
// world state hash logged every 75 updates ("STATE HASH ...").
class MatchScope {
public:
    explicit MatchScope(const std::string& level);
    ~MatchScope();
    MatchScope(const MatchScope&) = delete;
    MatchScope& operator=(const MatchScope&) = delete;

    TestWorld world;
    std::unique_ptr<FileManager> files;
    ScopedConsoleInt hashes{"statehash", 75};
};

// How many entries the two share, and the first update where they differ (0: none).
struct HashComparison {
    size_t common = 0;
    uint32_t firstDifference = 0;
};
HashComparison CompareStateHashes(const StateHashes& a, const StateHashes& b);
