// The HUD window's construction: the game view, the frame, the top bar, the two bottom
// panels with their controls, the FlimbMaster display, the wide-screen extenders, the chat
// windows, the statistics strip and the two layers, in that order.
#include "hud/FlimbsHUD.h"

#include "app/KeyBindings.h"
#include "app/LanguageTexts.h"
#include "app/PlayerProfile.h"
#include "gui/CheckBox.h"
#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsDoor.h"
#include "gui/FlimbsToolTip.h"
#include "gui/FrameWindow.h"
#include "gui/GraphicButtons.h"
#include "gui/ScreenImage.h"
#include "gui/SliderBar.h"
#include "gui/StretchGraphicButton.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "hud/BeltWorld.h"
#include "hud/ChatEditBox.h"
#include "hud/ChatWindows.h"
#include "hud/FlimbActionButton.h"
#include "hud/FlimbMasterDisplay.h"
#include "hud/HistoryFilmStrip.h"
#include "hud/HudActions.h"
#include "hud/HudGame.h"
#include "hud/InGameMenu.h"
#include "hud/Selectors.h"
#include "hud/TimeControls.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"

#include <algorithm>

namespace {

constexpr const char* kFolder = FlimbsHUD::kFolder;
constexpr int kMultiverseMode = 4;
constexpr int kNoTeam = 99;

float Scale()
{
    return GetUiScale();
}

// Design pixels to 1/1000 units of the screen.
float DX(float design)
{
    return Primitive::ToVirtualX(design * Scale());
}

float DY(float design)
{
    return Primitive::ToVirtualY(design * Scale());
}

// An image widget's own size times the UI scale.
void ScaleToUi(Primitive* control)
{
    float w = 0.0f, h = 0.0f;
    if (control->GetSize(&w, &h))
        control->SetSize(w * Scale(), h * Scale());
}

void Centre(Primitive* control)
{
    control->hAlign = kAlignHCentre;
    control->vAlign = kAlignVCentre;
}

void FitToChildren(PrimContainer* container)
{
    float w = 0.0f, h = 0.0f;
    container->GetSize(&w, &h);
    container->SetSize(w, h);
}

GraphicButton* MakeButton(const char* file, int frames)
{
    auto* button = new GraphicButton(kFolder, file, frames);
    ScaleToUi(button);
    return button;
}

GraphicCheckBox* MakeCheckBox(const char* file, int frames)
{
    auto* box = new GraphicCheckBox(JoinImagePath(kFolder, file), frames);
    box->notifyOnToggle = 1;
    ScaleToUi(box);
    return box;
}

ScreenImage* MakeImage(const char* file)
{
    auto* image = new ScreenImage(kFolder, file);
    image->SetScale(1.0f, 1.0f);
    return image;
}

// A picture of the frame: drawn, never under the pointer (the controls over it are).
ScreenImage* MakeBackdrop(const char* file)
{
    ScreenImage* image = MakeImage(file);
    image->enabled = 0;
    return image;
}

// A control action that takes the control (the HUD actions' form).
ButtonCallback Click(void (*action)(Primitive*))
{
    return [action](Primitive*, Button* button) { action(button); };
}

ControlCallback Change(void (*action)(Primitive*))
{
    return [action](Primitive*, Primitive* control) { action(control); };
}

// The morph key action of each flimb type (the binding store's names).
const char* MorphAction(int type)
{
    static const char* const names[] = {"Clob", "Mold", "Nova", "Drill", "Gulp", "Doppel",
                                        "Puff", "Spin", "Atomize", "Lop", "Walk", "Squish"};
    return type >= 0 && type < 12 ? names[type] : "";
}

std::string TypeName(int type)
{
    if (IBeltWorld* world = GetBeltWorld())
        return world->TypeName(type);
    return MorphAction(type);
}

} // namespace

// ---- StatsContainer ---------------------------------------------------------------------

StatsContainer::StatsContainer() : toolTip_(new FlimbsToolTip(250.0f))
{
    toolTip_->excludeFromBounds = 1;
    AddChild(toolTip_);
}

