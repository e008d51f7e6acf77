// The landscape's console variables and commands, and "god", "demigod" and "loadquick",
// which the world reads first.
#include "app/ConsoleParam.h"
#include "app/GameClock.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/GameHooks.h"
#include "world/Landscape.h"

#include <iterator>

namespace {

Landscape* Land()
{
    Landscape* land = GameLandscape();
    if (!land)
        WriteLog("There is no landscape\n");
    return land;
}

// "god" and "demigod": 1 turns the mode on; anything else turns it off.
void GodMode(ConsoleParam& self)
{
    if (self.GetInt() == 1) {
        WriteLog("%s mode ON\n", self.Name().c_str());
    } else {
        WriteLog("%s mode OFF\n", self.Name().c_str());
        self.ResetToDefault();
    }
}

bool brushOn = false;

void Brush(ConsoleParam& self)
{
    if (self.GetString() == "1" && self.GetInt() > 0) {
        brushOn = true;
        WriteLog("Brush ON\n");
    } else if (brushOn) {
        brushOn = false;
        self.ResetToDefault();
    }
}

// The FlimbMaster's recordings by difficulty: easy, medium, hard.
const char* const kBattleNames[] = {"", "-m", "-h"};

void BattleSave(ConsoleParam& self)
{
    const int pick = self.GetInt();
    if (pick < 0 || pick >= static_cast<int>(std::size(kBattleNames))) {
        WriteLog("battlesave: no battle name %d\n", pick);
        return;
    }
    const std::string path =
        StringPrintf("Level\\Battles\\fm_%s%s.flimbs", SessionLevelName().c_str(), kBattleNames[pick]);
    SavePlayback(path, 1);
}

void ChecksumLevel(ConsoleParam&)
{
    if (Landscape* land = Land()) {
        WriteLog("Level ");
        land->Checksum();
    }
}

void ChecksumBlocks(ConsoleParam&)
{
    if (Landscape* land = Land())
        land->LogBlockChecksums();
}

void CheckSymmetry(ConsoleParam&)
{
    if (Landscape* land = Land())
        land->CheckSymmetry();
}

void LandStart(ConsoleParam&)
{
    if (Landscape* land = Land()) {
        land->landTimer.start = gameClock.Now();
        land->landTimer.duration = 30;
    }
}

void LandStop(ConsoleParam&)
{
    if (Landscape* land = Land())
        land->landTimer.start = 0;
}

void DumpBlock(ConsoleParam& self)
{
    if (Landscape* land = Land())
        land->DumpBlock(self.GetInt());
}

// "gen": a generated landscape, the value's low byte as the offset of its stamps.
void Generate(ConsoleParam& self)
{
    if (Landscape* land = Land())
        land->Generate(self.GetInt() & 0xFF);
}

using Type = ConsoleParamType;

ConsoleParam g_gen("gen", Type::Int, "0", "autogenerate landscape", Generate);
ConsoleParam g_startProtection("startprotection", Type::Int, "0", "protections to start");
ConsoleParam g_houseProtection("houseprotection", Type::Int, "0", "protection for end");
ConsoleParam g_brush("brush", Type::Int, "0", "turns on/off brush", Brush);
ConsoleParam g_god("god", Type::Int, "0", "god mode", GodMode);
ConsoleParam g_demigod("demigod", Type::Int, "0", "editor god mode", GodMode);
ConsoleParam g_battleSave("battlesave", Type::Int, "0", "", BattleSave);
ConsoleParam g_checkSymmetry("checksymmetry", Type::Command, "", "", CheckSymmetry);
ConsoleParam g_checksumLevel("checksumlevel", Type::Command, "", "", ChecksumLevel);
ConsoleParam g_checksumBlock("checksumblock", Type::Command, "", "", ChecksumBlocks);
ConsoleParam g_landStart("landStart", Type::Command, "", "command description", LandStart);
ConsoleParam g_landStop("landStop", Type::Command, "", "command description", LandStop);
ConsoleParam g_dumpBlock("dumpblock", Type::Int, "0", "", DumpBlock);
ConsoleParam g_loadQuick("loadquick", Type::Int, "0", "");

} // namespace
