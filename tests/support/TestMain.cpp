// Test entry: every test process runs headless in a user folder of its own, its floors
// joined as the game's start-up joins them.
#include "frontend/GameStartup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class FreshHomeEnvironment : public ::testing::Environment {
public:
    // Runs before anything else in main, so that no service sees the caller's folders.
    void Prepare()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "flimbs-test-XXXXXX").string();
        if (char* made = mkdtemp(pattern.data()))
            home_ = made;
        setenv("FLIMBS_HOME", home_.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("ALSOFT_DRIVERS", "null", 1);
    }
    void TearDown() override
    {
        if (!home_.empty() && !std::getenv("FLIMBS_KEEP_TEST_HOME")) {
            std::error_code ignored;
            std::filesystem::remove_all(home_, ignored);
        }
    }

private:
    std::string home_;
};

} // namespace

int main(int argc, char** argv)
{
    auto* environment = new FreshHomeEnvironment;
    environment->Prepare();
    InstallFloorHooks();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(environment);
    return RUN_ALL_TESTS();
}
