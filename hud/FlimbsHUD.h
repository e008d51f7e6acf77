#pragma once
// The in-game HUD window "FLIMBS_HUD": the game view "MOUSEPORT" inside a frame, a top bar
// with the menu button, a left panel (view and camera options, the chat line, the avatar,
// the history strip, the match controls "OTHER_CONTROLS" and a door that covers them until
// the match runs), a right panel (stamps, decorations, the belt of twelve morph buttons,
// Quantum Time, Freeze Time, SuperNova), the FlimbMaster display, the chat windows and the
// game mode's statistics strip. Lengths are design pixels of the 1024 x 768 layout times
// the UI scale.
//
// Stacking: a child added later lies over the ones before it; the HUD keeps its list with
// the topmost child first, so that input reaches the upper children first, and draws it from
// the back. The menu and overlay layers lie over everything, so that pop-ups placed over the
// HUD are never covered by its frame. The HUD never deletes its controls during play: it
// hides or greys them.
#include "gui/PrimContainer.h"
#include "hud/HudWindow.h"

#include <array>
#include <string>

class ChatWindow;
class ChatWindow2;
class CollapseCheckBox;
class FlimbActionButton;
class FlimbsButton2;
class FlimbsDoor;
class FlimbsToolTip;
class GraphicButton;
class GraphicCheckBox;
class GraphicSliderBar;
class ScreenImage;
class SimpleWindow;

// The strip that shows the game mode's statistics widgets: it owns only its tool tip; the
// widgets stay the mode's and leave its list without being deleted.
class StatsContainer : public PrimContainer {
public:
    StatsContainer();
    ~StatsContainer() override;

    FlimbsToolTip* ToolTipChild() const { return toolTip_; }
    // Empties the list without deleting the widgets, then puts the tool tip back first.
    void ReleaseWidgets();

private:
    FlimbsToolTip* toolTip_;
};

class FlimbsHUD : public PrimContainer, public HudWindow {
public:
    static constexpr const char* kName = "FLIMBS_HUD";
    static constexpr const char* kFolder = "Graphics\\HUD\\InGame";
    static constexpr int kBeltSize = 12;
    // The belt's morph types in belt order; index 4 is the Gulp Up button.
    static constexpr std::array<int, kBeltSize> kBeltTypes{5, 7, 1, 0, 4, 2, 10, 6, 8, 3, 4, 9};
    static constexpr int kGulpUpIndex = 4;
    static constexpr uint32_t kShadeMultiplayer = 0x5F000000;
    static constexpr uint32_t kShadeAlone = 0x22000000;
    static constexpr int kHostPause = 18;

    // Builds the whole HUD for the present screen (not opened: the caller opens it).
    FlimbsHUD();
    ~FlimbsHUD() override;

    // HudWindow.
    PrimContainer* UpperLayer() override { return menuLayer_; }
    PrimContainer* LowerLayer() override { return overlayLayer_; }
    PrimContainer* TopContainer() override { return this; }
    HudGameView* GameView() override { return view_; }
    FlimbMasterDisplay* MasterDisplay() override { return masterDisplay_; }
    void Refresh() override { RefreshRestoreCheckpoint(); }

    // A HUD button under the point hides the view's hover marker.
    Primitive* HitTest(int x, int y) override;
    // Escape opens the in-game menu; the key goes on to the children in every case.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Update() override;
    // The children from the back of the list to the front.
    void Draw() override;

    // A new "OTHER_CONTROLS" strip (the match admin changed), in the old one's place.
    void RebuildOtherControls();
    void RefreshAvatar();
    // The restore button shows once the level has a checkpoint.
    void RefreshRestoreCheckpoint();
    // The chat line's text is kept while the player is typing, for the next HUD.
    void SaveChatText();
    // The belt's group, and the view turned to the group's gravity.
    void SetLocalGroup(int group);
    // A new OTHER_CONTROLS strip for this HUD (not added).
    PrimContainer* BuildOtherControls();

    // The callbacks of the "chatCheck" box and the "Paused" bar.
    static void OnChatHistoryToggled(Primitive* box);
    static void OnPausedClicked();

    // The chat text kept across HUDs.
    static std::string& SavedChatText();

