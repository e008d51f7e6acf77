#include "hud/Selectors.h"

#include "app/LanguageTexts.h"
#include "gui/Animators.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/GuiClock.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "hud/BeltWorld.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "platform/input/ScanCodes.h"
#include "session/SessionServices.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

constexpr const char* kFolder = "Graphics\\HUD\\InGame";
constexpr int kPerRow = 4;
constexpr uint8_t kFlagLive = 4;
constexpr uint32_t kSlideMs = 300;

Flimb* LiveFlimb(int32_t id)
{
    Flimb* flimb = FindFlimbById(id);
    return flimb && (flimb->flags & kFlagLive) ? flimb : nullptr;
}

void CloseWindowOf(Button* button)
{
    for (Primitive* walk = button ? button->parent : nullptr; walk; walk = walk->parent)
        if (auto* window = dynamic_cast<SelectorWindow*>(walk)) {
            window->Close();
            return;
        }
}

// The type's morphs locked in the permission table.
bool TypeLocked(int type)
{
    const IBeltWorld* world = GetBeltWorld();
    const uint8_t* row = world ? world->MorphPermissionRow(type) : nullptr;
    return row && row[2] != 0;
}

} // namespace

// ---- Buttons

DecorationButton::DecorationButton(int group, const std::string& decoration)
    : GraphicButton(kFolder, "morph_button_base.png", 3), decoration_(decoration), group_(group)
{
    overlay_ = ImageCache::GetImageFromParts(kFolder, "morph_button_overlay.png");
    animation_ = decoration.empty() ? nullptr : AnimationSpec::LoadDecoration(decoration, kWalk, 0);
}

DecorationButton::~DecorationButton()
{
    ImageCache::ReleaseImage(overlay_);
    ImageCache::ReleaseImage(animation_);
}

void DecorationButton::Update()
{
    GraphicButton::Update();
    const int frames = animation_ ? std::max(1, animation_->frameCount) : 1;
    if (state != kButtonHover && frame_ == 0) {
        timer_ = 0;
        return;
    }
    timer_ += GuiFrameElapsed();
    if (timer_ >= kFrameMs) {
        timer_ -= kFrameMs;
        if (timer_ > kFrameMs) // at most one step stays pending
            timer_ = kFrameMs;
        frame_ = frame_ + 1 >= frames ? 0 : frame_ + 1;
    }
}

void DecorationButton::Draw()
{
    GraphicButton::Draw();
    const float s = GetUiScale();
    const float cx = (rect.left + rect.right) / 2.0f, y = rect.bottom - 8.0f * s;
    if (animation_ && animation_->bitmap && animation_->bitmap->texture && animation_->frameWidth > 0) {
        const int columns = std::max(1, animation_->imageWidth / animation_->frameWidth);
        const int f = std::clamp(frame_, 0, std::max(0, animation_->frameCount - 1));
        const int sx = (f % columns) * animation_->frameWidth, sy = (f / columns) * animation_->frameHeight;
        const gfx::RECT source{sx, sy, sx + animation_->frameWidth, sy + animation_->frameHeight};
        const uint32_t colour = group_ >= 0 && group_ < 8 ? 0xFFFFFFFF : 0xFFFFFFFF;
        Draw2D::DrawTexturedQuad(animation_->bitmap->texture, &source, cx, y, 0.75f * s, 0.75f * s,
                                 float(animation_->hotspotX), float(animation_->hotspotY), 0.0f,
                                 WithAlpha(colour, alpha));
    }
    if (overlay_ && state != kButtonPressed)
        DrawImageFrame(overlay_, overlay_->imageWidth, overlay_->imageHeight, 0, rect, WithAlpha(0xFFFFFFFF, alpha));
}

StampButton::StampButton(const std::string& stampImage)
    : GraphicButton(kFolder, "morph_button_base.png", 3), path_(stampImage)
{
    overlay_ = ImageCache::GetImageFromParts(kFolder, "morph_button_overlay.png");
    stamp_ = stampImage.empty() ? nullptr : ImageCache::GetImage(stampImage);
    if (stamp_ && image && stamp_->imageWidth > 0 && stamp_->imageHeight > 0)
        stampScale_ = std::min(float(image->frameWidth) / float(stamp_->imageWidth),
                               float(image->frameHeight) / float(stamp_->imageHeight)) *
                      GetUiScale();
}

