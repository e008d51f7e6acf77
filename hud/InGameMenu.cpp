#include "hud/InGameMenu.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "gui/Animators.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/VoiceBubble.h"
#include "gui/WindowList.h"
#include "hud/HudActions.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "platform/input/ScanCodes.h"
#include "session/SessionServices.h"

#include <algorithm>
#include <exception>

namespace {

constexpr int kQuantumLoopMode = 5;
constexpr float kOpenY = 52.0f;
constexpr uint32_t kDisabledRowColour = 0xFF808080;
constexpr uint8_t kDisabledRowAlpha = 110;

// Closes the menu that holds the button through its window's Close.
void CloseMenuOf(Button* button)
{
    for (Primitive* walk = button ? button->parent : nullptr; walk; walk = walk->parent)
        if (auto* menu = dynamic_cast<InGameMenu*>(walk)) {
            menu->Close();
            return;
        }
}

void ShowSolution(Button*)
{
    HudGame& game = CurrentHudGame();
    game.ShowSolution(game.SolutionPath());
}

void LoadCheckpoint(Button* button)
{
    RestoreCheckpoint(button);
}

void NewLevel(Button* button)
{
    if (CurrentHudGame().IsMultiplayer())
        ShowLevelChangeWindow();
    else
        CurrentHudGame().VisitPlanet();
    CloseMenuOf(button);
}

void Options(Button* button)
{
    CurrentHudGame().ShowOptions([] {
        if (HudWindow* hud = FindHud())
            hud->Refresh();
    });
    CloseMenuOf(button);
}

void TestMode(Button*)
{
    HudGame& game = CurrentHudGame();
    if (!game.EditorTestPlay())
        return;
    game.PostNotice(game.ToggleEditorTestMode()
                        ? "Test mode ENABLED, press INSERT to create a flimb and hold CTRL to drag flimbs."
                        : "Test mode DISABLED.");
}

void Players(Button* button)
{
    CurrentHudGame().OpenAdminPlayersPanel();
    CloseMenuOf(button);
}

void Save(Button* button)
{
    HudGame& game = CurrentHudGame();
    if (game.ModeIndex() == kQuantumLoopMode) {
        game.ShowMessageBox("Warning",
                            "Cannot save during a Quantum Loop puzzle.  Solution will be auto-saved after end of puzzle.");
    } else if (game.SaveRecording()) {
        game.PostNotice(TranslateText("Game has been saved"));
    }
    CloseMenuOf(button);
}

// Leaving the level: the explicit "leave" of the game client's status signal.
void Exit(Button*)
{
    EmitLeave();
}

} // namespace

std::vector<InGameMenuEntry> InGameMenuEntries(const InGameMenuContext& c)
{
    // Columns A (multiplayer admin), B (multiplayer, not admin), S (any other session).
    struct Row {
        const char* label;
        const char* icon;
        bool a, b, s;
        void (*action)(Button*);
    };
    static const Row kRows[] = {
        {"Show Solution", "icon_show_solution.png", false, false, true, ShowSolution},
        {"Load Checkpoint", "checkpoint_restore.png", false, false, true, LoadCheckpoint},
        {"Restart", "icon_play_again.png", true, false, true, [](Button*) { RestartLevel(); }},
        {"New Level", "icon_return.png", true, false, true, NewLevel},
        {"Options", "icon_options.png", true, true, true, Options},
        {"Test Mode", "icon_star.png", true, true, true, TestMode},
        {"Players", "icon_players.png", true, false, false, Players},
        {"Save", "icon_save.png", true, true, true, Save},
        {"Exit", "icon_exit.png", true, true, true, Exit},
    };
    std::vector<InGameMenuEntry> entries;
    for (const Row& row : kRows) {
        const std::string label = row.label;
        if (label == "Test Mode" && !c.editorTest)
            continue;
        if (label == "Show Solution" && !c.hasSolution)
            continue;
        if (label == "New Level" && c.editorTest)
            continue;
        // Offered where its action can work: single-player aid and a saved checkpoint.
        if (label == "Load Checkpoint" && (!c.hasCheckpoint || !c.singlePlayerAid))
            continue;
        const bool offered = c.multiplayer ? (c.admin ? row.a : row.b) : row.s;
        if (!offered)
            continue;
        // The admin players panel belongs to the lobby's screens: greyed until they are there.
        const bool enabled = label != "Players" || c.playersPanel;
        entries.push_back({row.label, row.icon, row.action, enabled});
    }
    return entries;
}

