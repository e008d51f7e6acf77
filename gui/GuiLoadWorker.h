#pragma once
// Background screen building. A GuiLoadWorker is a full-screen container (0, 0, 1000 x 1000,
// cursor "loading") that covers the old screen while a worker thread builds the next one:
// the thread runs Build and stores the screen under the loader's lock; the loader's
// per-frame update (main thread) sees that the thread has ended, joins it and calls Loaded
// once. The built screen belongs to the loader until someone takes it; a screen nobody took
// is deleted with the loader, on the main thread. A loader that is closed before its thread
// ends never calls Loaded, and its destructor waits for the thread before anything goes.
//
// The build runs off the main thread: it may load images (the image cache and the graphics
// device lock themselves) and create primitives, but must not open windows, move the focus
// or delete primitives that the main thread can reach.
#include "gui/PrimContainer.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class GuiLoadWorker : public PrimContainer {
public:
    GuiLoadWorker();
    ~GuiLoadWorker() override;

    std::string GetCursorName() override;
    // Updates the children; once the thread has ended, joins it and calls Loaded (once).
    // Loaded may close and delete the loader: nothing of it is touched afterwards.
    void Update() override;

    // Starts the worker thread; false (logged) when one was started before or the thread
    // cannot be made.
    bool StartWorker();
    // Worker thread: makes the screen (null for none).
    virtual Primitive* Build() = 0;
    // Main thread, once, after the thread has ended.
    virtual void Loaded() = 0;

    bool WorkerStarted() const { return thread_.joinable() || loaded_; }
    bool WorkerFinished() const { return finished_.load(); }
    bool HasLoaded() const { return loaded_; }
    // Hands the built screen over to the caller (null when none or already taken).
    Primitive* TakeBuiltScreen();
    // A built screen waits to be taken.
    bool HasBuiltScreen();

protected:
    // Waits for the thread. A subclass whose Build reads its own fields calls it first in
    // its destructor, so that the thread never sees a half-destroyed loader.
    void WaitForWorker();

private:
    void ThreadProc();

    std::thread thread_;
    std::mutex lock_;
    std::unique_ptr<Primitive> built_; // under lock_
    std::atomic<bool> finished_{false};
    bool loaded_ = false;
};

// A loader that builds with a function and reports with a callback.
class StandardGuiLoader;
using GuiBuildFunction = std::function<Primitive*(void* argument)>;
// Called on the main thread with (null parent, the loader); it usually takes the built
// screen and opens it.
using GuiLoadedCallback = std::function<void(Primitive* parent, StandardGuiLoader* loader)>;

class StandardGuiLoader : public GuiLoadWorker {
public:
    StandardGuiLoader(GuiBuildFunction build, GuiLoadedCallback done, void* argument = nullptr);
    ~StandardGuiLoader() override;

    Primitive* Build() override;
    void Loaded() override;

protected:
    // Calls the done callback with (null, this loader).
    void RunDoneCallback();

private:
    GuiBuildFunction build_;
    GuiLoadedCallback done_;
    void* argument_;
};
