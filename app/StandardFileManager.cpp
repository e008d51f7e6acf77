#include "app/StandardFileManager.h"

#include "app/Crc32.h"
#include "app/HandleTable.h"
#include "app/HostPath.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

struct StandardFileManager::OpenFile {
    std::FILE* file = nullptr;
    uint64_t size = 0;
    FileTime time = 0;
    ~OpenFile()
    {
        if (file)
            std::fclose(file);
    }
};

struct StandardFileManager::MapRecord {
    std::vector<uint8_t> bytes;
};

struct StandardFileManager::State {
    std::mutex mutex;
    HandleTable<OpenFile> files;
    HandleTable<MapRecord> maps;
};

namespace {

// The part of `name` below the root's prefix, or false when the name is not under it.
bool StripPrefix(const std::string& prefix, const std::string& name, std::string& rest)
{
    if (prefix.empty()) {
        rest = name;
        return true;
    }
    if (name.size() <= prefix.size() || !StartsWithNoCase(name, prefix))
        return false;
    const char separator = name[prefix.size()];
    if (separator != '\\' && separator != '/')
        return false;
    rest = name.substr(prefix.size() + 1);
    return true;
}

std::string ToGameSeparators(std::string text)
{
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

} // namespace

StandardFileManager::StandardFileManager() : state_(std::make_unique<State>()) {}

StandardFileManager::StandardFileManager(std::vector<Root> roots)
    : roots_(std::move(roots)), state_(std::make_unique<State>())
{
}

StandardFileManager::~StandardFileManager() = default;

std::unique_ptr<StandardFileManager> StandardFileManager::ForProgramFolder()
{
    return std::make_unique<StandardFileManager>(std::vector<Root>{{"", GetProgramFolder()}});
}

void StandardFileManager::AddRootFolder(const std::string& gameFolder)
{
    roots_.push_back({gameFolder, GetUserPath(gameFolder)});
}

void StandardFileManager::AddRoot(Root root)
{
    roots_.push_back(std::move(root));
}

std::string StandardFileManager::Resolve(const std::string& name) const
{
    if (!IsConfinedRelativePath(name)) {
        WriteLog("ERROR: refused file name outside the game folders [%s]\n", name.c_str());
        return {};
    }
    for (const Root& root : roots_) {
        std::string rest;
        if (!StripPrefix(root.gamePrefix, name, rest))
            continue;
        std::string path = ResolveHostPathNoCase(root.hostFolder, rest);
        if (!path.empty())
            return path;
    }
    return {};
}

int StandardFileManager::Open(const std::string& name)
{
    const std::string path = Resolve(name);
    if (path.empty())
        return 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    auto open = std::make_unique<OpenFile>();
    open->file = std::fopen(path.c_str(), "rb");
    if (!open->file)
        return 0;
    open->size = static_cast<uint64_t>(info.st_size);
    open->time = FileTimeFromUnixNanoseconds(static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000LL +
                                             info.st_mtim.tv_nsec);
    std::lock_guard lock(state_->mutex);
    return state_->files.Add(std::move(open));
}

bool StandardFileManager::Close(int handle)
{
    std::lock_guard lock(state_->mutex);
    return state_->files.Take(handle) != nullptr;
}

size_t StandardFileManager::Read(int handle, void* destination, size_t count)
{
    OpenFile* open = nullptr;
    {
        std::lock_guard lock(state_->mutex);
        open = state_->files.Get(handle);
    }
    if (!open || !destination)
        return 0;
    return std::fread(destination, 1, count, open->file);
}

bool StandardFileManager::Seek(int handle, int64_t offset, int origin)
{
    std::lock_guard lock(state_->mutex);
    OpenFile* open = state_->files.Get(handle);
    if (!open)
        return false;
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    return fseeko(open->file, static_cast<off_t>(offset), whence) == 0;
}

uint64_t StandardFileManager::Tell(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenFile* open = state_->files.Get(handle);
    if (!open)
        return 0;
    const off_t position = ftello(open->file);
    return position < 0 ? 0 : static_cast<uint64_t>(position);
}

uint64_t StandardFileManager::GetSize(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenFile* open = state_->files.Get(handle);
    return open ? open->size : 0;
}

FileTime* StandardFileManager::GetFileTime(FileTime* destination, int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenFile* open = state_->files.Get(handle);
    if (destination)
        *destination = open ? open->time : 0;
    return destination;
}

bool StandardFileManager::Exists(const std::string& name, int)
{
    const std::string path = Resolve(name);
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

uint32_t StandardFileManager::GetCrc(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenFile* open = state_->files.Get(handle);
    if (!open)
        return 0;
    const off_t position = ftello(open->file);
    fseeko(open->file, 0, SEEK_SET);
    uint32_t crc = 0;
    std::vector<uint8_t> buffer(64 * 1024);
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), open->file)) > 0)
        crc = Crc32(buffer.data(), got, crc);
    std::clearerr(open->file);
    fseeko(open->file, position, SEEK_SET);
    return crc;
}

