// The game's MatchWorld: what the rules read of the running game, and the few changes they
// make to it.
#include "modes/MatchWorld.h"

#include "app/GameClock.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/GameServices.h"
#include "game/LevelGlobals.h"
#include "modes/ModeServices.h"
#include "traps/ActionsTrap.h"
#include "traps/BallTrap.h"
#include "traps/FrozenFlimbTrap.h"
#include "traps/ParticleTrap.h"
#include "traps_flow/ExitTrap.h"
#include "traps_flow/StartTrap.h"
#include "world/BeamUpEffect.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/Groups.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

namespace {

// The rules' view of a flimb record: a marked flimb is a special one, a flimb of twice the
// size or more is big.
FlimbInfo InfoOf(const Flimb& flimb)
{
    FlimbInfo info;
    info.id = flimb.id;
    info.group = flimb.group;
    info.flags = flimb.flags;
    info.flags2 = flimb.flags2;
    info.status = flimb.attributes;
    info.marks = uint8_t(((flimb.attributes & kAttrMarked) ? kFlimbMarkSpecial : 0) |
                         (flimb.scale >= 2.0f ? kFlimbMarkBig : 0));
    info.type = flimb.type;
    info.x = flimb.x;
    info.y = flimb.y;
    info.sizeFactor = flimb.scale;
    info.direction = flimb.gravity & 3;
    const gfx::RECT box = flimb.GetCurrentSprite();
    info.left = float(box.left);
    info.top = float(box.top);
    info.right = float(box.right);
    info.bottom = float(box.bottom);
    info.height = flimb.gravity >= 2 ? info.right - info.left : info.bottom - info.top;
    info.points = flimb.energy;
    info.passCooldown = flimb.cooldown;
    info.exited = (flimb.flags2 & kFlimbSaved) != 0;
    return info;
}

bool InPlay(const Flimb& flimb)
{
    return !flimb.IsFree() && flimb.IsAlive();
}

// The live flimb of that id, or null.
Flimb* LiveFlimb(int32_t id)
{
    Flimb* flimb = id >= 0 && id <= INT16_MAX ? FindFlimbById(id) : nullptr;
    return flimb && InPlay(*flimb) ? flimb : nullptr;
}

// The flimb's record while it is in the table (live or dying), or null.
Flimb* RecordOf(int32_t id)
{
    Flimb* flimb = id >= 0 && id <= INT16_MAX ? FindFlimbById(id) : nullptr;
    return flimb && !flimb->IsFree() ? flimb : nullptr;
}

std::vector<FlimbInfo> InfosOf(const FlimbList& list)
{
    std::vector<FlimbInfo> infos;
    infos.reserve(list.size());
    for (const Flimb* flimb : list)
        infos.push_back(InfoOf(*flimb));
    return infos;
}

class GameWorldAdapter final : public MatchWorld {
public:
    uint32_t UpdateCounter() const override { return gameUpdateCounter; }
    // The game clock and the time the level started on it (the elapsed play time of a
    // level's record; nothing the simulation reads).
    uint32_t GameClockMs() const override { return gameClock.Now(); }
    uint32_t LevelStartMs() const override { return Controller().levelStartTime; }

    // The match globals and the player list of the game controller.
    bool IsMultiplayerMatch() const override { return Controller().sessionKind == kSessionNetworked; }
    int MatchState() const override
    {
        return controllerGlobals.levelRunning || Controller().runState == kRunRunning ? 1 : 0;
    }
    int LocalGroup() const override
    {
        const PlayerRecord* local = Controller().localPlayer;
        return local && local->team < kGroupCount ? local->team : 0;
    }
    bool LocalIsSpectator() const override { return LocalPlayerIsSpectator(); }
    std::string LocalPlayerName() const override { return CurrentPlayerName; }
    bool PlaybackRunning() const override { return IsPlaybackRunning(); }
    bool ClientHold() const override { return false; }
    // The group's order was given (it went SuperNova): its flimbs are done for.
    bool GroupDone(int group) const override
    {
        return group >= 0 && group < kGroupCount && Controller().detonation[size_t(group)] != 0;
    }
    bool EditorTestPlay() const override { return false; }
    std::string LevelPath() const override { return Controller().levelFile; }
    std::string LevelTitle() const override { return Controller().levelTitle; }
    int GameType() const override { return 0; }
    std::vector<MatchPlayer> Players() const override
    {
        std::vector<MatchPlayer> players;
        for (const auto& player : Controller().players)
            if (player)
                players.push_back({player->id, player->group, player->name, player->spectator != 0});
        return players;
    }
    bool AllGroupsActive() const override { return allGroupsActive; }
    // The controller's match result, which the HUD and the end-of-match screens read.
    int MatchResult() const override { return Controller().matchResult; }
    void SetMatchResult(int result) override { Controller().matchResult = result; }
    int EndStatus() const override { return endStatus_; }
    void SetEndStatus(int status) override { endStatus_ = status; }

