#include "platform/steam/Steam.h"

#include "platform/log_sink.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace platform::steam {

bool statsChanged = false;

namespace {

namespace fs = std::filesystem;

struct Store {
    bool open = false;
    fs::path folder;
    std::map<std::string, int32_t> ints;
    std::map<std::string, float> floats;
    std::map<std::string, bool> achievements;
    std::map<std::string, int32_t> scores;
    std::deque<std::function<void()>> callbacks;
    std::mutex callbackLock;
};

Store& TheStore()
{
    static Store store;
    return store;
}

bool ValidKey(const std::string& name)
{
    return !name.empty() && name.find_first_of(" \t\r\n") == std::string::npos;
}

// Leaderboard names may hold spaces ("Singleplayer - intro"), no line breaks or tabs.
bool ValidBoardName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\t\r\n") == std::string::npos && name.front() != ' ';
}

bool ValidFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

fs::path StatsFile() { return TheStore().folder / "stats.txt"; }
fs::path CloudFolder() { return TheStore().folder / "cloud"; }

void ReadStats()
{
    Store& s = TheStore();
    std::ifstream in(StatsFile());
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind, name;
        if (!(fields >> kind >> name))
            continue;
        if (kind == "i") {
            int32_t v = 0;
            if (fields >> v)
                s.ints[name] = v;
        } else if (kind == "f") {
            float v = 0;
            if (fields >> v)
                s.floats[name] = v;
        } else if (kind == "a") {
            int v = 0;
            if (fields >> v)
                s.achievements[name] = v != 0;
        } else if (kind == "l") {
            int32_t v = 0;
            if (fields >> v)
                s.scores[name] = v;
        } else if (kind == "b") {
            // "b <score> <board name to the end of the line>"
            std::string board;
            std::istringstream rest(line.substr(2));
            int32_t v = 0;
            if (rest >> v && std::getline(rest >> std::ws, board) && ValidBoardName(board))
                s.scores[board] = v;
        }
    }
}

bool WriteStats()
{
    Store& s = TheStore();
    const fs::path target = StatsFile();
    const fs::path temp = target.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const auto& [name, v] : s.ints)
            out << "i " << name << ' ' << v << '\n';
        for (const auto& [name, v] : s.floats)
            out << "f " << name << ' ' << v << '\n';
        for (const auto& [name, v] : s.achievements)
            out << "a " << name << ' ' << (v ? 1 : 0) << '\n';
        for (const auto& [name, v] : s.scores)
            out << "b " << v << ' ' << name << '\n';
        if (!out.flush())
            return false;
    }
    std::error_code error;
    fs::rename(temp, target, error);
    return !error;
}

} // namespace

bool Init(const std::string& storeFolder)
{
    const char* fail = std::getenv("FLIMBS_STEAM_FAIL");
    if (fail && std::strcmp(fail, "1") == 0)
        return false;
    Store& s = TheStore();
    std::error_code error;
    s.folder = storeFolder;
    fs::create_directories(CloudFolder(), error);
    if (error) {
        PlatformLog("Platform store folder cannot be created: %s\n", storeFolder.c_str());
        return false;
    }
    s.ints.clear();
    s.floats.clear();
    s.achievements.clear();
    s.scores.clear();
    ReadStats();
    s.open = true;
    return true;
}

void Shutdown()
{
    Store& s = TheStore();
    if (!s.open)
        return;
    WriteStats();
    s.open = false;
    std::lock_guard lock(s.callbackLock);
    s.callbacks.clear();
}

bool IsInitialised()
{
    return TheStore().open;
}

void QueueCallback(std::function<void()> callback)
{
    if (!callback)
        return;
    std::lock_guard lock(TheStore().callbackLock);
    TheStore().callbacks.push_back(std::move(callback));
}

void RunCallbacks()
{
    std::deque<std::function<void()>> ready;
    {
        std::lock_guard lock(TheStore().callbackLock);
        ready.swap(TheStore().callbacks);
    }
    for (auto& callback : ready)
        callback();
}

bool GetStat(const std::string& name, int32_t& value)
{
    auto& ints = TheStore().ints;
    auto it = ints.find(name);
    if (!TheStore().open || it == ints.end())
        return false;
    value = it->second;
    return true;
}

bool SetStat(const std::string& name, int32_t value)
{
    if (!TheStore().open || !ValidKey(name))
        return false;
    TheStore().ints[name] = value;
    return true;
}

bool GetStat(const std::string& name, float& value)
{
    auto& floats = TheStore().floats;
    auto it = floats.find(name);
    if (!TheStore().open || it == floats.end())
        return false;
    value = it->second;
    return true;
}

bool SetStat(const std::string& name, float value)
{
    if (!TheStore().open || !ValidKey(name))
        return false;
    TheStore().floats[name] = value;
    return true;
}

bool StoreStats(std::function<void(bool ok)> onStored)
{
    const bool ok = TheStore().open && WriteStats();
    if (onStored)
        QueueCallback([onStored, ok] { onStored(ok); });
    return ok;
}

bool SetAchievement(const std::string& name)
{
    if (!TheStore().open || !ValidKey(name))
        return false;
    TheStore().achievements[name] = true;
    return true;
}

bool ClearAchievement(const std::string& name)
{
    if (!TheStore().open || !ValidKey(name))
        return false;
    TheStore().achievements[name] = false;
    return true;
}

bool GetAchievement(const std::string& name, bool& achieved)
{
    if (!TheStore().open)
        return false;
    auto it = TheStore().achievements.find(name);
    achieved = it != TheStore().achievements.end() && it->second;
    return true;
}

bool UploadScore(const std::string& board, int32_t score, bool forceUpdate,
                 std::function<void(bool ok, int32_t kept)> onUploaded)
{
    Store& s = TheStore();
    const bool ok = s.open && ValidBoardName(board);
    int32_t kept = score;
    if (ok) {
        auto it = s.scores.find(board);
        if (it != s.scores.end() && !forceUpdate && it->second > score)
            kept = it->second;
        s.scores[board] = kept;
        WriteStats();
    }
    if (onUploaded)
        QueueCallback([onUploaded, ok, kept] { onUploaded(ok, kept); });
    return ok;
}

bool GetScore(const std::string& board, int32_t& score)
{
    auto it = TheStore().scores.find(board);
    if (!TheStore().open || it == TheStore().scores.end())
        return false;
    score = it->second;
    return true;
}

bool FileWrite(const std::string& name, const std::string& data)
{
    if (!TheStore().open || !ValidFileName(name))
        return false;
    // Written beside the file and renamed over it: a failed write leaves the old copy whole.
    const fs::path target = CloudFolder() / name;
    const fs::path temp = target.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out.flush()) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temp, target, error);
    if (error)
        fs::remove(temp, error);
    return !error;
}

bool FileRead(const std::string& name, std::string& data)
{
    if (!TheStore().open || !ValidFileName(name))
        return false;
    std::ifstream in(CloudFolder() / name, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    data = text.str();
    return true;
}

bool FileExists(const std::string& name)
{
    std::error_code error;
    return TheStore().open && ValidFileName(name) && fs::is_regular_file(CloudFolder() / name, error);
}

bool FileDelete(const std::string& name)
{
    std::error_code error;
    return TheStore().open && ValidFileName(name) && fs::remove(CloudFolder() / name, error);
}

std::vector<std::string> ListFiles()
{
    std::vector<std::string> names;
    std::error_code error;
    if (!TheStore().open)
        return names;
    for (const auto& entry : fs::directory_iterator(CloudFolder(), error))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    return names;
}

} // namespace platform::steam
