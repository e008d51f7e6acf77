#include "modes/GameMode.h"

#include "app/KeyBindings.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "game/GameHooks.h"
#include "media/KeyTables.h"
#include "modes/CaptureTheFlimbMode.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/GameModifier.h"
#include "modes/MatchEffects.h"
#include "modes/MatchOptions.h"
#include "modes/MatchWorld.h"
#include "modes/ModeServices.h"
#include "modes/ModeStateHasher.h"
#include "modes/MultiverseMatchMode.h"
#include "modes/ProcureTheParticleMode.h"
#include "modes/QuantumLoopMode.h"
#include "modes/QuantumQuarrelMode.h"
#include "modes/ScorePanels.h"
#include "modes/SuperSynergyMode.h"
#include "world/BindableAction.h"

#include <cmath>
#include <utility>

namespace {

constexpr GameModeInfo kModeTable[kModeCount + 1] = {
    {"CorralTheFlimb", "Corral The Flimb", "dm"},
    {"CaptureTheFlimb", "Capture The Flimb", "kpt"},
    {"ProcureTheParticle", "Procure The Particle", "ctf"},
    {"QuantumQuarrel", "Quantum Quarrel", "lcs"},
    {"MultiverseMatch", "Multiverse Match", "ar"},
    {"QuantumLoop", "Quantum Loop", "tl"},
    {"SuperSynergy", "Super Synergy", "ss"},
    {nullptr, nullptr, nullptr},
};

constexpr int kExitEffect = 29;
constexpr float kBeamOffset = 75.0f;
constexpr int kSlugBlastRadius = 50;

} // namespace

const GameModeInfo& GameMode::Info(int index)
{
    return index >= 0 && index < kModeCount ? kModeTable[index] : kModeTable[kModeCount];
}

std::unique_ptr<GameMode> GameMode::Create(int index)
{
    switch (index) {
    case 0: return std::make_unique<CorralTheFlimbMode>();
    case 1: return std::make_unique<CaptureTheFlimbMode>();
    case 2: return std::make_unique<ProcureTheParticleMode>();
    case 3: return std::make_unique<QuantumQuarrelMode>();
    case 4: return std::make_unique<MultiverseMatchMode>();
    case 5: return std::make_unique<QuantumLoopMode>();
    case 6: return std::make_unique<SuperSynergyMode>();
    default: return nullptr;
    }
}

int GameMode::IndexFromName(const std::string& name)
{
    for (int i = 0; kModeTable[i].keyName; ++i)
        if (name == kModeTable[i].keyName)
            return i;
    WriteLog("WARNING: unknown game mode [%s]; the rescue mode is played\n", name.c_str());
    return 0;
}

int GameMode::IndexFromPrefix(const std::string& prefix)
{
    for (int i = 0; kModeTable[i].prefix; ++i)
        if (prefix == kModeTable[i].prefix)
            return i;
    return 0;
}

MatchWorld& GameMode::World()
{
    return CurrentMatchWorld();
}

MatchEffects& GameMode::Effects()
{
    return CurrentMatchEffects();
}

GameMode::GameMode()
{
    ResetStatLabels();
    BuildCommandList();
    ResetMatchOptions();
}

GameMode::~GameMode() = default;

void GameMode::ResetStatLabels()
{
    statLabels = {TranslateText("Saved"), TranslateText("Out"), TranslateText("Left")};
}

void GameMode::StartMatch()
{
    freezeCount = 0;
    loseStreak = 0;
    loseCheckFinished = false;
    doppelHintShown = false;
    for (auto& modifier : modifiers)
        modifier->Reset();
    objectiveText = GetObjectiveText();
    winningGroup = kNoGroup;
    resultCode = kResultRunning;
    commands.clear();
    BuildCommandList();
    MarkMatchStarted();
    trackedGroup = -1;
}

bool GameMode::MultiplayerEndTest()
{
    const MatchWorld& world = World();
    if (world.CountUnreleased(kAllGroups, false) != 0)
        return false;
    int32_t onTheirWay = 0;
    for (int g = 0; g < kGroupCount; ++g) {
        const GroupTally tally = world.Tally(g);
        onTheirWay += tally.live - tally.flag16;
    }
    return onTheirWay <= 0 && world.MatchState() == 1 && world.ParticleCount() <= 10;
}

bool GameMode::IsMatchOver()
{
    if (resultCode != kResultRunning)
        return true;
    const MatchWorld& world = World();
    if (world.UpdateCounter() == 0)
        return false;
    if (world.IsMultiplayerMatch())
        return MultiplayerEndTest();
    if (world.CountUnreleased(kAllGroups, false) > 0 || world.MatchState() != 1 || world.ParticleCount() > 10)
        return false;
    const int local = world.LocalGroup();
    for (const FrozenFlimbTrapInfo& trap : world.FrozenFlimbTraps())
        if (trap.group == local && trap.hold)
            return false;
    return MatchFigures::Present(world, local >= 0 && local < kGroupCount ? local : kAllGroups) == 0;
}

