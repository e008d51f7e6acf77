#pragma once
// The aggregate file manager: an ordered list of member managers behind one set of
// handles. A name goes to the member the name index chose for it, or to the last member
// (the memory manager) when no member indexed it. Earlier members win on equal names.
//
// Open, Close, Map and Unmap are serialised (background loaders open files from worker
// threads); the other operations look their handle up under a shared lock, so a table
// that another thread grows is never read half-moved.

#include "app/IFileManager.h"

#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

class FileManager : public IFileManager {
public:
    FileManager();
    ~FileManager() override;
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    // Members are kept in the order added; the first has the highest priority.
    void AddMember(std::unique_ptr<IFileManager> member);
    size_t MemberCount() const;
    IFileManager* Member(size_t i) const;
    // The member `Open` would use for the name (null when the name is refused or there are
    // no members).
    IFileManager* FindMemberForName(const std::string& name) const;

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
    // Without a folder filter the index is rebuilt from scratch; with one, the members
    // add what they hold below it (after a file was written). Index and priority
    // arguments are the aggregate's own and ignored.
    void IndexNames(NameIndex* index, uint8_t priority, const char* folderFilter) override;
    // Bit 0 of the flag consults the name index, bit 1 the members (in list order).
    void ListFiles(const std::string& pattern, std::vector<std::string>& names, int flag) override;
    void ListFolders(const std::string& folder, std::vector<std::string>& names, int flag) override;

    // Every file matching the pattern below the folder and its sub-folders (names that
    // begin with '.' are skipped), as folder-relative game paths.
    void ListFilesRecursive(const std::string& folder, const std::string& pattern,
                            std::vector<std::string>& names, int flag);

private:
    struct Record {
        IFileManager* member;
        int memberHandle;
    };
    struct Tables;

    IFileManager* MemberForNormalised(const std::string& normalised) const;
    bool Lookup(int handle, Record& record) const;
    bool LookupMap(int mapHandle, Record& record) const;

    uint32_t createdTick_;
    uint32_t reserved_ = 0;
    std::vector<std::unique_ptr<IFileManager>> members_;
    std::unique_ptr<Tables> tables_;
    mutable std::shared_mutex mutex_;
    NameIndex index_;
};

// The game's one file manager, built by start-up and deleted at shutdown.
extern FileManager* fileManager;

// A file opened through `fileManager`: the file handle and, once read whole, a map handle.
// Closes itself when it goes out of scope.
class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { Close(); }
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    static FileHandle FromString(const std::string& name);
    bool IsOpen() const { return file_ != 0; }
    int Handle() const { return file_; }
    // The whole file, valid until Close; null when not open (or empty).
    const uint8_t* ReadAll();
    uint64_t Size() const;
    uint32_t Crc() const;
    void Close();

private:
    int file_ = 0;
    int map_ = 0;
};

// Copies a file that `fileManager` finds (the archive included) to the same game path on
// disk and gives it the source's file time. False on failure.
bool ExtractFile(const std::string& name);
