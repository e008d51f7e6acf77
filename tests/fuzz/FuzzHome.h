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

// Sends the log to /dev/null (targets whose input makes a log line each run).
inline void DiscardLog()
{
    const char* home = std::getenv("FLIMBS_HOME");
    if (!home || !*home)
        return;
    const std::filesystem::path folder = std::filesystem::path(home) / "Cache" / "Log";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::filesystem::remove(folder / "flimbs.log", ignored);
    std::filesystem::create_symlink("/dev/null", folder / "flimbs.log", ignored);
}
