#include "media/sound/SoundFiles.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace sound {

namespace {

constexpr uintmax_t kMaxSoundFileBytes = 64u << 20;

// The host path of a game path, matching each component ignoring case when the exact
// name is not there. Empty when some component cannot be found.
std::string FindHostPath(std::string_view gamePath)
{
    const std::string exact = GetUserPath(gamePath);
    std::error_code error;
    if (fs::is_regular_file(exact, error))
        return exact;

    fs::path current = IsUserFolderPath(gamePath) ? GetUserRoot() : GetProgramFolder();
    for (const std::string& part : SplitString(gamePath, "\\/")) {
        fs::path next;
        if (fs::exists(current / part, error)) {
            next = current / part;
        } else {
            for (fs::directory_iterator it(current, error), end; !error && it != end; it.increment(error)) {
                if (EqualsNoCase(it->path().filename().string(), part)) {
                    next = it->path();
                    break;
                }
            }
        }
        if (next.empty())
            return {};
        current = next;
    }
    return fs::is_regular_file(current, error) ? current.string() : std::string();
}

} // namespace

bool ReadSoundFile(std::string_view gamePath, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (!IsConfinedRelativePath(gamePath)) {
        WriteLog("Sound file path refused: %.*s\n", static_cast<int>(gamePath.size()), gamePath.data());
        return false;
    }
    const std::string host = FindHostPath(gamePath);
    if (host.empty())
        return false;
    std::error_code error;
    const uintmax_t size = fs::file_size(host, error);
    if (error || size > kMaxSoundFileBytes)
        return false;
    std::ifstream in(host, std::ios::binary);
    bytes.resize(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        bytes.clear();
        return false;
    }
    return true;
}

} // namespace sound
