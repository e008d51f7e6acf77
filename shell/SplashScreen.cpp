#include "shell/SplashScreen.h"

#include "platform/window/Desktop.h"
#include "platform/window/MainWindow.h"

SplashScreen::SplashScreen() = default;

SplashScreen::~SplashScreen()
{
    Close();
}

void SplashScreen::Show()
{
    if (window_ || platform::IsHeadless())
        return;
    const platform::DisplaySize desktop = platform::DesktopSize();
    constexpr int kWidth = 480, kHeight = 270;
    const int left = (desktop.width - kWidth) / 2;
    const int top = (desktop.height - kHeight) / 2;
    window_ = std::make_unique<platform::MainWindow>();
    if (!window_->Create("Flimbs", {left, top, left + kWidth, top + kHeight})) {
        window_.reset();
        return;
    }
    window_->Show();
}

void SplashScreen::Close()
{
    if (!window_)
        return;
    window_->Hide();
    window_->Destroy();
    window_.reset();
}

bool SplashScreen::IsShown() const
{
    return window_ != nullptr;
}
