#include "gui/ScreenVideo.h"

#include "app/Log.h"
#include "gui/GuiClock.h"
#include "media/VideoSurface.h"
#include "platform/video/VideoTypes.h"

ScreenVideo::ScreenVideo(const std::string& file) : surface_(std::make_unique<VideoSurface>())
{
    name = file;
    if (surface_->Load(file) == 0) {
        loaded = 1;
    } else {
        WriteLog("Error: ScreenVideo can't be loaded %s\n", file.c_str());
        finished = 1;
    }
}

ScreenVideo::~ScreenVideo() = default;

bool ScreenVideo::GetNaturalSize(int* width, int* height) const
{
    if (width)
        *width = loaded ? surface_->width : 0;
    if (height)
        *height = loaded ? surface_->height : 0;
    return loaded != 0;
}

int64_t ScreenVideo::GetDuration() const
{
    return loaded ? surface_->Duration() : 0;
}

void ScreenVideo::Restart()
{
    finished = loaded ? 0 : 1;
    if (!loaded)
        return;
    position_ = start;
    playing_ = true;
    firstUpdate_ = true;
    surface_->Play(start, stop, platform::video::KeyRule{transparencyMask, colourOr});
}

void ScreenVideo::Update()
{
    if (!playing_) {
        if (loaded)
            surface_->PumpSound();
        return;
    }
    // The first update after a restart shows the start; later ones move on by the frame.
    if (!firstUpdate_)
        position_ += int64_t(GuiFrameElapsed()) * (platform::video::kUnitsPerSecond / 1000);
    firstUpdate_ = false;
    surface_->Present(position_);
    if (!surface_->ReachedEnd(position_))
        return;
    finished = 1;
    playing_ = false;
    if (surface_->loop)
        Restart();
}

void ScreenVideo::Draw()
{
    if (!loaded || !visible || !highlight || !surface_->HasFrame() || surface_->width <= 0 || surface_->height <= 0)
        return;
    surface_->scaleX = (rect.right - rect.left) / float(surface_->width);
    surface_->scaleY = (rect.bottom - rect.top) / float(surface_->height);
    surface_->alpha = alpha;
    surface_->Draw(rect.left, rect.top);
}
