#pragma once
// The framed prompts of the HUD: `SuperNovaWindow` (the frame of Graphics\Menu\SuperNovaWindow,
// always 183 design pixels high) and `SuperNovaPrompt`, which asks "Are you sure you want to
// supernova?" with a Yes and a Cancel button that fade in before they take clicks.
#include "gui/DecoratedPrimContainer.h"

class Button;
class SuperNovaButton;

class SuperNovaWindow : public DecoratedPrimContainer {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\SuperNovaWindow";
    static constexpr float kDesignHeight = 183.0f;

    SuperNovaWindow();
    ~SuperNovaWindow() override;

    // The width as asked; the height is always 183 design pixels.
    void SetSize(float width, float height) override;
};

class SuperNovaPrompt : public SuperNovaWindow {
public:
    static constexpr const char* kWindowName = "SuperNovaPrompt";
    static constexpr uint32_t kFadeMs = 500;

    SuperNovaPrompt();
    ~SuperNovaPrompt() override;

    // A key press closes the prompt and sends nothing (a release, a repeat: nothing).
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // A press outside closes it and is not taken; inside, the buttons have it.
    Primitive* OnLeftButton(int x, int y, int phase) override;

    // Yes: closes the prompt and, unless the local player watches, asks the server to
    // take the local group SuperNova.
    static void OnYes(Primitive* parent, Button* button);

    SuperNovaButton* YesButton() const { return yes_; }
    SuperNovaButton* CancelButton() const { return cancel_; }

private:
    SuperNovaButton* yes_ = nullptr;
    SuperNovaButton* cancel_ = nullptr;
};

// The HUD's "Go SuperNova!": opens the prompt over everything, named "SuperNovaPrompt" and
// centred; none while one is open or for a spectator (null then).
SuperNovaPrompt* OpenSuperNovaPrompt();
