#include "modes/GameStat.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "game/GameTimeFormat.h"
#include "modes/MatchWorld.h"

#include <algorithm>

namespace {

constexpr StatKindInfo kKinds[kStatKindCount] = {
    {"Flimbs", true, "flimbs.png", 10},  {"Stolen", true, "stolen.png", 10}, {"Lost", false, "lost.png", 10},
    {"Nova", false, "nova.png", 7},      {"Morphs", false, "morphs.png", 10}, {"OnSide", true, "onside.png", 10},
    {"Saved", true, "flimbs.png", 10},   {"Pickup", true, "pickup.png", 10}, {"Drop", false, "drop.png", 10},
    {"Melt", true, "melt.png", 10},      {"Multi", true, "multi.png", 10},   {"Lop", false, "lop.png", 10},
    {"Clob", false, "clob.png", 7},      {"Score", true, "score.png", 20},   {"First", false, "first.png", 16},
    {"Time", false, "time.png", 18},     {"Lead", true, "lead.png", 10},     {"Mold", false, "mold.png", 7},
    {"Qdots", true, "qdot.png", 7},      {"World Rank", false, "lead.png", 10},
};

// The action counter (by flimb type) behind a per-action statistic, -1 for other kinds.
int ActionCounterOf(int kind)
{
    switch (kind) {
    case kStatNova: return 2;
    case kStatLop: return 9;
    case kStatClob: return 0;
    case kStatMold: return 1;
    default: return -1;
    }
}

constexpr int32_t kNoFigure = -9999;

} // namespace

const StatKindInfo* FindStatKind(int kind)
{
    return kind >= 0 && kind < kStatKindCount ? &kKinds[kind] : nullptr;
}

int StatKindFromName(const std::string& name)
{
    for (int kind = 0; kind < kStatKindCount; ++kind)
        if (name == kKinds[kind].name)
            return kind;
    return kStatKindCount;
}

bool IsLowerBetter(int kind)
{
    const StatKindInfo* info = FindStatKind(kind);
    return info && !info->higherIsBetter;
}

std::string GameStat::GetName() const
{
    const StatKindInfo* info = FindStatKind(kind);
    return info ? TranslateText(info->name) : std::string();
}

std::string GameStat::GetValueText() const
{
    return StringPrintf("%d", value);
}

std::unique_ptr<GameStat> GameStat::Clone() const
{
    return std::make_unique<GameStat>(*this);
}

std::string TimeGameStat::GetValueText() const
{
    return FormatGameTime(uint32_t(value), true);
}

std::unique_ptr<GameStat> TimeGameStat::Clone() const
{
    return std::make_unique<TimeGameStat>(*this);
}

std::string QdotsGameStat::GetValueText() const
{
    return extra != 0 ? StringPrintf("%d/%d", value, extra) : StringPrintf("%d", value);
}

std::unique_ptr<GameStat> QdotsGameStat::Clone() const
{
    return std::make_unique<QdotsGameStat>(*this);
}

GroupStats GroupStats::Copy() const
{
    GroupStats copy(group);
    for (const auto& row : rows)
        copy.rows.push_back(row->Clone());
    return copy;
}

std::unique_ptr<GameStat> MakeGameStat(const MatchWorld& world, int freezeCount, int group, int kind, bool compute)
{
    std::unique_ptr<GameStat> stat;
    if (kind == kStatTime)
        stat = std::make_unique<TimeGameStat>();
    else if (kind == kStatQdots)
        stat = std::make_unique<QdotsGameStat>();
    else
        stat = std::make_unique<GameStat>(kind);
    if (!compute || kind >= kStatQdots || kind < 0)
        return stat;
    int32_t figure = 0;
    const bool realGroup = group >= 0 && group < kGroupCount;
    if (kind == kStatFlimbs) {
        figure = MatchFigures::Saved(world, group);
    } else if (kind == kStatTime) {
        figure = int32_t(world.UpdateCounter() + 14u * uint32_t(freezeCount));
    } else if (!realGroup) {
        figure = 0; // the statistics blocks hold groups 0 .. 7 only
    } else if (kind == kStatStolen) {
        figure = world.GroupStats(group).stolen;
    } else if (kind == kStatLost) {
        figure = world.GroupStats(group).lost;
    } else if (kind == kStatMorphs) {
        figure = MatchFigures::MorphsUsed(world, group);
    } else if (const int counter = ActionCounterOf(kind); counter >= 0) {
        figure = world.GroupStats(group).actions[size_t(counter)];
    } else if (kind == kStatOnSide || kind == kStatSaved || kind == kStatLead) {
        stat->extra = 0;
        figure = 0;
    } else {
        return stat;
    }
    if (figure != kNoFigure)
        stat->value = figure;
    return stat;
}

void AppendGameStat(GroupStats& record, const MatchWorld& world, int freezeCount, int group, int kind, bool compute)
{
    record.rows.push_back(MakeGameStat(world, freezeCount, group, kind, compute));
}

void AppendQdotStat(GroupStats& record, int32_t count, int32_t total)
{
    record.rows.push_back(std::make_unique<QdotsGameStat>(count, total));
}

GroupStats* FindGroupStats(std::vector<GroupStats>& records, int group)
{
    for (GroupStats& record : records)
        if (record.group == group)
            return &record;
    return nullptr;
}

void ClearGroupStats(GroupStats& record)
{
    record.rows.clear();
}

void ClearGroupStatsList(std::vector<GroupStats>& records)
{
    records.clear();
}

void SortResultTable(std::vector<GroupStats>& records)
{
    std::stable_sort(records.begin(), records.end(), [](const GroupStats& a, const GroupStats& b) {
        if (a.rows.empty() || b.rows.empty())
            return !a.rows.empty() && b.rows.empty();
        const GameStat& x = *a.rows.front();
        const GameStat& y = *b.rows.front();
        return IsLowerBetter(x.kind) ? x.value < y.value : x.value > y.value;
    });
}
