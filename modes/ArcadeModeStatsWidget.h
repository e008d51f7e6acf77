#pragma once
// The Multiverse race widget: one lane per shown group (in single player the FlimbMaster's
// and the groups in play, else the groups in play) with the group's walking flimb standing
// at its score on a scale that ends at the local group's start potential; the score and
// the potential are drawn as two bars behind it.
#include "modes/GameModeStatsWidget.h"

class MultiverseMatchMode;

class ArcadeModeStatsWidget : public GameModeStatsWidget {
public:
    static constexpr float kDesignWidth = 400.0f;
    static constexpr float kDesignRightInset = 140.0f;

    explicit ArcadeModeStatsWidget(MultiverseMatchMode* mode);
    ~ArcadeModeStatsWidget() override;

    void Update() override;
    void Draw() override;

    // Reads the shown groups, their scores and potentials; rebuilds the text.
    void Refresh();
    // "Current Scores:" and a line "<group> - <score>" per shown group.
    const std::string& ScoresText() const { return scoresText_; }
    bool Shows(int group) const { return shown_[size_t(group & 7)]; }
    int32_t PotentialOf(int group) const { return potentials_[size_t(group & 7)]; }

private:
    MultiverseMatchMode* mode_; // not owned: the mode owns this widget
    std::array<bool, 8> shown_{};
    std::array<int32_t, 8> potentials_{};
    std::array<AnimSurface*, 8> sprites_{}; // the group-animation cache's
    std::array<bool, 8> triedSprite_{};
    std::string scoresText_;
    bool placed_ = false;
};
