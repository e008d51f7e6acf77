// The controller's groups: action budgets and statistics, the groups' Start, Exit and
// Camera traps, orders and new flimbs, samples, and the level's announcements and music.
#include "game/GameController.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "game/GameHooks.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/ActionChecks.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <array>
#include <cstdlib>

namespace {

constexpr int kMessageEffect = 12;
constexpr int kAlternativeMessageEffect = 37;
constexpr int kExitsFilledEffect = 65;

bool IsGroup(uint8_t group)
{
    return group < kControllerGroups;
}

std::vector<Trap*> GroupTraps(int32_t kind, uint8_t group)
{
    std::vector<Trap*> found;
    for (Trap* trap : GetTrapsOfKind(static_cast<uint32_t>(kind)))
        if (trap->Group() == group)
            found.push_back(trap);
    return found;
}

std::array<std::string, kFlimbTypeCount>& Captions()
{
    static std::array<std::string, kFlimbTypeCount> captions;
    return captions;
}

} // namespace

void UseGroupAction(uint8_t action, const Flimb& flimb)
{
    if (action >= kActionCount || !IsGroup(flimb.group)) {
        WriteLog("WARNING: action %d of group %d is outside the budget table; not counted\n", action, flimb.group);
        return;
    }
    GameController& controller = Controller();
    uint8_t& uses = controller.groups[flimb.group].uses[action];
    if (uses >= 1 && uses <= 198)
        --uses;
    ++controller.stats[flimb.group].actionCounts[action];
}

int32_t SumGroupStat(uint8_t group)
{
    if (!IsGroup(group))
        return 0;
    int32_t sum = 0;
    for (uint8_t count : Controller().stats[group].actionCounts)
        sum += count;
    return sum;
}

int32_t GetGroupScore(uint8_t group)
{
    const GameController& controller = Controller();
    if (group == 255) {
        int32_t sum = 0;
        for (size_t g = 0; g < controller.groups.size(); ++g)
            if (controller.groups[g].inUse)
                sum += controller.stats[g].score;
        return sum;
    }
    return IsGroup(group) ? controller.stats[group].score : 0;
}

int32_t CountGroupFlimbs(uint8_t group)
{
    const GroupTallies& tallies = World().tallies;
    if (group == 255) {
        int32_t sum = 0;
        for (const auto& row : tallies)
            sum += row[kTallyAlive];
        return sum;
    }
    return IsGroup(group) ? tallies[group][kTallyAlive] : 0;
}

Trap* FindStartTrapOfGroup(uint8_t group)
{
    for (Trap* trap : GroupTraps(kTrapStart, group))
        if (trap->activated)
            return trap;
    return nullptr;
}

Trap* FindExitTrapOfGroup(uint8_t group)
{
    for (Trap* trap : GroupTraps(kTrapExit, group))
        if (trap->IsOpen())
            return trap;
    return nullptr;
}

Trap* FindCameraTrapOfGroup(uint8_t group)
{
    const std::vector<Trap*> cameras = GroupTraps(kTrapCamera, group);
    return cameras.empty() ? nullptr : cameras.front();
}

int32_t CountFlimbsToCome(int8_t group, bool withCopiers)
{
    int32_t count = 0;
    for (const Trap* trap : GetTrapsOfKind(kTrapStart))
        if (trap->enabled && trap->activated && (group == -1 || trap->Group() == static_cast<uint8_t>(group)))
            count += trap->FlimbsLeft();
    if (withCopiers)
        for (const Trap* trap : GetTrapsOfKind(kTrapCopier))
            if (group == -1 || trap->Group() == static_cast<uint8_t>(group))
                count += trap->FlimbsLeft();
    return count;
}

int32_t CountStartTraps(int32_t group)
{
    int32_t count = 0;
    for (const Trap* trap : GetTrapsOfKind(kTrapStart))
        if (group == -1 || trap->Group() == group)
            ++count;
    return count;
}

void NoteFlimbSelected(uint8_t action, uint8_t flag, Flimb* flimb)
{
    if (!flimb || LocalPlayerIsSpectator() || !ModeAcceptsCommand(flimb->id))
        return;
    WorldState& world = World();
    uint8_t delay = 0;
    if (world.preview.soundPlayed) {
        // The order waits for as long as the preview looked ahead.
        delay = world.preview.steps;
        world.preview.steps = 1;
        world.preview.state = 0;
        world.preview.soundPlayed = false;
        world.preview.source = nullptr;
    }
    uint8_t tag = 255;
    for (int side = 0; side < 2; ++side) {
        uint8_t& request = world.selectRequests[static_cast<size_t>(side)];
        if (!request)
            continue;
        tag = side == 0 ? 98 : 99;
        if (request == 1)
            request = 0;
        break;
    }
    if (CheckActionWithSound(*flimb, action)) {
        const bool strip = action != kWalk && action != kAtomize && action != kLop && action != kNova;
        if (Controller().runState == kRunRunning && strip)
            HudAddToHistoryStrip(flimb);
        SendUpdateFlimbType(flimb->id, action, tag, delay);
    }
    if (action == kGulp) {
        const bool variant = (flimb->flags & kFlimbGulpVariant) != 0;
        const bool wanted = flag == 0;
        if (variant != wanted)
            SendGulpChange(flimb->id, wanted ? 1 : 0);
    }
}