void GameMode::UpdateMessages()
{
    const MatchWorld& world = World();
    if (world.PlaybackRunning() || world.ClientHold() || world.LocalIsSpectator())
        return;
    for (auto& modifier : modifiers)
        modifier->GameUpdate();
    if (!loseCheckFinished)
        CheckLose();
    const int local = world.LocalGroup();
    if (doppelHintShown || local < 0 || local >= kGroupCount)
        return;
    const GroupTally tally = world.Tally(local);
    if (world.CountUnreleased(local, true) == 0 && tally.doppeled == tally.total && tally.total > 0) {
        Effects().PostNotice(TranslateText("You have only Doppeled flimbs remaining.  Press ") +
                             KeyNameForAction("SuperNova") + TranslateText(" to go SuperNova and remove them."));
        doppelHintShown = true;
    }
}

void GameMode::NotifyModifiers()
{
    for (auto& modifier : modifiers)
        modifier->Notify();
}

void GameMode::SaveProgress()
{
    if (!World().IsMultiplayerMatch())
        CurrentProfile().SaveStats();
}

void GameMode::CreateStatsWidget(xmlNode*)
{
    const MatchWorld& world = World();
    qdotTotal = world.CountTrapsOfKind(kTrapKindQdot);
    if (modeIndex == 4) {
        const int universes = world.CountEnabledGroups();
        if (universes > 0)
            qdotTotal /= universes;
    }
    qdotCounts.fill(0);
    for (auto& display : hudStats)
        if (display) {
            display->SetValue(0);
            display->SetText("0");
        }
}

void GameMode::OnGoalReached(int, int32_t) {}
void GameMode::OnFlimbDied(int32_t) {}
void GameMode::ReservedHookB(int) {}
void GameMode::OnPickup(int32_t, int32_t) {}

void GameMode::OnFlimbExited(int32_t flimbId, int32_t exitTrapId)
{
    MatchWorld& world = World();
    FlimbInfo flimb;
    if (!world.FindFlimb(flimbId, flimb))
        return;
    const std::vector<ExitInfo> exits = world.Exits();
    const ExitInfo* exit = nullptr;
    for (const ExitInfo& candidate : exits)
        if (candidate.id == exitTrapId)
            exit = &candidate;
    if (exit && !(flimb.status & 8)) {
        Effects().PlayEffectAt(kExitEffect, flimb.x, flimb.y);
        OnGoalReached(exit->group, flimbId);
        world.CreditFlimb(exit->group, flimbId);
        if (CurrentMatchOptions().beamEffects) {
            float dx = 0.0f, dy = 0.0f;
            switch (exit->direction) {
            case 0: dx = kBeamOffset * exit->scaleX; break;
            case 1: dx = -kBeamOffset * exit->scaleX; break;
            case 2: dy = kBeamOffset * exit->scaleY; break;
            case 3: dy = -kBeamOffset * exit->scaleY; break;
            default: break;
            }
            world.SpawnBeamUp(exit->x + dx, exit->y + dy);
        }
    }
    world.RetireExitedFlimb(flimbId);
}

void GameMode::OnObjectLost(int32_t) {}
void GameMode::OnFlimbEvent(int32_t, int, int) {}

void GameMode::OnBlast(int32_t sourceFlimbId, float x, float y, int)
{
    MatchWorld& world = World();
    FlimbInfo source;
    if (!world.FindFlimb(sourceFlimbId, source) || !(source.status & 0x80))
        return;
    const long bx = std::lround(x), by = std::lround(y);
    for (const SlugTrapInfo& slug : world.SlugTraps()) {
        if (!slug.active)
            continue;
        const long dx = std::lround(slug.x) - bx, dy = std::lround(slug.y) - by;
        if (dx * dx + dy * dy < long(kSlugBlastRadius) * kSlugBlastRadius)
            world.ShatterSlug(slug.id);
    }
}

bool GameMode::OnKey(int code, int state, const IInputDevice* device)
{
    if (state == 2)
        return false;
    const std::string key = KeyNameFromCode(device, code);
    if (key.empty())
        return false;
    const std::string command = KeyBindings::CommandForKey(key);
    return !command.empty() && RunCommand(command, state != 0);
}

void GameMode::SetResult(int32_t code, int32_t group)
{
    resultCode = code;
    winningGroup = group;
}

void GameMode::DecideResult() {}

int32_t GameMode::GetTrackedGroup()
{
    return trackedGroup;
}

