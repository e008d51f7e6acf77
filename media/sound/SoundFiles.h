#pragma once
// Where the sound manager reads its files from. Every sound file (effects, the effect table,
// music) is read through this one function, so that it can later read through the game's
// file manager instead of the plain folders.

#include <cstdint>
#include <string_view>
#include <vector>

namespace sound {

// Reads a file by its game path ("Sounds\Music\intro.ogg"). Names are matched ignoring
// ASCII case against what is on disk. A path that leaves its root ("..", absolute, drive
// letter) is refused with a log line. False when the file cannot be read.
bool ReadSoundFile(std::string_view gamePath, std::vector<uint8_t>& bytes);

} // namespace sound
