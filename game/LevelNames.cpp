#include "game/LevelNames.h"

#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "modes/ModeServices.h"

#include <array>

const char* const kLevelExtension = ".flevel";

namespace {

constexpr std::array<const char*, 3> kKindLetters{"s", "m", "f"};
constexpr std::array<const char*, 4> kDifficulties{"Easy", "Medium", "Hard", "Ultra Hard"};
constexpr std::array<const char*, 4> kPermissions{"Full", "PlayOnly", "EditOnly", "PlayTestOnly"};

template <size_t N>
int32_t IndexNoCase(const std::array<const char*, N>& table, const std::string& text)
{
    for (size_t i = 0; i < N; ++i)
        if (EqualsNoCase(table[i], text))
            return static_cast<int32_t>(i);
    return 0;
}

// The part after the last backslash (or slash).
std::string AfterLastSeparator(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

const char* LevelKindLetter(int32_t kind)
{
    return kind >= 0 && kind < static_cast<int32_t>(kKindLetters.size()) ? kKindLetters[static_cast<size_t>(kind)]
                                                                          : "";
}

std::string MakeLevelPath(const std::string& levelName)
{
    std::string path = levelName;
    if (FindNoCase(path, kLevelExtension) == std::string::npos)
        path += kLevelExtension;
    if (path.find('\\') == std::string::npos)
        path = "Level\\" + path;
    if (path.size() > kMaxLevelPath) {
        WriteLog("WARNING: level name too long [%.64s...]\n", levelName.c_str());
        return {};
    }
    return path;
}

bool ParseLevelFileName(const std::string& path, LevelFileName& out)
{
    if (path.size() > kMaxLevelPath)
        return false;
    const std::string title = AfterLastSeparator(path);
    size_t start = 0;
    size_t underscore = title.find('_');
    if (underscore == std::string::npos)
        return false;
    if (underscore == 4) {
        start = underscore + 1;
        underscore = title.find('_', start);
        if (underscore == std::string::npos)
            return false;
    }
    const size_t modeEnd = title.find('_', underscore + 1);
    if (modeEnd == std::string::npos)
        return false;
    const std::string kindField = title.substr(start, underscore - start);
    const std::string modeField = title.substr(underscore + 1, modeEnd - underscore - 1);
    std::string name = title.substr(modeEnd + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);

    out.kind = 0;
    for (size_t i = 0; i < kKindLetters.size(); ++i)
        if (kindField == kKindLetters[i])
            out.kind = static_cast<int32_t>(i);
    out.gameMode = GameModeIndexFromPrefix(modeField);
    out.name = name;
    return true;
}

int32_t DifficultyFromName(const std::string& text)
{
    return IndexNoCase(kDifficulties, text);
}

int32_t PermissionFromName(const std::string& text)
{
    return IndexNoCase(kPermissions, text);
}

const char* DifficultyName(int32_t index)
{
    return index >= 0 && index < 4 ? kDifficulties[static_cast<size_t>(index)] : "";
}

const char* PermissionName(int32_t index)
{
    return index >= 0 && index < 4 ? kPermissions[static_cast<size_t>(index)] : "";
}

std::string LevelPreviewPath(const std::string& levelPath)
{
    return "Cache\\Previews\\" + GetFileTitle(levelPath, true) + ".jpg";
}

std::string PlaybackFolder()
{
    const PlayerProfile& profile = CurrentProfile();
    const std::string folder = profile.Name().empty() ? std::string("Profiles\\") + PlayerProfile::kDefaultName
                                                      : profile.GetPath();
    return folder + "\\Playbacks\\";
}
