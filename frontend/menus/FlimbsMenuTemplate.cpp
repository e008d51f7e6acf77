#include "frontend/menus/FlimbsMenuTemplate.h"

#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "frontend/FrontEndServices.h"
#include "frontend/menus/Bubbles.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/menus/MenuAnimations.h"
#include "frontend/menus/PromptForNewUser.h"
#include "frontend/menus/ScreenLayout.h"
#include "game/GameServices.h"
#include "gui/Animators.h"
#include "gui/FrameWindow.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/ToolTip.h"
#include "gui/WindowList.h"
#include "media/KBManager.h"
#include "media/SoundManager.h"
#include "platform/input/ScanCodes.h"

namespace {


void StartIntroMusic()
{
    soundManager.PlayMusic("intro", true, false, 1.0f);
}

ScreenImage* MakeImage(const char* file)
{
    auto* image = new ScreenImage(FlimbsMenuTemplate::kFolder, file);
    image->SetScale(1.0f, 1.0f); // design pixels: the backdrop follows the UI scale
    return image;
}

FloatRect Box(Primitive* primitive)
{
    return primitive->GetRelativeRectVirtual();
}

// The image's pixel size as its sprite origin's centre.
void CentreOrigin(ScreenImage* image)
{
    image->SetOrigin(image->FrameWidth() * 0.5f, image->FrameHeight() * 0.5f);
    image->hAlign = kAlignHCentre;
    image->vAlign = kAlignVCentre;
}

} // namespace

namespace FlimbsMenuTemplate {

std::string VersionText()
{
    return StringPrintf("%s - v%d.%02d", kSiteAddress, kMajorVersion, kMinorVersion);
}

PrimContainer* Show()
{
    StartIntroMusic();
    if (auto* open = dynamic_cast<PrimContainer*>(FindOpenWindow(kName)))
        return open;
    DeactivateAllWindows();
    PrimContainer* backdrop = Build();
    OpenWindow(backdrop, true);
    return backdrop;
}

PrimContainer* Build()
{
    StartIntroMusic();
    auto* backdrop = new MenuBackdrop;
    backdrop->SetPosition(0.0f, 0.0f);
    backdrop->SetSize(1000.0f, 1000.0f);
    backdrop->SetName(kName);

    ScreenImage* stars = MakeImage("main_menu_stars.jpg");
    stars->SetScale(4.5f, 4.5f);
    stars->opaque = 1; // a photo: nothing under it shows through
    CentreOrigin(stars);
    stars->SetRotation(0.0f);
    stars->SetPosition(500.0f, 500.0f);
    backdrop->AddChild(stars);
    backdrop->AddChild(new ImageScalingAnimation(stars));

    ScreenImage* flimbs = MakeImage("main_menu_flimbs.png");
    const FloatPoint flimbsSize = flimbs->GetSizeVirtual();
    flimbs->SetPosition(500.0f - flimbsSize.x / 2.0f, 1000.0f - flimbsSize.y);
    backdrop->AddChild(flimbs);

    FramePieces frame;
    FrameWindow::Build(frame);
    const float topHeight = frame.top->GetSizeVirtual().y;

    ScreenImage* startLeft = MakeImage("main_menu_start_left.png");
    startLeft->SetPosition(frame.left->GetSizeVirtual().x, topHeight);
    backdrop->AddChild(startLeft);

    ScreenImage* startRight = MakeImage("main_menu_start_right.png");
    startRight->SetPosition(1000.0f - frame.right->GetSizeVirtual().x - startRight->GetSizeVirtual().x, topHeight);
    backdrop->AddChild(startRight);

    // The strip joins the two start pieces and overlaps each by d.
    ScreenImage* electricity = MakeImage("main_menu_electricity.png");
    const float d = DesignX(124.0f);
    const float leftEdge = Box(startLeft).right;
    const float rightEdge = Box(startRight).left;
    electricity->SetPosition(leftEdge - d, 65.0f);
    electricity->SetSize(rightEdge - leftEdge + 2.0f * d, kKeepCoordinate);
    backdrop->AddChild(electricity);

    backdrop->AddChild(new Bubbles(30));

    ScreenImage* logo = MakeImage("main_menu_logo_Flimbs.png");
    logo->SetScale(1.2f, 1.2f);
    CentreOrigin(logo);
    logo->SetPosition(500.0f, 100.0f + logo->GetSizeVirtual().y / 2.0f);
    backdrop->AddChild(logo);

    auto* front = new Bubbles(100);
    front->SetName(kFrontBubbles);
    backdrop->AddChild(front);

    backdrop->AddChild(new ImageRotationAnimation2(logo));

    auto* version = new SimpleLabel(6, 0xFFFFFFFFu, kLabelCentre, VersionText());
    version->SetScale(0.5f);
    version->FitToText();
    version->hAlign = kAlignHCentre;
    version->vAlign = kAlignBottom;
    version->SetPosition(500.0f, 1000.0f - frame.bottom->GetSizeVirtual().y);
    backdrop->AddChild(version);

    FrameWindow::ApplyPieces(frame, backdrop);

    backdrop->AddChild(new SimpleToolTip(250, 0x7F000000u));
    return backdrop;
}

PrimContainer* AddScreen(PrimContainer* backdrop, Primitive* screen)
{
    if (!backdrop)
        backdrop = Show();
    if (!backdrop || !screen)
        return backdrop;
    if (screen->parent)
        if (auto* old = dynamic_cast<Container<Primitive>*>(screen->parent))
            old->RemoveChild(screen, false);
    Primitive* front = backdrop->FindChild(kFrontBubbles);
    if (front && front->parent == backdrop)
        backdrop->AddChildNear(screen, front, false);
    else
        backdrop->AddChild(screen);
    return backdrop;
}

} // namespace FlimbsMenuTemplate

