#pragma once
// A current game mode (Corral's rules) that records the missile notifications it gets
// (GameMode::OnBlast): who threw, where, and the particle kind. Kept out of line so that a
// test can use it without the modes' headers.
#include <cstdint>
#include <vector>

struct RecordedBlast {
    int32_t owner;
    float x, y;
    int kind;
};

// Makes the recorder the current game mode; it appends to `blasts` until the mode goes
// (ClearCurrentGameMode).
void InstallBlastRecorder(std::vector<RecordedBlast>& blasts);
