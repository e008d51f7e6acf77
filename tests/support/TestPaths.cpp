#include "TestPaths.h"

namespace flimbs_test {

const char* SourceDir() { return FLIMBS_TEST_SOURCE_DIR; }
const char* GameDir() { return FLIMBS_TEST_GAME_DIR; }

} // namespace flimbs_test
