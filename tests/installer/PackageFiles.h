#pragma once
// Level packages made in a test: ZIP archives written with minizip from (entry name,
// content) pairs, plus entries whose header lies about their size.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using PackageEntries = std::vector<std::pair<std::string, std::string>>;

// Writes a package at the host path (deflated entries, in the given order); false on failure.
bool WritePackageFile(const std::string& hostPath, const PackageEntries& entries);

// An entry written raw: `data` deflated as it is stored, with the declared size and checksum
// given here (a lying header, as a zip bomb carries).
struct RawPackageEntry {
    std::string name;
    std::string inflated;       // deflated into the archive
    uint64_t declaredSize = 0;  // what the header says it inflates to
};
bool WritePackageFileWithRawEntry(const std::string& hostPath, const PackageEntries& entries,
                                  const RawPackageEntry& raw);

// The bytes of a file, empty when it cannot be read.
std::string ReadWholeTestFile(const std::string& hostPath);
// A level file's text with the title in its globals.
std::string LevelWithTitle(const std::string& title);
// A package.xml with the title (and description).
std::string PackageInfo(const std::string& title, const std::string& description = "about");
