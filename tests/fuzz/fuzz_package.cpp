// Level packages from untrusted bytes: the reader lists what is sound, and installing into
// a private user folder writes nothing outside its level folders.
#include "FuzzHome.h"
#include "app/LevelPackage.h"
#include "app/UserFolders.h"
#include "installer/PackageInstall.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

// Removes what the last input installed and checks that every file below the root lies in
// Level\ or Level\UGC\ (or in the log folder).
void CheckAndClear(const fs::path& root)
{
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (it->is_directory() && !it->is_symlink())
            continue;
        const fs::path relative = it->path().lexically_relative(root);
        const std::string first = relative.begin()->string();
        const bool inLevels = first == "Level" && (relative.parent_path() == "Level" ||
                                                   relative.parent_path() == fs::path("Level") / "UGC");
        // The log folder is the program's own.
        const bool isLog = relative.parent_path() == fs::path("Cache") / "Log";
        if (!inLevels && !isLog) {
            std::fprintf(stderr, "package wrote outside the level folders: %s\n", relative.c_str());
            std::abort();
        }
    }
    fs::remove_all(root / "Level", error);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    DiscardLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PackageContents contents = ReadPackageFromMemory(bytes);
    const PackageListing listing = ListPackageContents(contents);
    volatile size_t sum = listing.title.size();
    for (const std::string& title : listing.levelTitles)
        sum = sum + title.size();
    // Installing leaves nothing outside Level\ and Level\UGC\.
    const fs::path root = GetUserRoot();
    const InstallReport report = InstallPackageContents(contents);
    sum = sum + report.Message().size();
    CheckAndClear(root);
    return 0;
}
