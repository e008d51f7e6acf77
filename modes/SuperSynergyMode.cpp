#include "modes/SuperSynergyMode.h"

#include "app/LanguageTexts.h"
#include "modes/MatchWorld.h"

SuperSynergyMode::SuperSynergyMode()
{
    modeIndex = 6;
}

bool SuperSynergyMode::IsMatchOver()
{
    return resultCode != kResultRunning || MultiplayerEndTest();
}

void SuperSynergyMode::GameOver()
{
    MatchWorld& world = World();
    if (resultCode != kResultRunning)
        world.SetMatchResult(resultCode); // everybody shares the level's verdict
    else
        world.SetMatchResult(world.IsMultiplayerMatch() ? kResultLost : kResultSingleLost);
    BaseGameOver();
}

GroupStats SuperSynergyMode::AddEndOfMatchStats(int group)
{
    const MatchWorld& world = World();
    GroupStats record(group);
    if (!world.IsMultiplayerMatch())
        AppendQdotStat(record, group >= 0 && group < kGroupCount ? qdotCounts[size_t(group)] : 0, qdotTotal);
    AppendGameStat(record, world, freezeCount, group, kStatFlimbs, true);
    AppendGameStat(record, world, freezeCount, group, kStatLost, true);
    AppendGameStat(record, world, freezeCount, group, kStatMorphs, true);
    AppendGameStat(record, world, freezeCount, group, kStatTime, true);
    return record;
}

std::string SuperSynergyMode::GetObjectiveText()
{
    return TranslateText("Work together with other groups to solve the puzzle.") + GameMode::GetObjectiveText();
}
