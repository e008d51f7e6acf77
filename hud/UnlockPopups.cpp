#include "hud/UnlockPopups.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "hud/BubbleWidgets.h"
#include "hud/HudGame.h"
#include "hud/PopupSupport.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "world/AnimationSpec.h"

#include <vector>

namespace {

constexpr int kPreviewAction = 20;
constexpr int kPreviewFrameSet = 3;

std::unique_ptr<VoiceBubbleButton> OkayButton()
{
    auto button = MakeBubbleButton(TranslateText("Okay"), kFlimbHeadIcon, 50.0f, 35.0f, CloseParentWindow);
    button->SetName("OKAY");
    return button;
}

std::unique_ptr<SimpleLabel> Heading(const std::string& text)
{
    auto label = std::make_unique<SimpleLabel>(6, 0xFF444444, kLabelCentre, text);
    label->SetScale(1.0f);
    label->FitToText();
    return label;
}

// Adds the rows to the bubble and stacks them (-10 design pixels of the original spacing
// become a tight 2, 12 of margin).
void Stack(VoiceBubble& bubble, std::vector<std::unique_ptr<Primitive>> rows)
{
    std::vector<Primitive*> placed;
    for (auto& row : rows) {
        if (!row)
            continue;
        placed.push_back(row.get());
        bubble.AddChild(row.release());
    }
    StackCentred(&bubble, placed, 2.0f, 12.0f, 6.0f);
}

} // namespace

std::unique_ptr<FlimbMasterUnlockedVoice> FlimbMasterUnlockedVoice::Create(const std::string& name,
                                                                           const std::string& image)
{
    return std::make_unique<FlimbMasterUnlockedVoice>(name, image);
}

FlimbMasterUnlockedVoice::FlimbMasterUnlockedVoice(const std::string& name, const std::string& image)
{
    SetName("FlimbMasterUnlockedVoice");
    std::vector<std::unique_ptr<Primitive>> rows;
    rows.push_back(Heading(TranslateText("You have unlocked a new FlimbMaster!")));
    if (HudImageExists(image))
        rows.push_back(std::make_unique<ScreenImage>(image));
    rows.push_back(MakeTextBlock(name, 6, 0xFF444444, 0.5f, 300.0f));
    rows.push_back(OkayButton());
    Stack(*this, std::move(rows));
}

std::unique_ptr<BonusItemUnlockVoice> BonusItemUnlockVoice::Create(const std::string& type, const std::string& path,
                                                                   const std::string& message)
{
    return std::make_unique<BonusItemUnlockVoice>(type, path, message);
}

BonusItemUnlockVoice::BonusItemUnlockVoice(const std::string& type, const std::string& path,
                                           const std::string& message)
{
    SetName("BonusItemUnlockVoice");
    std::vector<std::unique_ptr<Primitive>> rows;
    rows.push_back(Heading(TranslateText("You have unlocked a new") + " " + CutUtf8(type, 40) + "!"));

    std::unique_ptr<Primitive> picture;
    if (type == "Stamp" && HudImageExists(path)) {
        auto image = std::make_unique<ScreenImage>(path);
        const int h = image->FrameHeight();
        const float scale = h > 0 ? 180.0f / float(h) : 1.0f;
        image->SetScale(scale, scale);
        picture = std::move(image);
    } else if (type == "Level") {
        const std::string preview = CurrentHudGame().CreateLevelPreview(path);
        if (HudImageExists(preview))
            picture = std::make_unique<ScreenImage>(preview);
    } else if (type == "Decoration") {
        picture = std::make_unique<DecorationPreview>(path);
    }
    if (picture) {
        // The picture in a box of its own with 15 and 6 design pixels of margin.
        auto box = std::make_unique<PrimContainer>();
        box->SetName("PICTURE");
        Primitive* shown = picture.get();
        shown->SetPosition(DesignUnitsX(15.0f), DesignUnitsY(6.0f));
        box->AddChild(picture.release());
        const FloatPoint size = shown->GetSizeVirtual();
        box->SetSize(size.x + 2.0f * DesignUnitsX(15.0f), size.y + 2.0f * DesignUnitsY(6.0f));
        picture_ = box.get();
        rows.push_back(std::move(box));
    }
    rows.push_back(MakeTextBlock(message, 6, 0xFF000000, 0.7f, 320.0f));
    rows.push_back(OkayButton());
    Stack(*this, std::move(rows));
}

FinalVideoVoicePopup::FinalVideoVoicePopup()
{
    SetName("FinalVideoVoicePopup");
    std::vector<std::unique_ptr<Primitive>> rows;
    rows.push_back(Heading(TranslateText("You have beaten the final FlimbMaster!")));
    rows.push_back(MakeBubbleButton(TranslateText("Okay"), kFlimbHeadIcon, 50.0f, 35.0f, [](Primitive*, Button* button) {
        CloseParentWindow(nullptr, button);
        CurrentHudGame().PlayOutroVideo();
    }));
    Stack(*this, std::move(rows));
}

DecorationPreview::DecorationPreview(const std::string& decoration)
{
    decoration_ = AnimationSpec::LoadDecoration(decoration, kPreviewAction, kPreviewFrameSet);
    flimb_ = AnimationSpec::GetGroupAnimation(0, kPreviewAction, kPreviewFrameSet, false);
    float width = 0.0f, height = 0.0f;
    GetSize(&width, &height);
    SetSize(width, height);
}

DecorationPreview::~DecorationPreview()
{
    ImageCache::ReleaseImage(decoration_);
}

void DecorationPreview::DrawFirstFrame(AnimSurface* surface) const
{
    if (!surface || !surface->bitmap || !surface->bitmap->texture || surface->frameWidth <= 0 ||
        surface->imageWidth <= 0)
        return;
    const float s = 2.0f * GetUiScale();
    // Frame 0 of the sheet: column and row of frame x frame width within the sheet.
    const int frame = 0;
    const int x = (frame * surface->frameWidth) % surface->imageWidth;
    const int y = (frame * surface->frameWidth) / surface->imageWidth * surface->frameHeight;
    const gfx::RECT source{x, y, x + surface->frameWidth, y + surface->frameHeight};
    const float centreX = (rect.left + rect.right) / 2.0f;
    Draw2D::DrawTexturedQuad(surface->bitmap->texture, &source, centreX, rect.top, s, s,
                             float(surface->frameWidth) / 2.0f, 0.0f, 0.0f, WithAlpha(0xFFFFFFFF, alpha));
}

void DecorationPreview::Draw()
{
    if (!visible || !highlight)
        return;
    DrawFirstFrame(flimb_);
    DrawFirstFrame(decoration_);
}

bool DecorationPreview::GetSize(float* width, float* height)
{
    const float s = 2.0f * GetUiScale();
    const float w = flimb_ ? float(flimb_->frameWidth) * s : 64.0f * s;
    const float h = flimb_ ? float(flimb_->frameHeight) * s : 64.0f * s;
    if (width)
        *width = ToVirtualX(w);
    if (height)
        *height = ToVirtualY(h);
    return true;
}