StatsContainer::~StatsContainer()
{
    RemoveChild(toolTip_, false);
    delete toolTip_;
    for (Primitive* child : CopyChildList())
        RemoveChild(child, false); // the widgets are the game mode's
}

void StatsContainer::ReleaseWidgets()
{
    for (Primitive* child : CopyChildList())
        RemoveChild(child, false);
    AddChild(toolTip_);
}

// ---- FlimbsHUD --------------------------------------------------------------------------

FlimbsHUD* FindFlimbsHUD()
{
    return dynamic_cast<FlimbsHUD*>(FindOpenWindow(FlimbsHUD::kName));
}

FlimbsHUD* OpenFlimbsHUD()
{
    if (FlimbsHUD* open = FindFlimbsHUD()) {
        open->SaveChatText();
        open->Deactivate();
    }
    auto* hud = new FlimbsHUD;
    OpenWindow(hud, true);
    return hud;
}

std::string& FlimbsHUD::SavedChatText()
{
    static std::string text;
    return text;
}

void FlimbsHUD::AddOnTop(Primitive* child)
{
    AddChild(child, false);
}

void FlimbsHUD::SetTip(Primitive* control, const std::string& text)
{
    if (control && toolTip_)
        toolTip_->SetTip(control, ExpandKeyTokens(text));
}

std::string FlimbsHUD::TipOf(const Primitive* control) const
{
    return toolTip_ && control ? toolTip_->TipFor(control) : std::string();
}

GraphicCheckBox* FlimbsHUD::CameraBox(int direction) const
{
    switch (direction) {
    case 0:
        return cameraDown_;
    case 2:
        return cameraLeft_;
    case 3:
        return cameraRight_;
    default:
        return cameraUp_;
    }
}

