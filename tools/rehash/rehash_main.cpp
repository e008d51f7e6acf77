// rehash <file>...: sets the content hash on the root of each XML file (plain or gzip)
// and writes it back in place, keeping its compression.
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rehash <file>...\n");
        return 2;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = std::filesystem::absolute(argv[i]);
        SetProgramFolder(path.parent_path().string());
        FileManager manager;
        manager.AddMember(StandardFileManager::ForProgramFolder());
        manager.AddMember(std::make_unique<MemoryFileManager>());
        manager.IndexNames(nullptr, 0, path.filename().c_str());
        fileManager = &manager;
        if (!XmlRehashFile(path.filename().string())) {
            std::fprintf(stderr, "rehash: cannot rehash %s\n", path.c_str());
            ++failures;
        }
        fileManager = nullptr;
    }
    return failures == 0 ? 0 : 1;
}