int MenuBackdrop::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (const int taken = PrimContainer::OnKey(value, code, shift, device))
        return taken;
    if (code != kKeyEscape || &device != static_cast<IInputDevice*>(&kbManager) || FindOpenWindow("Console"))
        return 0;
    // Escape goes back from the front screen that has a way back; elsewhere (the main menu,
    // the new-user prompt) it is left to the key's action.
    PrimContainer* screen = FrontScreenWithWayBack();
    if (!screen)
        return 0;
    if (value != 0 && value != 2)
        screen->Close();
    return 1;
}

PrimContainer* MenuBackdrop::FrontScreenWithWayBack() const
{
    PrimContainer* found = nullptr;
    for (Primitive* child : Children()) {
        auto* screen = dynamic_cast<PrimContainer*>(child);
        if (screen && screen->active && screen->visible && screen->enabled &&
            (screen->containerFlags & kContainerWindow) && screen->closeHandler)
            found = screen;
    }
    return found;
}

void FitToChildren(PrimContainer* container)
{
    if (!container)
        return;
    float width = 0.0f, height = 0.0f;
    container->GetSize(&width, &height);
    container->SetSize(width, height);
}

void PlaceScreen(Primitive* screen, float y)
{
    if (screen)
        screen->SetPosition(500.0f - screen->GetSizeVirtual().x / 2.0f, y);
}

void LogScreen(const std::string& name)
{
    WriteLog("Front end: %s\n", name.c_str());
}

PrimContainer* ShowMainMenu(bool rebuild)
{
    ClearCampaignContext();
    PrimContainer* backdrop = rebuild ? FlimbsMenuTemplate::Build() : FlimbsMenuTemplate::Show();
    if (rebuild)
        OpenWindow(backdrop, true);
    const ConsoleParam* profile = ConsoleParam::Find("profile");
    const std::string name = profile ? profile->GetString() : PlayerProfile::kDefaultName;
    if (name != PlayerProfile::kDefaultName && ProfileFileExists(name)) {
        MainMenu* menu = ShowMainMenuScreen();
        FlimbsMenuTemplate::AddScreen(backdrop, menu);
        PlaceScreen(menu);
        FlyInChildren(menu);
        LogScreen(menu->name);
    } else {
        PromptForNewUser* prompt = ShowPromptForNewUser();
        backdrop = FlimbsMenuTemplate::AddScreen(backdrop, prompt);
        PlaceScreen(prompt);
        SlideInFromBelow(prompt, prompt->GetPositionVirtual().x);
        LogScreen(prompt->name);
    }
    return backdrop;
}

bool ReturnToMainMenuOnClose(PrimContainer*)
{
    ReturnToMainMenu();
    return false;
}

PrimContainer* ReturnToMainMenu()
{
    ReloadFlimbMasterLevelList();
    return ShowMainMenu(false);
}

void ShowFrontEnd()
{
    if (FindOpenWindow(FlimbsMenuTemplate::kName))
        return;
    ShowMainMenu(false);
}
