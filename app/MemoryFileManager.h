#pragma once
// Named files held in memory (generated images, downloaded data). The aggregate offers it
// every name no other member indexed.

#include "app/IFileManager.h"

#include <memory>
#include <string>

class MemoryFileManager : public IFileManager {
public:
    MemoryFileManager();
    ~MemoryFileManager() override;

    // Adds or replaces the file with a copy of the bytes; handles already open keep the
    // old contents until closed.
    void AddFile(const std::string& name, const void* data, size_t size);
    bool RemoveFile(const std::string& name);
    // Stamps the file with the current time; false when there is no such file.
    bool StampTime(const std::string& name);

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
    std::unique_ptr<State> state_;
};
