// rehash [--gzip] <file>...: sets the content hash on the root of each XML file (plain or
// gzip) and writes it back in place, keeping its compression; the files after --gzip are
// written gzip-compressed.
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"

#include <libxml/tree.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

bool RehashCompressed(const std::string& name)
{
    XmlDocument doc = XmlLoadFile(name);
    if (!doc || !XmlRoot(doc.get()))
        return false;
    XmlSetHash(XmlRoot(doc.get()));
    xmlSetDocCompressMode(doc.get(), 9);
    return XmlSaveFile(doc.get(), name) >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rehash [--gzip] <file>...\n");
        return 2;
    }
    int failures = 0;
    bool gzip = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gzip") == 0) {
            gzip = true;
            continue;
        }
        const std::filesystem::path path = std::filesystem::absolute(argv[i]);
        SetProgramFolder(path.parent_path().string());
        FileManager manager;
        manager.AddMember(StandardFileManager::ForProgramFolder());
        manager.AddMember(std::make_unique<MemoryFileManager>());
        manager.IndexNames(nullptr, 0, path.filename().c_str());
        fileManager = &manager;
        const std::string name = path.filename().string();
        if (!(gzip ? RehashCompressed(name) : XmlRehashFile(name))) {
            std::fprintf(stderr, "rehash: cannot rehash %s\n", path.c_str());
            ++failures;
        }
        fileManager = nullptr;
    }
    return failures == 0 ? 0 : 1;
}
