#pragma once
// The one reader of level packages (.fpak): a ZIP archive, read whole into memory, whose
// entries are taken by their names in archive order. A name holding "package.xml" is the
// description (title and description); otherwise a name holding ".flevel" is a level, and a
// level whose name holds "f_dm_" is the package's generated FlimbMaster level. Everything
// else (the previews) is passed over unread.
//
// Packages come from other players. An entry whose name is not a plain file name (empty,
// '/', '\', "..", a drive, a leading dot, a control character, over 255 bytes), a level
// name that does not end in ".flevel", a repeated name, an encrypted or broken entry and an
// entry over its cap (by declared and by inflated size) is refused with a log line; the
// rest of the package is still read. An archive over the file cap or with more entries than
// the entry cap is not read at all.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr uint64_t kPackageMaxFileBytes = 128ull << 20;  // the archive file
constexpr uint64_t kPackageMaxInfoBytes = 64ull << 10;   // package.xml
constexpr uint64_t kPackageMaxLevelBytes = 16ull << 20;  // one level
constexpr uint64_t kPackageMaxTotalBytes = 64ull << 20;  // every entry read, together
constexpr uint64_t kPackageMaxEntries = 1000;

struct PackageLevel {
    std::string entryName; // a plain file name ending in ".flevel"
    std::string title;     // globals/title of the level; empty when titleRead is false
    bool titleRead = false;
    bool generated = false; // the FlimbMaster level ("f_dm_")
    std::string bytes;      // the entry's content
};

struct RefusedPackageEntry {
    std::string entryName;
    std::string reason;
};

struct PackageContents {
    // False when the archive could not be read at all; `error` says why.
    bool opened = false;
    std::string error;
    // The entries the archive holds, whatever became of them.
    uint64_t entryCount = 0;
    // From package.xml: the first text of its first "title" and "description" elements.
    bool hasInfo = false;
    std::string title;
    std::string description;
    // In archive order, the generated level included.
    std::vector<PackageLevel> levels;
    // Entries left out because of their name, size or data (previews are not among them).
    std::vector<RefusedPackageEntry> refused;
};

// Reads a package file from the disk (a host path).
PackageContents ReadPackage(const std::string& hostPath);
// Reads a package held in memory; `label` names it in log lines.
PackageContents ReadPackageFromMemory(std::string_view archive, const std::string& label = "package");

// True for a name that is a plain file name: not empty, at most 255 bytes, no '/', '\' or
// ':', no "..", no leading dot and no control character.
bool IsPlainPackageEntryName(std::string_view name);
