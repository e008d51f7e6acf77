#include "modes/ProcureTheParticleMode.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "gui/PrimContainer.h"
#include "modes/MatchEffects.h"
#include "modes/MatchOptions.h"
#include "modes/MatchWorld.h"
#include "modes/ModeOptionsPanel.h"
#include "modes/ModeStateHasher.h"

#include <cmath>

namespace {

struct ProcureOption {
    const char* key;
    const char* caption;
    const char* tip;
};

// In the order of the option block.
constexpr ProcureOption kOptions[] = {
    {"control_particle_flimb", "Allow control of particle carrier",
     "If unchecked then you can only explode particle carriers"},
    {"pass_particle", "Allow particle tunneling", "If checked then touching flimbs will pass off the particle"},
    {"allow_drop", "Allow particle dropping", "If unchecked then a new particle is reset when carrier dies"},
    {"intergroup", "Allow inter-group hand off", "If checked then any group can take other groups particle"},
    {"lose_particle", "Lost particle stays lost", "If checked then particles which fall of the map will not respawn"},
};

bool InRange(int group)
{
    return group >= 0 && group < kGroupCount;
}

} // namespace

ProcureTheParticleMode::ProcureTheParticleMode()
{
    modeIndex = 2;
}

bool* ProcureTheParticleMode::OptionField(const std::string& key)
{
    bool* fields[] = {&controlCarrier, &passByContact, &allowDrop, &interGroup, &loseParticle};
    for (size_t i = 0; i < std::size(kOptions); ++i)
        if (key == kOptions[i].key)
            return fields[i];
    return nullptr;
}

void ProcureTheParticleMode::StartMatch()
{
    winnerGroup = kNoGroup;
    particleLost = false;
    GameMode::StartMatch();
    pickups.fill(0);
    drops.fill(0);
}

bool ProcureTheParticleMode::IsMatchOver()
{
    return GameMode::IsMatchOver() || winnerGroup != kNoGroup || particleLost;
}

void ProcureTheParticleMode::UpdateMessages()
{
    GameMode::UpdateMessages();
    PassByContact();
}

// Runs on every peer and in every playback alike: who carries a particle is match state,
// so neither the local player's seat nor a replay may change it.
void ProcureTheParticleMode::PassByContact()
{
    if (!passByContact)
        return;
    MatchWorld& world = World();
    for (const FlimbInfo& listed : world.Flimbs()) {
        FlimbInfo carrier;
        if (!world.FindFlimb(listed.id, carrier) || !(carrier.flags & kFlimbFlagCarrier))
            continue;
        ParticleInfo particle;
        if (!MatchFigures::FindParticleOf(world, carrier.id, particle))
            continue;
        const int filter = interGroup || particle.group == kAllGroups ? kAllGroups : carrier.group;
        for (const FlimbInfo& candidate : world.FlimbsNear(carrier.x, carrier.y - kPassLookUp, filter)) {
            if (candidate.id == carrier.id || (candidate.flags & kFlimbFlagCarrier) || candidate.passCooldown > 0 ||
                std::fabs(candidate.x - carrier.x) >= kPassReach)
                continue;
            world.SetFlimbFlags(carrier.id, kFlimbFlagCarrier, false);
            world.SetFlimbFlags(carrier.id, kFlimbFlagOrderable, true);
            world.SetPassCooldown(carrier.id, kPassCooldown);
            world.SetFlimbFlags(candidate.id, kFlimbFlagCarrier, true);
            world.SetParticleCarrier(particle.id, candidate.id);
            break;
        }
    }
}

void ProcureTheParticleMode::GameOver()
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
        world.SetMatchResult(won && !(particleLost && loseParticle) ? kResultSingleWon : kResultSingleLost);
    BaseGameOver();
}

void ProcureTheParticleMode::OnGoalReached(int group, int32_t flimbId)
{
    MatchWorld& world = World();
    FlimbInfo flimb;
    if (!world.FindFlimb(flimbId, flimb) || !(flimb.flags & kFlimbFlagCarrier) || !InRange(group))
        return;
    winnerGroup = uint8_t(group);
    if (!world.IsHost() || !world.IsMultiplayerMatch())
        return;
    const std::string winner = world.GroupLabel(group);
    if (flimb.group == group)
        Effects().SendChat(StringPrintf(TranslateText("The %s group got their particle!").c_str(), winner.c_str()));
    else
        Effects().SendChat(StringPrintf(TranslateText("The %s group stole the %s group's particle!").c_str(),
                                        winner.c_str(), world.GroupLabel(flimb.group).c_str()));
}

void ProcureTheParticleMode::OnFlimbDied(int32_t flimbId)
{
    MatchWorld& world = World();
    FlimbInfo flimb;
    if (!world.FindRecord(flimbId, flimb) || !(flimb.flags & kFlimbFlagCarrier))
        return;
    ParticleInfo particle;
    if (MatchFigures::FindParticleOf(world, flimbId, particle)) {
        if (!allowDrop)
            world.PlaceParticle(particle.id, particle.homeX, particle.homeY);
        else if (flimb.type != kFlimbTypeSplat)
            world.PlaceParticle(particle.id, flimb.x, flimb.y);
        world.SetParticleCarrier(particle.id, -1);
    } else {
        WriteLog("Dead flimb with null particle\n");
    }
    world.SetFlimbFlags(flimbId, kFlimbFlagCarrier, false);
    if (InRange(flimb.group))
        ++drops[size_t(flimb.group)];
    if (world.IsHost() && world.IsMultiplayerMatch())
        Effects().SendChat(TranslateText("Particle has been dropped!"));
}

