// The match options and the four option operations of the base game mode.
#include "modes/MatchOptions.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/PanelChoosers.h"
#include "gui/PrimContainer.h"
#include "modes/GameMode.h"
#include "modes/GameModifier.h"
#include "modes/MatchEffects.h"
#include "modes/ModeOptionsPanel.h"
#include "modes/ModeServices.h"

namespace {

MatchOptions g_options;
bool g_announcementsSuppressed = false;

struct FlagOption {
    const char* key;
    bool MatchOptions::*field;
    const char* announcement; // prefix of the chat line when the panel changes it; null: none
};

constexpr FlagOption kPanelFlags[] = {
    {"allow_paint", &MatchOptions::allowPaint, "Flimb statues are now "},
    {"allow_stun", &MatchOptions::allowStun, "Flimb stunning is now "},
    {"double_fall", &MatchOptions::doubleFall, "Double fall distance is now "},
    {"shatter_doppel", &MatchOptions::shatterDoppel, "Shatter doppel on nova is now "},
};

// The option's element in the node, else in the defaults; null (and a log line) when
// neither has it.
xmlNode* FindOption(xmlNode* node, xmlNode* defaults, const char* key)
{
    if (xmlNode* found = XmlGetChild(XmlChildren(node), key))
        return found;
    if (xmlNode* found = XmlGetChild(XmlChildren(defaults), key))
        return found;
    WriteLog("WARNING: game mode option [%s] not found in level and in defaults; kept\n", key);
    return nullptr;
}

void ReadFlagImpl(xmlNode* node, xmlNode* defaults, const char* key, bool& value)
{
    if (xmlNode* element = FindOption(node, defaults, key))
        value = IsTrueText(XmlNodeText(element));
}

void ReadNumberImpl(xmlNode* node, xmlNode* defaults, const char* key, int32_t& value)
{
    xmlNode* element = FindOption(node, defaults, key);
    if (!element)
        return;
    const std::string text = XmlNodeText(element);
    if (!ParseInt(text, value)) {
        WriteLog("WARNING: game mode option [%s] is no number [%s]; read as 0\n", key, text.c_str());
        value = 0;
    }
}

void OnOptionControlChanged(Primitive*, Primitive* control)
{
    if (GameMode* mode = CurrentGameMode())
        mode->ApplyOptionChange(control);
}

void Announce(const std::string& text, bool chatLine)
{
    if (g_announcementsSuppressed)
        return;
    if (chatLine)
        CurrentMatchEffects().SendChatLine(text);
    else
        CurrentMatchEffects().SendChat(text);
}

} // namespace

void AnnounceOptionFlag(const std::string& prefix, bool value)
{
    Announce(TranslateText(prefix) + (value ? "ENABLED" : "DISABLED"), false);
}

void ReadOptionFlag(xmlNode* node, xmlNode* defaults, const char* key, bool& value)
{
    ReadFlagImpl(node, defaults, key, value);
}

void ReadOptionNumber(xmlNode* node, xmlNode* defaults, const char* key, int32_t& value)
{
    ReadNumberImpl(node, defaults, key, value);
}

MatchOptions& CurrentMatchOptions()
{
    return g_options;
}

void ResetMatchOptions()
{
    g_options = MatchOptions{};
    const ConsoleParam* statsMatch = ConsoleParam::Find("statsmatch");
    g_options.statsMatch = statsMatch ? statsMatch->GetInt() : 0;
}

void SetOptionAnnouncementsSuppressed(bool suppressed)
{
    g_announcementsSuppressed = suppressed;
}

bool OptionAnnouncementsSuppressed()
{
    return g_announcementsSuppressed;
}

const std::array<const char*, 10>& MorphNames()
{
    static const std::array<const char*, 10> names = {"Clob", "Mold", "Nova",   "Drill",   "Gulp",
                                                      "Doppel", "Puff", "Spin", "Atomize", "Lop"};
    return names;
}

const std::array<const char*, 11>& MatchOptionKeys()
{
    static const std::array<const char*, 11> keys = {
        "allow_paint",    "allow_stun", "double_fall",     "sticky_gibs",    "explosion_physics", "explosion_mag",
        "exploding_gibs", "contagious_nova", "statsmatch", "shatter_doppel", "doublespeed_morph"};
    return keys;
}

