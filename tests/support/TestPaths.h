#pragma once
// Where the tests find the source tree and the game folder. Every test file sees these
// through the compiler's forced include, so the folders' names stay out of the compile
// commands and a compiler cache serves any clone.
namespace flimbs_test {
const char* SourceDir();
const char* GameDir();
} // namespace flimbs_test

#define FLIMBS_SOURCE_DIR (::flimbs_test::SourceDir())
#define FLIMBS_GAME_DIR (::flimbs_test::GameDir())
