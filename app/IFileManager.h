#pragma once
// The interface every source of game files implements: plain folders, the packed
// resource archives, in-memory buffers, and the aggregate that hides which one holds a name.
//
// Names are game paths with '\' separators. Handles are signed 32-bit: a valid one is
// 1000 or more, 0 means failure. Map handles are numbered separately, also from 1000.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

constexpr int kFirstHandle = 1000;

// Last-write time as a Windows-style file time: 100 ns steps since 1601-01-01 UTC.
using FileTime = uint64_t;
FileTime FileTimeFromUnixNanoseconds(int64_t nanoseconds);

class IFileManager;

// The name index of the aggregate: normalised name -> the member that serves it.
struct NameIndexRecord {
    IFileManager* manager = nullptr;
    const void* entry = nullptr;
    uint8_t priority = 0;
};

class NameIndex {
public:
    // Keeps the record with the higher priority; on a tie the one already present stays.
    void Offer(const std::string& name, IFileManager* manager, const void* entry, uint8_t priority);
    const NameIndexRecord* Find(const std::string& normalisedName) const;
    void Clear() { records_.clear(); }
    size_t Size() const { return records_.size(); }
    // Names of the index in ascending order.
    std::vector<std::string> Names() const;

private:
    std::unordered_map<std::string, NameIndexRecord> records_;
};

class IFileManager {
public:
    virtual ~IFileManager() = default;

    virtual int Open(const std::string& name) = 0;
    virtual bool Close(int handle) = 0;
    virtual size_t Read(int handle, void* destination, size_t count) = 0;
    // origin: 0 begin, 1 current, 2 end.
    virtual bool Seek(int handle, int64_t offset, int origin) = 0;
    virtual uint64_t Tell(int handle) = 0;
    virtual uint64_t GetSize(int handle) = 0;
    virtual FileTime* GetFileTime(FileTime* destination, int handle) = 0;
    // flag: -1 anywhere; the aggregate reads 2 as "the first member only".
    virtual bool Exists(const std::string& name, int flag) = 0;
    virtual uint32_t GetCrc(int handle) = 0;
    // The range is clamped to the file; 0 when the handle is bad.
    virtual int Map(int handle, uint64_t offset, uint64_t length) = 0;
    virtual bool Unmap(int mapHandle) = 0;
    virtual uint64_t GetMapSize(int mapHandle) = 0;
    virtual const uint8_t* GetMapData(int mapHandle) = 0;
    // Offers every name this member holds (below the folder filter when one is given).
    virtual void IndexNames(NameIndex* index, uint8_t priority, const char* folderFilter) = 0;
    // Listings give bare names (no folder); these defaults list nothing.
    virtual void ListFiles(const std::string& pattern, std::vector<std::string>& names, int flag);
    virtual void ListFolders(const std::string& folder, std::vector<std::string>& names, int flag);
};

// Lower-cases a game name and turns '/' into '\'. One leading "..\" (the program's step
// from its Bin folder up to the game folder) is dropped. Names that would still leave the
// root (a ".." step, an absolute path, a drive letter) give false with a log line.
bool NormaliseFileName(const std::string& name, std::string& normalised);
