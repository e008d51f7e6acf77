#include "app/PlayerProfile.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/HostPath.h"
#include "app/KeyBindings.h"
#include "app/Log.h"
#include "app/SteamStats.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

std::string CurrentPlayerName;

namespace {

constexpr const char* kRootName = "flimbs-profile";

// Settings tag -> console variable, where the names differ.
const std::map<std::string, std::string>& SettingVariables()
{
    static const std::map<std::string, std::string> names = {
        {"language", "lang"},           {"enable_sound_fx", "soundenable"}, {"sound_volume", "soundlevel"},
        {"display_sky", "showsky"},     {"display_backgrounds", "showback"}, {"reverse_wheelmouse", "reverseWheel"},
        {"enable_music", "musicenable"}, {"music_volume", "musiclevel"},   {"enable_particles", "enableparticles"},
        {"debug", "debug_mode"},        {"last_server_ip", "connectIP"},
    };
    return names;
}

ConsoleParam* VariableFor(const std::string& tag)
{
    const auto& names = SettingVariables();
    const auto it = names.find(tag);
    return ConsoleParam::Find(it == names.end() ? tag : it->second);
}

xmlNode* ChildElement(xmlNode* parent, const char* name, bool create)
{
    if (!parent)
        return nullptr;
    if (xmlNode* found = XmlGetChild(XmlChildren(parent), name))
        return found;
    return create ? XmlNewChild(parent, name) : nullptr;
}

int AttrInt(const xmlNode* node, const char* name, int fallback)
{
    const char* value = XmlGetAttrValue(node, name);
    int32_t parsed = 0;
    return value && ParseInt(value, parsed) ? parsed : fallback;
}

std::string AttrText(const xmlNode* node, const char* name)
{
    const char* value = XmlGetAttrValue(node, name);
    return value ? value : "";
}

ConsoleParam g_profileVariable("profile", ConsoleParamType::Text, PlayerProfile::kDefaultName, "Profile Name",
                               [](ConsoleParam& self) { CurrentProfile().Load(self.GetString()); });

} // namespace

const std::vector<std::string>& ProfileSettingTags()
{
    static const std::vector<std::string> tags = {
        "language",        "last_server_ip",   "servername",          "enable_sound_fx",
        "sound_volume",    "display_sky",      "display_backgrounds", "reverse_wheelmouse",
        "autosave_matches", "enable_music",    "music_volume",        "highquality_textures",
        "enable_particles", "screen_res_x",    "screen_res_y",        "fullscreen",
        "debug",           "use_belt",         "belt_follow",         "follow_selected",
        "center_on_select", "touchscreen",     "positive_scroll",     "auto_orient",
        "auto_pause",      "positive_scroll_scale", "edge_scroll_speed", "avatar",
        "last_edited_level", "last_multiplayer_hosted_level", "last_playback_level",
        "showfps", // the frame's rate line
    };
    return tags;
}

std::string FilterProfileName(const std::string& text)
{
    std::string out;
    for (char c : text)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            out.push_back(c);
    return out;
}