    Primitive* GameViewPanel() const { return viewPanel_; }
    ScreenImage* TopBar() const { return topBar_; }
    FlimbActionButton* BeltButton(int index) const { return belt_[size_t(index)]; }
    FlimbsDoor* Door() const { return door_; }
    bool StartHandled() const { return startHandled_ != 0; }
    GraphicSliderBar* SpeedSlider() const { return speedSlider_; }
    ChatWindow* SmallChat() const { return chatWindow_; }
    ChatWindow2* ChatPopup() const { return chatPopup_; }
    StatsContainer* StatsStrip() const { return statsStrip_; }
    ScreenImage* ChatIcon() const { return chatIcon_; }
    GraphicCheckBox* CountsBox() const { return countsBox_; }
    GraphicCheckBox* HideOwnBox() const { return hideOwnBox_; }
    GraphicCheckBox* HideOthersBox() const { return hideOthersBox_; }
    GraphicCheckBox* CameraBox(int direction) const;
    GraphicCheckBox* AutoAlignBox() const { return autoAlignBox_; }
    CollapseCheckBox* ChatHistoryBox() const { return chatHistoryBox_; }
    GraphicButton* DecorationButton() const { return decorationButton_; }
    GraphicButton* RestoreButton() const { return restoreButton_; }
    ScreenImage* AvatarImage() const { return avatar_; }
    SimpleWindow* PauseShade() const { return pauseShade_; }
    FlimbsButton2* PlayersButton() const { return playersButton_; }
    bool ChatFocusPending() const { return chatFocusPending_ != 0; }
    // The tip a control shows (key tokens expanded), empty when none.
    std::string TipOf(const Primitive* control) const;
    // The frame's width in design pixels is wider than both panels: the two extenders.
    ScreenImage* LeftExtender() const { return leftExtender_; }
    ScreenImage* RightExtender() const { return rightExtender_; }
    PrimContainer* LeftPanel() const { return leftPanel_; }
    PrimContainer* RightPanel() const { return rightPanel_; }

private:
    // Adds a child over the ones before it.
    void AddOnTop(Primitive* child);
    void SetTip(Primitive* control, const std::string& text);
    void BuildLeftPanel(float frameLeft, float frameBottom);
    void BuildRightPanel(float frameRight, float frameBottom);
    void UpdateMatchPhase();
    void UpdateViewOptions();
    void UpdateSpeedSlider();
    void UpdateChat();
    void UpdateStatsStrip();
    void UpdateTypingAndCheckpoints();

    HudGameView* view_ = nullptr;
    Primitive* viewPanel_ = nullptr;
    ScreenImage* topBar_ = nullptr;
    std::array<FlimbActionButton*, kBeltSize> belt_{};
    FlimbsDoor* door_ = nullptr;
    FlimbMasterDisplay* masterDisplay_ = nullptr;
    uint8_t startHandled_ = 0;
    GraphicSliderBar* speedSlider_ = nullptr;
    ChatWindow* chatWindow_ = nullptr;
    ChatWindow2* chatPopup_ = nullptr;
    PrimContainer* menuLayer_ = nullptr;
    PrimContainer* overlayLayer_ = nullptr;
    StatsContainer* statsStrip_ = nullptr;
    ScreenImage* chatIcon_ = nullptr;
    GraphicCheckBox* countsBox_ = nullptr;
    GraphicCheckBox* hideOwnBox_ = nullptr;
    GraphicCheckBox* hideOthersBox_ = nullptr;
    GraphicCheckBox* cameraDown_ = nullptr;
    GraphicCheckBox* cameraLeft_ = nullptr;
    GraphicCheckBox* cameraRight_ = nullptr;
    GraphicCheckBox* cameraUp_ = nullptr;
    GraphicCheckBox* autoAlignBox_ = nullptr;
    CollapseCheckBox* chatHistoryBox_ = nullptr;
    GraphicButton* decorationButton_ = nullptr;
    GraphicButton* restoreButton_ = nullptr;
    ScreenImage* avatar_ = nullptr;
    SimpleWindow* pauseShade_ = nullptr;
    FlimbsButton2* playersButton_ = nullptr;
    uint8_t chatFocusPending_ = 0;

    FlimbsToolTip* toolTip_ = nullptr;
    PrimContainer* leftPanel_ = nullptr;
    PrimContainer* rightPanel_ = nullptr;
    ScreenImage* leftExtender_ = nullptr;
    ScreenImage* rightExtender_ = nullptr;
};

// The open HUD window, or null.
FlimbsHUD* FindFlimbsHUD();
// The game client's level start: an open HUD keeps its chat text and closes, a new one is
// built and opened. Returns it.
FlimbsHUD* OpenFlimbsHUD();
