#pragma once
// A stand-in level for the game session's tests until the level reader is part of the
// game: "arena.flevel" is a walled landscape with a floor and twelve flimbs of two groups
// that walk (turning at walls and now and then at random) and, given the Clob type, dig
// down through the floor. Its load seeds the simulation generator, so two processes that
// load it and execute the same commands stay in step.
#include "session/SessionGame.h"

class MemoryFileManager;

class ArenaGame : public SessionGameState {
public:
    static constexpr const char* kName = "arena.flevel";
    static constexpr uint32_t kCrc = 0xA2E4A001u;

    ArenaGame();
    ~ArenaGame() override;

    bool ResolveLevel(const std::string& name, SessionLevelInfo& info) override;
    int LoadLevelForGameData(const std::string& name, uint32_t crc) override;

    // The level's file, so that a server can open it.
    static void AddLevelFile(MemoryFileManager& files);

    // Set: one pixel of the floor differs after every load (a client whose level is not
    // the server's).
    bool perturb = false;
};