void GameMode::WriteOptions(xmlNode* node)
{
    if (!node)
        return;
    const MatchOptions& o = g_options;
    const int values[11] = {o.allowPaint,     o.allowStun,    o.doubleFall,      o.stickyGibs,
                            o.explosionPhysics, o.explosionMag, o.explodingGibs, o.contagiousNova,
                            o.statsMatch,     o.shatterDoppel, o.doubleSpeedMorph};
    for (size_t i = 0; i < MatchOptionKeys().size(); ++i)
        XmlAddChildInt(node, MatchOptionKeys()[i], values[i]);
}

bool GameMode::IsOptionKey(const std::string& key) const
{
    for (const char* known : MatchOptionKeys())
        if (key == known)
            return true;
    return false;
}

void GameMode::ReadOptions(xmlNode* node, xmlNode* defaults)
{
    modifiers.clear();
    for (xmlNode* child = XmlChildren(node); child; child = XmlNext(child)) {
        const std::string key = XmlName(child);
        if (!key.empty() && !IsOptionKey(key))
            WriteLog("WARNING: unknown game mode option [%s] ignored\n", key.c_str());
    }
    MatchOptions& o = g_options;
    ReadOptionFlag(node, defaults, "allow_paint", o.allowPaint);
    ReadOptionFlag(node, defaults, "allow_stun", o.allowStun);
    ReadOptionFlag(node, defaults, "double_fall", o.doubleFall);
    ReadOptionFlag(node, defaults, "sticky_gibs", o.stickyGibs);
    ReadOptionFlag(node, defaults, "explosion_physics", o.explosionPhysics);
    ReadOptionNumber(node, defaults, "explosion_mag", o.explosionMag);
    ReadOptionFlag(node, defaults, "exploding_gibs", o.explodingGibs);
    ReadOptionFlag(node, defaults, "contagious_nova", o.contagiousNova);
    // Stored for the match only: a level file or another player never sets the console
    // variable; the host's lobby does.
    ReadOptionNumber(node, defaults, "statsmatch", o.statsMatch);
    ReadOptionFlag(node, defaults, "shatter_doppel", o.shatterDoppel);
    ReadOptionNumber(node, defaults, "doublespeed_morph", o.doubleSpeedMorph);
    if (o.doubleSpeedMorph < -1 || o.doubleSpeedMorph >= int32_t(MorphNames().size())) {
        WriteLog("WARNING: doublespeed_morph %d names no morph; none runs at double speed\n", o.doubleSpeedMorph);
        o.doubleSpeedMorph = -1;
    }
    MatchEffects& effects = CurrentMatchEffects();
    if (!effects.IsHudOpen())
        return;
    for (const auto& [wanted, type] : {std::pair{o.allowPaint, GameModifier::kStatue},
                                       std::pair{o.allowStun, GameModifier::kStun}}) {
        if (!wanted)
            continue;
        std::unique_ptr<GameModifier> modifier = GameModifier::Make(type);
        if (!modifier)
            continue;
        modifier->visible = 0;
        effects.AttachModifier(modifier.get());
        modifiers.push_back(std::move(modifier));
    }
}

void GameMode::ApplyOptionChange(Primitive* control)
{
    if (!control)
        return;
    const std::string& key = control->name;
    for (const FlagOption& flag : kPanelFlags) {
        if (key != flag.key)
            continue;
        const bool now = control->IsChecked();
        const bool before = g_options.*flag.field;
        g_options.*flag.field = now;
        if (now != before)
            Announce(TranslateText(flag.announcement) + (now ? "ENABLED" : "DISABLED"), false);
    }
    if (key == "doublespeed_morph") {
        auto* combo = dynamic_cast<ComboBox*>(control);
        const int item = combo ? combo->GetSelection() : control->GetIntValue();
        if (item >= 0 && item <= int(MorphNames().size())) {
            g_options.doubleSpeedMorph = item - 1;
            Announce(item == 0 ? TranslateText("Double speed morphs are DISABLED.")
                               : TranslateText("The ") + MorphNames()[size_t(item - 1)] +
                                     TranslateText(" Morph is now DOUBLE SPEED."),
                     true);
        }
    }
    MatchEffects& effects = CurrentMatchEffects();
    if (effects.HasGameClient())
        effects.SendGameModeState(WriteModeStateDocument(*this));
}

