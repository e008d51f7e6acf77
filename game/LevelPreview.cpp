#include "game/LevelPreview.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "game/LevelLoader.h"
#include "game/LevelNames.h"
#include "media/DXManager.h"
#include "media/Surface.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Quick masks while the preview is stamped; the old value afterwards.
class QuickStamping {
public:
    QuickStamping() : param_(ConsoleParam::Find("loadquick"))
    {
        if (param_) {
            previous_ = param_->GetInt();
            param_->SetInt(1);
        }
    }
    ~QuickStamping()
    {
        if (param_)
            param_->SetInt(previous_);
    }
    QuickStamping(const QuickStamping&) = delete;
    QuickStamping& operator=(const QuickStamping&) = delete;

private:
    ConsoleParam* param_;
    int previous_ = 0;
};

std::string LevelPathOf(const std::string& levelName)
{
    if (levelName.find('\\') != std::string::npos)
        return MakeLevelPath(levelName);
    return MakeLevelPath(GetFileTitle(levelName, true));
}

// The preview file's last-write time as a file time; 0 when it does not exist.
FileTime PreviewTime(const std::string& hostPath)
{
    std::error_code error;
    const auto written = std::filesystem::last_write_time(hostPath, error);
    if (error)
        return 0;
    const auto since = std::chrono::file_clock::to_sys(written).time_since_epoch();
    return FileTimeFromUnixNanoseconds(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

} // namespace

bool RefreshLevelPreview(const std::string& levelName, bool checkTime)
{
    const std::string levelPath = LevelPathOf(levelName);
    const std::string previewPath = LevelPreviewPath(levelPath);
    const int handle = fileManager && !levelPath.empty() ? fileManager->Open(levelPath) : 0;
    if (!handle) {
        WriteLog("WARNING: a map file was deleted while the preview was being checked\n");
        return false;
    }
    FileTime levelTime = 0;
    fileManager->GetFileTime(&levelTime, handle);
    fileManager->Close(handle);

    const std::string previewHost = GetUserPath(previewPath);
    const FileTime previewTime = PreviewTime(previewHost);
    const bool rebuild = previewTime == 0 || (checkTime && previewTime < levelTime);
    if (!rebuild)
        return true;

    const uint32_t started = SteadyMilliseconds();
    QuickStamping quick;
    std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(levelPath, kLevelLoadPreview);
    bool written = false;
    if (LoadLevel(*loader) && loader->previewSurface) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(previewHost).parent_path(), ignored);
        written = DXManager::SurfaceToFile(DXManager::kFormatJpeg, nullptr, loader->previewSurface.get(), previewPath, 90);
        if (written)
            WriteLog("Created preview for %s in %d ms\n", levelPath.c_str(),
                     static_cast<int>(SteadyMilliseconds() - started));
    }
    CloseLevelDocument(*loader);
    return written;
}

std::unique_ptr<BitmapBaseSurface> CreateLevelPreview(const std::string& levelName, bool checkTime)
{
    RefreshLevelPreview(levelName, checkTime);
    const std::string previewPath = LevelPreviewPath(LevelPathOf(levelName));
    std::ifstream in(GetUserPath(previewPath), std::ios::binary);
    if (!in || !DXManager::GetDevice())
        return nullptr;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto surface = std::make_unique<BitmapBaseSurface>();
    try {
        if (surface->LoadFromMemory(bytes.data(), bytes.size(), previewPath, 0) != 0)
            return nullptr;
    } catch (const std::exception& e) {
        WriteLog("WARNING: preview %s could not be loaded: %s\n", previewPath.c_str(), e.what());
        return nullptr;
    }
    return surface;
}
