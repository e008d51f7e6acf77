#pragma once
// The loading screen shown while a level loads on the main thread: a dark full-screen
// backdrop, a progress bar (items loaded out of a range) and a throbber. The progress may be
// counted from any thread. While the main thread is busy, the screen's own worker thread
// shows it: every interval it calls the frame function under the graphics device's lock
// (ShowLoadingFrame by default: draw the screen and present). Drawing touches only the
// screen's own state and the device.
#include "gui/Primitive.h"
#include "gui/Throbber.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class LoadingScreen : public Primitive {
public:
    using FrameFunction = std::function<void(LoadingScreen& screen)>;

    LoadingScreen();
    // Stops the worker first.
    ~LoadingScreen() override;

    void Update() override;
    void Draw() override;

    // The number of items to load; at least 1. Resets the count.
    void SetProgressRange(int items);
    // Adds loaded items (never beyond the range).
    void AddProgress(int items = 1);
    int ProgressRange() const { return range_.load(); }
    int ProgressCount() const { return count_.load(); }
    // Count / range, 0 to 1.
    float ProgressFraction() const;

    // Starts the worker that shows the screen every interval (ms) until StopWorker; the
    // throbber advances by the interval each time. False (logged) when it runs already or
    // cannot start. A null frame function draws and presents.
    bool StartWorker(FrameFunction frame = nullptr, uint32_t intervalMs = 33);
    void StopWorker();
    bool WorkerRunning() const { return worker_.joinable(); }
    int FramesShown() const { return framesShown_.load(); }

    Throbber& GetThrobber() { return throbber_; }

    // The screen whose worker shows it now (the last one started); null when none is shown.
    static LoadingScreen* Shown();
    // A line of text drawn above the throbber (empty: none); may be set from any thread.
    void SetCaption(std::string caption);
    std::string Caption() const;

    uint32_t backdropColour = 0xFF101820;
    uint32_t barColour = 0xFFF2C230;
    uint32_t barBackColour = 0xFF33404C;

private:
    void WorkerLoop(FrameFunction frame, uint32_t intervalMs);

    std::atomic<int> range_{1};
    std::atomic<int> count_{0};
    std::atomic<int> framesShown_{0};
    Throbber throbber_;
    std::thread worker_;
    mutable std::mutex captionLock_;
    std::string caption_; // under captionLock_
    std::mutex stopLock_;
    std::condition_variable stopSignal_;
    bool stopping_ = false; // under stopLock_
};

// The default frame: clears the back buffer, draws the screen and presents, when a usable
// device exists.
void ShowLoadingFrame(LoadingScreen& screen);
// The same for any primitive, under the device's lock: a frame shown while the main thread
// is busy (nothing without a usable device).
void PresentLoadingFrame(Primitive& shown);