bool GameMode::AcceptsFlimb(int32_t)
{
    return true;
}

bool GameMode::IsFlimbControllable(int32_t flimbId)
{
    FlimbInfo flimb;
    return World().FindFlimb(flimbId, flimb) && (flimb.flags & 8);
}

bool GameMode::MayIssueMorph(int32_t, int)
{
    return true;
}

bool GameMode::OnQdotCollected(int32_t flimbId)
{
    const MatchWorld& world = World();
    if (world.PlaybackRunning())
        return false;
    int group = world.LocalGroup();
    if (modeIndex != 5) {
        FlimbInfo flimb;
        if (!world.FindFlimb(flimbId, flimb))
            return false;
        group = flimb.group;
    }
    if (group < 0 || group >= kGroupCount)
        return false;
    return ++qdotCounts[size_t(group)] == qdotTotal;
}

uint32_t GameMode::NextFlimbId(int, int, int, int)
{
    return World().TakeFlimbId();
}

void GameMode::BuildPreGamePanel(PrimContainer*) {}

bool GameMode::AcceptCommand(const uint8_t*, size_t)
{
    return true;
}

void GameMode::CheckLose() {}

std::string GameMode::SaveMatchRecording(const std::string& outPath)
{
    return Effects().SavePlayback(outPath);
}

int32_t GameMode::GetLocalQdotCount()
{
    const int local = World().LocalGroup();
    return local >= 0 && local < kGroupCount ? qdotCounts[size_t(local)] : 0;
}

int GameMode::GetActiveGroup()
{
    return World().LocalGroup();
}

bool GameMode::IsSinglePlayerAid()
{
    return !World().IsMultiplayerMatch();
}

int GameMode::CountFreeze()
{
    if (freezeCount >= 254)
        return 255;
    return ++freezeCount;
}

void GameMode::ToggleFreeze()
{
    MatchEffects& effects = Effects();
    if (effects.ServerState() == 4)
        effects.ThawServer();
    else
        effects.FreezeServer();
}

void GameMode::BuildCommandList()
{
    for (const BindableAction& action : BindableActions())
        commands.push_back(ModeCommand{action.name, action.handler, action.category, action.description});
}

std::string GameMode::GetObjectiveText()
{
    std::string text;
    const MatchOptions& options = CurrentMatchOptions();
    if (options.allowPaint)
        text += TranslateText("Statues placing is enabled.");
    if (options.allowStun)
        text += "\n" + TranslateText("Flimb stunning is enabled.");
    return text;
}

void GameMode::OnFlimbCreated(int32_t) {}
void GameMode::OnFlimbTypeChange(int32_t, int, int) {}

int GameMode::SelectionFilter()
{
    const int group = GetActiveGroup();
    return group >= 0 && group <= 255 ? group : kAllGroups;
}

bool GameMode::AcceptsFileType(int fileType)
{
    return fileType == 0 || fileType == 1;
}

// The match state every peer shares. What only concerns the local player (the notices
// already shown, the lose-check streak, the player's own modifier uses) stays out.
void GameMode::HashState(ModeStateHasher& hasher) const
{
    hasher.Add(modeIndex);
    hasher.Add(resultCode);
    hasher.Add(winningGroup);
    hasher.Add(trackedGroup);
    hasher.Add(qdotTotal);
    for (int32_t count : qdotCounts)
        hasher.Add(count);
    hasher.Add(freezeCount);
    const MatchOptions& options = CurrentMatchOptions();
    for (bool flag : {options.allowPaint, options.allowStun, options.doubleFall, options.stickyGibs,
                      options.explosionPhysics, options.explodingGibs, options.contagiousNova,
                      options.shatterDoppel, options.beamEffects})
        hasher.Add(flag);
    hasher.Add(options.explosionMag);
    hasher.Add(options.doubleSpeedMorph);
}

bool GameMode::RunCommand(const std::string& name, bool pressed)
{
    for (const ModeCommand& command : commands)
        if (command.name == name && command.handler) {
            command.handler(pressed ? 1 : 0);
            return true;
        }
    return false;
}

GameModifier* GameMode::FindModifier(int id) const
{
    for (const auto& modifier : modifiers)
        if (modifier->modifierType == id)
            return modifier.get();
    return nullptr;
}

bool GameMode::AllModifiersReady() const
{
    for (const auto& modifier : modifiers)
        if (!modifier->IsReady())
            return false;
    return true;
}

const std::string& GameMode::GetObjectiveTextCached()
{
    if (objectiveText.empty())
        objectiveText = GetObjectiveText();
    return objectiveText;
}

uint64_t GameMode::StateHash() const
{
    ModeStateHasher hasher;
    HashState(hasher);
    return hasher.Value();
}