    GroupTally Tally(int group) const override
    {
        if (group < 0 || group >= kGroupCount)
            return {};
        const auto& row = World().tallies[size_t(group)];
        GroupTally tally;
        tally.total = row[kTallyInWorld];
        tally.live = row[kTallyAlive];
        tally.flag4 = row[kTallyMarked];
        tally.flag16 = row[kTallyFalling];
        tally.doppeled = row[kTallyDoppels];
        tally.points = row[kTallyEnergy];
        return tally;
    }
    int32_t CountUnreleased(int group, bool copiers) const override
    {
        if (group != kAllGroups && (group < 0 || group >= kGroupCount))
            return 0;
        return CountFlimbsToCome(group == kAllGroups ? int8_t(-1) : int8_t(group), copiers);
    }
    GroupStatsBlock GroupStats(int group) const override
    {
        GroupStatsBlock block;
        if (group < 0 || group >= kGroupCount)
            return block;
        const GroupStatistics& stats = Controller().stats[size_t(group)];
        block.enabled = Controller().groups[size_t(group)].inUse != 0;
        block.score = stats.score;
        block.lost = int16_t(stats.lost);
        for (size_t i = 0; i < block.actions.size(); ++i)
            block.actions[i] = stats.actionCounts[i];
        block.savedFrom = stats.savedFrom;
        return block;
    }
    std::vector<ExitInfo> Exits() const override
    {
        std::vector<ExitInfo> exits;
        for (const Trap* trap : GetTrapsOfKind(kTrapKindExit)) {
            const auto* exit = dynamic_cast<const ExitTrap*>(trap);
            if (!exit)
                continue;
            ExitInfo info;
            info.id = int32_t(exit->id);
            info.group = exit->Group();
            info.enabled = exit->enabled != 0;
            info.active = exit->on;
            info.groupOnly = exit->exclusive;
            info.saved = exit->savedCount;
            info.required = exit->minFlimbs;
            info.x = exit->x;
            info.y = exit->y;
            info.scaleX = exit->scale_x;
            info.scaleY = exit->scale_y;
            info.direction = exit->Direction();
            exits.push_back(info);
        }
        return exits;
    }
    // The live Actions traps: what each gives (its action; 11: extra flimbs) and how much.
    std::vector<ActionsTrapInfo> ActionsTraps() const override
    {
        std::vector<ActionsTrapInfo> traps;
        for (const Trap* trap : GetTrapsOfKind(uint32_t(ActionsTrap::kKind)))
            if (const auto* actions = dynamic_cast<const ActionsTrap*>(trap); actions && actions->alive)
                traps.push_back({actions->actionType, actions->numItems});
        return traps;
    }
    std::vector<FrozenFlimbTrapInfo> FrozenFlimbTraps() const override
    {
        std::vector<FrozenFlimbTrapInfo> frozen;
        for (const Trap* trap : GetTrapsOfKind(kTrapKindFrozenFlimb))
            if (const auto* ice = dynamic_cast<const FrozenFlimbTrap*>(trap))
                frozen.push_back({ice->group, ice->holding != 0});
        return frozen;
    }
    std::vector<SlugTrapInfo> SlugTraps() const override
    {
        std::vector<SlugTrapInfo> slugs;
        for (const Trap* trap : GetTrapsOfKind(kTrapKindSlug))
            if (trap->alive)
                slugs.push_back({int32_t(trap->id), trap->x, trap->y, trap->enabled != 0});
        return slugs;
    }
    int CountTrapsOfKind(int kind) const override { return int(GetTrapsOfKind(uint32_t(kind)).size()); }
    // The live simulation particles: what the drawing alone shows never holds a match open.
    int ParticleCount() const override { return ::ParticleCount(); }
    // The groups in use in the level: the Multiverse's universes.
    int CountEnabledGroups() const override
    {
        int count = 0;
        for (const auto& group : Controller().groups)
            count += group.inUse ? 1 : 0;
        return count;
    }
    // World seam: the labels and colours of the action-sprite spec's group table.
    std::string GroupLabel(int group) const override
    {
        return group >= 0 && group < kGroupCount ? kGroupNames[size_t(group)] : "all";
    }
    uint32_t GroupColour(int group) const override
    {
        return group >= 0 && group < kGroupCount ? kGroupColours[size_t(group)] : 0xFFFFFFFF;
    }
    bool FindFlimb(int32_t id, FlimbInfo& flimb) const override
    {
        const Flimb* found = LiveFlimb(id);
        if (found)
            flimb = InfoOf(*found);
        return found != nullptr;
    }
    bool FindRecord(int32_t id, FlimbInfo& flimb) const override
    {
        const Flimb* found = RecordOf(id);
        if (found)
            flimb = InfoOf(*found);
        return found != nullptr;
    }
    std::vector<FlimbInfo> SpecialFlimbs(int group) const override
    {
        return InfosOf(CollectGroupFlimbs(uint8_t(group)));
    }

