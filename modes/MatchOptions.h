#pragma once
// The match options: rule switches that hold for every player of a match. They live in
// match-wide globals, set by the game mode's constructor and by its ReadOptions, and
// travel as the "gamemode_data" block of level files, level configurations and
// GAME_MODE_OPTIONS.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

typedef struct _xmlNode xmlNode;
class GameMode;
class PrimContainer;

struct MatchOptions {
    bool allowPaint = false;       // "allow_paint": flimb statues
    bool allowStun = false;        // "allow_stun"
    bool doubleFall = false;       // "double_fall"
    bool stickyGibs = false;       // "sticky_gibs"
    bool explosionPhysics = false; // "explosion_physics"
    int32_t explosionMag = 55;     // "explosion_mag"
    bool explodingGibs = false;    // "exploding_gibs"
    bool contagiousNova = false;   // "contagious_nova"
    int32_t statsMatch = 0;        // "statsmatch": the match is reported as ranked
    bool shatterDoppel = true;     // "shatter_doppel"
    int32_t doubleSpeedMorph = -1; // "doublespeed_morph": index into MorphNames(), -1 none
    // Beam-up effects at the exits. Their particles count toward the end of a match, so
    // the switch is match-wide and no local setting touches it.
    bool beamEffects = true;
    // Steering keys turn every flimb, not only steered ones (set by modes whose players
    // steer their whole group; no option element carries it).
    bool steerAll = false;
};

// The options of the match in play.
MatchOptions& CurrentMatchOptions();
// The values a mode's constructor sets; "statsmatch" from the console variable.
void ResetMatchOptions();

// While set, flag changes on the options panel are stored without a chat announcement.
void SetOptionAnnouncementsSuppressed(bool suppressed);
bool OptionAnnouncementsSuppressed();

// The chat announcement of a flag option's change: the (translated) prefix and "ENABLED" or
// "DISABLED"; nothing while announcements are suppressed.
void AnnounceOptionFlag(const std::string& prefix, bool value);

// The ten morphs of the double-speed option, in list order.
const std::array<const char*, 10>& MorphNames();

// The option elements, in the order WriteOptions writes them.
const std::array<const char*, 11>& MatchOptionKeys();

// The option readers of ReadOptions: the element in the node, else in the defaults. A
// missing option keeps its value, a flag is true for "yes" or "1" in any case, a number
// that is no number reads 0; each with a log line.
void ReadOptionFlag(xmlNode* node, xmlNode* defaults, const char* key, bool& value);
void ReadOptionNumber(xmlNode* node, xmlNode* defaults, const char* key, int32_t& value);

// The "game-mode-state" document of GAME_MODE_OPTIONS: the mode's options in its
// "gamemode_data" element.
std::string WriteModeStateDocument(GameMode& mode);
// Hands the document's "gamemode_data" element to the mode's ReadOptions. False (and a
// log line) when the text is no such document; the options are then left alone.
bool ReadModeStateDocument(GameMode& mode, const std::string& xml);

// The options panel of the lobby and the editor: a container with its own layout engine
// holding the current mode's panel; null without a mode.
std::unique_ptr<PrimContainer> EmbedOptionsPanel();
