#pragma once
// Plain files in folders on disk. Each root joins a game-path prefix ("" for the program
// folder, "User\Avatars" ...) to a host folder; a name is served by the first root whose
// prefix it begins with and under which it exists (letter case ignored).

#include "app/IFileManager.h"

#include <memory>
#include <string>
#include <vector>

class StandardFileManager : public IFileManager {
public:
    struct Root {
        std::string gamePrefix;
        std::string hostFolder;
    };

    StandardFileManager();
    explicit StandardFileManager(std::vector<Root> roots);
    ~StandardFileManager() override;

    // A manager over the program folder.
    static std::unique_ptr<StandardFileManager> ForProgramFolder();
    // Adds a root: a game folder mapped through the user-folder map (GetUserPath).
    void AddRootFolder(const std::string& gameFolder);
    void AddRoot(Root root);

    // Host path of an existing file or folder, or empty.
    std::string Resolve(const std::string& name) const;

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
    void ListFiles(const std::string& pattern, std::vector<std::string>& names, int flag) override;
    void ListFolders(const std::string& folder, std::vector<std::string>& names, int flag) override;

private:
    struct OpenFile;
    struct MapRecord;
    struct State;

    std::vector<Root> roots_;
    std::unique_ptr<State> state_;
};
