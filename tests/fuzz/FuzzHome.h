#pragma once
// Points the user folder (and so the log) at a private temporary folder unless the caller
// chose one.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline void UseTemporaryHome()
{
    if (const char* home = std::getenv("FLIMBS_HOME"); home && *home)
        return;
    std::string pattern = (std::filesystem::temp_directory_path() / "flimbs-fuzz-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data()))
        setenv("FLIMBS_HOME", made, 1);
}
