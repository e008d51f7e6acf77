// The end of a match: the published result, the base GameOver (stats and achievements,
// music, the end screens, the player's profile, the upload) and the result table.
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/SteamStats.h"
#include "app/StringUtil.h"
#include "game/LevelCompletion.h"
#include "modes/BonusItems.h"
#include "modes/GameMode.h"
#include "modes/MatchEffects.h"
#include "modes/MatchEnd.h"
#include "modes/MatchWorld.h"

#include <ctime>

namespace {

UnlockHook& TheUnlockHook()
{
    static UnlockHook hook;
    return hook;
}

int CountMatchPlayers(const MatchWorld& world)
{
    int count = 0;
    for (const MatchPlayer& player : world.Players())
        count += player.spectator ? 0 : 1;
    return count;
}

std::string SessionTimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return StringPrintf("%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                        local.tm_hour, local.tm_min, local.tm_sec);
}

// Keeps the better of each figure (by its kind's rule) as the level's personal best.
void UpdateBestStats(PlayerProfile& profile, const std::string& level, const GroupStats& rows)
{
    std::vector<BestStat> best = profile.ReadBestStats(level);
    for (const auto& row : rows.rows) {
        const StatKindInfo* info = FindStatKind(row->kind);
        if (!info)
            continue;
        BestStat* kept = nullptr;
        for (BestStat& stat : best)
            if (stat.type == info->name)
                kept = &stat;
        if (!kept)
            best.push_back(BestStat{info->name, row->value});
        else if (info->higherIsBetter ? row->value > kept->value : row->value < kept->value)
            kept->value = row->value;
    }
    profile.WriteBestStats(level, best);
}

} // namespace

std::string ResultMusic(int result)
{
    switch (result) {
    case kResultSingleWon: return "single_vic01.ogg";
    case kResultSingleLost: return "single_lose01.ogg";
    case kResultWon: return "multi_vic01.ogg";
    case kResultLost:
    case kResultNobodyScored: return "multi_lose00.ogg";
    case kResultTie: return "multi_tie01.ogg";
    default: return {};
    }
}

std::string OutcomeMessage(int result)
{
    return TranslateText(result == kResultSingleWon ? "You have passed this puzzle!" : "You did not pass this puzzle.");
}

void SetUnlockHook(UnlockHook hook)
{
    TheUnlockHook() = std::move(hook);
}

void GameMode::GameOver()
{
    BaseGameOver();
}

void GameMode::PublishResult()
{
    MatchWorld& world = World();
    int result = resultCode;
    if (winningGroup != kNoGroup && world.LocalGroup() != winningGroup) {
        switch (result) {
        case kResultWon: result = kResultLost; break;
        case kResultLost: result = kResultWon; break;
        case kResultSingleLost: result = kResultSingleWon; break;
        case kResultSingleWon: result = kResultSingleLost; break;
        default: break;
        }
    }
    world.SetMatchResult(result);
    BaseGameOver();
}

