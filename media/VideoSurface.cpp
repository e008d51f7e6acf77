#include "media/VideoSurface.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/Log.h"
#include "platform/gfx/D3DX.h"
#include "platform/video/VideoTexturePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace gfx;
namespace video = platform::video;

VideoSurface::VideoSurface() = default;

VideoSurface::~VideoSurface()
{
    sound_.reset();
    player_.reset();
}

int VideoSurface::VolumeFromSetting(int setting)
{
    return static_cast<int>((std::clamp(setting, 0, 255) / 255.0 - 1.0) * 2000.0);
}

int VideoSurface::Load(const std::string& fileName)
{
    sound_.reset();
    player_.reset();
    SetTexture(nullptr);
    width = height = 0;
    hasFrame_ = false;
    shownSerial_ = 0;
    name = fileName;

    FileHandle file = FileHandle::FromString(fileName);
    if (!file.IsOpen()) {
        WriteLog("Video %s: the file is missing\n", fileName.c_str());
        return -1;
    }
    if (file.Size() > video::kMaxClipBytes) {
        WriteLog("Video %s: the file is too large\n", fileName.c_str());
        return -1;
    }
    const uint8_t* data = file.ReadAll();
    std::vector<uint8_t> bytes(data, data + (data ? file.Size() : 0));
    file.Close();

    auto player = std::make_unique<video::VideoTexturePlayer>();
    std::string error;
    if (!player->Open(std::move(bytes), error)) {
        WriteLog("Video %s: %s\n", fileName.c_str(), error.c_str());
        return -1;
    }
    const ConsoleParam* level = ConsoleParam::Find("soundlevel");
    volume = VolumeFromSetting(level ? level->GetInt() : 255);
    const video::VideoInfo& info = player->Info();
    Texture* created = nullptr;
    {
        const auto deviceLock = DXManager::LockDevice();
        if (FAILED(D3DXCreateTexture(DXManager::GetDevice(), uint32_t(info.width), uint32_t(info.height), 1, 0,
                                     D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &created)) ||
            !created) {
            WriteLog("Video %s: no texture for its frames\n", fileName.c_str());
            return -1;
        }
    }
    SetTexture(created);
    width = info.width;
    height = info.height;
    player_ = std::move(player);
    return 0;
}

bool VideoSurface::IsLoaded() const
{
    return player_ && player_->IsOpen();
}

int64_t VideoSurface::Duration() const
{
    return player_ ? player_->Info().duration : 0;
}

void VideoSurface::Play(int64_t start, int64_t stop, const video::KeyRule& key)
{
    if (!IsLoaded())
        return;
    sound_.reset();
    const video::VideoInfo& info = player_->Info();
    const ConsoleParam* enabled = ConsoleParam::Find("soundenable");
    const bool withSound = info.soundChannels > 0 && (!enabled || enabled->GetInt() != 0);
    if (withSound)
        sound_ = soundManager.OpenSampleStream(info.soundChannels, info.soundRate,
                                               static_cast<float>(std::pow(10.0, volume / 2000.0)));
    player_->SetSoundWanted(sound_ != nullptr);
    player_->SetKey(key);
    player_->Play(start, stop);
}

void VideoSurface::Present(int64_t position)
{
    if (!IsLoaded())
        return;
    if (player_->AdvanceTo(position))
        CopyFrame();
    PumpSound();
}

void VideoSurface::PumpSound()
{
    if (sound_ && player_) {
        std::vector<int16_t> samples;
        const size_t frames = player_->TakeSound(samples);
        if (frames > 0)
            sound_->Queue(samples.data(), frames);
    }
}

bool VideoSurface::ReachedEnd(int64_t position) const
{
    return !IsLoaded() || player_->ReachedEnd(position);
}

void VideoSurface::CopyFrame()
{
    const uint64_t serial = player_->FrameSerial();
    if (!texture || serial == shownSerial_)
        return;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return;
    player_->WithCurrentFrame([&](const uint32_t* pixels, int w, int h) {
        for (int y = 0; y < h; ++y)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch), pixels + size_t(y) * w,
                        size_t(w) * 4);
        hasFrame_ = true;
    });
    texture->UnlockRect(0);
    shownSerial_ = serial;
}

HRESULT VideoSurface::DrawRect(float x, float y, const RECT* sourceRect)
{
    return hasFrame_ ? BaseSurface::DrawRect(x, y, sourceRect) : D3D_OK;
}

HRESULT VideoSurface::DrawRectSimple(float x, float y, const RECT* sourceRect)
{
    return hasFrame_ ? BaseSurface::DrawRectSimple(x, y, sourceRect) : D3D_OK;
}
