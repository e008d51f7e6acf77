#include "app/ResourceFileManager.h"
#include "app/HostPath.h"

#include "app/Crc32.h"
#include "app/HandleTable.h"
#include "app/Log.h"
#include "app/StringUtil.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint64_t kEntryHeaderSize = 20;

struct Entry {
    std::string name;
    uint32_t offset = 0;
    uint32_t size = 0;
    uint32_t crc = 0;
    uint32_t reserved = 0;
    uint16_t reservedHalf = 0;
};

struct OpenEntry {
    const Entry* entry = nullptr;
    const uint8_t* data = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;
};

struct EntryMap {
    OpenEntry* open = nullptr;
    uint64_t length = 0;
    const uint8_t* data = nullptr;
};

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

struct ResourceFileManager::State {
    std::mutex mutex;
    void* mapping = nullptr;
    size_t mappingSize = 0;
    std::vector<uint8_t> image; // when built from memory
    const uint8_t* bytes = nullptr;
    uint64_t size = 0;
    uint64_t dataStart = 0;
    FileTime time = 0;
    bool valid = false;
    std::map<std::string, Entry> entries;
    HandleTable<OpenEntry> open;
    HandleTable<EntryMap> maps;

    ~State()
    {
        if (mapping)
            munmap(mapping, mappingSize);
    }
};

ResourceFileManager::ResourceFileManager(const std::string& hostPath) : state_(std::make_unique<State>())
{
    WriteLog("Adding Resource: %s\n", hostPath.c_str());
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        WriteLog("ERROR: resource archive [%s] cannot be opened\n", hostPath.c_str());
        return;
    }
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        state_->time = FileTimeFromUnixNanoseconds(static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000LL +
                                                   info.st_mtim.tv_nsec);
        state_->size = static_cast<uint64_t>(info.st_size);
        if (state_->size > 0) {
            void* mapping = mmap(nullptr, state_->size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapping != MAP_FAILED) {
                state_->mapping = mapping;
                state_->mappingSize = state_->size;
                state_->bytes = static_cast<const uint8_t*>(mapping);
            }
        }
    }
    ::close(fd);
    if (!state_->bytes && state_->size > 0) {
        WriteLog("ERROR: resource archive [%s] cannot be mapped\n", hostPath.c_str());
        return;
    }
    state_->valid = ReadTable(hostPath);
}

ResourceFileManager::ResourceFileManager(const void* image, size_t size) : state_(std::make_unique<State>())
{
    const auto* bytes = static_cast<const uint8_t*>(image);
    if (bytes && size)
        state_->image.assign(bytes, bytes + size);
    state_->bytes = state_->image.data();
    state_->size = state_->image.size();
    state_->valid = ReadTable("(memory)");
}

ResourceFileManager::~ResourceFileManager() = default;

bool ResourceFileManager::ReadTable(const std::string& label)
{
    State& s = *state_;
    auto refuse = [&](const char* why) {
        WriteLog("ERROR: resource archive [%s] refused: %s\n", label.c_str(), why);
        s.entries.clear();
        return false;
    };
    if (s.size < 4)
        return refuse("too short for its entry count");
    const uint32_t count = ReadU32(s.bytes);
    if (static_cast<uint64_t>(count) * kEntryHeaderSize > s.size - 4)
        return refuse("entry count does not fit the file");
    uint64_t position = 4;
    std::vector<Entry> entries;
    entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (s.size - position < kEntryHeaderSize)
            return refuse("entry table runs past the end");
        const uint8_t* p = s.bytes + position;
        Entry entry;
        entry.offset = ReadU32(p);
        entry.size = ReadU32(p + 4);
        entry.crc = ReadU32(p + 8);
        entry.reserved = ReadU32(p + 12);
        entry.reservedHalf = ReadU16(p + 16);
        const uint16_t nameLength = ReadU16(p + 18);
        position += kEntryHeaderSize;
        if (s.size - position < nameLength)
            return refuse("entry name runs past the end");
        entry.name.assign(reinterpret_cast<const char*>(s.bytes + position), nameLength);
        position += nameLength;
        entries.push_back(std::move(entry));
    }
    s.dataStart = position;
    const uint64_t dataSize = s.size - s.dataStart;
    for (Entry& entry : entries) {
        if (static_cast<uint64_t>(entry.offset) + entry.size > dataSize)
            return refuse("entry data lies outside the file");
        std::string key = ToLowerAscii(entry.name);
        s.entries[key] = std::move(entry);
    }
    return true;
}

bool ResourceFileManager::IsValid() const
{
    return state_->valid;
}

size_t ResourceFileManager::EntryCount() const
{
    return state_->entries.size();
}

int ResourceFileManager::Open(const std::string& name)
{
    std::lock_guard lock(state_->mutex);
    const auto it = state_->entries.find(ToLowerAscii(name));
    if (it == state_->entries.end())
        return 0;
    const Entry& entry = it->second;
    auto open = std::make_unique<OpenEntry>();
    open->entry = &entry;
    open->data = state_->bytes + state_->dataStart + entry.offset;
    open->size = entry.size;
    return state_->open.Add(std::move(open));
}

