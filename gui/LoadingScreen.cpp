#include "gui/LoadingScreen.h"

#include "app/Log.h"
#include "media/DXManager.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace {

std::atomic<LoadingScreen*> shownScreen{nullptr};
constexpr int kCaptionFont = 0;

} // namespace

LoadingScreen* LoadingScreen::Shown()
{
    return shownScreen.load();
}

void LoadingScreen::SetCaption(std::string caption)
{
    std::lock_guard guard(captionLock_);
    caption_ = std::move(caption);
}

std::string LoadingScreen::Caption() const
{
    std::lock_guard guard(captionLock_);
    return caption_;
}

LoadingScreen::LoadingScreen()
{
    name = "LOADING_SCREEN";
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
}

LoadingScreen::~LoadingScreen() { StopWorker(); }

void LoadingScreen::Update() { throbber_.Update(); }

void LoadingScreen::SetProgressRange(int items)
{
    range_.store(std::max(1, items));
    count_.store(0);
}

void LoadingScreen::AddProgress(int items)
{
    if (items <= 0)
        return;
    int current = count_.load();
    while (!count_.compare_exchange_weak(current, std::min(range_.load(), current + items))) {
    }
}

float LoadingScreen::ProgressFraction() const
{
    return std::clamp(float(count_.load()) / float(std::max(1, range_.load())), 0.0f, 1.0f);
}

void LoadingScreen::Draw()
{
    const float width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0.0f || height <= 0.0f)
        return;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, backdropColour);
    // The bar: half the width, centred, a fortieth of the height, three quarters down.
    const float barLeft = rect.left + width * 0.25f, barRight = rect.left + width * 0.75f;
    const float barTop = rect.top + height * 0.75f, barBottom = barTop + std::max(2.0f, height / 40.0f);
    Draw2D::DrawFilledRect(barLeft, barTop, barRight, barBottom, barBackColour);
    const float filled = barLeft + (barRight - barLeft) * ProgressFraction();
    if (filled > barLeft)
        Draw2D::DrawFilledRect(barLeft, barTop, filled, barBottom, barColour);
    throbber_.DrawAt(rect.left + width * 0.5f, barTop - height / 15.0f, alpha);
    const std::string caption = Caption();
    if (Font* font = caption.empty() ? nullptr : FontManager::GetFont(kCaptionFont))
        font->DrawTextTransformed(rect.left + width * 0.5f, barTop - height / 7.0f, 0xFFFFFFFFu, caption,
                                  kTextCentre);
}

bool LoadingScreen::StartWorker(FrameFunction frame, uint32_t intervalMs)
{
    if (worker_.joinable()) {
        WriteLog("LoadingScreen: the worker runs already\n");
        return false;
    }
    {
        std::lock_guard guard(stopLock_);
        stopping_ = false;
    }
    if (!frame)
        frame = ShowLoadingFrame;
    try {
        worker_ = std::thread([this, frame = std::move(frame), intervalMs] { WorkerLoop(frame, intervalMs); });
    } catch (const std::system_error& e) {
        WriteLog("LoadingScreen: could not start the worker thread: %s\n", e.what());
        return false;
    }
    shownScreen.store(this);
    return true;
}

void LoadingScreen::StopWorker()
{
    if (!worker_.joinable())
        return;
    {
        std::lock_guard guard(stopLock_);
        stopping_ = true;
    }
    stopSignal_.notify_all();
    worker_.join();
    LoadingScreen* self = this;
    shownScreen.compare_exchange_strong(self, nullptr);
}

void LoadingScreen::WorkerLoop(FrameFunction frame, uint32_t intervalMs)
{
    const auto interval = std::chrono::milliseconds(std::max<uint32_t>(1, intervalMs));
    std::unique_lock guard(stopLock_);
    while (!stopping_) {
        guard.unlock();
        {
            const auto deviceLock = DXManager::LockDevice();
            frame(*this);
        }
        throbber_.Advance(intervalMs);
        framesShown_.fetch_add(1);
        guard.lock();
        stopSignal_.wait_for(guard, interval, [this] { return stopping_; });
    }
}

namespace {

void DrawAndPresent(Primitive& shown)
{
    gfx::Device* device = DXManager::GetDevice();
    if (!device || device->TestCooperativeLevel() != gfx::D3D_OK)
        return;
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    if (gfx::SUCCEEDED(device->BeginScene())) {
        shown.Draw();
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

} // namespace

void ShowLoadingFrame(LoadingScreen& screen)
{
    DrawAndPresent(screen);
}

void PresentLoadingFrame(Primitive& shown)
{
    const auto deviceLock = DXManager::LockDevice();
    DrawAndPresent(shown);
}
