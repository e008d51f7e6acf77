#pragma once
// The score panels a mode shows during a match (the HUD's "SCORES_WINDOW"): the rescue and
// multiverse panel with a card and one meter per group, and the capture and quantum loop
// panels.
#include "gui/FlimbsWindow5.h"

#include <array>
#include <cstdint>
#include <string>

class AnimSurface;
class GameMode;
class SimpleLabel;

// What the HUD asks of every score panel.
class IScoreWindow {
public:
    virtual ~IScoreWindow() = default;
    // Rebuilds what the panel shows at once (the HUD calls it when it opens the panel).
    virtual void RefreshScores() = 0;
};

// Score panel sizes: 700 x 434 design pixels.
constexpr float kScorePanelDesignWidth = 700.0f;
constexpr float kScorePanelDesignHeight = 434.0f;
constexpr const char* kScoreImageFolder = "Graphics\\HUD\\InGame\\Scores\\";

// One group's three counters on its card: out, stored and lost.
class ScoreCard : public PrimContainer {
public:
    explicit ScoreCard(int group);
    ~ScoreCard() override;

    void Update() override;
    void Draw() override;

    int Group() const { return group_; }
    // The three values as shown: out, stored, lost.
    const std::array<std::string, 3>& Values() const { return values_; }

private:
    int group_;
    AnimSurface* background_ = nullptr;
    AnimSurface* scoreImage_ = nullptr;
    std::array<AnimSurface*, 3> icons_{};
    std::array<SimpleLabel*, 3> valueLabels_{};
    std::array<std::string, 3> values_;
};

// One group's bar: saved flimbs, predicted and the maximum possible, against a common scale.
class ScoreMeter : public Primitive {
public:
    static constexpr uint32_t kAnimationPeriod = 38;

    ScoreMeter(int group, int modeIndex);
    ~ScoreMeter() override;

    void Update() override;
    void Draw() override;

    // Recomputes the figures from the world.
    void Refresh();

    int group = 0;
    int32_t current = 0;
    int32_t predicted = 0;
    int32_t maximum = 0;       // the group's maximum possible
    int32_t scaleMaximum = 100;
    int32_t waitingAll = 0;    // waiting flimbs of the enabled groups

private:
    int modeIndex_;
    std::array<AnimSurface*, 8> bars_{};
    uint32_t animationTimer_ = 0;
    int animationFrame_ = 0;
};

class SavedMeterScoreWindow : public FlimbsWindow5, public IScoreWindow {
public:
    static constexpr uint32_t kRefreshPeriod = 250;

    explicit SavedMeterScoreWindow(const GameMode& mode);

    void Update() override;
    void RefreshScores() override;

    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }
    // The players shown beside a group's meter: non-spectators by number, "name(number)",
    // separated by ", ".
    static std::string PlayerListOf(int group);
    std::string GroupLabelText(int group) const;
    ScoreCard* Card() const { return card_; }
    ScoreMeter* Meter(int group) const { return meters_[size_t(group & 7)]; }

private:
    void RebuildLabels();

    std::string title_;
    bool timerEnabled_ = true;
    uint32_t elapsed_ = 0;
    bool catchUp_ = false;
    ScoreCard* card_ = nullptr;
    std::array<ScoreMeter*, 8> meters_{};
    std::array<SimpleLabel*, 8> groupLabels_{};
};

class CaptureTheFlimbScore : public FlimbsWindow5 {
public:
    CaptureTheFlimbScore();
    void Update() override;
    void Draw() override;
    // The group of the exit nearest to the target flimb, -1 while none.
    int ShownGroup() const { return shownGroup_; }

private:
    uint32_t animationTimer_ = 0;
    int shownGroup_ = -1;
};

class QuantumLoopScore : public FlimbsWindow5 {
public:
    QuantumLoopScore();
};
