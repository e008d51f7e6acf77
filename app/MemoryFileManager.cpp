#include "app/MemoryFileManager.h"

#include "app/Crc32.h"
#include "app/HandleTable.h"
#include "app/StringUtil.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>

namespace {

struct MemoryFile {
    std::vector<uint8_t> bytes;
    FileTime time = 0;
};

struct OpenMemoryFile {
    std::shared_ptr<const MemoryFile> file;
    uint64_t position = 0;
};

struct MemoryMap {
    std::shared_ptr<const MemoryFile> file;
    uint64_t offset = 0;
    uint64_t length = 0;
};

FileTime Now()
{
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return FileTimeFromUnixNanoseconds(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

std::string Key(const std::string& name)
{
    std::string key = ToLowerAscii(name);
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
}

} // namespace

struct MemoryFileManager::State {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<MemoryFile>> files;
    HandleTable<OpenMemoryFile> open;
    HandleTable<MemoryMap> maps;
};

MemoryFileManager::MemoryFileManager() : state_(std::make_unique<State>()) {}
MemoryFileManager::~MemoryFileManager() = default;

void MemoryFileManager::AddFile(const std::string& name, const void* data, size_t size)
{
    auto file = std::make_shared<MemoryFile>();
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (bytes && size)
        file->bytes.assign(bytes, bytes + size);
    file->time = Now();
    std::lock_guard lock(state_->mutex);
    state_->files[Key(name)] = std::move(file);
}

bool MemoryFileManager::RemoveFile(const std::string& name)
{
    std::lock_guard lock(state_->mutex);
    return state_->files.erase(Key(name)) > 0;
}

bool MemoryFileManager::StampTime(const std::string& name)
{
    std::lock_guard lock(state_->mutex);
    const auto it = state_->files.find(Key(name));
    if (it == state_->files.end())
        return false;
    // Open handles share the record; a new one keeps them unchanged.
    auto stamped = std::make_shared<MemoryFile>(*it->second);
    stamped->time = Now();
    it->second = std::move(stamped);
    return true;
}

int MemoryFileManager::Open(const std::string& name)
{
    std::lock_guard lock(state_->mutex);
    const auto it = state_->files.find(Key(name));
    if (it == state_->files.end())
        return 0;
    return state_->open.Add(std::make_unique<OpenMemoryFile>(OpenMemoryFile{it->second, 0}));
}

bool MemoryFileManager::Close(int handle)
{
    std::lock_guard lock(state_->mutex);
    return state_->open.Take(handle) != nullptr;
}

size_t MemoryFileManager::Read(int handle, void* destination, size_t count)
{
    std::lock_guard lock(state_->mutex);
    OpenMemoryFile* open = state_->open.Get(handle);
    if (!open || !destination)
        return 0;
    const uint64_t size = open->file->bytes.size();
    const size_t copied = static_cast<size_t>(std::min<uint64_t>(count, size - open->position));
    std::copy_n(open->file->bytes.data() + open->position, copied, static_cast<uint8_t*>(destination));
    open->position += copied;
    return copied;
}

bool MemoryFileManager::Seek(int handle, int64_t offset, int origin)
{
    std::lock_guard lock(state_->mutex);
    OpenMemoryFile* open = state_->open.Get(handle);
    if (!open)
        return false;
    const int64_t size = static_cast<int64_t>(open->file->bytes.size());
    const int64_t base = origin == 1 ? static_cast<int64_t>(open->position) : origin == 2 ? size : 0;
    open->position = static_cast<uint64_t>(std::clamp<int64_t>(base + offset, 0, size));
    return true;
}

uint64_t MemoryFileManager::Tell(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenMemoryFile* open = state_->open.Get(handle);
    return open ? open->position : 0;
}

uint64_t MemoryFileManager::GetSize(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenMemoryFile* open = state_->open.Get(handle);
    return open ? open->file->bytes.size() : 0;
}

FileTime* MemoryFileManager::GetFileTime(FileTime* destination, int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenMemoryFile* open = state_->open.Get(handle);
    if (destination)
        *destination = open ? open->file->time : 0;
    return destination;
}

bool MemoryFileManager::Exists(const std::string& name, int)
{
    std::lock_guard lock(state_->mutex);
    return state_->files.count(Key(name)) > 0;
}

uint32_t MemoryFileManager::GetCrc(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenMemoryFile* open = state_->open.Get(handle);
    return open ? Crc32(open->file->bytes.data(), open->file->bytes.size()) : 0;
}

int MemoryFileManager::Map(int handle, uint64_t offset, uint64_t length)
{
    std::lock_guard lock(state_->mutex);
    OpenMemoryFile* open = state_->open.Get(handle);
    if (!open)
        return 0;
    const uint64_t size = open->file->bytes.size();
    offset = std::min(offset, size);
    length = std::min(length, size - offset);
    return state_->maps.Add(std::make_unique<MemoryMap>(MemoryMap{open->file, offset, length}));
}

bool MemoryFileManager::Unmap(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    return state_->maps.Take(mapHandle) != nullptr;
}

uint64_t MemoryFileManager::GetMapSize(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    MemoryMap* map = state_->maps.Get(mapHandle);
    return map ? map->length : 0;
}

const uint8_t* MemoryFileManager::GetMapData(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    MemoryMap* map = state_->maps.Get(mapHandle);
    return map ? map->file->bytes.data() + map->offset : nullptr;
}

void MemoryFileManager::IndexNames(NameIndex* index, uint8_t priority, const char* folderFilter)
{
    if (!index)
        return;
    const std::string filter = folderFilter ? Key(folderFilter) : std::string();
    std::lock_guard lock(state_->mutex);
    for (const auto& [name, file] : state_->files)
        if (filter.empty() || name.rfind(filter, 0) == 0)
            index->Offer(name, this, file.get(), priority);
}
