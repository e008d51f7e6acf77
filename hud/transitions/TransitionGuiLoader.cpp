#include "hud/transitions/TransitionGuiLoader.h"

#include "app/Log.h"
#include "gui/WindowList.h"
#include "hud/HudHooks.h"
#include "hud/transitions/FlimbsTransition.h"

TransitionGuiLoader::TransitionGuiLoader(GuiBuildFunction build, GuiLoadedCallback done)
    : StandardGuiLoader(std::move(build), std::move(done), nullptr)
{
    transition_ = new FlimbsTransition;
    transition_->onClosed = [this](Primitive*, FlimbsTransition*) { IrisClosed(); };
    transition_->onFinished = [](Primitive*, FlimbsTransition* transition) { transition->CloseOwningWindow(); };
    AddChild(transition_);
}

TransitionGuiLoader::~TransitionGuiLoader() { WaitForWorker(); }

void TransitionGuiLoader::SetTitle(const std::string& text)
{
    transition_->SetTitle(text);
}

void TransitionGuiLoader::Loaded()
{
    transition_->screenReady = true;
    if (transition_->GetState() != FlimbsTransition::State::Closed) {
        loadedEarly_ = true;
        return;
    }
    HandOver();
}

void TransitionGuiLoader::IrisClosed()
{
    if (loadedEarly_) {
        HandOver();
        return;
    }
    CloseWindow(this);
    OpenWindow(this, true);
}

void TransitionGuiLoader::HandOver()
{
    CloseWindow(this);
    if (HasBuiltScreen()) {
        RunDoneCallback();
    } else {
        WriteLog("TransitionGuiLoader: the screen build gave no screen, opening the front end\n");
        DeactivateAllWindows();
        ShowFrontEndFromHud();
    }
    OpenWindow(this, true);
}
