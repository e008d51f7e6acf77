#pragma once
// The HUD's statistics widgets: an icon and a number that pulses when the number changes.
// The game mode owns them; the HUD's statistics strip shows them, regroups them when the
// local team changes and shades every other one.
#include "gui/Primitive.h"

#include <array>
#include <cstdint>
#include <string>

class AnimSurface;
class CorralTheFlimbMode;

class GameModeStatsWidget : public Primitive {
public:
    static constexpr float kDesignWidth = 102.0f;
    static constexpr float kDesignHeight = 27.0f;
    static constexpr int kPulseTop = 200;
    static constexpr int kPulseStep = 60;
    static constexpr uint32_t kBlinkPeriod = 16;

    // iconPath may hold "{group-label}"; an empty path shows no icon.
    GameModeStatsWidget(int group, const std::string& iconPath, uint32_t colour = 0xCCFFFFFF,
                        const std::string& toolTip = std::string());
    // Releases the icon; leaves the HUD (its parent's list) as every primitive does.
    ~GameModeStatsWidget() override;

    void Update() override;
    void Draw() override;

    // The value as "%d" text (SetText's rules).
    void SetValue(int32_t value);
    // A new text pulses once (not the first one shown) and re-lays the widget out; the
    // same text changes nothing.
    void SetText(const std::string& text) override;
    std::string GetText() override { return valueText_; }
    // Replaces "{group-label}" with the group's label and loads the icon.
    void SetIconPath(const std::string& path);
    // The strip's regrouping: the widget's group, and its icon again when it has one.
    void SetGroup(int group);
    int Group() const { return group_; }
    // The icon path as given, before the label was put in.
    const std::string& LabelText() const { return iconPattern_; }
    void RefreshLabel();
    // 0 .. 1: how dark the strip's band behind the widget is drawn.
    void SetShade(float shade) { shade_ = shade; }
    float Shade() const { return shade_; }
    void SetColour(uint32_t colour) { colour_ = colour; }
    uint32_t Colour() const { return colour_; }
    void SetToolTipText(const std::string& text) { toolTip_ = text; }
    const std::string& ToolTipText() const { return toolTip_; }

    int32_t Value() const { return value_; }
    int PulseAmount() const { return pulseAmount_; }
    int PulsesLeft() const { return pulsesLeft_; }
    const std::string& IconName() const { return iconName_; }

    // Width from the icon and the widest of the text, "HH" and as many "H" as the text
    // has characters; the height is left as it is.
    void Relayout();

protected:
    // Steps the pulse by one update.
    void StepPulse();
    float TextScale() const;

    std::string valueText_;
    std::string iconPattern_;
    std::string iconName_;
    AnimSurface* icon_ = nullptr;
    int group_;
    int32_t value_ = 0;
    int pulseAmount_ = 0;
    int pulseStep_ = kPulseStep;
    int pulsesLeft_ = 0;
    uint32_t blinkTimer_ = 0;
    bool firstValue_ = true;
    uint32_t colour_;
    std::string toolTip_;
    float shade_ = 0.0f;
};

// The rescue mode's group bar: how many flimbs each group with players could still reach.
class CorralModeStatsWidget : public GameModeStatsWidget {
public:
    static constexpr float kDesignBarWidth = 140.0f;

    explicit CorralModeStatsWidget(CorralTheFlimbMode* mode);

    void Update() override;
    void Draw() override;

    // Recomputes the figures and the tooltip from the world.
    void Refresh();
    // Forgets the largest figure seen (each match start).
    void ResetMaximum() { largestSeen_ = 0; }
    int32_t MaxPossible(int group) const { return maxPossible_[size_t(group & 7)]; }
    int32_t LargestSeen() const { return largestSeen_; }

private:
    CorralTheFlimbMode* mode_; // not owned: the mode owns this widget
    std::array<int32_t, 8> maxPossible_{};
    std::array<int32_t, 8> saved_{};
    std::array<bool, 8> inPlay_{};
    int32_t largestSeen_ = 0;
};
