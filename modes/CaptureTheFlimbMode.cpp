#include "modes/CaptureTheFlimbMode.h"

#include "app/LanguageTexts.h"
#include "modes/MatchEffects.h"
#include "modes/MatchWorld.h"
#include "modes/ModeStateHasher.h"
#include "modes/ScorePanels.h"

#include <cmath>

CaptureTheFlimbMode::CaptureTheFlimbMode()
{
    modeIndex = 1;
}

void CaptureTheFlimbMode::StartMatch()
{
    winnerGroup = kNobodyYet;
    loseShown = false;
    GameMode::StartMatch();
}

bool CaptureTheFlimbMode::IsMatchOver()
{
    if (!GameMode::IsMatchOver())
        return winnerGroup != kNobodyYet;
    const MatchWorld& world = World();
    if (world.IsMultiplayerMatch())
        return true;
    // A single-player level does not end while a special flimb lives uncaptured.
    return world.SpecialFlimbs(kAllGroups).empty() || winnerGroup != kNobodyYet;
}

std::unique_ptr<FlimbsWindow5> CaptureTheFlimbMode::CreateScorePanel()
{
    return std::make_unique<CaptureTheFlimbScore>();
}

void CaptureTheFlimbMode::GameOver()
{
    if (resultCode != kResultRunning) {
        PublishResult();
        return;
    }
    MatchWorld& world = World();
    const bool won = winnerGroup == world.LocalGroup();
    if (world.IsMultiplayerMatch())
        world.SetMatchResult(won ? kResultWon : kResultLost);
    else
        world.SetMatchResult(won ? kResultSingleWon : kResultSingleLost);
    BaseGameOver();
}

void CaptureTheFlimbMode::OnGoalReached(int group, int32_t flimbId)
{
    FlimbInfo flimb;
    if (World().FindFlimb(flimbId, flimb) && (flimb.marks & kFlimbMarkSpecial) && group >= 0 && group < kGroupCount)
        winnerGroup = uint8_t(group);
}

void CaptureTheFlimbMode::OnFlimbDied(int32_t)
{
    MatchWorld& world = World();
    if (winnerGroup != kNobodyYet || !world.SpecialFlimbs(kAllGroups).empty())
        return;
    winnerGroup = kNobodyCan;
    if (world.IsHost())
        Effects().SendChat(TranslateText("Woe! All captureable flimbs have ceased to be!"));
}

// The group of the exit nearest to any special flimb; an equal distance takes the later
// exit. The running distance is kept truncated to whole units.
void CaptureTheFlimbMode::DecideResult()
{
    const MatchWorld& world = World();
    const std::vector<FlimbInfo> specials = world.SpecialFlimbs(kAllGroups);
    if (specials.empty()) {
        trackedGroup = -1;
        return;
    }
    const std::vector<ExitInfo> exits = world.Exits();
    int32_t best = 999999;
    for (const FlimbInfo& flimb : specials) {
        const double cx = flimb.x, cy = double(flimb.y) - double(flimb.height) / 2.0;
        for (const ExitInfo& exit : exits) {
            const double dx = double(exit.x) - cx, dy = double(exit.y) - cy;
            const double distance = std::sqrt(dx * dx + dy * dy);
            if (distance <= double(best)) {
                trackedGroup = exit.group;
                best = int32_t(distance);
            }
        }
    }
}

GroupStats CaptureTheFlimbMode::AddEndOfMatchStats(int group)
{
    const MatchWorld& world = World();
    GroupStats record(group);
    if (!world.IsMultiplayerMatch())
        AppendQdotStat(record, group >= 0 && group < kGroupCount ? qdotCounts[size_t(group)] : 0, qdotTotal);
    AppendGameStat(record, world, freezeCount, group, kStatLost, true);
    AppendGameStat(record, world, freezeCount, group, kStatMorphs, true);
    AppendGameStat(record, world, freezeCount, group, kStatTime, true);
    return record;
}

void CaptureTheFlimbMode::CheckLose()
{
    const MatchWorld& world = World();
    if (world.IsMultiplayerMatch() || loseShown)
        return;
    const int local = world.LocalGroup();
    if (local < 0 || local >= kGroupCount)
        return;
    if (world.Tally(local).total == 0 && MatchFigures::Waiting(world, local) == 0) {
        Effects().PostNotice(TranslateText(
            "You have no more flimbs remaining.  You must restart the level if there is no path to the exit."));
        loseShown = true;
    }
}

std::string CaptureTheFlimbMode::GetObjectiveText()
{
    const std::string goal = World().IsMultiplayerMatch()
                                 ? TranslateText("Beam up any special flimb by leading it to your pad to win.")
                                 : TranslateText("Lead the special flimb into your exit to win.");
    return goal + GameMode::GetObjectiveText();
}

void CaptureTheFlimbMode::HashState(ModeStateHasher& hasher) const
{
    GameMode::HashState(hasher);
    hasher.Add(winnerGroup);
}