StampButton::~StampButton()
{
    ImageCache::ReleaseImage(stamp_);
    ImageCache::ReleaseImage(overlay_);
}

void StampButton::Draw()
{
    GraphicButton::Draw();
    if (stamp_ && stamp_->bitmap && stamp_->bitmap->texture) {
        const gfx::RECT whole{0, 0, stamp_->imageWidth, stamp_->imageHeight};
        Draw2D::DrawTexturedQuad(stamp_->bitmap->texture, &whole, (rect.left + rect.right) / 2.0f,
                                 (rect.top + rect.bottom) / 2.0f, stampScale_, stampScale_,
                                 float(stamp_->imageWidth) / 2.0f, float(stamp_->imageHeight) / 2.0f, 0.0f,
                                 WithAlpha(0xFFFFFFFF, alpha));
    }
    if (overlay_ && state != kButtonPressed)
        DrawImageFrame(overlay_, overlay_->imageWidth, overlay_->imageHeight, 0, rect, WithAlpha(0xFFFFFFFF, alpha));
}

// ---- The windows

SelectorWindow::SelectorWindow(const std::string& name, const std::string& title) : title_(title)
{
    SetName(name.c_str());
}

void SelectorWindow::Lay(std::vector<std::unique_ptr<GraphicButton>> buttons, const std::string& fillerImage)
{
    items_ = int(buttons.size());
    FlimbsLayoutEngine layout(this);
    const float m = DesignUnitsX(3.0f), mv = DesignUnitsY(3.0f);
    layout.SetMargins(m, mv, m, mv);
    layout.SetSpacing(m, mv);
    // Empty buttons fill the last row.
    while (buttons.empty() ? false : buttons.size() % kPerRow != 0) {
        auto filler = std::make_unique<GraphicButton>(kFolder, fillerImage, 3);
        filler->enabled = 0;
        buttons.push_back(std::move(filler));
    }
    auto heading = std::make_unique<SimpleLabel>(0, 0xFFFFFFFF, kLabelLeft, title_);
    heading->SetScale(0.8f);
    heading->FitToText();
    heading->SetPosition(m, mv);
    const float headingHeight = heading->GetSizeVirtual().y;
    float right = m + heading->GetSizeVirtual().x + m;
    AddChild(heading.release());
    float x = m, y = mv + headingHeight + mv, rowHeight = 0.0f;
    int column = 0;
    for (auto& button : buttons) {
        const FloatPoint size = button->GetSizeVirtual();
        button->SetPosition(x, y);
        x += size.x + m;
        right = std::max(right, x);
        rowHeight = std::max(rowHeight, size.y);
        if (++column == kPerRow) {
            column = 0;
            x = m;
            y += rowHeight + mv;
            rowHeight = 0.0f;
        }
        AddChild(button.release());
    }
    if (column != 0)
        y += rowHeight + mv;
    layout.SetOrigin(m, y);
    cancel_ = layout.AddButton(TranslateText("Cancel"), "cancel", -1);
    cancel_->onClick = [this](Primitive*, Button*) { Close(); };
    layout.Finish();
    float w = 0.0f, h = 0.0f;
    GetSize(&w, &h);
    SetSize(std::max(w, right), h + mv);
}

Primitive* SelectorWindow::OnLeftButton(int x, int y, int phase)
{
    if (!PointInRect(x, y)) {
        if (phase == kPhaseDown)
            Close();
        return nullptr;
    }
    return FlimbsWindow5::OnLeftButton(x, y, phase);
}

Primitive* SelectorWindow::OnRightButton(int x, int y, int phase)
{
    if (!PointInRect(x, y)) {
        if (phase == kPhaseDown)
            Close();
        return nullptr;
    }
    return FlimbsWindow5::OnRightButton(x, y, phase);
}

