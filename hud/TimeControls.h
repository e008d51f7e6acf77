#pragma once
// The HUD controls that act on the flow of game time and on the score overview: the
// play/pause button, the speed toggle, the Quantum Time and Freeze Time boxes, the scores
// button with its scores window, and the 3-2-1-go countdown at the start of a match.
// Pause and speed are requests of the game client; the game server decides.
#include "gui/CheckBox.h"
#include "gui/GraphicButtons.h"
#include "gui/Transforms.h"

#include <string>

class AnimSurface;

class PlayPauseButton : public GraphicButton {
public:
    PlayPauseButton();
    ~PlayPauseButton() override;

    // A press inside asks to resume (paused) or pause (running).
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // The pause image while running (faint for 20 updates after a pause), else play.
    void Update() override;
    // The button, then the count of the faint start (5 .. 1).
    void Draw() override;

    bool ShowsPlay() const { return image == play_; }
    int32_t LastPausedUpdate() const { return lastPaused_; }

private:
    AnimSurface* play_ = nullptr;
    AnimSurface* pause_ = nullptr;
    int32_t lastPaused_ = -100;
};

// "Game speed": host variable 16 with the control's value. "Toggle speed" (multiplayer
// only): 90 -> 100 -> 110 -> 120 -> 130 -> 90, any other speed -> 90.
void SetGameSpeed(int value);
int NextToggleSpeed(int current);
void ToggleGameSpeed(Primitive* control);

class QuantumTimeCheckBox : public GraphicCheckBox {
public:
    static constexpr const char* kName = "QuantumTimeCheckBox";

    QuantumTimeCheckBox();
    // Off -> armed (a flimb must be selected) -> in use -> off.
    void Toggle() override;
    // Checked exactly while the state is not off.
    void Update() override;
    void Draw() override;
};

class FreezeTimeCheckBox : public GraphicCheckBox {
public:
    FreezeTimeCheckBox();
    // The box toggles; outside a playback and a pause the mode freezes or thaws the game.
    void Toggle() override;
    // Checked exactly while the server is frozen and the game runs; the tooltip's second
    // line tells the mode's freeze penalty.
    void Update() override;
    void Draw() override;

    std::string toolTip;
};

class ScoreButton : public GraphicButton {
public:
    ScoreButton();
    // Held: the scores window shows; released: it goes.
    Primitive* OnLeftButton(int x, int y, int phase) override;
};

// The mode's scores window "SCORES_WINDOW" slides in over the HUD (show) or out and closes.
void ShowScoresWindow(bool show);

class CountDownDisplay : public Primitive {
public:
    static constexpr int kUpdatesPerStep = 12;

    CountDownDisplay();
    ~CountDownDisplay() override;

    // The shrink runs at the game's speed (a speed of 0 or less counts as 75); then the
    // next picture at updates 12, 24 and 36; after "go" the display deactivates.
    void Update() override;
    void Draw() override;

    int Step() const { return step_; }
    bool Finished() const { return finished_; }
    float Shrink() const { return shrink_.value / 1000.0f; }
    const std::string& Picture() const { return picture_; }

private:
    void SetPicture(const std::string& path);

    int step_ = 0;
    bool finished_ = false;
    AnimSurface* image_ = nullptr;
    std::string picture_;
    LinearFloatTransform shrink_;
};
