#pragma once
// The player's profile: settings, key bindings, the site account, single-player
// statistics and sessions, skills, bonus items and FlimbMaster progress, kept as the XML
// document "Profiles\<name>.xml" under the user folder. Settings missing from a profile
// come from "Profiles\default-profile.xml".
//
// A profile file that exists but cannot be read is reported, the defaults are used, and
// the file is left alone until the player saves on purpose.

#include "app/XmlUtil.h"

#include <array>
#include <map>
#include <string>
#include <vector>

struct LevelStats {
    std::string fileName; // file title: no folder, no extension
    int nAttempts = 0;
    int nPasses = 0;
    bool qdotsObtained = false;
    bool fragmentObtained = false;
    int groupID = -1;
};

struct SessionRecord {
    int id = 0;
    bool passed = false;
    int points = 0;
    bool final = false;
    int group = 0;
    std::string time; // "%04d-%02d-%02d %02d:%02d:%02d"
    std::string playback;
    int savedFlimbs = 0;
};

struct SingleplayerTotals {
    int32_t qdotsTotal = 0;
    int32_t medallionTotal = 0;
    int32_t pointsTotal = 0;
    int32_t playtimeTotal = 0;
};

// A personal best: the statistic's English name and its value.
struct BestStat {
    std::string type;
    int value = 0;
};

// An unlocked bonus item as the profile records it.
struct UnlockedBonusItem {
    std::string type; // "Decoration", "Stamp" or "Level"
    std::string id;
};

struct FlimbMasterProgress {
    std::string name;
    std::string lastLevelPlayed;
    bool introViewed = false;
    bool outtroViewed = false;
};

// The settings tags of a profile, in file order.
const std::vector<std::string>& ProfileSettingTags();

// Letters a-z, A-Z and digits of the text, in order; everything else dropped.
std::string FilterProfileName(const std::string& text);
// A name that can only name a file in Profiles\ (letters, digits, '-', '_').
bool IsSafeProfileName(const std::string& name);
bool ProfileFileExists(const std::string& name);

class PlayerProfile {
public:
    static constexpr const char* kDefaultName = "default-profile";

    // Loads "Profiles\<name>.xml" over the defaults and makes it current; pushes settings
    // into their console variables and bindings into the binding store. False when the
    // profile could not be read (the defaults are then in use).
    bool Load(const std::string& name);
    // Saves the current profile (or under another name). Does nothing for the default
    // profile, and leaves a damaged file alone unless `byPlayer` is set.
    bool Save(const std::string& name = "", bool byPlayer = false);

    // Section bits of LoadDefaults.
    static constexpr int kDefaultSettings = 2;
    static constexpr int kDefaultBindings = 4;
    // Puts the values of "Profiles\default-profile.xml" into the console variables (the
    // settings, kDefaultSettings) and the binding store (kDefaultBindings); the profile
    // file changes only when the profile is saved.
    void LoadDefaults(int sectionMask);

    const std::string& Name() const { return name_; }
    // "Profiles\<name>" (under the user folder).
    std::string GetPath() const;
    std::string AvatarPath() const;
    // The shown avatar's source file: "User\AvatarsData\<picture name>.flevel".
    std::string AvatarDataPath() const;
    bool FileIsDamaged() const { return damaged_; }

    std::string Setting(const std::string& tag) const;
    void SetSetting(const std::string& tag, const std::string& value);

    // Bindings between the store and the binding window's fields ("%s_%d": action, 0/1).
    void LoadBindings(std::map<std::string, std::string>& fields) const;
    void SaveBindings(const std::map<std::string, std::string>& fields);

    void SetAccount(const std::string& user, const std::string& passwordMd5);
    std::string AccountUser() const;
    std::string AccountPassword() const;

    std::unique_ptr<LevelStats> GetLevelStatsNode(const std::string& levelFile, bool create);
    void StoreLevelStats(const LevelStats& stats);
    void RecordSession(LevelStats& stats, const SessionRecord& session);
    std::vector<SessionRecord> Sessions(const std::string& levelFile);
    void ResetLevelStats(LevelStats& stats);
    void GetSkillLevel(const LevelStats& stats, bool beaten[3]);
    void SaveSkillLevel(const LevelStats& stats, int level);
    // The levels on which the FlimbMaster difficulty (0-2) is beaten.
    int CountLevelsWithSkill(int level) const;
    std::vector<BestStat> ReadBestStats(const std::string& levelFile);
    void WriteBestStats(const std::string& levelFile, const std::vector<BestStat>& stats);
    SingleplayerTotals LoadSingleplayerTotals() const;
    void SetSingleplayerTotals(const SingleplayerTotals& totals);
    bool SaveStats();

    // The Quantum loop turns of a level: one done flag per group, kept in the level's
    // "qloop" record. Saving a group's turn and removing the record save the profile.
    std::array<bool, 8> LoadQloopGroup(const std::string& levelFile);
    bool SaveQloopGroup(const std::string& levelFile, int group);
    bool RemoveQloopRecord(const std::string& levelFile);

    // Records the item as unlocked (and sets its "ACH_" + id achievement); false when it
    // already was or has no id.
    bool AddBonusItem(const UnlockedBonusItem& item);
    // Removes the whole "bonus" section: no item is unlocked any more.
    void ClearBonusItems();
    bool HasBonusItem(const std::string& id) const;
    std::vector<UnlockedBonusItem> LoadBonusItems() const;

    bool GetFlimbMasterProgress(const std::string& name, FlimbMasterProgress& progress) const;
    void SetIntroViewed(const std::string& name, bool viewed);
    void SaveLastLevelPlayed(const std::string& name, const std::string& levelFile);

    // "Profiles\<name>\Checkpoints\<level>-<slot>.flimbs" for a player's slot,
    // "...\auto-<level><slot>.flimbs" for the automatic one (or .flevel).
    std::string CheckpointPath(const std::string& levelFile, bool automatic, int slot, bool levelFileKind) const;
    std::vector<std::string> ListCheckpoints(const std::string& levelFile) const;

    xmlNode* Root() const { return XmlRoot(doc_.get()); }

private:
    xmlNode* Section(const char* name, bool create) const;
    xmlNode* LevelNode(const std::string& levelFile, bool create);
    xmlNode* FlimbMasterNode(const std::string& name, bool create);
    void ApplySettings();
    void ApplyBindings();
    void CollectSettings();
    void CollectBindings();

    std::string name_;
    XmlDocument doc_;
    XmlDocument defaults_;
    bool damaged_ = false;
};

// The current profile and its player's name.
PlayerProfile& CurrentProfile();
extern std::string CurrentPlayerName;
