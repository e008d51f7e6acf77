// Trap elements as level files and trap-state requests bring them: the bytes as XML (a "trap"
// root, or a "trap-state" root holding one) are loaded into a trap of every registered kind,
// as a file (mode 127) and as a request (mode 2), against the shipped level defaults (the
// game started without a display on the source tree's data); then
// the trap is saved and runs one world update with a flimb beside it. Kinds built later join
// through the factory's registration table (the whole game library is linked in).
#include "FuzzHome.h"
#include "FuzzStart.h"
#include "app/GameException.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "game/WorldUpdate.h"
#include "traps/Trap.h"
#include "traps/TrapFactory.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

struct Harness {
    Harness()
    {
        UseTemporaryHome();
        DiscardLog();
        StartOnSourceData(startup);
        use = std::make_unique<ScopedWorld>(world);
        GameLandscape()->Create(256, 128);
        GameLandscape()->SetPixel(1, true, 0xFF806040u, 0, 100, 255, 127);
    }
    GameStartup startup;
    WorldState world;
    std::unique_ptr<ScopedWorld> use;
};

xmlNode* TrapElement(xmlDoc* doc)
{
    xmlNode* root = XmlRoot(doc);
    if (root && XmlName(root) == "trap-state")
        return XmlGetChild(XmlChildren(root), "trap");
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Harness harness;
    XmlDocument doc = XmlParseBuffer(data, size, "fuzz");
    xmlNode* element = doc ? TrapElement(doc.get()) : nullptr;
    if (!element)
        return 0;
    xmlNode* defaults = LevelDefaultsElement("traps", "trap");
    for (int32_t kind = 1; kind < kTrapKindCount; ++kind) {
        if (!IsTrapKindRegistered(kind))
            continue;
        for (const int32_t mode : {kTrapLoadAll, kTrapLoadState}) {
            std::unique_ptr<Trap> trap = Trap::Create(kind);
            if (!trap)
                continue;
            trap->ResetToStart(mode == kTrapLoadState ? kLoadModeGame : kLoadModeEditor);
            try {
                trap->Load(element, defaults, mode);
            } catch (const GameException&) {
                continue;
            }
            XmlDocument saved = XmlNewDocument("trap");
            trap->Save(XmlRoot(saved.get()));
            ClearWorldFlimbs(World());
            AddFlimb(static_cast<int16_t>(trap->x), static_cast<int16_t>(trap->y), 1, 0, kWalk, 0, kFlimbStartEnergy,
                     0, 1);
            RegisterTrap(std::move(trap));
            UpdateWorld();
            DeleteAllTraps();
        }
    }
    return 0;
}