void GameMode::BaseGameOver()
{
    MatchWorld& world = World();
    MatchEffects& effects = Effects();
    const int result = world.MatchResult();
    const bool multiplayer = world.IsMultiplayerMatch();
    const int local = world.LocalGroup();
    const bool localInRange = local >= 0 && local < kGroupCount;

    if (multiplayer) {
        const int players = CountMatchPlayers(world);
        if (players > 1) {
            if (result == kResultWon) {
                SteamStats::AddToStat("mp_wins");
                if (players > 2)
                    SteamStats::UnlockAchievement("ACH_MULTI_WIN");
                if (localInRange && world.GroupStats(local).score == 0)
                    SteamStats::UnlockAchievement("ACH_MULTISAFE");
            } else {
                SteamStats::AddToStat("mp_loss");
            }
            if (players == 8)
                SteamStats::UnlockAchievement("ACH_MULTI_8");
        }
    }

    if (world.EndStatus() == -1) {
        if (result == kResultSingleWon)
            world.SetEndStatus(1);
        else if (result == kResultSingleLost)
            world.SetEndStatus(129);
    }

    if (effects.IsHudOpen())
        effects.CloseHudPopups();

    const bool editorTest = world.EditorTestPlay();
    std::string recording;
    if (!world.LocalIsSpectator() && !editorTest) {
        recording = SaveMatchRecording(std::string());
        const size_t slash = recording.find_last_of('\\');
        if (slash != std::string::npos)
            recording.erase(0, slash + 1);
    }

    if (const std::string music = ResultMusic(result); !music.empty())
        effects.PlayMusic(music);

    if (multiplayer) {
        effects.ShowEndOfMatchScreen(BuildResultTable());
        return;
    }

    std::vector<EndOfLevelPopup> popups{{EndOfLevelPopup::Kind::MatchResult, OutcomeMessage(result)}};
    const bool passed = result == kResultSingleWon;
    const std::string level = world.LevelPath();
    const bool finalBoss = EqualsNoCase(GetFileTitle(level, true), kFinalBossLevel);
    if (!editorTest) {
        PlayerProfile& profile = CurrentProfile();
        std::unique_ptr<LevelStats> stats = level.empty() ? nullptr : profile.GetLevelStatsNode(level, true);
        if (stats) {
            stats->groupID = local;
            if (passed)
                UpdateBestStats(profile, level, AddEndOfMatchStats(local));
            const uint32_t now = world.GameClockMs(), start = world.LevelStartMs();
            const int32_t seconds = now > start ? int32_t((now - start + 500u) / 1000u) : 0;
            SingleplayerTotals totals = profile.LoadSingleplayerTotals();
            totals.playtimeTotal += seconds;
            // Seam: the points and the medallion fragment a first pass earns, and the FlimbMasters
            // they unlock (SetUnlockHook), come with the campaign progress of the Pilgrimage
            // screens; until then a level adds only its Qdots.
            BonusGains gains;
            if (passed && qdotTotal > 0 && GetLocalQdotCount() >= qdotTotal && !stats->qdotsObtained) {
                stats->qdotsObtained = true;
                gains.qdots = qdotTotal;
                totals.qdotsTotal += qdotTotal;
            }
            // The bonus items compare the totals before this level's gains.
            std::vector<EndOfLevelPopup> bonusPopups = UnlockEarnedBonusItems(level, passed, gains);
            profile.SetSingleplayerTotals(totals);
            if (const UnlockHook& hook = TheUnlockHook())
                for (EndOfLevelPopup& popup : hook(level, passed))
                    popups.push_back(std::move(popup));
            for (EndOfLevelPopup& popup : bonusPopups)
                popups.push_back(std::move(popup));
            totals = profile.LoadSingleplayerTotals();
            if (passed) {
                if (EqualsNoCase(GetFileTitle(level, true), "Beatall") && totals.playtimeTotal < kSpeedrunSeconds) {
                    SteamStats::UnlockAchievement("ACH_SPEEDRUN");
                    SteamStats::SetStat("speedrun", totals.playtimeTotal);
                }
                if (totals.medallionTotal == 9)
                    SteamStats::UnlockAchievement("ACH_FM_EASY");
                if (finalBoss)
                    SteamStats::UnlockAchievement(kFinalBossAchievement);
                const LevelCompletion::Outcome completion =
                    LevelCompletion::CompleteLevel(level, world.LevelTitle(), modeIndex);
                if (completion != LevelCompletion::Outcome::AlreadyComplete)
                    SteamStats::AddToStat("puzzle_complete");
                if (completion == LevelCompletion::Outcome::PuzzleUnlocked)
                    effects.PostNotice(TranslateText("Kudos! You have unlocked this puzzle in the level editor."));
            }
            if (world.GameType() == 4) {
                if (profile.CountLevelsWithSkill(1) >= 21)
                    SteamStats::UnlockAchievement("ACH_FM_MEDIUM");
                if (profile.CountLevelsWithSkill(2) >= 21)
                    SteamStats::UnlockAchievement("ACH_FM_HARD");
            }
            SessionRecord session;
            session.id = stats->nAttempts + 1;
            session.passed = passed;
            session.group = local;
            session.time = SessionTimeStamp();
            session.playback = recording;
            session.savedFlimbs = MatchFigures::Saved(world, local);
            profile.RecordSession(*stats, session);
            SaveProgress();
        } else {
            WriteLog("WARNING: no level statistics for [%s]\n", level.c_str());
        }
    }

    if (passed && finalBoss)
        popups.push_back({EndOfLevelPopup::Kind::FinalVideo, std::string()});
    effects.QueueEndOfLevelPopups(popups);

    if (passed && !editorTest)
        effects.UploadResult(level);
}

std::vector<GroupStats> GameMode::BuildResultTable()
{
    const MatchWorld& world = World();
    std::vector<GroupStats> table;
    if (!world.IsMultiplayerMatch()) {
        table.push_back(AddEndOfMatchStats(world.LocalGroup()));
    } else {
        for (int g = 0; g < kGroupCount; ++g)
            if (MatchFigures::HasPlayers(world, g))
                table.push_back(AddEndOfMatchStats(g));
    }
    SortResultTable(table);
    return table;
}
