#include "installer/PackageInstall.h"

#include "app/AtomicFile.h"
#include "app/HostPath.h"
#include "app/LevelBackups.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

constexpr size_t kNamesInMessage = 8;

// The bytes of an existing file; false when it cannot be read.
bool ReadWholeFile(const std::string& hostPath, std::string& bytes)
{
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes one level; empty on success, else the reason.
std::string InstallLevel(const PackageLevel& level, InstallReport& report)
{
    const std::string target = InstallTargetFor(level.entryName);
    const std::string host = HostPathForWrite(target);
    if (host.empty())
        return "refused path";
    std::error_code error;
    fs::create_directories(fs::path(host).parent_path(), error);
    const fs::file_status status = fs::symlink_status(host, error);
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status))
            return "something that is not a level file is in its place";
        std::string existing;
        if (!ReadWholeFile(host, existing))
            return "the level in its place cannot be read";
        if (existing == level.bytes) {
            report.installed.push_back(target);
            return {};
        }
        const std::string backup = FreeLevelBackupName(level.entryName);
        const std::string backupHost = backup.empty() ? std::string() : HostPathForWrite(backup);
        if (backupHost.empty() || !SaveBytesAtomically(backupHost, existing.data(), existing.size()))
            return "the level in its place could not be backed up";
        WriteLog("Package installer: backed up %s as %s\n", target.c_str(), backup.c_str());
        report.backups.push_back(backup);
    }
    if (!SaveBytesAtomically(host, level.bytes.data(), level.bytes.size()))
        return "it could not be written";
    WriteLog("Package installer: installed %s\n", target.c_str());
    report.installed.push_back(target);
    return {};
}

void AppendNames(std::string& text, const std::vector<InstallLine>& lines, size_t& shown)
{
    for (const InstallLine& line : lines) {
        if (shown == kNamesInMessage) {
            text += "...\n";
            ++shown;
        }
        if (shown > kNamesInMessage)
            return;
        text += line.name + ": " + line.detail + "\n";
        ++shown;
    }
}

} // namespace

std::string InstallTargetFor(const std::string& entryName)
{
    return (entryName.find("f_dm_") != std::string::npos ? "Level\\UGC\\" : "Level\\") + entryName;
}

PackageListing ListPackageContents(const PackageContents& contents)
{
    PackageListing listing;
    listing.opened = contents.opened;
    listing.error = contents.error;
    listing.title = contents.title;
    listing.installable = contents.opened && contents.entryCount > 0;
    for (const PackageLevel& level : contents.levels)
        if (!level.generated && level.titleRead)
            listing.levelTitles.push_back(level.title);
    std::stable_sort(listing.levelTitles.begin(), listing.levelTitles.end(),
                     [](const std::string& a, const std::string& b) { return ToLowerAscii(a) < ToLowerAscii(b); });
    return listing;
}

PackageListing ListPackage(const std::string& hostPath)
{
    return ListPackageContents(ReadPackage(hostPath));
}

InstallReport InstallPackageContents(const PackageContents& contents)
{
    InstallReport report;
    report.opened = contents.opened;
    report.error = contents.error;
    for (const RefusedPackageEntry& entry : contents.refused)
        report.skipped.push_back({entry.entryName, entry.reason});
    if (!contents.opened)
        return report;
    for (const PackageLevel& level : contents.levels)
        if (const std::string problem = InstallLevel(level, report); !problem.empty()) {
            WriteLog("ERROR: Package installer: %s not installed: %s\n", level.entryName.c_str(), problem.c_str());
            report.failed.push_back({level.entryName, problem});
        }
    return report;
}

InstallReport InstallPackage(const std::string& hostPath)
{
    WriteLog("Package installer: installing %s\n", hostPath.c_str());
    return InstallPackageContents(ReadPackage(hostPath));
}

bool InstallReport::Complete() const
{
    return opened && !installed.empty() && skipped.empty() && failed.empty();
}

std::string InstallReport::Title() const
{
    if (Complete())
        return "Success";
    return installed.empty() ? "Error" : "Warning";
}

std::string InstallReport::Message() const
{
    if (!opened)
        return "The package could not be read: " + error + ".";
    if (Complete())
        return "Package has been installed!";
    if (installed.empty() && skipped.empty() && failed.empty())
        return "The package holds no levels to install.";
    const size_t total = installed.size() + failed.size();
    std::string text = StringPrintf("%zu of %zu levels installed.", installed.size(), total);
    if (!failed.empty() || !skipped.empty())
        text += StringPrintf(" Not installed (%zu):\n", failed.size() + skipped.size());
    size_t shown = 0;
    AppendNames(text, failed, shown);
    AppendNames(text, skipped, shown);
    return text;
}