ModeOptionsPanel GameMode::BeginOptionsPanel()
{
    ModeOptionsPanel built;
    built.panel = std::make_unique<PrimContainer>();
    built.engine = std::make_unique<FlimbsLayoutEngine>(built.panel.get());
    FlimbsLayoutEngine& engine = *built.engine;
    engine.SetMargins(0.0f, 0.0f, 0.0f, 0.0f);
    engine.SetCaptionWidth(250.0f);
    const MatchOptions& o = g_options;
    built.AddCheckBox("allow_paint", "Allow statues",
                      "Allow players to place down flimb statues by pressing 7 on the keyboard.", o.allowPaint);
    engine.AddGap(3.0f);
    built.AddCheckBox("allow_stun", "Allow stunning",
                      "Allow players to stun other players flimbs by pressing 8 on the keyboard", o.allowStun);
    built.AddCheckBox("shatter_doppel", "Shatter Doppel", "Going nova near a doppeled flimb will shatter the doppel.",
                      o.shatterDoppel);
    built.AddCheckBox("double_fall", "Double fall", "Allow flimbs to fall twice as far before splat.", o.doubleFall);
    engine.AddCaption(TranslateText("Double Speed"), "doublespeed_morph");
    if (ComboBox* combo = engine.AddComboBox("doublespeed_morph", nullptr)) {
        combo->AddItem(TranslateText("None"), 0);
        for (size_t i = 0; i < MorphNames().size(); ++i)
            combo->AddItem(MorphNames()[i], int(i) + 1);
        combo->SetSelection(o.doubleSpeedMorph + 1, false);
        combo->onChange = [](Primitive* parent, ComboBox* box) { OnOptionControlChanged(parent, box); };
        engine.SetTip(combo, TranslateText("Select a morph to double speed."));
    }
    return built;
}

std::unique_ptr<PrimContainer> GameMode::BuildOptionsPanel(LayoutEngine*)
{
    ModeOptionsPanel built = BeginOptionsPanel();
    return built.Finish();
}

ModeOptionsPanel::ModeOptionsPanel() = default;
ModeOptionsPanel::~ModeOptionsPanel() = default;
ModeOptionsPanel::ModeOptionsPanel(ModeOptionsPanel&&) noexcept = default;
ModeOptionsPanel& ModeOptionsPanel::operator=(ModeOptionsPanel&&) noexcept = default;

void ModeOptionsPanel::AddCheckBox(const char* key, const char* caption, const char* tip, bool checked)
{
    engine->AddCaption(TranslateText(caption), key);
    CheckBox* box = engine->AddCheckBox(key, checked);
    if (!box)
        return;
    box->onChange = OnOptionControlChanged;
    engine->SetTip(box, TranslateText(tip));
}

void ModeOptionsPanel::AddGroupChoice(const char* key, const char* caption, const char* tip, int group)
{
    engine->AddCaption(TranslateText(caption), key);
    GroupChooser* chooser = engine->AddGroupChooser(key, group, false);
    if (!chooser)
        return;
    chooser->onChange = [](Primitive* parent, ComboBox* box) { OnOptionControlChanged(parent, box); };
    engine->SetTip(chooser, TranslateText(tip));
}

std::unique_ptr<PrimContainer> ModeOptionsPanel::Finish()
{
    engine->Finish();
    engine->FitContainer();
    engine.reset();
    return std::move(panel);
}

std::string WriteModeStateDocument(GameMode& mode)
{
    XmlDocument doc = XmlNewDocument("game-mode-state");
    mode.WriteOptions(XmlNewChild(XmlRoot(doc.get()), "gamemode_data"));
    return XmlDocumentText(doc.get());
}

bool ReadModeStateDocument(GameMode& mode, const std::string& xml)
{
    XmlDocument doc = XmlParseBuffer(xml.data(), xml.size(), "game-mode-state");
    xmlNode* root = XmlRoot(doc.get());
    if (!root || XmlName(root) != "game-mode-state") {
        WriteLog("ERROR: game mode options are no game-mode-state document; ignored\n");
        return false;
    }
    xmlNode* options = XmlGetChild(XmlChildren(root), "gamemode_data");
    if (!options) {
        WriteLog("ERROR: game-mode-state without gamemode_data; ignored\n");
        return false;
    }
    mode.ReadOptions(options, nullptr);
    return true;
}

std::unique_ptr<PrimContainer> EmbedOptionsPanel()
{
    GameMode* mode = CurrentGameMode();
    if (!mode)
        return nullptr;
    auto container = std::make_unique<PrimContainer>();
    FlimbsLayoutEngine engine(container.get());
    std::unique_ptr<PrimContainer> panel = mode->BuildOptionsPanel(&engine);
    if (panel) {
        float width = 0.0f, height = 0.0f;
        panel->GetSize(&width, &height);
        panel->SetPosition(0.0f, 0.0f);
        container->AddChild(panel.release());
        container->SetSize(width, height);
    }
    return container;
}
