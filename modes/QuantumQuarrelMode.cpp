#include "modes/QuantumQuarrelMode.h"

#include "app/LanguageTexts.h"
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

bool InRange(int group)
{
    return group >= 0 && group < kGroupCount;
}

double DistanceBetween(float ax, float ay, float bx, float by)
{
    const double dx = double(ax) - double(bx), dy = double(ay) - double(by);
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

QuantumQuarrelMode::QuantumQuarrelMode()
{
    modeIndex = 3;
}

int32_t QuantumQuarrelMode::LopperDamage(double distance)
{
    return int32_t(std::lround(double(kLopperDamage) - distance * double(kLopperDamage) / double(kLopperRadius)));
}

int32_t QuantumQuarrelMode::NovaDamage(double distance, double radius)
{
    return int32_t(std::lround(double(kFullHealth) - distance * double(kFullHealth) / radius));
}

void QuantumQuarrelMode::StartMatch()
{
    GameMode::StartMatch();
    kills.fill(0);
    multiKills.fill(0);
}

bool QuantumQuarrelMode::IsMatchOver()
{
    if (resultCode != kResultRunning)
        return true;
    const MatchWorld& world = World();
    if (world.UpdateCounter() == 0)
        return false;
    int groupsLeft = 0;
    for (int g = 0; g < kGroupCount; ++g)
        if (MatchFigures::Waiting(world, g) > 0 || world.Tally(g).live > 0)
            ++groupsLeft;
    return groupsLeft <= 1;
}

void QuantumQuarrelMode::GameOver()
{
    if (resultCode != kResultRunning) {
        PublishResult();
        return;
    }
    MatchWorld& world = World();
    const std::vector<FlimbInfo> alive = world.Flimbs();
    const int winner = alive.empty() ? kNoGroup : alive.front().group;
    const bool won = winner == world.LocalGroup();
    if (world.IsMultiplayerMatch())
        world.SetMatchResult(won ? kResultWon : kResultLost);
    else
        world.SetMatchResult(won ? kResultSingleWon : kResultSingleLost);
    BaseGameOver();
}

bool QuantumQuarrelMode::Hurt(const FlimbInfo& victim, int32_t damage, int attackerGroup)
{
    MatchWorld& world = World();
    bool killed = false;
    if (victim.points > damage) {
        world.SetFlimbPoints(victim.id, victim.points - damage);
    } else {
        world.KillFlimb(victim.id);
        if (InRange(attackerGroup))
            ++kills[size_t(attackerGroup)];
        killed = true;
    }
    if (damage >= 1)
        Effects().ShowDamageLabel(victim.id,
                                  StringPrintf("-%.1f%%", double(damage) * 100.0 / double(kFullHealth)));
    return killed;
}

void QuantumQuarrelMode::AfterAttack(int killed, int attackerGroup)
{
    if (killed > 1 && InRange(attackerGroup))
        ++multiKills[size_t(attackerGroup)];
    const MatchWorld& world = World();
    if (!world.IsHost() || !world.IsMultiplayerMatch())
        return;
    if (killed >= 10)
        Effects().SendChat(StringPrintf(TranslateText("LOOK OUT! %d flimbs were atomized all at once!").c_str(), killed));
    else if (killed >= 5)
        Effects().SendChat(StringPrintf(TranslateText("%d flimbs were just torn apart!").c_str(), killed));
}

void QuantumQuarrelMode::Clobber(const FlimbInfo& attacker)
{
    if (attacker.type == kFlimbTypeStunned)
        return;
    const std::vector<FlimbInfo> hit =
        World().FlimbsInArea(attacker.left + kClobberInset, attacker.top + kClobberInset,
                             attacker.right - kClobberInset, attacker.bottom - kClobberInset);
    int killed = 0;
    for (const FlimbInfo& victim : hit)
        if (victim.id != attacker.id && (friendlyFire || victim.group != attacker.group))
            killed += Hurt(victim, kClobberDamage, attacker.group) ? 1 : 0;
    AfterAttack(killed, attacker.group);
}

void QuantumQuarrelMode::OnFlimbEvent(int32_t flimbId, int flag, int)
{
    FlimbInfo attacker;
    if (flag || !World().FindRecord(flimbId, attacker))
        return;
    Clobber(attacker);
}

void QuantumQuarrelMode::OnBlast(int32_t sourceFlimbId, float x, float y, int kind)
{
    if (kind < kFirstLopperKind || kind > kLastLopperKind)
        return;
    const MatchWorld& world = World();
    FlimbInfo source;
    const bool known = world.FindRecord(sourceFlimbId, source);
    const int attackerGroup = known ? source.group : kNoGroup;
    const std::vector<FlimbInfo> near =
        world.FlimbsInArea(x - kLopperRadius, y - kLopperRadius, x + kLopperRadius, y + kLopperRadius);
    int killed = 0;
    for (const FlimbInfo& victim : near) {
        if (known && victim.id == source.id) {
            if (!selfHurt)
                continue;
        } else if (known && victim.group == source.group && !friendlyFire) {
            continue;
        }
        if (victim.type == kFlimbTypeStunned)
            continue;
        float cx = 0.0f, cy = 0.0f;
        FlimbCentre(victim, cx, cy);
        const double distance = DistanceBetween(cx, cy, x, y);
        if (distance <= double(kLopperRadius))
            killed += Hurt(victim, LopperDamage(distance), attackerGroup) ? 1 : 0;
    }
    AfterAttack(killed, attackerGroup);
}

void QuantumQuarrelMode::OnFlimbDied(int32_t flimbId)
{
    const MatchWorld& world = World();
    FlimbInfo nova;
    if (!world.FindRecord(flimbId, nova) || nova.type != kFlimbTypeNova)
        return;
    const bool big = (nova.marks & kFlimbMarkBig) != 0;
    const float radius = big ? kBigNovaRadius : kNovaRadius;
    float nx = 0.0f, ny = 0.0f;
    FlimbCentre(nova, nx, ny);
    const std::vector<FlimbInfo> near = world.FlimbsInArea(nx - radius, ny - radius, nx + radius, ny + radius);
    int killed = 0;
    for (const FlimbInfo& victim : near) {
        if (victim.id == nova.id || (victim.group == nova.group && !friendlyFire))
            continue;
        float cx = 0.0f, cy = 0.0f;
        FlimbCentre(victim, cx, cy);
        const double distance = DistanceBetween(cx, cy, nx, ny);
        if (distance <= double(radius))
            killed += Hurt(victim, big ? kFullHealth : NovaDamage(distance, radius), nova.group) ? 1 : 0;
    }
    AfterAttack(killed, nova.group);
}

GroupStats QuantumQuarrelMode::AddEndOfMatchStats(int group)
{
    const MatchWorld& world = World();
    GroupStats record(group);
    const bool multiplayer = world.IsMultiplayerMatch();
    if (!multiplayer)
        AppendQdotStat(record, InRange(group) ? qdotCounts[size_t(group)] : 0, qdotTotal);
    AppendGameStat(record, world, freezeCount, group, kStatLost, true);
    AppendGameStat(record, world, freezeCount, group, kStatMorphs, true);
    record.rows.push_back(std::make_unique<GameStat>(kStatMelt, InRange(group) ? kills[size_t(group)] : 0));
    if (multiplayer)
        record.rows.push_back(std::make_unique<GameStat>(kStatMulti, InRange(group) ? multiKills[size_t(group)] : 0));
    AppendGameStat(record, world, freezeCount, group, kStatTime, true);
    return record;
}

void QuantumQuarrelMode::ApplyOptionChange(Primitive* control)
{
    if (!control || (control->name != "friendly_fire" && control->name != "self_hurt")) {
        GameMode::ApplyOptionChange(control);
        return;
    }
    (control->name == "friendly_fire" ? friendlyFire : selfHurt) = control->IsChecked();
    MatchEffects& effects = Effects();
    if (effects.HasGameClient())
        effects.SendGameModeState(WriteModeStateDocument(*this));
}

void QuantumQuarrelMode::WriteOptions(xmlNode* node)
{
    GameMode::WriteOptions(node);
    if (!node)
        return;
    XmlAddChildInt(node, "friendly_fire", friendlyFire ? 1 : 0);
    XmlAddChildInt(node, "self_hurt", selfHurt ? 1 : 0);
}

void QuantumQuarrelMode::ReadOptions(xmlNode* node, xmlNode* defaults)
{
    GameMode::ReadOptions(node, defaults);
    ReadOptionFlag(node, defaults, "friendly_fire", friendlyFire);
    ReadOptionFlag(node, defaults, "self_hurt", selfHurt);
}

std::unique_ptr<PrimContainer> QuantumQuarrelMode::BuildOptionsPanel(LayoutEngine*)
{
    ModeOptionsPanel built = BeginOptionsPanel();
    built.AddCheckBox("friendly_fire", "Friendly Fire", "If checked then you can hurt your own flimbs", friendlyFire);
    built.AddCheckBox("self_hurt", "Self Hurt", "If checked then flimb can hurt itself", selfHurt);
    return built.Finish();
}

std::string QuantumQuarrelMode::GetObjectiveText()
{
    std::string text = TranslateText("Eliminate all other flimbs using clobbers, loppers, and nova.");
    if (friendlyFire)
        text += TranslateText(" Friendly Fire On.");
    if (selfHurt)
        text += TranslateText(" Self Hurt On.");
    return text + GameMode::GetObjectiveText();
}

void QuantumQuarrelMode::HashState(ModeStateHasher& hasher) const
{
    GameMode::HashState(hasher);
    hasher.Add(friendlyFire);
    hasher.Add(selfHurt);
    for (int32_t count : kills)
        hasher.Add(count);
    for (int32_t count : multiKills)
        hasher.Add(count);
}

bool QuantumQuarrelMode::IsOptionKey(const std::string& key) const
{
    return key == "friendly_fire" || key == "self_hurt" || GameMode::IsOptionKey(key);
}
