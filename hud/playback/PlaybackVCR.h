#pragma once
// The playback controls "PlaybackVCR": a tape-recorder panel at the bottom of the playback
// HUD with the position slider along its top (it follows the replay and seeks forwards),
// the game clock, the transport buttons (restart, slow down, pause or play, speed up, jump
// ahead, leave), the collapse arrow that slides the panel down to its top strip, the
// minimap switch and a small message window for "End of playback". Lengths are design
// pixels of the 1024 x 768 layout times the UI scale.
#include "game/MessageLog.h"
#include "gui/PrimContainer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class AnimButton;
class AnimatePosition;
class ChatWindow;
class CollapseCheckBox;
class FlimbsSliderBar;
class FlimbsToolTip;
class GraphicCheckBox;
class Label;
class ScreenImage;

class PlaybackVCR : public PrimContainer {
public:
    static constexpr const char* kName = "PlaybackVCR";
    static constexpr const char* kFolder = "Graphics\\HUD\\Playback\\";
    static constexpr int kSlotCount = 9;
    enum Slot : int {
        kRestartSlot = 0,
        kSlowDownSlot = 1,
        kPauseSlot = 2,
        kSpeedUpSlot = 3,
        kJumpSlot = 4,
        kEmptySlot = 5,
        kStartServerSlot = 6,
        kLeaveSlot = 7,
        kPlaySlot = 8,
    };
    static constexpr float kCollapsedY = 970.0f;
    static constexpr uint32_t kSlideMs = 500;
    static constexpr int kMessageCount = 100;
    // Whether the panel offers "Start a multiplayer server at this point in playback." (it
    // works end to end: the new server plays the recording so far and the match goes on).
    static constexpr bool kOffersStartServer = true;

    PlaybackVCR();
    ~PlaybackVCR() override;

    // The children, then the slider follows the update counter, the clock shows the game
    // time, "End of playback" is posted once when the replay has just ended, and the play
    // and pause buttons swap with the state.
    void Update() override;

    // Slides the panel (500 ms) to its top strip (y 970) or fully up, centred.
    void SetCollapsed(bool collapsed);
    bool Collapsed() const { return collapsed_; }
    // The minimap box's action: the minimap fades in (made on first use) or fades out and
    // goes.
    void ShowMinimap(bool show);
    // The slider was moved by the player to an update.
    void OnSliderMoved();

    // Null for the empty slot and for the slots the panel does not offer.
    AnimButton* Button(int slot) const { return buttons_[size_t(slot)]; }
    FlimbsSliderBar* Slider() const { return slider_; }
    Label* Clock() const { return clock_; }
    CollapseCheckBox* CollapseBox() const { return collapseBox_; }
    GraphicCheckBox* MinimapBox() const { return minimapBox_; }
    ChatWindow* Chat() const { return chat_; }
    MessageLog& Messages() { return *messages_; }
    // The tip shown for a control (key tokens expanded), empty when none.
    std::string TipOf(const Primitive* control) const;

private:
    void BuildButtons();
    void FollowPlayback();

    std::array<AnimButton*, kSlotCount> buttons_{};
    bool collapsed_ = true;
    ScreenImage* base_ = nullptr;
    ScreenImage* clockImage_ = nullptr;
    FlimbsSliderBar* slider_ = nullptr;
    Label* clock_ = nullptr;
    AnimatePosition* slide_ = nullptr;
    // Owned here and outliving the chat window that shows it (the children go first).
    std::unique_ptr<MessageLog> messages_;
    ChatWindow* chat_ = nullptr;
    int lastState_ = 0;
    CollapseCheckBox* collapseBox_ = nullptr;
    GraphicCheckBox* minimapBox_ = nullptr;
    FlimbsToolTip* toolTip_ = nullptr;
};

// The playback controls of the open playback HUD, or null.
PlaybackVCR* FindPlaybackVCR();