FlimbsHUD::FlimbsHUD()
{
    HudGame& game = CurrentHudGame();
    const bool multiplayer = game.IsMultiplayer();
    const float s = Scale();
    const float width = float(GetScreenWidth());

    // 1. The window.
    SetName(kName);
    containerFlags |= kContainerWindow | kContainerTransparent;
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
    toolTip_ = new FlimbsToolTip(250.0f);
    toolTip_->excludeFromBounds = 1;

    // 2. The game view.
    std::unique_ptr<Primitive> view = MakeHudGameView();
    viewPanel_ = view.get();
    view_ = dynamic_cast<HudGameView*>(viewPanel_);
    viewPanel_->SetName("MOUSEPORT");
    AddOnTop(view.release());
    viewPanel_->SetPosition(ToVirtualX(20.0f * s), ToVirtualY(39.0f * s));
    viewPanel_->SetSize(ToVirtualX(width - 40.0f * s), ToVirtualY(590.0f * s));
    if (view_)
        view_->SetViewRect(20.0f * s, 39.0f * s, width - 20.0f * s, 629.0f * s);

    // 3. The frame (added in step 18).
    FramePieces frame;
    FrameWindow::Build(frame);
    const float frameLeft = frame.left->GetSizeVirtual().x;
    const float frameRight = 1000.0f - frame.right->GetSizeVirtual().x;
    const float frameTop = frame.top->GetSizeVirtual().y;
    const float frameBottom = 1000.0f - frame.bottom->GetSizeVirtual().y;

    // 4. The top bar between the frame's sides, under its top piece.
    topBar_ = MakeBackdrop("top_bar.png");
    topBar_->SetPosition(frameLeft, frameTop);
    topBar_->SetSize(frameRight - frameLeft, kKeepCoordinate);
    AddOnTop(topBar_);
    const FloatPoint barSize = topBar_->GetSizeVirtual();

    // 5. The score button at the bar's left end.
    if (multiplayer) {
        auto* score = new ScoreButton;
        score->SetPosition(frameLeft, frameTop - DY(11.0f));
        AddOnTop(score);
    }

    // 6. The menu button at the bar's right end.
    auto* menu = new IconButton(TranslateText("Menu"), "Graphics\\HUD\\InGame\\drop_arrow.png");
    menu->vAlign = kAlignVCentre;
    menu->onClick = [](Primitive*, Button* button) { OpenInGameMenu(button); };
    float menuWidth = 0.0f, menuHeight = 0.0f;
    menu->GetSize(&menuWidth, &menuHeight);
    menu->SetSize(menuWidth, menuHeight);
    menu->SetPosition(frameRight - menuWidth - DX(30.0f), frameTop + barSize.y / 2.0f - DY(1.0f));
    AddOnTop(menu);

    // 7 - 12. The bottom panels.
    BuildLeftPanel(frameLeft, frameBottom);
    BuildRightPanel(frameRight, frameBottom);

    // 13. The FlimbMaster display in the middle, on the frame's bottom piece.
    masterDisplay_ = new FlimbMasterDisplay;
    masterDisplay_->hAlign = kAlignHCentre;
    masterDisplay_->vAlign = kAlignBottom;
    masterDisplay_->SetPosition(500.0f, frameBottom);
    AddOnTop(masterDisplay_);

    // 14. Wide screens: the gap between the panels, half to each side's extender, under the
    // panels.
    const float leftEdge = frameLeft + leftPanel_->GetSizeVirtual().x;
    const float rightEdge = frameRight - rightPanel_->GetSizeVirtual().x;
    if (rightEdge - leftEdge > 0.5f) {
        const float middle = (leftEdge + rightEdge) / 2.0f;
        leftExtender_ = MakeBackdrop("widescreen_extenders_left.png");
        leftExtender_->vAlign = kAlignBottom;
        leftExtender_->SetPosition(leftEdge, frameBottom);
        leftExtender_->SetSize(middle - leftEdge, DY(125.0f));
        rightExtender_ = MakeBackdrop("widescreen_extenders_right.png");
        rightExtender_->vAlign = kAlignBottom;
        rightExtender_->SetPosition(middle, frameBottom);
        rightExtender_->SetSize(rightEdge - middle, DY(125.0f));
        AddChildNear(leftExtender_, leftPanel_, true);
        AddChildNear(rightExtender_, rightPanel_, true);
    }

    // 15. The small chat window over the left panel.
    const float leftPanelTop = leftPanel_->GetScreenRect().top;
    chatWindow_ = new ChatWindow(&HudMessageLog());
    FitToChildren(chatWindow_);
    chatWindow_->vAlign = kAlignBottom;
    chatWindow_->SetPosition(frameLeft, leftPanelTop);
    chatWindow_->highlight = 0;
    AddOnTop(chatWindow_);

    // 16. The chat pop-up.
    chatPopup_ = new ChatWindow2(&HudMessageLog());
    chatPopup_->SetName("CHAT_POPUP");
    FitToChildren(chatPopup_);
    chatPopup_->vAlign = kAlignBottom;
    chatPopup_->SetPosition(frameLeft + DX(34.0f), leftPanelTop - DY(43.0f));
    chatPopup_->visible = 0;
    AddOnTop(chatPopup_);

    // 17. The statistics strip along the top bar.
    statsStrip_ = new StatsContainer;
    statsStrip_->containerFlags |= kContainerTransparent;
    statsStrip_->SetPosition(0.0f, frameTop);
    statsStrip_->SetSize(1000.0f, DY(27.0f));
    AddOnTop(statsStrip_);

    // 18. The frame over everything so far.
    for (ScreenImage* piece : {frame.topLeft, frame.top, frame.topRight, frame.left, frame.right, frame.bottomLeft,
                               frame.bottom, frame.bottomRight})
        if (piece) {
            piece->enabled = 0;
            AddOnTop(piece);
        }

    // 19, 20. The layers: the overlay layer, the menu layer over it.
    overlayLayer_ = new PrimContainer;
    overlayLayer_->SetName("HUD_OVERLAY_LAYER");
    menuLayer_ = new PrimContainer;
    menuLayer_->SetName("HUD_MENU_LAYER");
    for (PrimContainer* layer : {overlayLayer_, menuLayer_}) {
        layer->containerFlags |= kContainerTransparent;
        layer->SetPosition(0.0f, 0.0f);
        layer->SetSize(1000.0f, 1000.0f);
        layer->excludeFromBounds = 1;
        AddOnTop(layer);
    }
    AddOnTop(toolTip_);

    // 21.
    RefreshRestoreCheckpoint();
}