    // The game server runs here (the session installs it); a recorded match is played back.
    bool IsHost() const override { return GameServerExists(); }
    bool RecordedPlayback() const override { return IsPlaybackRunning(); }
    int32_t HighestFlimbValue() const override { return World().healthScale > 0 ? World().healthScale : kFlimbStartEnergy; }
    int32_t WorldWidth() const override { return LandscapeWidth(); }
    int32_t HighlightedFlimb() const override { return World().selected ? World().selected->id : -1; }
    bool CarrierControlOverride() const override { return false; }
    int TieBreakGroup() const override { return 0; }
    // The level's FlimbMaster group, which the session's ghost playback reads.
    void SetFlimbMasterGroup(int group) override { CurrentLevelGlobals().flimbMasterGroup = group; }
    void SetMatchResultDetail(int detail) override { Controller().matchResultDetail = detail; }
    std::vector<FlimbInfo> Flimbs() const override
    {
        std::vector<FlimbInfo> infos;
        for (const Flimb& flimb : World())
            if (InPlay(flimb))
                infos.push_back(InfoOf(flimb));
        return infos;
    }
    std::vector<FlimbInfo> FlimbsNear(float x, float y, int group) const override
    {
        return InfosOf(FindFlimbsAtPointIn(World(), int32_t(x), int32_t(y), uint8_t(group)));
    }
    std::vector<FlimbInfo> FlimbsInArea(float left, float top, float right, float bottom) const override
    {
        return InfosOf(FindFlimbsInArea(true, false, int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)));
    }
    std::vector<int32_t> ObjectsAt(float x, float y) const override
    {
        std::vector<int32_t> ids;
        for (const Flimb* flimb : FindFlimbsAtPoint(int32_t(x), int32_t(y), true))
            ids.push_back(flimb->id);
        return ids;
    }
    std::vector<StartTrapInfo> StartTraps() const override
    {
        std::vector<StartTrapInfo> starts;
        for (const Trap* trap : GetTrapsOfKind(kTrapKindStart)) {
            const auto* start = dynamic_cast<const StartTrap*>(trap);
            if (!start)
                continue;
            int32_t x = 0, y = 0;
            start->GetSpawnPoint(x, y);
            starts.push_back({int32_t(start->id), start->Group(), float(x), float(y)});
        }
        return starts;
    }
    std::vector<int32_t> CopierTrapIds() const override
    {
        std::vector<int32_t> ids;
        for (const Trap* trap : GetTrapsOfKind(kTrapKindCopier))
            ids.push_back(int32_t(trap->id));
        return ids;
    }
    std::vector<ParticleInfo> ParticleTraps() const override
    {
        std::vector<ParticleInfo> particles;
        for (const Trap* trap : GetTrapsOfKind(uint32_t(ParticleTrap::kKind))) {
            const auto* particle = dynamic_cast<const ParticleTrap*>(trap);
            if (!particle)
                continue;
            ParticleInfo info;
            info.id = int32_t(particle->id);
            info.carrierId = particle->CarrierId();
            info.homeX = float(particle->homeX);
            info.homeY = float(particle->homeY);
            info.x = particle->x;
            info.y = particle->y;
            info.active = particle->activated != 0;
            info.group = particle->particleGroup;
            particles.push_back(info);
        }
        return particles;
    }

