#pragma once
// The small window shown while the game loads (nothing when nobody can see it).
#include <memory>

namespace platform {
class MainWindow;
}

class SplashScreen {
public:
    SplashScreen();
    ~SplashScreen();
    void Show();
    void Close();
    bool IsShown() const;

private:
    std::unique_ptr<platform::MainWindow> window_;
};