void StopGroupSupply(uint8_t group)
{
    for (Trap* trap : GroupTraps(kTrapStart, group))
        trap->SetFlimbsLeft(0);
    if (Controller().sessionKind == kSessionLocal)
        for (Trap* trap : GetTrapsOfKind(kTrapCopier))
            trap->SetFlimbsLeft(0);
}

void DetonateGroup(uint8_t group)
{
    if (group >= kControllerGroups)
        return;
    Controller().detonation[group] = 1;
    StopGroupSupply(group);
    StaggerGroupFlimbs(group);
}

void AnnounceMessage(const std::string& text, bool alternativeSound)
{
    Controller().messages.Add(text, -1);
    soundManager.PlayEffect(alternativeSound ? kAlternativeMessageEffect : kMessageEffect, 1.0f, true, 0.0f, 0.0f);
}

void RefreshFlimbTypeCaptions()
{
    for (int type = 0; type < kFlimbTypeCount; ++type)
        Captions()[static_cast<size_t>(type)] = TranslateText(FlimbTypeName(type));
    if (CurrentGameMode())
        ModeRefreshTexts();
}

const std::string& FlimbTypeCaption(int type)
{
    static const std::string none;
    return type >= 0 && type < kFlimbTypeCount ? Captions()[static_cast<size_t>(type)] : none;
}

void DisableUnusedGroupTraps()
{
    const auto& groups = Controller().groups;
    for (uint8_t group = 0; group < kControllerGroups; ++group) {
        if (groups[group].inUse)
            continue;
        for (int32_t kind : {kTrapStart, kTrapExit}) {
            for (Trap* trap : GroupTraps(kind, group)) {
                trap->SetEnabled(false);
                trap->visible = 0;
            }
        }
    }
}

void SumExitCounters(uint8_t group, int32_t& takenIn, int32_t& wanted)
{
    takenIn = 0;
    wanted = 0;
    for (const Trap* trap : GroupTraps(kTrapExit, group)) {
        takenIn += trap->FlimbsTakenIn();
        wanted += trap->FlimbsWanted();
    }
}

void RecordGroupSample(uint8_t group, uint8_t value)
{
    if (!IsGroup(group)) {
        WriteLog("WARNING: sample of group %d is outside the group table; not recorded\n", group);
        return;
    }
    GroupSamples& samples = Controller().counters.samples[group];
    if (samples.count < kGroupSampleLimit) {
        if (samples.values.empty() || samples.values.back() != value)
            samples.runStarts.push_back(samples.count);
        samples.values.push_back(value);
    }
    ++samples.count;
}

uint32_t CountSamplesNotOwn(uint8_t group)
{
    if (!IsGroup(group))
        return 0;
    const GroupSamples& samples = Controller().counters.samples[group];
    uint32_t count = 0;
    for (size_t run = 0; run < samples.runStarts.size(); ++run) {
        const uint32_t start = samples.runStarts[run];
        // The last run goes on through the samples counted beyond the stored ones.
        const uint32_t end = run + 1 < samples.runStarts.size() ? samples.runStarts[run + 1] : samples.count;
        if (samples.values[start] != group)
            count += end - start;
    }
    return count;
}

void CheckExitsFilled()
{
    GameController& controller = Controller();
    if (controller.sessionKind != kSessionLocal || controller.modeIndex != 0 || controller.counters.exitsFilled ||
        !controller.localPlayer)
        return;
    for (const Trap* trap : GroupTraps(kTrapExit, controller.localPlayer->team))
        if (trap->FlimbsTakenIn() < trap->FlimbsWanted())
            return;
    soundManager.PlayEffect(kExitsFilledEffect, 1.0f, true, 0.0f, 0.0f);
    controller.counters.exitsFilled = 1;
}

int32_t LevelPrefixIndex(const std::string& prefix)
{
    static constexpr const char* kPrefixes[] = {"s", "m", "f"};
    for (int32_t i = 0; i < 3; ++i)
        if (prefix == kPrefixes[i])
            return i;
    return 0;
}

void CheckCheatWord(const std::string& typed)
{
    if (!typed.empty() && typed == "quelp")
        WriteLog("CHEAT MODE ACTIVATED!\n");
}

void PlayLevelMusic()
{
    const std::string& music = Controller().currentLevel.music;
    if (music.empty())
        return;
    const float volume = Controller().sessionKind == kSessionNetworked ? 0.6f : 1.0f;
    soundManager.PlayMusic(music, true, false, volume);
}
