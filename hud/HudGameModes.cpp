// The HudGame operations that reach the game modes' neighbours: the statistics client's
// level reply, the bonus item list and the two prompts. (Kept apart from HudGame.cpp: the
// modes' statistics rows and the game controller's share a name.)
#include "hud/HudGame.h"

#include "app/PlayerProfile.h"
#include "gui/PrimContainer.h"
#include "modes/BonusItems.h"
#include "modes/CheckpointPrompt.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "modes/SuperNovaPrompt.h"
#include "net/WebStats.h"

std::optional<StatsReply> HudGame::LevelStatsReply(const std::string& level)
{
    LevelStatsResult result;
    if (!GlobalWebStats().GetLevelStats(level, &result))
        return std::nullopt;
    StatsReply reply;
    reply.rank = int(result.rank);
    for (const StatsRow& row : result.records)
        reply.records.push_back({row.kind, row.value});
    // The reply carries the records only: the verdict is the local figures against them,
    // row by row (better: a new record; equal: a tie).
    if (GameMode* mode = CurrentGameMode()) {
        const GroupStats local = mode->AddEndOfMatchStats(LocalGroup());
        for (size_t i = 0; i < local.rows.size() && i < reply.records.size(); ++i) {
            const int32_t mine = local.rows[i]->value, record = reply.records[i].value;
            const bool lower = IsLowerBetter(local.rows[i]->kind);
            if (mine == record)
                reply.tiedRecord = true;
            else if (lower ? mine < record : mine > record)
                reply.newRecord = true;
        }
    }
    return reply;
}

std::vector<UnlockedItem> HudGame::UnlockedItems(const std::string& kind) const
{
    std::vector<UnlockedItem> items;
    for (const UnlockedBonusItem& item : CurrentProfile().LoadBonusItems()) {
        if (item.type != kind)
            continue;
        const BonusItemInfo info = BonusItemList::FindById(item.id);
        if (!info.id.empty())
            items.push_back({item.id, info.filePath});
    }
    return items;
}

std::unique_ptr<PrimContainer> HudGame::MakeSuperNovaPrompt()
{
    return std::make_unique<SuperNovaPrompt>();
}

std::unique_ptr<PrimContainer> HudGame::MakeCheckpointPrompt(bool showCancel, bool saveMode)
{
    return std::make_unique<CheckpointPrompt>(showCancel, saveMode);
}
