#include "game/GameServices.h"

#include "app/ConsoleParam.h"
#include "app/GameException.h"
#include "app/XmlUtil.h"
#include "media/ImageCache.h"

ControllerGlobals controllerGlobals;
uint32_t gameUpdateCounter = 0;
int32_t gameRunState = 0;
int rateDisplay = 0;
FrameStatistics frameStatistics;

namespace {

ConsoleParam showFps("showfps", ConsoleParamType::Int, "0", "Shows the frame rate line (1)",
                     [](ConsoleParam& p) { rateDisplay = p.GetInt(); });

struct LoadedSpecs {
    XmlDocument animation;
    XmlDocument levelDefaults;
    XmlDocument actionSprites;
    XmlDocument decorations;
    XmlDocument traps;
    AnimSurface* halo = nullptr;        // drawn round the chosen flimb
    AnimSurface* groupSelect = nullptr; // the group selector's marker, hot spot at its centre
};

LoadedSpecs& Specs()
{
    static LoadedSpecs specs;
    return specs;
}

XmlDocument LoadOrThrow(const char* name, const char* failure)
{
    XmlDocument doc = XmlLoadFile(name);
    if (!doc || !XmlRoot(doc.get()))
        throw GameException(failure);
    return doc;
}

int CountChildren(xmlDoc* doc, const char* name)
{
    int count = 0;
    if (!doc)
        return 0;
    for (xmlNode* n = XmlChildren(XmlRoot(doc)); n; n = XmlNext(n))
        count += XmlName(n) == name ? 1 : 0;
    return count;
}

} // namespace

void LoadProfileResources()
{
    Specs().animation = LoadOrThrow("Graphics\\Animations\\animation-spec.xml", "Cannot load the animation-spec.xml file!");
    Specs().levelDefaults = LoadOrThrow("Level\\level_defaults.xml", "Cannot load the level defaults file!");
}

void ReleaseProfileResources()
{
    Specs().animation.reset();
    Specs().levelDefaults.reset();
}

namespace AnimationSpec {

void Load()
{
    Specs().actionSprites =
        LoadOrThrow("Graphics\\Actions\\action-sprite-spec.xml", "Cannot load the action-sprite-spec.xml file!");
    Specs().decorations = LoadOrThrow("Graphics\\Animations\\Decorations\\decorations-spec.xml",
                                      "Cannot load the decorations-spec.xml file!");
    ImageCache::ReleaseImage(Specs().halo);
    Specs().halo = ImageCache::GetImage("Graphics\\Actions\\halo.png");
}

void Release()
{
    Specs().actionSprites.reset();
    Specs().decorations.reset();
    ImageCache::ReleaseImage(Specs().halo);
    Specs().halo = nullptr;
}

AnimSurface* HaloImage()
{
    return Specs().halo;
}

int GroupCount()
{
    return CountChildren(Specs().actionSprites.get(), "group");
}

} // namespace AnimationSpec

void LoadTrapSpecs()
{
    Specs().traps = LoadOrThrow("Graphics\\Traps\\trap-spec.xml", "Cannot load the trap-spec.xml file!");
    ImageCache::ReleaseImage(Specs().groupSelect);
    AnimSurface* marker = ImageCache::GetImage("Graphics\\Menu\\FlimbGroupSelector\\group-select.png");
    if (marker)
        marker->SetHotspot(marker->imageWidth / 2, marker->imageHeight / 2);
    Specs().groupSelect = marker;
}

void ReleaseTrapSpecs()
{
    Specs().traps.reset();
    ImageCache::ReleaseImage(Specs().groupSelect);
    Specs().groupSelect = nullptr;
}

AnimSurface* GroupSelectImage()
{
    return Specs().groupSelect;
}

int TrapSpecCount()
{
    return CountChildren(Specs().traps.get(), "trap");
}

void ResetControllerGlobals()
{
    controllerGlobals = ControllerGlobals{};
}

void ReleaseGameState() {}
void ReleaseLevelLists() {}

void ReleaseController()
{
    ResetControllerGlobals();
}

void UpdateGameState() {}
void UpdateWorldLists() {}

bool GameViewCoversScreen()
{
    return false; // no game view exists yet
}

void GameViewCentre(float& x, float& y)
{
    x = 0.0f;
    y = 0.0f;
}
