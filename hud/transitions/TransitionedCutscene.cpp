#include "hud/transitions/TransitionedCutscene.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/FlimbMasterLevelList.h"
#include "gui/Animators.h"
#include "gui/GuiDevice.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/ScreenVideo.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "hud/HudHooks.h"
#include "hud/transitions/FlimbsTransition.h"
#include "hud/transitions/TransitionGuiLoader.h"
#include "platform/input/ScanCodes.h"

namespace {

constexpr int kTextStyle = 9; // the large shaded font
constexpr uint32_t kTextColour = 0xFFFFFFFF;
constexpr uint32_t kFadeInMs = 600;
constexpr float kRibbonScale = 4.0f;
constexpr const char* kVideoFolder = "Graphics\\Videos\\";

bool GodModeOne()
{
    const ConsoleParam* god = ConsoleParam::Find("god");
    return god && god->GetInt() == 1;
}

Label* MakeText(const char* english, float scale, int32_t vAlign)
{
    auto* label = new Label(kTextStyle, kTextColour, kLabelCentre, TranslateText(english));
    label->SetScale(scale);
    label->FitToText();
    label->hAlign = kAlignHCentre;
    label->vAlign = vAlign;
    return label;
}

ScreenImage* MakeRibbon()
{
    auto* ribbon = new ScreenImage(TransitionedCutscene3::kRibbonImage);
    ribbon->SetScale(kRibbonScale, kRibbonScale);
    ribbon->hAlign = kAlignHCentre;
    ribbon->vAlign = kAlignVCentre;
    return ribbon;
}

float Bottom(Primitive* primitive)
{
    return primitive->GetRelativeRectVirtual().bottom;
}

float Top(Primitive* primitive)
{
    return primitive->GetRelativeRectVirtual().top;
}

// The front end's closing credits (built on the loader's worker thread).
Primitive* BuildFinalCredits(void*)
{
    const HudScreenHooks& screens = CurrentHudScreenHooks();
    return screens.buildFinalCredits ? screens.buildFinalCredits() : nullptr;
}

void OpenFinalCredits(Primitive*, StandardGuiLoader* loader)
{
    DeactivateAllWindows();
    if (Primitive* credits = loader->TakeBuiltScreen())
        OpenWindow(credits, true);
}

} // namespace

// ---- TransitionedCutscene -------------------------------------------------------------------

TransitionedCutscene::TransitionedCutscene(Primitive* hiddenWindow, const std::string& videoFile, bool skippable)
    : videoFile_(videoFile), hiddenWindow_(hiddenWindow), skippable_(skippable)
{
    containerFlags |= kContainerWindow;
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
    firstIris_ = new FlimbsTransition;
    firstIris_->onClosed = [this](Primitive*, FlimbsTransition*) { ShowVideo(); };
    firstIris_->onFinished = [this](Primitive*, FlimbsTransition*) {
        playing_ = true;
        firstIris_ = nullptr; // it goes once it has opened
    };
    AddChild(firstIris_);
}

int TransitionedCutscene::OnKey(int, int code, bool, IInputDevice&)
{
    if (code != kKeyEscape)
        return 0;
    if (skippable_ || GodModeOne())
        skipRequested_ = true;
    return 1;
}

void TransitionedCutscene::ReadPosition(int64_t& position, int64_t& duration) const
{
    position = video_ ? video_->GetPosition() : 0;
    duration = video_ ? video_->GetDuration() : 0;
}

void TransitionedCutscene::Update()
{
    PrimContainer::Update();
    if (!Running())
        return;
    int64_t position = 0, duration = 0;
    ReadPosition(position, duration);
    if (position < duration - kSecond && !skipRequested_)
        return;
    secondIris_ = new FlimbsTransition;
    secondIris_->onClosed = [this](Primitive*, FlimbsTransition*) { EndVideo(); };
    secondIris_->onFinished = [this](Primitive*, FlimbsTransition*) { Finish(); };
    AddChild(secondIris_);
    closing_ = true;
}

void TransitionedCutscene::ShowVideo()
{
    video_ = new ScreenVideo(videoFile_);
    int width = 0, height = 0;
    video_->GetNaturalSize(&width, &height);
    // Full width with the clip's aspect on this screen; a clip that did not load keeps the
    // whole screen (it draws nothing and counts as ended).
    float shownHeight = 1000.0f;
    if (width > 0 && height > 0)
        shownHeight = Primitive::ToVirtualY(float(GetScreenWidth()) * float(height) / float(width));
    video_->SetSize(1000.0f, shownHeight);
    video_->vAlign = kAlignVCentre;
    video_->SetPosition(0.0f, 500.0f);
    video_->Restart();
    AddChild(video_, false); // first in the list: drawn under the iris
    if (hiddenWindow_)
        hiddenWindow_->visible = 0;
    firstIris_->screenReady = true;
}

void TransitionedCutscene::EndVideo()
{
    if (hiddenWindow_)
        hiddenWindow_->visible = 1;
    if (video_)
        video_->Deactivate(); // it goes in the next update
    video_ = nullptr;
    if (onVideoEnded)
        onVideoEnded(nullptr, this);
    secondIris_->screenReady = true;
}

void TransitionedCutscene::Finish()
{
    secondIris_ = nullptr; // it goes once it has opened
    if (onEnded)
        onEnded(nullptr, this);
    Close();
}