FlimbsHUD::~FlimbsHUD()
{
    // The statistics strip must leave the mode's widgets alone before the children go.
    if (statsStrip_)
        statsStrip_->ReleaseWidgets();
}

void FlimbsHUD::BuildLeftPanel(float frameLeft, float frameBottom)
{
    HudGame& game = CurrentHudGame();
    const bool multiplayer = game.IsMultiplayer();
    auto* panel = new PrimContainer;
    leftPanel_ = panel;
    panel->containerFlags |= kContainerTransparent;
    panel->SetSize(1000.0f, 1000.0f); // room while the children are placed; fitted below

    panel->AddChild(MakeBackdrop("hud-left-frame.png"));

    if (multiplayer) {
        chatIcon_ = MakeImage("chat_icon.png");
        Centre(chatIcon_);
        chatIcon_->SetPosition(DX(133.0f), DY(10.0f));
        chatIcon_->highlight = 0;
        panel->AddChild(chatIcon_);

        chatHistoryBox_ = new CollapseCheckBox;
        chatHistoryBox_->SetName("chatCheck");
        ScaleToUi(chatHistoryBox_);
        Centre(chatHistoryBox_);
        chatHistoryBox_->SetPosition(DX(114.0f), DY(10.0f));
        chatHistoryBox_->onChange = [](Primitive*, Primitive* box) { OnChatHistoryToggled(box); };
        panel->AddChild(chatHistoryBox_);
        SetTip(chatHistoryBox_, TranslateText("View chat history") + ": <ChatHistory>");
    }

    GraphicButton* arrow = MakeButton("arrow_up.png", 3);
    Centre(arrow);
    arrow->SetPosition(DX(17.0f), DY(24.0f));
    panel->AddChild(arrow);

    // The view option column.
    struct OptionRow {
        const char* name;
        const char* image;
        const char* tip;
        void (*action)(Primitive*);
        GraphicCheckBox** member;
    };
    const OptionRow options[] = {
        {"MinimapCheckBox", "minimap_mode.png", "Show mini map: <MiniMap>", MiniMapToggled, nullptr},
        {"HideOwnTeamCheckBox", "hideteam_mode.png", "Hide own team: <HideOwnTeam>", HideOwnTeamToggled, &hideOwnBox_},
        {"HideOtherTeamsCheckBox", "hideothers_mode.png", "Hide other teams: <HideOtherTeams>",
         HideOtherTeamsToggled, &hideOthersBox_},
        {"ShowCountsCheckBox", "showcounts_mode.png", "Show flimb counts: <ShowFlimbCounts>", ShowFlimbCountsToggled,
         &countsBox_},
    };
    float y = DY(34.0f);
    for (const OptionRow& row : options) {
        GraphicCheckBox* box = MakeCheckBox(row.image, 2);
        box->SetName(row.name);
        box->SetPosition(DX(6.0f), y);
        box->onChange = Change(row.action);
        panel->AddChild(box);
        const std::string tip = row.tip;
        const size_t colon = tip.find(": <");
        SetTip(box, TranslateText(tip.substr(0, colon)) + tip.substr(colon));
        y += box->GetSizeVirtual().y + DY(3.0f);
        if (row.member)
            *row.member = box;
    }

    // Zoom and camera.
    struct ZoomRow {
        const char* image;
        float x, y;
        bool centred;
        const char* tip;
        void (*action)(Primitive*);
    };
    const ZoomRow zooms[] = {
        {"zoom_in.png", 44, 13, false, "Zoom in : PAGE UP", ZoomIn},
        {"zoom_out.png", 46, 38, false, "Zoom out : PAGE DOWN", ZoomOut},
        {"zoom_nominal.png", 53, 39, true, "Zoom nominal : HOME", ZoomNominal},
    };
    for (const ZoomRow& row : zooms) {
        GraphicButton* button = MakeButton(row.image, 3);
        if (row.centred)
            Centre(button);
        button->SetPosition(DX(row.x), DY(row.y));
        button->onClick = Click(row.action);
        panel->AddChild(button);
        SetTip(button, TranslateText(row.tip));
    }
    ScreenImage* base = MakeBackdrop("camera_base.png");
    Centre(base);
    base->SetPosition(DX(67.0f), DY(94.0f));
    panel->AddChild(base);

    struct CameraRow {
        const char* image;
        float x, y;
        const char* tip;
        void (*action)(Primitive*);
        GraphicCheckBox** member;
    };
    const CameraRow cameras[] = {
        {"camera_down.png", 46, 102, "Orient camera down", OrientCameraDown, &cameraDown_},
        {"camera_up.png", 46, 58, "Orient camera up", OrientCameraUp, &cameraUp_},
        {"camera_left.png", 30, 73, "Orient camera left", OrientCameraLeft, &cameraLeft_},
        {"camera_right.png", 78, 73, "Orient camera right", OrientCameraRight, &cameraRight_},
    };
    for (const CameraRow& row : cameras) {
        GraphicCheckBox* box = MakeCheckBox(row.image, 2);
        box->SetPosition(DX(row.x), DY(row.y));
        box->onChange = Change(row.action);
        panel->AddChild(box);
        SetTip(box, TranslateText(row.tip));
        *row.member = box;
    }
    autoAlignBox_ = MakeCheckBox("camera_autoalign.png", 2);
    Centre(autoAlignBox_);
    autoAlignBox_->SetPosition(DX(67.0f), DY(94.0f));
    autoAlignBox_->onChange = Change(AutoAlignToggled);
    autoAlignBox_->SetChecked(view_ && view_->FollowFlag(), false, false);
    panel->AddChild(autoAlignBox_);
    SetTip(autoAlignBox_, TranslateText("Auto-align camera with flimb"));

    if (multiplayer) {
        auto* chat = new ChatEditBox;
        chat->vAlign = kAlignVCentre;
        chat->SetSize(DX(290.0f), DY(14.0f));
        chat->SetPosition(DX(146.0f), DY(7.0f));
        const std::string& saved = SavedChatText();
        if (saved.empty()) {
            chat->SetText(TranslateText("Press ") + KeyNameForAction("ChatMode") +
                          TranslateText(" to enter chat mode."));
            chat->pressed = 0; // a hint: cleared when the line takes the focus
        } else {
            chat->SetText(saved);
            chat->pressed = 1;
            chatFocusPending_ = 1;
        }
        panel->AddChild(chat);
    }

    avatar_ = new ScreenImage;
    avatar_->SetPosition(DX(114.0f), DY(25.0f));
    panel->AddChild(avatar_);
    RefreshAvatar();

    auto* strip = new HistoryFilmStrip;
    strip->vAlign = kAlignBottom;
    strip->SetPosition(DX(114.0f), DY(130.0f));
    panel->AddChild(strip);

    PrimContainer* other = BuildOtherControls();
    other->hAlign = kAlignRight;
    other->SetPosition(DX(427.0f), DY(27.0f));
    panel->AddChild(other);

    // The door slides its leaves apart: a frame of its size keeps them inside its opening.
    auto* doorFrame = new PrimContainer;
    doorFrame->containerFlags |= kContainerTransparent;
    doorFrame->SetPosition(DX(111.0f), DY(22.0f));
    doorFrame->SetSize(DX(317.0f), DY(109.0f));
    door_ = new FlimbsDoor(kFolder, "hud-door-left.png", "hud-door-right.png", 11);
    door_->SetSize(DX(317.0f), DY(109.0f));
    door_->SetOpening(0.0f, 250);
    door_->SetPosition(0.0f, 0.0f);
    doorFrame->AddChild(door_);
    panel->AddChild(doorFrame);

    FitToChildren(panel);
    panel->vAlign = kAlignBottom;
    panel->SetPosition(frameLeft, frameBottom);
    AddOnTop(panel);
}