bool ResourceFileManager::Close(int handle)
{
    std::lock_guard lock(state_->mutex);
    std::unique_ptr<OpenEntry> open = state_->open.Take(handle);
    if (!open)
        return false;
    for (int mapHandle : state_->maps.LiveHandles())
        if (state_->maps.Get(mapHandle)->open == open.get())
            state_->maps.Take(mapHandle);
    return true;
}

size_t ResourceFileManager::Read(int handle, void* destination, size_t count)
{
    std::lock_guard lock(state_->mutex);
    OpenEntry* open = state_->open.Get(handle);
    if (!open || !destination)
        return 0;
    const size_t copied = static_cast<size_t>(std::min<uint64_t>(count, open->size - open->position));
    if (copied)
        std::memcpy(destination, open->data + open->position, copied);
    open->position += copied;
    return copied;
}

bool ResourceFileManager::Seek(int handle, int64_t offset, int origin)
{
    std::lock_guard lock(state_->mutex);
    OpenEntry* open = state_->open.Get(handle);
    if (!open)
        return false;
    const int64_t size = static_cast<int64_t>(open->size);
    const int64_t base = origin == 1 ? static_cast<int64_t>(open->position) : origin == 2 ? size : 0;
    open->position = static_cast<uint64_t>(std::clamp<int64_t>(base + offset, 0, size));
    return true;
}

uint64_t ResourceFileManager::Tell(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenEntry* open = state_->open.Get(handle);
    return open ? open->position : 0;
}

uint64_t ResourceFileManager::GetSize(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenEntry* open = state_->open.Get(handle);
    return open ? open->size : 0;
}

FileTime* ResourceFileManager::GetFileTime(FileTime* destination, int)
{
    if (destination)
        *destination = state_->time;
    return destination;
}

bool ResourceFileManager::Exists(const std::string& name, int)
{
    std::lock_guard lock(state_->mutex);
    return state_->entries.count(ToLowerAscii(name)) > 0;
}

uint32_t ResourceFileManager::GetCrc(int handle)
{
    std::lock_guard lock(state_->mutex);
    OpenEntry* open = state_->open.Get(handle);
    return open ? open->entry->crc : 0;
}

int ResourceFileManager::Map(int handle, uint64_t offset, uint64_t length)
{
    std::lock_guard lock(state_->mutex);
    OpenEntry* open = state_->open.Get(handle);
    if (!open)
        return 0;
    offset = std::min(offset, open->size);
    length = std::min(length, open->size - offset);
    return state_->maps.Add(std::make_unique<EntryMap>(EntryMap{open, length, open->data + offset}));
}

bool ResourceFileManager::Unmap(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    return state_->maps.Take(mapHandle) != nullptr;
}

uint64_t ResourceFileManager::GetMapSize(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    EntryMap* map = state_->maps.Get(mapHandle);
    return map ? map->length : 0;
}

const uint8_t* ResourceFileManager::GetMapData(int mapHandle)
{
    std::lock_guard lock(state_->mutex);
    EntryMap* map = state_->maps.Get(mapHandle);
    return map ? map->data : nullptr;
}

void ResourceFileManager::IndexNames(NameIndex* index, uint8_t priority, const char* folderFilter)
{
    if (!index)
        return;
    std::lock_guard lock(state_->mutex);
    auto it = state_->entries.begin();
    if (folderFilter && *folderFilter)
        it = state_->entries.lower_bound(ToLowerAscii(folderFilter));
    for (; it != state_->entries.end(); ++it)
        if (it->second.size > 0)
            index->Offer(it->first, this, &it->second, priority);
}

namespace {

void PutU32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutU16(std::string& out, uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

} // namespace

bool WriteResourceArchive(const std::string& hostFolder, const std::string& archivePath, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(hostFolder, ec)) {
        error = "not a folder: " + hostFolder;
        return false;
    }
    std::vector<std::pair<std::string, fs::path>> files;
    for (fs::recursive_directory_iterator it(hostFolder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        std::string name = PathBelowRoot(it->path().string(), hostFolder);
        std::replace(name.begin(), name.end(), '/', '\\');
        files.emplace_back(std::move(name), it->path());
    }
    if (ec) {
        error = "cannot walk " + hostFolder + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());

    std::string table;
    std::string data;
    PutU32(table, static_cast<uint32_t>(files.size()));
    for (const auto& [name, path] : files) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            error = "cannot read " + path.string();
            return false;
        }
        if (name.size() > 0xFFFF || bytes.size() > 0xFFFFFFFFu || data.size() + bytes.size() > 0xFFFFFFFFu) {
            error = "too large for the archive: " + name;
            return false;
        }
        PutU32(table, static_cast<uint32_t>(data.size()));
        PutU32(table, static_cast<uint32_t>(bytes.size()));
        PutU32(table, Crc32(bytes.data(), bytes.size()));
        PutU32(table, 0);
        PutU16(table, 0);
        PutU16(table, static_cast<uint16_t>(name.size()));
        table += name;
        data += bytes;
    }
    const std::string temporary = archivePath + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(table.data(), static_cast<std::streamsize>(table.size()));
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out) {
            error = "cannot write " + temporary;
            return false;
        }
    }
    fs::rename(temporary, archivePath, ec);
    if (ec) {
        error = "cannot replace " + archivePath + ": " + ec.message();
        return false;
    }
    return true;
}
