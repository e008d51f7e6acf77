// Stand-ins for the campaign planet and the avatar screens until they are built; each is
// replaced by the real entry point of its screen.
#include "frontend/PendingScreens.h"

#include "app/LanguageTexts.h"
#include "app/FileManager.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "frontend/options/OptionsMenu.h"
#include "gui/WindowList.h"
#include "hud/transitions/TransitionGuiLoader.h"

void VisitPlanet()
{
    // A build that gives no screen: the loader opens the front end once the iris is shut.
    auto* loader = new TransitionGuiLoader([](void*) -> Primitive* { return nullptr; }, nullptr);
    loader->SetTitle(TranslateText("Visiting Flimbs Planet"));
    OpenWindow(loader, true);
    WriteLog("Front end: the planet is not available yet\n");
    loader->StartWorker();
}

void PreviousAvatarPicture(Primitive*, Button*)
{
    WriteLog("Front end: the avatar browser is not available yet\n");
}

void NextAvatarPicture(Primitive*, Button*)
{
    WriteLog("Front end: the avatar browser is not available yet\n");
}

void NewAvatarFromOptions(Primitive*, Button*)
{
    WriteLog("Front end: the avatar editor is not available yet\n");
}

void EditAvatarFromOptions(Primitive*, Button*)
{
    WriteLog("Front end: the avatar editor is not available yet\n");
}

void UpdateAvatarEditButton(PrimContainer* menu)
{
    auto* options = dynamic_cast<OptionsMenu*>(menu);
    if (!options || !options->AvatarEditButton())
        return;
    const std::string source = CurrentProfile().AvatarDataPath();
    options->AvatarEditButton()->visible = fileManager && fileManager->Exists(source, -1) ? 1 : 0;
}
