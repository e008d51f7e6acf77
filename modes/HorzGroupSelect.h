#pragma once
#include "gui/PrimContainer.h"

#include <array>
#include <functional>
#include <utility>
#include <vector>

class AnimSurface;
class GraphicButton;

// The group picker of the turn mode: one picture button per enabled group, a flag on the
// groups whose turn is done, and a selection frame over the chosen one.
class HorzGroupSelect : public PrimContainer {
public:
    static constexpr float kEmptyWidth = 250.0f;

    HorzGroupSelect(const std::vector<int>& groups, int selected, const std::array<bool, 8>& done);
    ~HorzGroupSelect() override;

    void Update() override;
    void Draw() override;

    // Moves the frame to the group's button (nothing for a group without one).
    void Select(int group);
    int Selected() const { return selected_; }
    // Shows or hides the done flags.
    void SetDone(const std::array<bool, 8>& done);
    bool ShowsDone(int group) const { return done_[size_t(group & 7)]; }
    GraphicButton* ButtonOf(int group) const;

    // Runs when a group's button is clicked.
    std::function<void(int group)> onChoose;

private:
    std::vector<std::pair<int, GraphicButton*>> buttons_;
    int selected_ = -1;
    std::array<bool, 8> done_{};
    AnimSurface* frame_ = nullptr;
    AnimSurface* flag_ = nullptr;
    uint32_t frameClock_ = 0;
};