void TransitionedCutscene::AddFadingIn(Primitive* child)
{
    AddChild(child);
    auto* fade = new AnimateAlpha(child);
    AddChild(fade);
    fade->Start(AnimateAlpha::kFadeIn, kFadeInMs);
}

// ---- TransitionedCutscene2 ------------------------------------------------------------------

TransitionedCutscene2::TransitionedCutscene2(Primitive* hiddenWindow, const std::string& videoFile)
    : TransitionedCutscene(hiddenWindow, videoFile, true), visitPlanet(CurrentHudScreenHooks().visitPlanet)
{
}

void TransitionedCutscene2::Update()
{
    PrimContainer::Update();
    if (!Running())
        return;
    int64_t position = 0, duration = 0;
    ReadPosition(position, duration);
    if (position >= duration - 2 * kSecond || SkipRequested()) {
        if (visitPlanet)
            visitPlanet();
        SetClosing();
    }
    if (!congratulation_ && position >= duration - 6 * kSecond) {
        congratulation_ = MakeText(kCongratulation, 1.0f, kAlignVCentre);
        congratulation_->SetPosition(500.0f, 800.0f);
        AddFadingIn(congratulation_);
    }
}

// ---- TransitionedCutscene3 ------------------------------------------------------------------

TransitionedCutscene3::TransitionedCutscene3(Primitive* hiddenWindow, const std::string& videoFile)
    : TransitionedCutscene(hiddenWindow, videoFile, true)
{
}

void TransitionedCutscene3::Update()
{
    PrimContainer::Update();
    if (!Running())
        return;
    if (!gameWindowClosed_) {
        if (Primitive* game = FindOpenWindow("FlimbsGameBase"))
            game->Deactivate();
        gameWindowClosed_ = true;
    }
    int64_t position = 0, duration = 0;
    ReadPosition(position, duration);
    if (position >= duration - 2 * kSecond || SkipRequested())
        StartFinalCredits();
    if (!masterful_ && position >= kFirstTextsAt)
        ShowFirstTexts();
    if (!thanks_ && position >= kSecondTextsAt)
        ShowSecondTexts();
}

void TransitionedCutscene3::ShowFirstTexts()
{
    const FloatRect videoRect = Video()->GetRelativeRectVirtual();
    ribbon1_ = MakeRibbon();
    masterful_ = MakeText("Masterful!", 2.0f, kAlignTop);
    masterful_->SetPosition(500.0f, videoRect.top);
    AddFadingIn(ribbon1_);
    AddFadingIn(masterful_);
    ribbon1_->SetPosition(500.0f, Bottom(masterful_));
    magnificent_ = MakeText("Your mind is magnificent!", 1.0f, kAlignTop);
    magnificent_->SetPosition(500.0f, Bottom(masterful_));
    AddFadingIn(magnificent_);
}

void TransitionedCutscene3::ShowSecondTexts()
{
    const FloatRect videoRect = Video()->GetRelativeRectVirtual();
    const float lift = DesignToVirtualY(15.0f);
    ribbon2_ = MakeRibbon();
    trueMaster_ = MakeText("You are a true FlimbMaster!", 1.1f, kAlignBottom);
    trueMaster_->SetPosition(500.0f, videoRect.bottom - lift);
    AddFadingIn(ribbon2_);
    AddFadingIn(trueMaster_);
    ribbon2_->SetPosition(500.0f, Top(trueMaster_));
    thanks_ = MakeText("Thank you for playing!", 1.0f, kAlignBottom);
    thanks_->SetPosition(500.0f, Top(trueMaster_));
    AddFadingIn(thanks_);
}

void TransitionedCutscene3::StartFinalCredits()
{
    auto* loader = new TransitionGuiLoader(BuildFinalCredits, OpenFinalCredits);
    loader->SetTitle(TranslateText("Final Credits"));
    OpenWindow(loader, true);
    loader->StartWorker();
    SetClosing();
}

// ---- Entry points ---------------------------------------------------------------------------

std::string FlimbMasterVideo(const FlimbMasterEntry& entry, bool outro)
{
    const std::string& path = outro ? entry.outroVideo : entry.introVideo;
    const size_t folder = std::char_traits<char>::length(kVideoFolder);
    const std::string leaf = path.size() > folder ? path.substr(folder) : std::string();
    const bool confined = StartsWithNoCase(path, kVideoFolder) && leaf.find_first_of("\\/:") == std::string::npos &&
                          leaf.find("..") == std::string::npos && EndsWithNoCase(leaf, ".ogv") && leaf.size() > 4;
    if (confined)
        return path;
    WriteLog("Refused the cutscene video [%s] of %s\n", path.c_str(), entry.bossName.c_str());
    return {};
}

TransitionedCutscene* PlayFlimbMasterIntro(const FlimbMasterEntry& entry, Primitive* hiddenWindow, bool skippable)
{
    auto* cutscene = new TransitionedCutscene(hiddenWindow, FlimbMasterVideo(entry, false), skippable);
    OpenWindow(cutscene, true);
    return cutscene;
}

TransitionedCutscene* PlayFlimbMasterOutro(const FlimbMasterEntry& entry, Primitive* hiddenWindow,
                                           bool lastFlimbMaster)
{
    const std::string clip = FlimbMasterVideo(entry, true);
    TransitionedCutscene* cutscene = lastFlimbMaster
                                         ? static_cast<TransitionedCutscene*>(new TransitionedCutscene3(hiddenWindow, clip))
                                         : new TransitionedCutscene2(hiddenWindow, clip);
    OpenWindow(cutscene, true);
    return cutscene;
}
