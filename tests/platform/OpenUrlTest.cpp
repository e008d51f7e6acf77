// Opening a web address: xdg-open is started without a shell, so an address full of shell
// characters reaches it as one argument and runs nothing.
#include "platform/desktop/OpenUrl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

TEST(OpenUrl, TheAddressIsOneArgumentOfXdgOpen)
{
    const fs::path folder = fs::temp_directory_path() / ("openurl-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path record = folder / "args.txt";
    const fs::path planted = folder / "planted";
    {
        std::ofstream script(folder / "xdg-open");
        script << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" << record.string() << ".tmp'\nmv '"
               << record.string() << ".tmp' '" << record.string() << "'\n";
    }
    fs::permissions(folder / "xdg-open", fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder.string() + ":" + oldPath).c_str(), 1);

    const std::string url = "https://x.example/a b\"; touch '" + planted.string() + "'; echo \"$(id)&`id`";
    EXPECT_TRUE(platform::OpenUrl(url));
    for (int i = 0; i < 200 && !fs::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    setenv("PATH", oldPath.c_str(), 1);

    std::ifstream in(record);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1|" + url);
    EXPECT_FALSE(fs::exists(planted)) << "nothing of the address ran";
    fs::remove_all(folder);
}
