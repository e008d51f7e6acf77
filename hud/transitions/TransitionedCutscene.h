#pragma once
// A video played full screen between two irises: the iris closes over the current screen,
// that screen is hidden and the clip plays; a second before its end (or when the player
// skips) a second iris closes, the screen comes back and the iris opens on it.
//
//   auto* cutscene = new TransitionedCutscene(planetScreen, clip, true);
//   cutscene->onEnded = [](Primitive*, TransitionedCutscene*) { ... };
//   OpenWindow(cutscene, true);
//
// TransitionedCutscene2 is the outro after a beaten FlimbMaster: a congratulation line six
// seconds before the end, and two seconds before it the planet visit instead of a second
// iris. TransitionedCutscene3 is the last FlimbMaster's outro: it ends the game session,
// shows the closing texts on ribbons at 33 s and 35 s and, two seconds before the end, the
// final credits behind a loader's iris; the credits close to the main menu.
//
// A clip that cannot be loaded counts as ended: its end starts as soon as the first iris
// has opened on it, and the screen and the callbacks come back as for a clip that played.
// Positions and durations are 100 ns units, as the video reports them.
#include "gui/PrimContainer.h"

#include <cstdint>
#include <functional>
#include <string>

class FlimbsTransition;
class Label;
class ScreenImage;
class ScreenVideo;
struct FlimbMasterEntry;

class TransitionedCutscene : public PrimContainer {
public:
    // Called with (null, the cutscene).
    using Callback = std::function<void(Primitive* argument, TransitionedCutscene* cutscene)>;

    static constexpr int64_t kSecond = 10000000;

    // The hidden window is not owned; it must outlive the cutscene (it is only hidden).
    TransitionedCutscene(Primitive* hiddenWindow, const std::string& videoFile, bool skippable);

    // No mouse cursor while a cutscene runs.
    std::string GetCursorName() override { return "none"; }
    // Escape (down or up) asks for the skip when the cutscene is skippable or "god" is 1;
    // Escape is always taken, other keys never.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // The children, then: while the clip plays, the second iris a second before its end or
    // on a skip.
    void Update() override;

    bool IsPlaying() const { return playing_; }
    bool IsClosing() const { return closing_; }
    bool SkipRequested() const { return skipRequested_; }
    bool Skippable() const { return skippable_; }
    const std::string& VideoFile() const { return videoFile_; }
    // The clip: null until the first iris has closed and again once the second has.
    ScreenVideo* Video() const { return video_; }
    // The first iris until it has opened.
    FlimbsTransition* FirstIris() const { return firstIris_; }
    // The second iris from the start of the end until it has opened (never for the outros,
    // which end otherwise).
    FlimbsTransition* SecondIris() const { return secondIris_; }

    // Called when the second iris has closed (the hidden window is back) and when it has
    // opened again (then the cutscene closes).
    Callback onVideoEnded;
    Callback onEnded;

protected:
    // The clip's position and duration; a clip that is not loaded reports 0 and 0.
    void ReadPosition(int64_t& position, int64_t& duration) const;
    // True while the clip plays and its end has not started.
    bool Running() const { return playing_ && !closing_; }
    // Marks the end as started.
    void SetClosing() { closing_ = true; }
    // Adds a child over the existing ones and fades it in over 600 ms.
    void AddFadingIn(Primitive* child);

private:
    // The first iris has closed: the clip comes in under it and the screen is hidden.
    void ShowVideo();
    // The second iris has closed: the screen is back and the clip goes.
    void EndVideo();
    // The second iris has opened: the cutscene is over.
    void Finish();

    bool playing_ = false;
    bool closing_ = false;
    bool skipRequested_ = false;
    std::string videoFile_;
    Primitive* hiddenWindow_;
    ScreenVideo* video_ = nullptr;
    bool skippable_;
    FlimbsTransition* firstIris_ = nullptr;
    FlimbsTransition* secondIris_ = nullptr;
};

class TransitionedCutscene2 : public TransitionedCutscene {
public:
    static constexpr const char* kCongratulation = "You have bested the FlimbMaster!";

    TransitionedCutscene2(Primitive* hiddenWindow, const std::string& videoFile);

    // The planet visit two seconds before the end (or on a skip); the congratulation line
    // six seconds before it.
    void Update() override;

    Label* CongratulationLabel() const { return congratulation_; }

    // What the end starts: the campaign's planet visit (replaceable by tests).
    std::function<void()> visitPlanet;

private:
    Label* congratulation_ = nullptr;
};

class TransitionedCutscene3 : public TransitionedCutscene {
public:
    static constexpr int64_t kFirstTextsAt = 33 * kSecond;
    static constexpr int64_t kSecondTextsAt = 35 * kSecond;
    static constexpr const char* kRibbonImage = "Graphics\\Menu\\Planet\\ribbon-glow2.png";

    TransitionedCutscene3(Primitive* hiddenWindow, const std::string& videoFile);

    // Once: the game session window goes. Then the texts at 33 s and 35 s, and the final
    // credits two seconds before the end (or on a skip).
    void Update() override;

    bool GameWindowClosed() const { return gameWindowClosed_; }
    Label* MasterfulLabel() const { return masterful_; }
    Label* MagnificentLabel() const { return magnificent_; }
    Label* ThanksLabel() const { return thanks_; }
    Label* TrueFlimbMasterLabel() const { return trueMaster_; }
    ScreenImage* FirstRibbon() const { return ribbon1_; }
    ScreenImage* SecondRibbon() const { return ribbon2_; }

private:
    void ShowFirstTexts();
    void ShowSecondTexts();
    void StartFinalCredits();

    Label* masterful_ = nullptr;
    Label* magnificent_ = nullptr;
    Label* thanks_ = nullptr;
    Label* trueMaster_ = nullptr;
    ScreenImage* ribbon1_ = nullptr;
    ScreenImage* ribbon2_ = nullptr;
    bool gameWindowClosed_ = false;
};

// A FlimbMaster's clips: "Graphics\Videos\<video base name>-intro.ogv" and the record's
// outro path. Names from user-made FlimbMasters are confined to Graphics\Videos\: a path
// that would leave it, or is not an ".ogv" file there, is refused with a log line and
// gives "" (a cutscene on it ends at once).
std::string FlimbMasterVideo(const FlimbMasterEntry& entry, bool outro);

// The entry points of the campaign screens, each opening the cutscene in front over the
// given screen: a FlimbMaster's intro (the FlimbMaster window's replay is skippable, the
// boss selection's first showing is not) and the outro after a beaten FlimbMaster (the
// last one's closing scene, else the planet visit).
TransitionedCutscene* PlayFlimbMasterIntro(const FlimbMasterEntry& entry, Primitive* hiddenWindow, bool skippable);
TransitionedCutscene* PlayFlimbMasterOutro(const FlimbMasterEntry& entry, Primitive* hiddenWindow,
                                           bool lastFlimbMaster);
