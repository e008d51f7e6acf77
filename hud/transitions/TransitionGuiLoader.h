#pragma once
// A background screen loader behind the iris: while its worker thread builds the next
// screen, the iris closes over the old one; the built screen is handed over once both the
// build has ended and the iris is shut, and the iris then opens over it.
//
//   auto* loader = new TransitionGuiLoader(build, done);
//   loader->SetTitle(TranslateText("Loading Main Menu"));
//   OpenWindow(loader, true);
//   loader->StartWorker();
//
// The build runs on the worker thread and returns the new screen; the done callback runs on
// the main thread with (null, loader), takes the screen (TakeBuiltScreen) and opens it. A
// build that gives no screen opens the front end instead, so the iris never opens on
// nothing.
#include "gui/GuiLoadWorker.h"

class FlimbsTransition;

class TransitionGuiLoader : public StandardGuiLoader {
public:
    TransitionGuiLoader(GuiBuildFunction build, GuiLoadedCallback done);
    ~TransitionGuiLoader() override;

    // The build has ended (main thread).
    void Loaded() override;
    void SetTitle(const std::string& text);

    FlimbsTransition* Transition() const { return transition_; }
    bool LoadedEarly() const { return loadedEarly_; }

private:
    // The iris has shut.
    void IrisClosed();
    // Replaces the old screens by the built one while the loader is out of the window list,
    // then puts the loader back in front so that the iris opens over the new screen.
    void HandOver();

    FlimbsTransition* transition_ = nullptr;
    bool loadedEarly_ = false;
};
