#include "game/GameServices.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/XmlUtil.h"
#include "game/FlimbMasterLevelList.h"
#include "game/GameController.h"
#include "modes/ModeServices.h"

ControllerGlobals controllerGlobals;
UpdateCounterRef gameUpdateCounter;
int rateDisplay = 0;
FrameStatistics frameStatistics;

namespace {

ConsoleParam showFps("showfps", ConsoleParamType::Int, "0", "Shows the frame rate line (1)",
                     [](ConsoleParam& p) { rateDisplay = p.GetInt(); });

struct LoadedSpecs {
    XmlDocument animation;
    XmlDocument levelDefaults;
};

LoadedSpecs& Specs()
{
    static LoadedSpecs specs;
    return specs;
}

} // namespace

void LoadProfileResources()
{
    GameController& controller = Controller();
    ClearCurrentGameMode();
    controller.levelFile.clear();
    controller.levelTitle.clear();
    controller.localPlayer = nullptr;
    Specs().animation = XmlLoadFileOrThrow("Graphics\\Animations\\animation-spec.xml", "Cannot load the animation-spec.xml file!");
    Specs().levelDefaults = XmlLoadFileOrThrow("Level\\level_defaults.xml", "Cannot load the level defaults file!");
    ResetGameController();
    // The flimb-type captions follow every language load from now on.
    LanguageDatabase::SetLanguageLoadedHandler(RefreshFlimbTypeCaptions);
    RefreshFlimbTypeCaptions();
}

xmlDoc* LevelDefaultsDocument()
{
    return Specs().levelDefaults.get();
}

void SetLevelDefaultsDocument(const std::string& xmlText)
{
    Specs().levelDefaults = XmlParseBuffer(xmlText.data(), xmlText.size(), "level_defaults.xml");
}

xmlNode* LevelDefaultsElement(const char* section, const char* element)
{
    xmlNode* found = XmlGetChild(XmlChildren(XmlRoot(LevelDefaultsDocument())), section);
    return element && found ? XmlGetChild(XmlChildren(found), element) : found;
}

void FreeProfileResources()
{
    Specs().animation.reset();
    Specs().levelDefaults.reset();
    Controller().ClearPlayers();
    LanguageDatabase::SetLanguageLoadedHandler(nullptr);
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


bool GameViewCoversScreen()
{
    return false; // no game view exists yet
}

void GameViewCentre(float& x, float& y)
{
    x = 0.0f;
    y = 0.0f;
}

// The boss levels of Level\ (Level\UGC\ loads again when a screen asks for it).
void ReloadFlimbMasterLevelList()
{
    FlimbMasterLevelList& list = FlimbMasterLevelList::Global();
    list.Clear();
    list.Load(false);
}

// The campaign context comes with the campaign screens; until then there is nothing to forget.
void ClearCampaignContext() {}

void PostChatLine(const std::string& text, uint32_t)
{
    // The chat shows the line as a system line (the log keeps no colour); the log gets it too.
    Controller().messages.Add(text, -1);
    WriteLog("%s\n", text.c_str());
}
