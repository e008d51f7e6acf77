#pragma once
// The health bars over flimbs in the modes that count energy: a group-coloured frame and
// two fills (blocks and bar) split into a full and an empty part by the flimb's energy
// against the world's health scale. Images from "Graphics\HUD\InGame\HealthBar"; a missing
// one draws nothing.
#include <array>

class AnimSurface;
struct Flimb;

struct HealthBarSet {
    // 0-7 the groups' frames, 8 bar full, 9 bar empty, 10 blocks full, 11 blocks empty, and a
    // cleared slot.
    std::array<AnimSurface*, 12> images{};
    bool loaded = false;
};

struct HealthBar {
    const Flimb* flimb = nullptr;
};

void LoadHealthBarImages(HealthBarSet& set);
void ReleaseHealthBarImages(HealthBarSet& set);
// Nothing without a flimb or while the world's health scale is 0.
void DrawHealthBar(const HealthBarSet& set, const HealthBar& bar);

// The set the overlay pass uses, made on first use.
HealthBarSet& OverlayHealthBars();
