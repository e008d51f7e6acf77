#include "net/NetServices.h"

#include "app/Log.h"
#include "app/UserFolders.h"

#include <filesystem>
#include <system_error>
#include <thread>

namespace {

std::thread& Worker()
{
    static std::thread worker;
    return worker;
}

void RefreshAds()
{
    std::error_code error;
    std::filesystem::create_directories(GetUserPath("Ads"), error);
    // Asking the statistics service for the current images belongs to the web services.
}

} // namespace

void StartPromoCheck()
{
    if (Worker().joinable())
        return;
    try {
        Worker() = std::thread(RefreshAds);
    } catch (const std::system_error& error) {
        WriteLog("Thread query error %d\n", error.code().value());
    }
}

void StopPromoCheck()
{
    if (Worker().joinable())
        Worker().join();
}