void FlimbsHUD::BuildRightPanel(float frameRight, float frameBottom)
{
    HudGame& game = CurrentHudGame();
    auto* panel = new PrimContainer;
    rightPanel_ = panel;
    panel->containerFlags |= kContainerTransparent;
    panel->SetSize(1000.0f, 1000.0f);
    panel->AddChild(MakeBackdrop("hud-right-frame.png"));

    GraphicButton* stamp = MakeButton("stamp.png", 3);
    stamp->SetName("stamp");
    Centre(stamp);
    stamp->SetPosition(DX(50.0f), DY(49.0f));
    stamp->onClick = Click(OpenStampSelector);
    panel->AddChild(stamp);
    SetTip(stamp, TranslateText("Stamps") + " : <stamp>");

    decorationButton_ = MakeButton("decoration.png", 3);
    decorationButton_->SetName("decoration");
    Centre(decorationButton_);
    decorationButton_->SetPosition(DX(50.0f), DY(105.0f));
    decorationButton_->onClick = Click(OpenDecorationSelector);
    panel->AddChild(decorationButton_);
    SetTip(decorationButton_, TranslateText("Decorations") + " : <decoration>");

    // 9. The belt: two rows of six from (87, 23).
    const int group = game.LocalGroup();
    float x = DX(87.0f), y = DY(23.0f), rowHeight = 0.0f;
    for (int i = 0; i < kBeltSize; ++i) {
        if (i == 6) {
            x = DX(87.0f);
            y += rowHeight;
            rowHeight = 0.0f;
        }
        const int type = kBeltTypes[size_t(i)];
        auto* button = new FlimbActionButton(group, type, i == kGulpUpIndex);
        button->SetPosition(x, y);
        button->onClick = [](Primitive*, Button* clicked) { OnMorphButton(clicked); };
        panel->AddChild(button);
        if (i == kGulpUpIndex)
            SetTip(button, TranslateText("Gulp Up : ") + KeyNameForAction("GulpUp"));
        else
            SetTip(button, TypeName(type) + " : " + KeyNameForAction(MorphAction(type)));
        const FloatPoint size = button->GetSizeVirtual();
        x += size.x;
        rowHeight = std::max(rowHeight, size.y);
        belt_[size_t(i)] = button;
    }

    // 10, 11. Quantum Time, and Freeze Time alone.
    auto* quantum = new QuantumTimeCheckBox;
    quantum->SetName(QuantumTimeCheckBox::kName);
    ScaleToUi(quantum);
    quantum->vAlign = kAlignVCentre;
    quantum->SetPosition(DX(20.0f), DY(10.5f));
    panel->AddChild(quantum);
    SetTip(quantum, TranslateText("Toggle Quantum Time") + " : <ShowFuture>");
    if (!game.IsMultiplayer()) {
        auto* freeze = new FreezeTimeCheckBox;
        ScaleToUi(freeze);
        freeze->vAlign = kAlignVCentre;
        freeze->SetPosition(DX(20.0f) + quantum->GetSizeVirtual().x + DX(5.0f), DY(10.5f));
        panel->AddChild(freeze);
        SetTip(freeze, TranslateText("Freeze Time") + " : <FreezeTime>");
    }

    // 12. SuperNova.
    GraphicButton* nova = MakeButton("supernova.png", 3);
    Centre(nova);
    nova->SetPosition(DX(403.0f), DY(11.0f));
    nova->onClick = Click(GoSuperNova);
    panel->AddChild(nova);
    SetTip(nova, TranslateText("Go SuperNova!") + " : <SuperNova>");

    FitToChildren(panel);
    panel->hAlign = kAlignRight;
    panel->vAlign = kAlignBottom;
    panel->SetPosition(frameRight, frameBottom);
    AddOnTop(panel);
}