    void SetFlimbFlags(int32_t id, uint8_t bits, bool on) override
    {
        if (Flimb* flimb = RecordOf(id))
            flimb->flags = on ? uint8_t(flimb->flags | bits) : uint8_t(flimb->flags & ~bits);
    }
    // The flimb record's cool-down counter; the flimb behaviour counts it down.
    void SetPassCooldown(int32_t id, int updates) override
    {
        if (Flimb* flimb = RecordOf(id))
            flimb->cooldown = int8_t(updates < 0 ? 0 : updates > 127 ? 127 : updates);
    }
    void SetSizeFactor(int32_t id, float factor) override
    {
        if (Flimb* flimb = RecordOf(id))
            flimb->scale = factor;
    }
    void TakeOutOfPlay(int32_t id) override
    {
        if (Flimb* flimb = LiveFlimb(id))
            UncountFlimb(*flimb);
    }
    void SetFlimbPoints(int32_t id, int32_t points) override
    {
        if (Flimb* flimb = RecordOf(id))
            flimb->energy = points;
    }
    // The flimb atomizes: it stops being alive at once, and its next step breaks it into
    // particles and takes it out of play. A flimb already ending keeps its own end.
    void KillFlimb(int32_t id) override
    {
        if (Flimb* flimb = LiveFlimb(id))
            flimb->SetType(kAtomize);
    }
    void MoveFlimbX(int32_t id, int32_t x) override
    {
        if (Flimb* flimb = LiveFlimb(id)) {
            flimb->x = int16_t(x);
            flimb->prevX = int16_t(x);
        }
    }
    int32_t CopyFlimb(int32_t id, int32_t x) override
    {
        const Flimb* source = LiveFlimb(id);
        if (!source)
            return -1;
        Flimb record = *source;
        record.tag = nullptr;
        record.flags &= uint8_t(~kFlimbSelected);
        record.x = record.prevX = int16_t(x);
        record.id = int16_t(TakeFlimbId());
        Flimb* copy = AddFlimbTo(World(), record);
        return copy ? copy->id : -1;
    }
    void SetParticleCarrier(int32_t trapId, int32_t flimbId) override
    {
        if (ParticleTrap* particle = ParticleOf(trapId))
            particle->SetCarrierById(flimbId);
    }
    void PlaceParticle(int32_t trapId, float x, float y) override
    {
        if (ParticleTrap* particle = ParticleOf(trapId))
            particle->PlaceAt(x, y);
    }
    void SetParticleActive(int32_t trapId, bool active) override
    {
        if (ParticleTrap* particle = ParticleOf(trapId))
            particle->activated = active ? 1 : 0;
    }

    // The world's flimb-id counter (ids below 10000).
    uint32_t TakeFlimbId() override { return uint32_t(World().nextIdLow++); }
    // The exit's group is credited with the flimb's group.
    void CreditFlimb(int group, int32_t flimbId) override
    {
        const Flimb* flimb = RecordOf(flimbId);
        if (flimb && group >= 0 && group < kGroupCount)
            Controller().stats[size_t(group)].savedFrom.push_back(flimb->group);
    }
    // Marked saved (so it is not counted lost) and taken out of play.
    void RetireExitedFlimb(int32_t flimbId) override
    {
        Flimb* flimb = RecordOf(flimbId);
        if (!flimb)
            return;
        flimb->flags2 |= kFlimbSaved;
        if (flimb->InWorld())
            UncountFlimb(*flimb);
    }
    void SpawnBeamUp(float x, float y) override { SpawnBeamUpEffect(x, y); }
    void ShatterSlug(int32_t trapId) override
    {
        if (auto* slug = dynamic_cast<BallTrap*>(FindTrapById(trapId)))
            slug->Shatter();
    }

private:
    static ParticleTrap* ParticleOf(int32_t trapId)
    {
        return dynamic_cast<ParticleTrap*>(FindTrapById(trapId));
    }

    int endStatus_ = -1;
};

} // namespace

MatchWorld& GameMatchWorld()
{
    static GameWorldAdapter adapter;
    return adapter;
}