int SelectorWindow::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (value != 0 && code == kKeyEscape) {
        Close();
        return 1;
    }
    return FlimbsWindow5::OnKey(value, code, shift, device);
}

void SelectorWindow::Close()
{
    auto* slide = dynamic_cast<AnimatePosition*>(FindChild("ANIMATE_POS"));
    if (!slide) {
        Deactivate();
        return;
    }
    if (!enabled)
        return; // already on its way down
    // No more input at once; seen sliding down, then closed.
    enabled = 0;
    const FloatRect r = GetScreenRect();
    slide->endAction = AnimEndAction::None;
    slide->onFinished = [](Primitive* target, Primitive*) {
        if (target)
            target->Deactivate();
    };
    slide->Start(GetPositionVirtual().x, r.bottom - r.top + r.top + 50.0f, kSlideMs);
}

bool SelectorWindow::ShowOverHud()
{
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
    if (!layer)
        return false;
    float x = 500.0f;
    if (Primitive* button = hud->TopContainer()->FindChild("decoration")) {
        const FloatRect r = button->GetScreenRect();
        x = (r.left + r.right) / 2.0f;
    }
    const float bottom = HudGameViewBottom();
    hAlign = kAlignHCentre;
    vAlign = kAlignBottom;
    SetMargins(8.0f, 8.0f, 8.0f, 8.0f);
    SetPosition(x, bottom + GetSizeVirtual().y);
    auto slide = std::make_unique<AnimatePosition>(this);
    slide->Start(x, bottom, kSlideMs);
    AddChild(slide.release());
    layer->AddChild(this);
    return true;
}

DecorationsSelectorWindow::DecorationsSelectorWindow(int32_t flimbId)
    : SelectorWindow("Decorations", TranslateText("Decorations")), flimbId_(flimbId)
{
    const Flimb* flimb = LiveFlimb(flimbId);
    const int group = flimb ? flimb->group : 0;
    std::vector<std::unique_ptr<GraphicButton>> buttons;
    for (const UnlockedItem& item : CurrentHudGame().UnlockedItems("Decoration")) {
        auto button = std::make_unique<DecorationButton>(group, item.path);
        button->secondId = -1;
        const std::string decoration = item.path;
        button->onClick = [this, decoration](Primitive*, Button* clicked) {
            if (const Flimb* target = LiveFlimb(flimbId_))
                SendDecoration(0, target->id, decoration);
            CloseWindowOf(clicked);
        };
        buttons.push_back(std::move(button));
    }
    Lay(std::move(buttons), "morph_button_base.png");
}

void DecorationsSelectorWindow::Update()
{
    SelectorWindow::Update();
    const Flimb* flimb = LiveFlimb(flimbId_);
    if (enabled && (!flimb || TypeLocked(flimb->type)))
        Close();
}

StampSelectorWindow::StampSelectorWindow() : SelectorWindow("Stamps", TranslateText("Stamps"))
{
    std::vector<std::unique_ptr<GraphicButton>> buttons;
    for (const UnlockedItem& item : CurrentHudGame().UnlockedItems("Stamp")) {
        auto button = std::make_unique<StampButton>(item.path);
        button->secondId = -1;
        const std::string stamp = item.path;
        button->onClick = [stamp](Primitive*, Button* clicked) {
            if (HudGameView* view = FindHudGameView())
                view->SetCurrentStamp(stamp);
            CloseWindowOf(clicked);
        };
        buttons.push_back(std::move(button));
    }
    Lay(std::move(buttons), "morph_button_base.png");
}

void OpenDecorationSelector(Primitive*)
{
    HudWindow* hud = FindHud();
    const Flimb* selected = World().selected;
    if (!hud || !selected || hud->TopContainer()->FindChild("Decorations"))
        return;
    auto window = std::make_unique<DecorationsSelectorWindow>(selected->id);
    if (window->ShowOverHud())
        window.release();
}

void OpenStampSelector(Primitive*)
{
    HudWindow* hud = FindHud();
    if (!hud || hud->TopContainer()->FindChild("Stamps"))
        return;
    auto window = std::make_unique<StampSelectorWindow>();
    if (window->ShowOverHud())
        window.release();
}
