#include "app/HostPath.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The entry of `folder` named `part`, exact first, else the first (in name order) equal
// ignoring case. Empty when none.
std::string MatchComponent(const fs::path& folder, const std::string& part)
{
    std::error_code error;
    if (fs::exists(folder / part, error))
        return part;
    std::string best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EqualsNoCase(name, part) && (best.empty() || name < best))
            best = name;
    }
    return best;
}

} // namespace

std::string ResolveHostPathNoCase(const std::string& hostRoot, std::string_view gameRelative)
{
    if (!gameRelative.empty() && !IsConfinedRelativePath(gameRelative))
        return {};
    fs::path path(hostRoot);
    for (const std::string& part : SplitString(gameRelative, "\\/")) {
        if (part == ".")
            continue;
        const std::string match = MatchComponent(path, part);
        if (match.empty())
            return {};
        path /= match;
    }
    return path.string();
}

std::string HostPathForWrite(std::string_view gamePath)
{
    if (!IsConfinedRelativePath(gamePath)) {
        WriteLog("ERROR: refused file name outside the game folders [%.*s]\n",
                 static_cast<int>(gamePath.size()), gamePath.data());
        return {};
    }
    const std::string root = IsUserFolderPath(gamePath) ? GetUserRoot() : GetProgramFolder();
    fs::path path(root);
    const std::vector<std::string> parts = SplitString(gamePath, "\\/");
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i] == ".")
            continue;
        const bool last = i + 1 == parts.size();
        std::string match = MatchComponent(path, parts[i]);
        if (match.empty() || (last && match != parts[i] && !fs::is_regular_file(path / match)))
            match = parts[i];
        path /= match;
    }
    return path.string();
}
