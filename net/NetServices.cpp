#include "net/NetServices.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "media/SoundManager.h"
#include "net/WebStats.h"

#include <curl/curl.h>
#include <google/protobuf/stubs/common.h>

#include <filesystem>
#include <system_error>

void StartPromoCheck()
{
    std::error_code error;
    std::filesystem::create_directories(GetUserPath("Ads"), error);
    WebStats& stats = GlobalWebStats();
    stats.LogConfiguration();
    stats.CheckPromo();
}

void StopPromoCheck()
{
    GlobalWebStats().Shutdown();
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

bool httpStarted = false;

} // namespace

void StartNetworkLibrary()
{
    VerifyProtobufVersion();
    if (httpStarted)
        return;
    if (curl_global_init(CURL_GLOBAL_NOTHING) != CURLE_OK)
        throw GameException("Couldn't start the network library");
    httpStarted = true;
}

void StopNetworkLibrary()
{
    if (!httpStarted)
        return;
    curl_global_cleanup();
    httpStarted = false;
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
