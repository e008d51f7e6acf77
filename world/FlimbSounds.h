#pragma once
// The sound effects of the flimbs, by number (Sounds\sound-effects.xml).
namespace flimbs {

constexpr int kSoundRefused = 80;   // an order refused while falling
constexpr int kSoundYelp = 81;      // attribute 16: counted, or a fall heading for a splat
constexpr int kSoundLeave = 82;     // leaving the world
constexpr int kSoundSplat = 83;
constexpr int kSoundClob = 84;      // Clob and Gulp start
constexpr int kSoundMold = 85;
constexpr int kSoundDrill = 86;
constexpr int kSoundDoppel = 87;    // also a Doppel losing its support
constexpr int kSoundPuff = 88;
constexpr int kSoundSpin = 89;      // also a flight's end
constexpr int kSoundAtomize = 90;
constexpr int kSoundBlocked = 91;   // a digger meets what it cannot dig
constexpr int kSoundBricksLow = 92; // a Mold with 1 to 3 bricks left
constexpr int kSoundMoldTurn = 93;  // a Mold meets a wall or ceiling
constexpr int kSoundNova = 94;
constexpr int kSoundLop = 95;
constexpr int kSoundSquish = 96;
constexpr int kSoundStun = 97;

} // namespace flimbs