void ProcureTheParticleMode::OnPickup(int32_t trapId, int32_t flimbId)
{
    MatchWorld& world = World();
    FlimbInfo flimb;
    if (!world.FindFlimb(flimbId, flimb))
        return;
    world.SetParticleCarrier(trapId, flimbId);
    world.SetFlimbFlags(flimbId, kFlimbFlagCarrier, true);
    if (!controlCarrier && world.HighlightedFlimb() == flimbId)
        Effects().SendHighlight(-1);
    if (world.IsHost() && world.IsMultiplayerMatch())
        Effects().SendChat(TranslateText("Particle in possession!"));
    if (InRange(flimb.group))
        ++pickups[size_t(flimb.group)];
}

void ProcureTheParticleMode::OnObjectLost(int32_t trapId)
{
    MatchWorld& world = World();
    ParticleInfo particle;
    bool found = false;
    for (const ParticleInfo& candidate : world.ParticleTraps())
        if (candidate.id == trapId) {
            particle = candidate;
            found = true;
        }
    if (!found)
        return;
    MatchEffects& effects = Effects();
    if (loseParticle) {
        if (particle.carrierId >= 0)
            world.SetFlimbFlags(particle.carrierId, kFlimbFlagCarrier, false);
        world.SetParticleActive(trapId, false);
        if (!world.IsMultiplayerMatch()) {
            particleLost = true;
            effects.SendChat(TranslateText("The particle was lost!"));
        } else if (world.IsHost()) {
            effects.SendChat(TranslateText("Particle was lost! It's gone forever!!"));
        }
        return;
    }
    if (world.IsHost())
        effects.SendChat(TranslateText("Particle has been reset!"));
    world.PlaceParticle(trapId, particle.homeX, particle.homeY);
}

GroupStats ProcureTheParticleMode::AddEndOfMatchStats(int group)
{
    const MatchWorld& world = World();
    GroupStats record(group);
    if (!world.IsMultiplayerMatch())
        AppendQdotStat(record, InRange(group) ? qdotCounts[size_t(group)] : 0, qdotTotal);
    AppendGameStat(record, world, freezeCount, group, kStatLost, true);
    AppendGameStat(record, world, freezeCount, group, kStatMorphs, true);
    record.rows.push_back(std::make_unique<GameStat>(kStatDrop, InRange(group) ? drops[size_t(group)] : 0));
    AppendGameStat(record, world, freezeCount, group, kStatTime, true);
    return record;
}

bool ProcureTheParticleMode::IsFlimbControllable(int32_t flimbId)
{
    const MatchWorld& world = World();
    FlimbInfo flimb;
    if (!world.FindFlimb(flimbId, flimb))
        return false;
    if (!controlCarrier && (flimb.flags & kFlimbFlagCarrier) && !world.CarrierControlOverride())
        return false;
    return (flimb.flags & kFlimbFlagOrderable) != 0;
}

void ProcureTheParticleMode::ApplyOptionChange(Primitive* control)
{
    bool* field = control ? OptionField(control->name) : nullptr;
    if (!field) {
        GameMode::ApplyOptionChange(control);
        return;
    }
    *field = control->IsChecked();
    MatchEffects& effects = Effects();
    if (effects.HasGameClient())
        effects.SendGameModeState(WriteModeStateDocument(*this));
}

void ProcureTheParticleMode::WriteOptions(xmlNode* node)
{
    GameMode::WriteOptions(node);
    if (!node)
        return;
    for (const ProcureOption& option : kOptions)
        XmlAddChildInt(node, option.key, *OptionField(option.key) ? 1 : 0);
}

void ProcureTheParticleMode::ReadOptions(xmlNode* node, xmlNode* defaults)
{
    GameMode::ReadOptions(node, defaults);
    for (const ProcureOption& option : kOptions)
        ReadOptionFlag(node, defaults, option.key, *OptionField(option.key));
}

std::unique_ptr<PrimContainer> ProcureTheParticleMode::BuildOptionsPanel(LayoutEngine*)
{
    ModeOptionsPanel built = BeginOptionsPanel();
    for (const ProcureOption& option : kOptions)
        built.AddCheckBox(option.key, option.caption, option.tip, *OptionField(option.key));
    return built.Finish();
}

std::string ProcureTheParticleMode::GetObjectiveText()
{
    std::string text = TranslateText("Get any particle into your group's receptacle to win.");
    if (controlCarrier)
        text += TranslateText(" You CAN control the particle carrier.");
    if (passByContact)
        text += TranslateText(" Particle is passed by contact.");
    return text + GameMode::GetObjectiveText();
}

void ProcureTheParticleMode::HashState(ModeStateHasher& hasher) const
{
    GameMode::HashState(hasher);
    for (bool flag : {controlCarrier, passByContact, allowDrop, interGroup, loseParticle, particleLost})
        hasher.Add(flag);
    hasher.Add(winnerGroup);
    for (int32_t count : pickups)
        hasher.Add(count);
    for (int32_t count : drops)
        hasher.Add(count);
}

bool ProcureTheParticleMode::IsOptionKey(const std::string& key) const
{
    for (const ProcureOption& option : kOptions)
        if (key == option.key)
            return true;
    return GameMode::IsOptionKey(key);
}
