#pragma once
// Random generators.
//
// The simulation generator follows the classic 15-bit runtime rule
// (state = state * 214013 + 2531011; value = (state >> 16) & 0x7FFF), so every peer and
// every replay draws the same numbers. It is drawn only where the game state changes.
// Drawing and other local effects use the separate drawing generator, so that what a
// player sees never shifts the simulation.

#include <cstdint>

class RandomGenerator {
public:
    static constexpr int kMax = 32767;

    explicit RandomGenerator(uint32_t seed = 1) : state_(seed) {}

    void Seed(uint32_t seed) { state_ = seed; }
    int Next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    uint32_t State() const { return state_; }
    void SetState(uint32_t state) { state_ = state; }

private:
    uint32_t state_;
};

// The one simulation generator (the game's srand/rand). Main thread only, unless a thread
// puts a private generator in its place (ScopedSimRandom).
RandomGenerator& SimRandom();

// While one lives, SimRandom() on this thread is the given generator: loads that must not
// touch the simulation (the editor's, previews on any thread) draw from their own.
class ScopedSimRandom {
public:
    explicit ScopedSimRandom(RandomGenerator& generator);
    ~ScopedSimRandom();
    ScopedSimRandom(const ScopedSimRandom&) = delete;
    ScopedSimRandom& operator=(const ScopedSimRandom&) = delete;

private:
    RandomGenerator* previous_;
};
inline int SimRand() { return SimRandom().Next(); }
inline void SimSrand(uint32_t seed) { SimRandom().Seed(seed); }

// The drawing generator: particles' looks, menus, anything not in the game state.
RandomGenerator& DrawRandom();
inline int DrawRand() { return DrawRandom().Next(); }
