#pragma once
// End-of-match statistics: the table of the 20 statistic kinds, one row per figure
// (`GameStat` and its time and Qdot forms) and the per-group records the result tables are
// made of.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MatchWorld;

constexpr int kStatKindCount = 20;

enum StatKind : int32_t {
    kStatFlimbs = 0,
    kStatStolen = 1,
    kStatLost = 2,
    kStatNova = 3,
    kStatMorphs = 4,
    kStatOnSide = 5,
    kStatSaved = 6,
    kStatPickup = 7,
    kStatDrop = 8,
    kStatMelt = 9,
    kStatMulti = 10,
    kStatLop = 11,
    kStatClob = 12,
    kStatScore = 13,
    kStatFirst = 14,
    kStatTime = 15,
    kStatLead = 16,
    kStatMold = 17,
    kStatQdots = 18,
    kStatWorldRank = 19,
};

struct StatKindInfo {
    const char* name;      // English; shown through the language lookup
    bool higherIsBetter;
    const char* icon;      // file name under "Graphics\Menu\Eom\StatsIcons"
    int bits;              // width in the packed ranking key
};

// The row of a kind; null for a kind outside 0 .. 19.
const StatKindInfo* FindStatKind(int kind);
// Folder of the statistic-kind icons.
constexpr const char* kStatIconFolder = "Graphics\\Menu\\Eom\\StatsIcons";
// The kind whose English name equals the name exactly; 20 when none.
int StatKindFromName(const std::string& name);
// Lower values are better for the kind (false for an unknown kind).
bool IsLowerBetter(int kind);

class GameStat {
public:
    explicit GameStat(int32_t kind, int32_t value = 0, int32_t extra = 0) : kind(kind), value(value), extra(extra) {}
    virtual ~GameStat() = default;

    // The kind's translated name; empty for an unknown kind.
    virtual std::string GetName() const;
    virtual std::string GetValueText() const;
    virtual std::unique_ptr<GameStat> Clone() const;

    int32_t kind;
    int32_t value;
    int32_t extra;
};

// Kind 15: the value is a number of game updates, shown as game time.
class TimeGameStat : public GameStat {
public:
    explicit TimeGameStat(int32_t value = 0) : GameStat(kStatTime, value) {}
    std::string GetValueText() const override;
    std::unique_ptr<GameStat> Clone() const override;
};

// Kind 18: the value, and "/" and the total when the total is not 0.
class QdotsGameStat : public GameStat {
public:
    QdotsGameStat(int32_t count = 0, int32_t total = 0) : GameStat(kStatQdots, count, total) {}
    std::string GetValueText() const override;
    std::unique_ptr<GameStat> Clone() const override;
};

// The rows of one group at the end of a match.
struct GroupStats {
    int32_t group = 0;
    std::vector<std::unique_ptr<GameStat>> rows;

    GroupStats() = default;
    explicit GroupStats(int32_t group) : group(group) {}
    GroupStats(GroupStats&&) = default;
    GroupStats& operator=(GroupStats&&) = default;
    GroupStats Copy() const;
};

// A row of the kind's class with value 0; with `compute` and a kind below 18 the value is
// read from the world for the group (a figure of -9999 leaves 0). freezeCount feeds the
// time row.
std::unique_ptr<GameStat> MakeGameStat(const MatchWorld& world, int freezeCount, int group, int kind, bool compute);
void AppendGameStat(GroupStats& record, const MatchWorld& world, int freezeCount, int group, int kind, bool compute);
void AppendQdotStat(GroupStats& record, int32_t count, int32_t total);
// The first record of the group, or null.
GroupStats* FindGroupStats(std::vector<GroupStats>& records, int group);
void ClearGroupStats(GroupStats& record);
void ClearGroupStatsList(std::vector<GroupStats>& records);
// Orders result records by their first row: descending, or ascending where lower is
// better; records without rows go last; equal ones keep their order.
void SortResultTable(std::vector<GroupStats>& records);