InGameMenuContext CurrentInGameMenuContext()
{
    const HudGame& game = CurrentHudGame();
    InGameMenuContext c;
    c.multiplayer = game.IsMultiplayer();
    c.admin = game.IsAdmin();
    c.editorTest = game.EditorTestPlay();
    c.hasSolution = !game.SolutionPath().empty();
    c.hasCheckpoint = !game.Checkpoints(game.LevelName(true)).empty();
    GameMode* mode = CurrentGameMode();
    c.singlePlayerAid = mode && mode->IsSinglePlayerAid();
    c.playersPanel = game.AdminPlayersPanelAvailable();
    return c;
}

// ---- InGameMenuButton

InGameMenuButton::InGameMenuButton(const std::string& label, const std::string& icon, bool end) : end_(end)
{
    SetCaption(label.c_str());
    SetFont(0, 0xFFFFFFFF, 0.6f);
    if (!icon.empty())
        SetIcon(JoinImagePath(kFolder, icon), 1, 1, true);
    const char* suffix = end ? "-end.png" : ".png";
    left_ = ImageCache::GetImageFromParts(kFolder, std::string("menu-button-left") + suffix);
    middle_ = ImageCache::GetImageFromParts(kFolder, std::string("menu-button-mid") + suffix);
    right_ = ImageCache::GetImageFromParts(kFolder, std::string("menu-button-right") + suffix);
    // The icon's side keeps the margin the icon set; the caption ends 6 pixels before the
    // right edge.
    SetMargins(icon.empty() ? DesignUnitsX(4.0f) : kKeepCoordinate, kKeepCoordinate, DesignUnitsX(6.0f),
               kKeepCoordinate);
    tabStop = end ? 0 : 1;
}

InGameMenuButton::~InGameMenuButton()
{
    for (AnimSurface* image : {left_, middle_, right_})
        ImageCache::ReleaseImage(image);
}

bool InGameMenuButton::GetSize(float* width, float* height)
{
    float w = 0.0f, h = 0.0f;
    IconButton::GetSize(&w, &h);
    const float caption = ToVirtualX(WidgetTextWidth(fontId, text, textScale));
    w = std::max(w, caption);
    if (width)
        *width = w;
    if (height)
        *height = std::max(h, ToVirtualY(32.0f * float(GetScreenHeight()) / 768.0f));
    return true;
}

void InGameMenuButton::Draw()
{
    if (!visible || !highlight)
        return;
    const int frame = end_ ? 0 : std::clamp(int(state), 0, 2);
    const float heightScale = float(GetScreenHeight()) / 768.0f;
    const auto piece = [&](const AnimSurface* image, float x, float width) {
        if (!image || image->imageHeight <= 0)
            return;
        const int frames = end_ ? 1 : 3;
        const int fh = image->imageHeight / frames;
        const gfx::RECT source{0, frame * fh, image->imageWidth, frame * fh + fh};
        const gfx::D3DCOLOR colour = WithAlpha(0xFFFFFFFF, alpha);
        const gfx::D3DCOLOR colours[4] = {colour, colour, colour, colour};
        if (image->bitmap && image->bitmap->texture)
            Draw2D::DrawTexturedRect(image->bitmap->texture, &source, x, rect.top, x + width,
                                     rect.top + float(fh) * heightScale, colours);
    };
    const float leftWidth = left_ ? float(left_->imageWidth) * heightScale : 0.0f;
    const float rightWidth = right_ ? float(right_->imageWidth) * heightScale : 0.0f;
    piece(left_, rect.left, leftWidth);
    piece(middle_, rect.left + leftWidth, std::max(0.0f, rect.right - rect.left - leftWidth - rightWidth));
    piece(right_, rect.right - rightWidth, rightWidth);
    if (!end_)
        IconButton::Draw();
}

