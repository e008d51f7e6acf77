#include "app/LevelBackups.h"

#include "app/HostPath.h"
#include "app/Log.h"
#include "app/StringUtil.h"

#include <filesystem>

std::string FreeLevelBackupName(const std::string& levelFileName)
{
    for (int number = 0; number <= 9998; ++number) {
        const std::string name = StringPrintf("Cache\\LevelBackups\\%04d_%s", number, levelFileName.c_str());
        const std::string host = HostPathForWrite(name);
        if (host.empty())
            return {};
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(host, error)))
            return name;
    }
    WriteLog("ERROR: no free backup number left for %s\n", levelFileName.c_str());
    return {};
}