PrimContainer* FlimbsHUD::BuildOtherControls()
{
    HudGame& game = CurrentHudGame();
    const bool multiplayer = game.IsMultiplayer();
    const bool admin = game.IsAdmin();
    const int mode = CurrentGameMode() ? game.ModeIndex() : -1;
    auto* strip = new PrimContainer;
    strip->SetName("OTHER_CONTROLS");
    strip->containerFlags |= kContainerTransparent;
    strip->SetSize(1000.0f, 1000.0f);
    std::vector<Primitive*> row;
    auto add = [&](Primitive* control) {
        strip->AddChild(control);
        row.push_back(control);
        return control;
    };
    auto divider = [&] { add(MakeBackdrop("buttons_divider.png")); };

    if (admin && multiplayer && mode != kMultiverseMode) {
        auto* players = new FlimbsButton2(TranslateText("Players"));
        players->onClick = [](Primitive*, Button*) { CurrentHudGame().OpenAdminPlayersPanel(); };
        // Greyed while the lobby's players panel is not there to open.
        if (!game.AdminPlayersPanelAvailable()) {
            players->enabled = 0;
            players->alpha = 110;
        }
        playersButton_ = players;
        add(players);
    }
    if (playersButton_)
        playersButton_->highlight = admin ? 1 : 0;

    speedSlider_ = nullptr;
    if (admin && (multiplayer || game.LevelKind() != 4)) {
        GraphicButton* clock = MakeButton("speed_clock.png", 3);
        clock->onClick = Click(ToggleGameSpeed);
        add(clock);
        SetTip(clock, TranslateText("Toggle speed") + ": <Quick>");

        auto* slider = new GraphicSliderBar(kFolder, "speed_bar.png", "speed_gripper.png");
        slider->SetName("SPEED_SLIDER");
        float w = 0.0f, h = 0.0f;
        slider->GetSize(&w, &h);
        slider->SetSize(DX(50.0f), h);
        slider->SetMargins(ToPixelsX(DX(7.0f)), 0.0f, 0.0f, 0.0f);
        if (multiplayer) {
            slider->SetRange(20.0f, 150.0f);
            slider->SetMarks({40.0f, 90.0f, 150.0f});
        } else {
            slider->SetRange(2.0f, 75.0f);
            slider->SetMarks({2.0f, 40.0f, 75.0f});
        }
        slider->SetValue(float(game.GameSpeed()), false);
        slider->onChange = [](Primitive*, Primitive* control) { SetGameSpeed(control->GetIntValue()); };
        add(slider);
        SetTip(slider, TranslateText("Game speed"));
        speedSlider_ = slider;
    }
    if (CurrentGameMode() && mode == kMultiverseMode) {
        GraphicButton* multiview = MakeButton("multiview.png", 3);
        multiview->onClick = Click(ShowOtherView);
        add(multiview);
        SetTip(multiview, TranslateText(multiplayer ? "Show other player view" : "Show other FlimbMaster view") +
                              ": <ShowFMView>");
        if (!(multiplayer && game.OtherViewSwitch() == 0))
            divider();
    }
    if (admin) {
        GraphicButton* restart = MakeButton("icon_restart.png", 3);
        restart->onClick = [](Primitive*, Button*) { RestartLevel(); };
        add(restart);
        SetTip(restart, TranslateText("Restart level"));
    }
    restoreButton_ = nullptr;
    if (!multiplayer) {
        divider();
        GraphicButton* set = MakeButton("checkpoint_set.png", 1);
        set->SetName("setcheckpoint");
        set->onClick = Click(SetCheckpoint);
        add(set);
        SetTip(set, TranslateText("Set checkpoint") + ": <SaveCheckpoint>");

        divider();
        GraphicButton* restore = MakeButton("checkpoint_restore.png", 1);
        restore->onClick = Click(RestoreCheckpoint);
        restore->highlight = 0;
        restore->enabled = 0;
        add(restore);
        SetTip(restore, TranslateText("Restore checkpoint") + ": <LoadCheckpoint>");
        restoreButton_ = restore;

        divider();
    }
    if (!multiplayer || admin) {
        auto* play = new PlayPauseButton;
        ScaleToUi(play);
        add(play);
        SetTip(play, TranslateText("Play/Pause") + ": <PauseGame>");
    }

    // One row, 2 design pixels apart, centred on the tallest; each control fitted.
    for (Primitive* control : row) {
        float w = 0.0f, h = 0.0f;
        if (control->GetSize(&w, &h))
            control->SetSize(w, h);
    }
    float tallest = 0.0f;
    for (Primitive* control : row)
        tallest = std::max(tallest, control->GetSizeVirtual().y);
    float x = 0.0f;
    for (Primitive* control : row) {
        const FloatPoint size = control->GetSizeVirtual();
        control->SetPosition(x, (tallest - size.y) / 2.0f);
        x += size.x + DX(2.0f);
    }
    FitToChildren(strip);
    return strip;
}