// ---- InGameMenu

float InGameMenu::RightEdge()
{
    return 1000.0f - DesignUnitsX(27.0f);
}

InGameMenu::InGameMenu(const InGameMenuContext& context) : context_(context)
{
    SetName(kName);
    containerFlags |= kContainerWindow;
    float x = 0.0f, height = 0.0f;
    const auto add = [&](std::unique_ptr<InGameMenuButton> button) {
        float w = 0.0f, h = 0.0f;
        button->GetSize(&w, &h);
        w = std::max(w, DesignUnitsX(45.0f));
        button->SetSize(w, h);
        button->SetPosition(x, 0.0f);
        x += w;
        height = std::max(height, h);
        AddChild(button.release());
    };
    for (const InGameMenuEntry& entry : InGameMenuEntries(context)) {
        auto button = std::make_unique<InGameMenuButton>(TranslateText(entry.label), entry.icon, false);
        button->SetName(entry.label);
        button->secondId = -1;
        const auto action = entry.action;
        button->onClick = [action](Primitive*, Button* clicked) { action(clicked); };
        if (!entry.enabled) {
            button->enabled = 0;
            button->SetFont(0, kDisabledRowColour, 0.6f);
            button->alpha = kDisabledRowAlpha;
        }
        add(std::move(button));
    }
    add(std::make_unique<InGameMenuButton>("", "", true));
    SetSize(x, height);
    hAlign = kAlignRight;
    auto animator = std::make_unique<AnimatePosition>(this);
    animator_ = animator.get();
    AddChild(animator.release());
    SetPosition(RightEdge(), -height);
}

std::vector<std::string> InGameMenu::Labels() const
{
    std::vector<std::string> labels;
    for (const Primitive* child : Children())
        if (const auto* button = dynamic_cast<const InGameMenuButton*>(child); button && !button->IsEnd())
            labels.push_back(button->name);
    return labels;
}

void InGameMenu::SetOpen(bool open)
{
    visible = 1;
    shown_ = open;
    if (open) {
        animator_->endAction = AnimEndAction::None;
        animator_->Start(RightEdge(), kOpenY, kSlideMs);
        return;
    }
    animator_->endAction = AnimEndAction::Hide;
    animator_->Start(RightEdge(), -GetSizeVirtual().y, kSlideMs);
    open_ = false;
}

Primitive* InGameMenu::OnLeftButton(int x, int y, int phase)
{
    if (!PointInRect(x, y)) {
        if (phase == kPhaseDown)
            SetOpen(false);
        return nullptr;
    }
    return PrimContainer::OnLeftButton(x, y, phase);
}

Primitive* InGameMenu::HitTest(int x, int y)
{
    if (PointInRect(x, y)) {
        open_ = true;
        return PrimContainer::HitTest(x, y);
    }
    if (open_)
        SetOpen(false);
    return nullptr;
}

int InGameMenu::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (value != 0 && code == kKeyEscape)
        SetOpen(false);
    return PrimContainer::OnKey(value, code, shift, device);
}

void InGameMenu::Close()
{
    SetOpen(false);
}

bool InGameMenuShown()
{
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
    const auto* menu = layer ? dynamic_cast<const InGameMenu*>(layer->FindChild(InGameMenu::kName)) : nullptr;
    return menu && menu->Shown();
}

void OpenInGameMenu(Primitive*)
{
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
    if (!layer)
        return;
    auto* menu = dynamic_cast<InGameMenu*>(layer->FindChild(InGameMenu::kName));
    const InGameMenuContext context = CurrentInGameMenuContext();
    if (menu && !(menu->Context() == context)) {
        menu->Deactivate();
        menu = nullptr;
    }
    if (!menu) {
        menu = new InGameMenu(context);
        layer->AddChild(menu);
    }
    menu->SetOpen(true);
}