int StandardFileManager::Map(int handle, uint64_t offset, uint64_t length)
{
    std::lock_guard lock(state_->mutex);
    OpenFile* open = state_->files.Get(handle);
    if (!open)
        return 0;
    offset = std::min(offset, open->size);
    length = std::min(length, open->size - offset);
    auto record = std::make_unique<MapRecord>();
    record->bytes.resize(length);
    const off_t position = ftello(open->file);
    fseeko(open->file, static_cast<off_t>(offset), SEEK_SET);
    const size_t got = length ? std::fread(record->bytes.data(), 1, length, open->file) : 0;
    std::clearerr(open->file);
    fseeko(open->file, position, SEEK_SET);
    record->bytes.resize(got);
    return state_->maps.Add(std::move(record));
}

bool StandardFileManager::Unmap(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    return state_->maps.Take(mapHandle) != nullptr;
}

uint64_t StandardFileManager::GetMapSize(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    MapRecord* record = state_->maps.Get(mapHandle);
    return record ? record->bytes.size() : 0;
}

const uint8_t* StandardFileManager::GetMapData(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    MapRecord* record = state_->maps.Get(mapHandle);
    return record ? record->bytes.data() : nullptr;
}

void StandardFileManager::IndexNames(NameIndex* index, uint8_t priority, const char* folderFilter)
{
    if (!index)
        return;
    for (const Root& root : roots_) {
        const std::string prefix = root.gamePrefix.empty() ? std::string() : root.gamePrefix + "\\";
        std::string start = root.hostFolder;
        std::string startName;
        if (folderFilter && *folderFilter) {
            std::string rest;
            if (!StripPrefix(root.gamePrefix, folderFilter, rest) || !IsConfinedRelativePath(rest))
                continue;
            start = ResolveHostPathNoCase(root.hostFolder, rest);
            if (start.empty())
                continue;
            startName = ToGameSeparators(PathBelowRoot(start, root.hostFolder));
        }
        std::error_code error;
        if (fs::is_regular_file(start, error)) {
            index->Offer(ToLowerAscii(prefix + startName), this, nullptr, priority);
            continue;
        }
        const auto options = fs::directory_options::skip_permission_denied;
        for (fs::recursive_directory_iterator it(start, options, error), end; !error && it != end;
             it.increment(error)) {
            const std::string leaf = it->path().filename().string();
            if (!leaf.empty() && leaf[0] == '.') {
                if (it->is_directory(error))
                    it.disable_recursion_pending();
                continue;
            }
            if (!it->is_regular_file(error))
                continue;
            const std::string relative = ToGameSeparators(PathBelowRoot(it->path().string(), root.hostFolder));
            index->Offer(ToLowerAscii(prefix + relative), this, nullptr, priority);
        }
    }
}

void StandardFileManager::ListFiles(const std::string& pattern, std::vector<std::string>& names, int)
{
    const size_t slash = pattern.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : pattern.substr(0, slash);
    const std::string filePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (!folder.empty() && !IsConfinedRelativePath(folder))
        return;
    std::set<std::string> seen;
    for (const Root& root : roots_) {
        std::string rest;
        // The folder may be a root's own folder ("Level\*.flevel" under the root "Level").
        const bool rootItself = !folder.empty() && EqualsNoCase(folder, root.gamePrefix);
        if (!rootItself && (folder.empty() ? !root.gamePrefix.empty() : !StripPrefix(root.gamePrefix, folder, rest)))
            continue;
        const std::string host = ResolveHostPathNoCase(root.hostFolder, rest);
        if (host.empty())
            continue;
        std::vector<std::string> found;
        std::error_code error;
        for (fs::directory_iterator it(host, error), end; !error && it != end; it.increment(error)) {
            const std::string leaf = it->path().filename().string();
            if (it->is_regular_file(error) && WildcardMatchNoCase(filePattern, leaf))
                found.push_back(leaf);
        }
        std::sort(found.begin(), found.end());
        for (const std::string& leaf : found)
            if (seen.insert(ToLowerAscii(leaf)).second)
                names.push_back(leaf);
    }
}

void StandardFileManager::ListFolders(const std::string& folder, std::vector<std::string>& names, int)
{
    if (!folder.empty() && !IsConfinedRelativePath(folder))
        return;
    std::set<std::string> seen;
    for (const Root& root : roots_) {
        std::string rest;
        // The folder may be a root's own folder ("Level\*.flevel" under the root "Level").
        const bool rootItself = !folder.empty() && EqualsNoCase(folder, root.gamePrefix);
        if (!rootItself && (folder.empty() ? !root.gamePrefix.empty() : !StripPrefix(root.gamePrefix, folder, rest)))
            continue;
        const std::string host = ResolveHostPathNoCase(root.hostFolder, rest);
        if (host.empty())
            continue;
        std::vector<std::string> found;
        std::error_code error;
        for (fs::directory_iterator it(host, error), end; !error && it != end; it.increment(error))
            if (it->is_directory(error))
                found.push_back(it->path().filename().string());
        std::sort(found.begin(), found.end());
        for (const std::string& leaf : found)
            if (seen.insert(ToLowerAscii(leaf)).second)
                names.push_back(leaf);
    }
}
