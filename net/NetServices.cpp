#include "net/NetServices.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "media/SoundManager.h"

#include <google/protobuf/stubs/common.h>

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

void VerifyProtobufVersion()
{
    try {
        GOOGLE_PROTOBUF_VERIFY_VERSION;
    } catch (const std::exception& error) {
        throw GameException(std::string("Protocol buffer library mismatch: ") + error.what());
    }
}

namespace {

NetNoticeSink& NoticeSink()
{
    static NetNoticeSink sink;
    return sink;
}

} // namespace

void SetNetNoticeSink(NetNoticeSink sink) { NoticeSink() = std::move(sink); }

void PostNetNotice(const std::string& text)
{
    if (NoticeSink())
        NoticeSink()(text);
    else
        WriteLog("%s\n", text.c_str());
    soundManager.PlayEffect(12);
}
