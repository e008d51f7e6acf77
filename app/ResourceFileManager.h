#pragma once
// A packed read-only resource archive ("Data\resource.dat"), mapped once into memory.
//
// Layout (little-endian): u32 entry count; the entries back to back, each
// {u32 data offset from the start of the data area, u32 size, u32 CRC-32, u32 reserved,
// u16 reserved, u16 name length n, n bytes of name with '\' separators}; then the data area.
// An archive whose table does not fit the file is refused whole and serves nothing.

#include "app/IFileManager.h"

#include <memory>
#include <string>

class ResourceFileManager : public IFileManager {
public:
    // `hostPath` is the archive on disk.
    explicit ResourceFileManager(const std::string& hostPath);
    // Reads an archive image held in memory (the bytes are copied).
    ResourceFileManager(const void* image, size_t size);
    ~ResourceFileManager() override;

    bool IsValid() const;
    size_t EntryCount() const;

    int Open(const std::string& name) override;
    bool Close(int handle) override;
    size_t Read(int handle, void* destination, size_t count) override;
    bool Seek(int handle, int64_t offset, int origin) override;
    uint64_t Tell(int handle) override;
    uint64_t GetSize(int handle) override;
    FileTime* GetFileTime(FileTime* destination, int handle) override;
    bool Exists(const std::string& name, int flag) override;
    uint32_t GetCrc(int handle) override;
    int Map(int handle, uint64_t offset, uint64_t length) override;
    bool Unmap(int mapHandle) override;
    uint64_t GetMapSize(int mapHandle) override;
    const uint8_t* GetMapData(int mapHandle) override;
    void IndexNames(NameIndex* index, uint8_t priority, const char* folderFilter) override;

private:
    struct State;
    bool ReadTable(const std::string& label);
    std::unique_ptr<State> state_;
};

// Writes an archive of every file below `hostFolder` (names relative to it with '\'
// separators, in sorted order). Returns false with a message in `error` on failure.
bool WriteResourceArchive(const std::string& hostFolder, const std::string& archivePath, std::string& error);
