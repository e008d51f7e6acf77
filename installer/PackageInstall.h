#pragma once
// Listing and installing a level package (see app/LevelPackage.h for what is read of it).
// Levels go into the player's level folders: a name holding "f_dm_" into Level\UGC (made
// when missing), every other into Level. A different level of the same name is copied to
// Cache\LevelBackups first; every file is written whole or not at all.
#include "app/LevelPackage.h"

#include <string>
#include <vector>

struct PackageListing {
    bool opened = false;
    std::string error;
    std::string title;
    // The titles of the levels but the generated one, sorted as the installer's list shows
    // them; a level without a readable title has no line.
    std::vector<std::string> levelTitles;
    // The archive holds at least one entry.
    bool installable = false;
};

PackageListing ListPackage(const std::string& hostPath);
PackageListing ListPackageContents(const PackageContents& contents);

struct InstallLine {
    std::string name;
    std::string detail;
};

struct InstallReport {
    bool opened = false;
    std::string error;
    std::vector<std::string> installed; // game paths of the levels now in place
    std::vector<std::string> backups;   // game paths of the copies made first
    std::vector<InstallLine> skipped;   // entries the package reader refused
    std::vector<InstallLine> failed;    // levels that could not be written

    // The package was read, held levels, and every one of them is in place.
    bool Complete() const;
    // The message box's title and text.
    std::string Title() const;
    std::string Message() const;
};

InstallReport InstallPackage(const std::string& hostPath);
InstallReport InstallPackageContents(const PackageContents& contents);

// The game path a level entry installs to.
std::string InstallTargetFor(const std::string& entryName);
