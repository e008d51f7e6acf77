#include "app/HostPath.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The entries of `folder` named `part`: the exact name first, then those equal ignoring
// case, in name order.
std::vector<std::string> MatchComponents(const fs::path& folder, const std::string& part)
{
    std::error_code error;
    std::vector<std::string> matches;
    if (fs::exists(folder / part, error))
        matches.push_back(part);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name != part && EqualsNoCase(name, part))
            matches.push_back(name);
    }
    if (matches.size() > 1)
        std::sort(matches.begin() + (matches.front() == part ? 1 : 0), matches.end());
    return matches;
}

std::string MatchComponent(const fs::path& folder, const std::string& part)
{
    const std::vector<std::string> matches = MatchComponents(folder, part);
    return matches.empty() ? std::string() : matches.front();
}

// Walks the parts below `path`; where several entries differ only in case, each is tried in
// turn so that "data\x" finds "Data/x" beside an unrelated "data" folder.
std::string ResolveParts(const fs::path& path, const std::vector<std::string>& parts, size_t index)
{
    while (index < parts.size() && parts[index] == ".")
        ++index;
    if (index == parts.size())
        return path.string();
    for (const std::string& match : MatchComponents(path, parts[index])) {
        std::string found = ResolveParts(path / match, parts, index + 1);
        if (!found.empty())
            return found;
    }
    return {};
}

} // namespace

std::string ResolveHostPathNoCase(const std::string& hostRoot, std::string_view gameRelative)
{
    if (!gameRelative.empty() && !IsConfinedRelativePath(gameRelative))
        return {};
    return ResolveParts(fs::path(hostRoot), SplitString(gameRelative, "\\/"), 0);
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

std::string PathBelowRoot(const std::string& hostPath, const std::string& hostRoot)
{
    if (hostPath.compare(0, hostRoot.size(), hostRoot) != 0)
        return fs::path(hostPath).lexically_relative(hostRoot).string();
    size_t at = hostRoot.size();
    if (at < hostPath.size() && hostPath[at] != '/' && !hostRoot.empty() && hostRoot.back() != '/')
        return fs::path(hostPath).lexically_relative(hostRoot).string();
    while (at < hostPath.size() && hostPath[at] == '/')
        ++at;
    return hostPath.substr(at);
}