bool IsSafeProfileName(const std::string& name)
{
    if (name.empty() || name.size() > 64)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

bool ProfileFileExists(const std::string& name)
{
    if (!IsSafeProfileName(name))
        return false;
    const std::string file = "Profiles\\" + name + ".xml";
    if (fileManager && fileManager->Exists(file, -1))
        return true;
    std::error_code error;
    return std::filesystem::is_regular_file(GetUserPath(file), error);
}

PlayerProfile& CurrentProfile()
{
    static PlayerProfile profile;
    return profile;
}

bool PlayerProfile::Load(const std::string& requested)
{
    std::string name = requested;
    if (!IsSafeProfileName(name)) {
        WriteLog("ERROR: refused profile name [%s]\n", requested.c_str());
        name = kDefaultName;
    }
    WriteLog("Loading profile [%s]\n", name.c_str());
    defaults_ = XmlLoadFile("Profiles\\default-profile.xml");
    if (!defaults_) {
        const std::string path = ResolveHostPathNoCase(GetProgramFolder(), "Profiles\\default-profile.xml");
        if (!path.empty())
            defaults_ = XmlLoadHostFile(path);
    }
    if (!defaults_) {
        WriteLog("Critical Error: profile_defaults.xml missing\n");
        defaults_ = XmlNewDocument(kRootName);
    }
    damaged_ = false;
    bool ok = true;
    XmlDocument doc;
    if (name != kDefaultName) {
        const std::string file = "Profiles\\" + name + ".xml";
        doc = XmlLoadUserFile(file);
        if (!doc)
            doc = XmlLoadFile(file);
        if (!doc) {
            WriteLog("ERROR: [%s] profile couldn't be opened. Using defaults\n", name.c_str());
            damaged_ = ProfileFileExists(name);
            ok = false;
        }
    }
    if (!doc)
        doc = XmlCopyDocument(defaults_.get());
    doc_ = std::move(doc);
    name_ = name;
    CurrentPlayerName = name;
    ApplySettings();
    ApplyBindings();
    return ok;
}

bool PlayerProfile::Save(const std::string& requested, bool byPlayer)
{
    const std::string name = requested.empty() ? name_ : requested;
    if (name.empty() || name == kDefaultName || !doc_)
        return false;
    if (!IsSafeProfileName(name)) {
        WriteLog("ERROR: refused profile name [%s]\n", name.c_str());
        return false;
    }
    if (damaged_ && !byPlayer && name == name_) {
        WriteLog("WARNING: profile [%s] was damaged; not overwritten until saved by the player\n", name.c_str());
        return false;
    }
    WriteLog("Saving player profile [%s]..", name.c_str());
    CollectSettings();
    CollectBindings();
    const std::string file = "Profiles\\" + name + ".xml";
    const bool ok = XmlSaveFile(doc_.get(), file) >= 0;
    WriteLog(ok ? "saved\n" : "failed\n");
    if (ok) {
        if (name == name_)
            damaged_ = false;
        if (fileManager)
            fileManager->IndexNames(nullptr, 0, file.c_str());
    }
    return ok;
}

std::string PlayerProfile::GetPath() const
{
    return "Profiles\\" + name_;
}

std::string PlayerProfile::AvatarPath() const
{
    const ConsoleParam* avatar = ConsoleParam::Find("avatar");
    return "User\\Avatars\\" + (avatar ? avatar->GetString() : Setting("avatar"));
}

std::string PlayerProfile::AvatarDataPath() const
{
    const std::string source = ReplaceAll(AvatarPath(), "User\\Avatars", "User\\AvatarsData");
    return ReplaceAll(source, ".jpg", ".flevel");
}

xmlNode* PlayerProfile::Section(const char* name, bool create) const
{
    return ChildElement(Root(), name, create);
}

std::string PlayerProfile::Setting(const std::string& tag) const
{
    xmlNode* defaults = ChildElement(XmlRoot(defaults_.get()), "settings", false);
    try {
        return XmlGetTagText(Section("settings", false), tag.c_str(), defaults);
    } catch (const std::exception&) {
        return {};
    }
}

void PlayerProfile::SetSetting(const std::string& tag, const std::string& value)
{
    XmlAddChildText(Section("settings", true), tag.c_str(), value);
    if (ConsoleParam* variable = VariableFor(tag))
        variable->SetFromString(value);
}

void PlayerProfile::ApplySettings()
{
    for (const std::string& tag : ProfileSettingTags()) {
        ConsoleParam* variable = VariableFor(tag);
        if (!variable)
            continue;
        const std::string value = Setting(tag);
        if (!value.empty() || variable->Type() == ConsoleParamType::Text)
            variable->SetFromString(value);
    }
    // The site account lives in its own section and in the variables "username" and
    // "password" (the password's digest).
    if (ConsoleParam* user = ConsoleParam::Find("username"))
        user->SetString(AccountUser());
    if (ConsoleParam* password = ConsoleParam::Find("password"))
        password->SetString(AccountPassword());
}

void PlayerProfile::CollectSettings()
{
    xmlNode* settings = Section("settings", true);
    for (const std::string& tag : ProfileSettingTags())
        if (const ConsoleParam* variable = VariableFor(tag))
            XmlAddChildText(settings, tag.c_str(), variable->ValueText());
    const ConsoleParam* user = ConsoleParam::Find("username");
    const ConsoleParam* password = ConsoleParam::Find("password");
    if (user || password) {
        xmlNode* account = Section("account", true);
        if (user)
            XmlAddChildText(account, "username", user->GetString());
        if (password)
            XmlAddChildText(account, "password", password->GetString());
    }
}

void PlayerProfile::LoadDefaults(int sectionMask)
{
    xmlNode* root = XmlRoot(defaults_.get());
    if (!root) {
        WriteLog("Critical Error: profile_defaults.xml missing\n");
        return;
    }
    if (sectionMask & kDefaultSettings) {
        xmlNode* settings = ChildElement(root, "settings", false);
        for (const std::string& tag : ProfileSettingTags()) {
            ConsoleParam* variable = VariableFor(tag);
            xmlNode* node = XmlGetChild(XmlChildren(settings), tag.c_str());
            if (!variable || !node)
                continue;
            const std::string value = XmlNodeText(node);
            if (!value.empty() || variable->Type() == ConsoleParamType::Text)
                variable->SetFromString(value);
        }
    }
    if (sectionMask & kDefaultBindings) {
        xmlNode* bindings = ChildElement(root, "bindings", false);
        BindingStore& store = GetBindingStore();
        for (const BindingEntry& constEntry : store.Entries()) {
            BindingEntry& entry = *store.FindByName(constEntry.action);
            xmlNode* action = XmlGetChild(XmlChildren(bindings), entry.action.c_str());
            entry.keyNames[0] = XmlNodeText(XmlGetChild(XmlChildren(action), "primary"));
            entry.keyNames[1] = XmlNodeText(XmlGetChild(XmlChildren(action), "secondary"));
        }
    }
}

void PlayerProfile::ApplyBindings()
{
    BindingStore& store = GetBindingStore();
    xmlNode* defaults = ChildElement(XmlRoot(defaults_.get()), "bindings", false);
    if (store.Entries().empty()) {
        // Until the game modes publish their action lists, the defaults name the actions.
        std::vector<std::string> actions;
        for (xmlNode* n = XmlChildren(defaults); n; n = XmlNext(n))
            if (!XmlName(n).empty())
                actions.push_back(XmlName(n));
        store.Build({actions});
    }
    xmlNode* own = Section("bindings", false);
    for (const BindingEntry& constEntry : store.Entries()) {
        BindingEntry& entry = *store.FindByName(constEntry.action);
        xmlNode* action = XmlGetChild(XmlChildren(own), entry.action.c_str());
        if (!action)
            action = XmlGetChild(XmlChildren(defaults), entry.action.c_str());
        entry.keyNames[0] = XmlNodeText(XmlGetChild(XmlChildren(action), "primary"));
        entry.keyNames[1] = XmlNodeText(XmlGetChild(XmlChildren(action), "secondary"));
    }
}

void PlayerProfile::CollectBindings()
{
    xmlNode* bindings = Section("bindings", true);
    for (const BindingEntry& entry : GetBindingStore().Entries()) {
        xmlNode* action = ChildElement(bindings, entry.action.c_str(), true);
        XmlAddChildText(action, "primary", entry.keyNames[0]);
        XmlAddChildText(action, "secondary", entry.keyNames[1]);
    }
}

void PlayerProfile::LoadBindings(std::map<std::string, std::string>& fields) const
{
    for (const BindingEntry& entry : GetBindingStore().Entries())
        for (int i = 0; i < 2; ++i)
            fields[StringPrintf("%s_%d", entry.action.c_str(), i)] = entry.keyNames[i];
}

void PlayerProfile::SaveBindings(const std::map<std::string, std::string>& fields)
{
    WriteLog("Saving bindings..");
    BindingStore& store = GetBindingStore();
    for (const BindingEntry& constEntry : store.Entries()) {
        BindingEntry& entry = *store.FindByName(constEntry.action);
        for (int i = 0; i < 2; ++i) {
            const auto it = fields.find(StringPrintf("%s_%d", entry.action.c_str(), i));
            if (it != fields.end())
                entry.keyNames[i] = it->second;
        }
    }
    CollectBindings();
}

void PlayerProfile::SetAccount(const std::string& user, const std::string& passwordMd5)
{
    xmlNode* account = Section("account", true);
    XmlAddChildText(account, "username", user);
    XmlAddChildText(account, "password", passwordMd5);
    if (ConsoleParam* variable = ConsoleParam::Find("username"))
        variable->SetString(user);
    if (ConsoleParam* variable = ConsoleParam::Find("password"))
        variable->SetString(passwordMd5);
}

std::string PlayerProfile::AccountUser() const
{
    return XmlNodeText(XmlGetChild(XmlChildren(Section("account", false)), "username"));
}

std::string PlayerProfile::AccountPassword() const
{
    return XmlNodeText(XmlGetChild(XmlChildren(Section("account", false)), "password"));
}

xmlNode* PlayerProfile::LevelNode(const std::string& levelFile, bool create)
{
    const std::string title = GetFileTitle(levelFile, true);
    xmlNode* stats = Section("singleplayer_stats", create);
    for (xmlNode* n = XmlGetChild(XmlChildren(stats), "level"); n; n = XmlGetChild(XmlNext(n), "level"))
        if (AttrText(n, "filename") == title)
            return n;
    if (!create || !stats)
        return nullptr;
    xmlNode* level = XmlNewChild(stats, "level");
    XmlSetAttrText(level, "filename", title);
    return level;
}

std::unique_ptr<LevelStats> PlayerProfile::GetLevelStatsNode(const std::string& levelFile, bool create)
{
    xmlNode* node = LevelNode(levelFile, create);
    if (!node)
        return nullptr;
    auto stats = std::make_unique<LevelStats>();
    stats->fileName = AttrText(node, "filename");
    stats->nAttempts = AttrInt(node, "nAttempts", 0);
    stats->nPasses = AttrInt(node, "nPasses", 0);
    stats->qdotsObtained = XmlGetAttrBool(node, "qdots_obtained");
    stats->fragmentObtained = XmlGetAttrBool(node, "fragment_obtained");
    stats->groupID = AttrInt(node, "groupID", -1);
    return stats;
}

void PlayerProfile::StoreLevelStats(const LevelStats& stats)
{
    xmlNode* node = LevelNode(stats.fileName, true);
    XmlSetAttrInt(node, "nAttempts", stats.nAttempts);
    XmlSetAttrInt(node, "nPasses", stats.nPasses);
    XmlSetAttrInt(node, "qdots_obtained", stats.qdotsObtained ? 1 : 0);
    XmlSetAttrInt(node, "fragment_obtained", stats.fragmentObtained ? 1 : 0);
    XmlSetAttrInt(node, "groupID", stats.groupID);
}

void PlayerProfile::RecordSession(LevelStats& stats, const SessionRecord& session)
{
    ++stats.nAttempts;
    if (session.passed)
        ++stats.nPasses;
    StoreLevelStats(stats);
    xmlNode* s = XmlNewChild(LevelNode(stats.fileName, true), "session");
    XmlSetAttrInt(s, "id", session.id);
    XmlSetAttrInt(s, "passed", session.passed ? 1 : 0);
    XmlSetAttrInt(s, "points", session.points);
    XmlSetAttrInt(s, "final", session.final ? 1 : 0);
    XmlSetAttrInt(s, "group", session.group);
    XmlSetAttrText(s, "time", session.time);
    XmlSetAttrText(s, "playback", session.playback);
    XmlSetAttrInt(s, "saved_flimbs", session.savedFlimbs);
}

std::vector<SessionRecord> PlayerProfile::Sessions(const std::string& levelFile)
{
    std::vector<SessionRecord> sessions;
    xmlNode* level = LevelNode(levelFile, false);
    for (xmlNode* s = XmlGetChild(XmlChildren(level), "session"); s; s = XmlGetChild(XmlNext(s), "session")) {
        SessionRecord r;
        r.id = AttrInt(s, "id", 0);
        r.passed = XmlGetAttrBool(s, "passed");
        r.points = AttrInt(s, "points", 0);
        r.final = XmlGetAttrBool(s, "final");
        r.group = AttrInt(s, "group", 0);
        r.time = AttrText(s, "time");
        r.playback = AttrText(s, "playback");
        r.savedFlimbs = AttrInt(s, "saved_flimbs", 0);
        sessions.push_back(std::move(r));
    }
    return sessions;
}

void PlayerProfile::ResetLevelStats(LevelStats& stats)
{
    xmlNode* level = LevelNode(stats.fileName, false);
    if (!level)
        return;
    XmlRemoveNode(level);
    const std::string name = stats.fileName;
    stats = LevelStats{};
    stats.fileName = name;
}

void PlayerProfile::GetSkillLevel(const LevelStats& stats, bool beaten[3])
{
    beaten[0] = beaten[1] = beaten[2] = false;
    xmlNode* level = LevelNode(stats.fileName, false);
    for (xmlNode* s = XmlGetChild(XmlChildren(level), "skill_level"); s; s = XmlGetChild(XmlNext(s), "skill_level")) {
        const int n = AttrInt(s, "level", -1);
        if (n >= 0 && n < 3)
            beaten[n] = true;
    }
}

void PlayerProfile::SaveSkillLevel(const LevelStats& stats, int level)
{
    bool beaten[3];
    GetSkillLevel(stats, beaten);
    if (level < 0 || level > 2 || beaten[level])
        return;
    XmlSetAttrInt(XmlNewChild(LevelNode(stats.fileName, true), "skill_level"), "level", level);
    Save();
}

int PlayerProfile::CountLevelsWithSkill(int level) const
{
    int count = 0;
    xmlNode* stats = Section("singleplayer_stats", false);
    for (xmlNode* n = XmlGetChild(XmlChildren(stats), "level"); n; n = XmlGetChild(XmlNext(n), "level"))
        for (xmlNode* s = XmlGetChild(XmlChildren(n), "skill_level"); s; s = XmlGetChild(XmlNext(s), "skill_level"))
            if (AttrInt(s, "level", -1) == level) {
                ++count;
                break;
            }
    return count;
}

std::vector<BestStat> PlayerProfile::ReadBestStats(const std::string& levelFile)
{
    std::vector<BestStat> stats;
    xmlNode* best = XmlGetChild(XmlChildren(LevelNode(levelFile, false)), "best-stats");
    for (xmlNode* s = XmlGetChild(XmlChildren(best), "stat"); s; s = XmlGetChild(XmlNext(s), "stat"))
        stats.push_back(BestStat{AttrText(s, "type"), AttrInt(s, "value", 0)});
    return stats;
}

void PlayerProfile::WriteBestStats(const std::string& levelFile, const std::vector<BestStat>& stats)
{
    xmlNode* level = LevelNode(levelFile, true);
    if (xmlNode* old = XmlGetChild(XmlChildren(level), "best-stats")) {
        XmlRemoveNode(old);
    }
    xmlNode* best = XmlNewChild(level, "best-stats");
    for (const BestStat& stat : stats) {
        xmlNode* s = XmlNewChild(best, "stat");
        XmlSetAttrText(s, "type", stat.type);
        XmlSetAttrInt(s, "value", stat.value);
    }
}

SingleplayerTotals PlayerProfile::LoadSingleplayerTotals() const
{
    const xmlNode* stats = Section("singleplayer_stats", false);
    return SingleplayerTotals{AttrInt(stats, "qdots_total", 0), AttrInt(stats, "medallion_total", 0),
                              AttrInt(stats, "points_total", 0), AttrInt(stats, "playtime_total", 0)};
}

void PlayerProfile::SetSingleplayerTotals(const SingleplayerTotals& totals)
{
    xmlNode* stats = Section("singleplayer_stats", true);
    XmlSetAttrInt(stats, "qdots_total", totals.qdotsTotal);
    XmlSetAttrInt(stats, "medallion_total", totals.medallionTotal);
    XmlSetAttrInt(stats, "points_total", totals.pointsTotal);
    XmlSetAttrInt(stats, "playtime_total", totals.playtimeTotal);
}

bool PlayerProfile::SaveStats()
{
    SetSingleplayerTotals(LoadSingleplayerTotals());
    return Save();
}

std::array<bool, 8> PlayerProfile::LoadQloopGroup(const std::string& levelFile)
{
    std::array<bool, 8> done{};
    xmlNode* level = LevelNode(levelFile, false);
    const std::string groups = AttrText(XmlGetChild(XmlChildren(level), "qloop"), "groups");
    for (size_t g = 0; g < done.size() && g < groups.size(); ++g)
        done[g] = groups[g] == '1';
    return done;
}

bool PlayerProfile::SaveQloopGroup(const std::string& levelFile, int group)
{
    if (group < 0 || group >= 8)
        return false;
    std::array<bool, 8> done = LoadQloopGroup(levelFile);
    done[size_t(group)] = true;
    xmlNode* level = LevelNode(levelFile, true);
    xmlNode* record = XmlGetChild(XmlChildren(level), "qloop");
    if (!record)
        record = XmlNewChild(level, "qloop");
    std::string groups;
    for (bool flag : done)
        groups += flag ? '1' : '0';
    XmlSetAttrText(record, "groups", groups);
    return Save();
}

bool PlayerProfile::RemoveQloopRecord(const std::string& levelFile)
{
    if (xmlNode* record = XmlGetChild(XmlChildren(LevelNode(levelFile, false)), "qloop"))
        XmlRemoveNode(record);
    return Save();
}

bool PlayerProfile::AddBonusItem(const UnlockedBonusItem& item)
{
    if (item.id.empty() || HasBonusItem(item.id))
        return false;
    xmlNode* node = XmlNewChild(Section("bonus", true), "bonus_item");
    XmlSetAttrText(node, "type", item.type);
    XmlSetAttrText(node, "id", item.id);
    SteamStats::UnlockAchievement("ACH_" + item.id);
    return true;
}

void PlayerProfile::ClearBonusItems()
{
    if (xmlNode* bonus = Section("bonus", false))
        XmlRemoveNode(bonus);
}

bool PlayerProfile::HasBonusItem(const std::string& id) const
{
    xmlNode* bonus = Section("bonus", false);
    for (xmlNode* n = XmlGetChild(XmlChildren(bonus), "bonus_item"); n; n = XmlGetChild(XmlNext(n), "bonus_item"))
        if (AttrText(n, "id") == id)
            return true;
    return false;
}

std::vector<UnlockedBonusItem> PlayerProfile::LoadBonusItems() const
{
    std::vector<UnlockedBonusItem> items;
    xmlNode* bonus = Section("bonus", false);
    for (xmlNode* n = XmlGetChild(XmlChildren(bonus), "bonus_item"); n; n = XmlGetChild(XmlNext(n), "bonus_item"))
        items.push_back(UnlockedBonusItem{AttrText(n, "type"), AttrText(n, "id")});
    return items;
}

xmlNode* PlayerProfile::FlimbMasterNode(const std::string& name, bool create)
{
    xmlNode* masters = Section("flimbmasters", create);
    for (xmlNode* n = XmlGetChild(XmlChildren(masters), "flimbmaster"); n; n = XmlGetChild(XmlNext(n), "flimbmaster"))
        if (AttrText(n, "name") == name)
            return n;
    if (!create || !masters)
        return nullptr;
    xmlNode* node = XmlNewChild(masters, "flimbmaster");
    XmlSetAttrText(node, "name", name);
    return node;
}

bool PlayerProfile::GetFlimbMasterProgress(const std::string& name, FlimbMasterProgress& progress) const
{
    xmlNode* node = const_cast<PlayerProfile*>(this)->FlimbMasterNode(name, false);
    progress = FlimbMasterProgress{name, {}, false, false};
    if (!node)
        return false;
    progress.lastLevelPlayed = XmlNodeText(XmlGetChild(XmlChildren(node), "last_level_played"));
    progress.introViewed = XmlGetChildBool(node, "intro_viewed");
    progress.outtroViewed = XmlGetChildBool(node, "outtro_viewed");
    return true;
}

void PlayerProfile::SetIntroViewed(const std::string& name, bool viewed)
{
    XmlAddChildText(FlimbMasterNode(name, true), "intro_viewed", viewed ? "1" : "0");
    Save();
}

void PlayerProfile::SaveLastLevelPlayed(const std::string& name, const std::string& levelFile)
{
    XmlAddChildText(FlimbMasterNode(name, true), "last_level_played", levelFile);
    Save();
}

std::string PlayerProfile::CheckpointPath(const std::string& levelFile, bool automatic, int slot,
                                          bool levelFileKind) const
{
    // A player's slot is "<level>-<slot>", the automatic one "auto-<level><slot>".
    return GetPath() + "\\Checkpoints\\" + (automatic ? "auto-" : "") + GetFileTitle(levelFile, true) +
           (automatic ? "" : "-") + std::to_string(slot) + (levelFileKind ? ".flevel" : ".flimbs");
}

std::vector<std::string> PlayerProfile::ListCheckpoints(const std::string& levelFile) const
{
    namespace fs = std::filesystem;
    const std::string title = ToLowerAscii(GetFileTitle(levelFile, true));
    std::vector<std::string> names;
    std::error_code error;
    const fs::path folder = GetUserPath(GetPath() + "\\Checkpoints");
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string leaf = it->path().filename().string();
        std::string stem = ToLowerAscii(leaf);
        if (!EndsWithNoCase(stem, ".flimbs"))
            continue;
        stem.resize(stem.size() - 7);
        const bool automatic = stem.rfind("auto-", 0) == 0;
        if (automatic)
            stem.erase(0, 5);
        while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back())))
            stem.pop_back();
        if (!automatic && !stem.empty() && stem.back() == '-')
            stem.pop_back();
        if (stem == title)
            names.push_back(leaf);
    }
    // The automatic checkpoint first, then the user slots.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const bool autoA = StartsWithNoCase(a, "auto-"), autoB = StartsWithNoCase(b, "auto-");
        return autoA != autoB ? autoA : a < b;
    });
    return names;
}
