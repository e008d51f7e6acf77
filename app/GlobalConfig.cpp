#include "app/GlobalConfig.h"

#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/XmlUtil.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* kConfigFile = "Cache\\Settings\\global_config.xml";

ConsoleParam g_serverPort("serverPORT", ConsoleParamType::Int, "9877", "the server port for tcp communication");

int ReadInt(xmlNode* root, const char* name)
{
    return std::atoi(XmlNodeText(XmlGetChild(XmlChildren(root), name)).c_str());
}

} // namespace

bool writeGlobalConfig(const GlobalConfigSource& source)
{
    CurrentProfile().Save();
    XmlDocument doc = XmlNewDocument("flimbs-config");
    xmlNode* root = XmlRoot(doc.get());
    const ConsoleParam* profile = ConsoleParam::Find("profile");
    XmlAddChildText(root, "last-profile", profile ? profile->ValueText() : PlayerProfile::kDefaultName);
    XmlAddChildInt(root, "window-right", source.outer.left + source.clientWidth);
    XmlAddChildInt(root, "window-top", source.outer.top);
    XmlAddChildInt(root, "window-left", source.outer.left);
    XmlAddChildInt(root, "window-bottom", source.outer.top + source.clientHeight);
    XmlAddChildInt(root, "res-x", source.screenWidth);
    XmlAddChildInt(root, "res-y", source.screenHeight);
    XmlAddChildText(root, "serverPORT", g_serverPort.ValueText());
    return XmlSaveFile(doc.get(), kConfigFile) >= 0;
}

bool readGlobalConfig()
{
    XmlDocument doc = XmlLoadUserFile(kConfigFile);
    ConsoleParam* profile = ConsoleParam::Find("profile");
    if (!doc) {
        if (profile)
            profile->SetFromString(PlayerProfile::kDefaultName);
        return false;
    }
    xmlNode* root = XmlRoot(doc.get());
    if (profile)
        profile->SetFromString(XmlNodeText(XmlGetChild(XmlChildren(root), "last-profile")));
    g_serverPort.SetInt(XmlGetChildInt(root, "serverPORT", g_serverPort.GetInt()));
    return true;
}

WindowPlacement ReadGlobalConfigWindow()
{
    WindowPlacement placement;
    XmlDocument doc = XmlLoadUserFile(kConfigFile);
    xmlNode* root = XmlRoot(doc.get());
    const WindowRect stored{ReadInt(root, "window-left"), ReadInt(root, "window-top"), ReadInt(root, "window-right"),
                            ReadInt(root, "window-bottom")};
    if (doc && stored.left >= 0 && stored.top >= 0 && stored.right - stored.left >= 100 &&
        stored.bottom - stored.top >= 100) {
        placement.client = stored;
    } else {
        placement.client = WindowRect{5, 5, 805, 605};
        placement.centre = true;
    }
    return placement;
}

DisplayMode ReadGlobalConfigResolution()
{
    XmlDocument doc = XmlLoadUserFile(kConfigFile);
    if (!doc)
        return {};
    xmlNode* root = XmlRoot(doc.get());
    return DisplayMode{ReadInt(root, "res-x"), ReadInt(root, "res-y")};
}
