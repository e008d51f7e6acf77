#include "app/UserFolders.h"

#include "app/StringUtil.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::mutex g_programFolderMutex;
std::string g_programFolder;

constexpr const char* kUserFolders[] = {
    "Profiles",          "User\\Avatars",     "User\\AvatarsData", "User\\Assemblies",
    "User\\Sets",        "Cache\\Data",       "Cache\\Settings",   "Cache\\LevelBackups",
    "Cache\\BlurredImages", "Cache\\Log",     "Cache\\Movies",     "Cache\\Previews",
    "Cache\\Screenshots", "Cache\\Thumbnails", "Cache\\Updates",   "Cache\\Avatars",
    "User\\Packages",    "Level",             "Level\\UGC",
};

constexpr const char* kUserKinds[] = {"Profiles", "User", "Cache", "Level", "Ads"};

std::string StripTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string GetUserRoot()
{
    if (const char* home = std::getenv("FLIMBS_HOME"); home && *home)
        return StripTrailingSlash(home);
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data && data[0] == '/')
        return StripTrailingSlash(std::string(data) + "/flimbs");
    const char* home = std::getenv("HOME");
    std::string base = (home && *home) ? home : "/tmp";
    return StripTrailingSlash(base + "/.local/share/flimbs");
}

std::string ProgramFolderFromExecutable()
{
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return fs::current_path(error).string();
    return exe.parent_path().parent_path().string();
}

std::string GetProgramFolder()
{
    std::lock_guard lock(g_programFolderMutex);
    if (g_programFolder.empty())
        g_programFolder = ProgramFolderFromExecutable();
    return g_programFolder;
}

void SetProgramFolder(const std::string& folder)
{
    std::lock_guard lock(g_programFolderMutex);
    g_programFolder = StripTrailingSlash(folder);
}

std::string ToHostSeparators(std::string_view gamePath)
{
    std::string out;
    out.reserve(gamePath.size());
    for (char c : gamePath) {
        const char s = c == '\\' ? '/' : c;
        if (s == '/' && !out.empty() && out.back() == '/')
            continue;
        out.push_back(s);
    }
    return out;
}

bool IsUserFolderPath(std::string_view relative)
{
    const std::string host = ToHostSeparators(relative);
    const size_t slash = host.find('/');
    const std::string_view first = std::string_view(host).substr(0, slash);
    for (const char* kind : kUserKinds)
        if (EqualsNoCase(first, kind))
            return true;
    return false;
}

std::string GetUserPath(std::string_view relative)
{
    std::string host = ToHostSeparators(relative);
    if (!host.empty() && host.front() == '/')
        return host;
    const std::string root = IsUserFolderPath(relative) ? GetUserRoot() : GetProgramFolder();
    if (host.empty())
        return root;
    return root + "/" + host;
}

bool IsConfinedRelativePath(std::string_view gamePath)
{
    if (gamePath.empty())
        return false;
    if (gamePath.front() == '\\' || gamePath.front() == '/')
        return false;
    if (gamePath.size() >= 2 && gamePath[1] == ':')
        return false;
    for (const std::string& part : SplitString(gamePath, "\\/"))
        if (part == "..")
            return false;
    return true;
}

const char* const* UserFolderNames(int& count)
{
    count = static_cast<int>(std::size(kUserFolders));
    return kUserFolders;
}

bool CreateUserFolders()
{
    bool ok = true;
    for (const char* folder : kUserFolders) {
        std::error_code error;
        fs::create_directories(GetUserPath(folder), error);
        if (error)
            ok = false;
    }
    return ok;
}
