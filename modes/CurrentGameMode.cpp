// The current game mode and the operations other subsystems call on it.
#include "app/Log.h"
#include "modes/GameMode.h"
#include "modes/GameModifier.h"
#include "modes/MatchOptions.h"
#include "modes/MatchWorld.h"
#include "modes/ModeServices.h"
#include "modes/MultiverseMatchMode.h"
#include "world/WorldServices.h"

namespace {

std::unique_ptr<GameMode>& Current()
{
    static std::unique_ptr<GameMode> mode;
    return mode;
}

bool g_matchStarted = false;

} // namespace

GameMode* CurrentGameMode()
{
    return Current().get();
}

void SetCurrentGameMode(std::unique_ptr<GameMode> mode)
{
    Current().reset(); // the old mode goes before the new one takes its place
    Current() = std::move(mode);
}

GameMode* CreateCurrentGameMode(int index)
{
    Current().reset();
    Current() = GameMode::Create(index);
    return Current().get();
}

void ClearCurrentGameMode()
{
    Current().reset();
}

int CurrentGameModeIndex()
{
    return Current() ? Current()->modeIndex : kNoModeIndex;
}

const char* GameModeKeyName(int index)
{
    const char* name = GameMode::Info(index).keyName;
    return name ? name : "";
}

const char* GameModeShortCode(int index)
{
    const char* prefix = GameMode::Info(index).prefix;
    return prefix ? prefix : "";
}

int GameModeIndexFromName(const std::string& name)
{
    return GameMode::IndexFromName(name);
}

int GameModeIndexFromPrefix(const std::string& prefix)
{
    return GameMode::IndexFromPrefix(prefix);
}

bool IsMatchStarted()
{
    return g_matchStarted;
}

void MarkMatchStarted()
{
    g_matchStarted = true;
    // Every game of a level switches its particles on here, alike.
    SetParticlesEnabled(true);
}

void ModeStartMatch()
{
    if (GameMode* mode = CurrentGameMode())
        mode->StartMatch();
}

void ModeUpdate()
{
    if (GameMode* mode = CurrentGameMode())
        mode->UpdateMessages();
}

bool ModeIsMatchOver()
{
    GameMode* mode = CurrentGameMode();
    return mode && mode->IsMatchOver();
}

void ModeGameOver()
{
    if (GameMode* mode = CurrentGameMode())
        mode->GameOver();
}

bool ModeAcceptsCommand(int32_t flimbId)
{
    GameMode* mode = CurrentGameMode();
    return !mode || mode->MayIssueMorph(flimbId, 0);
}

bool ModeMaySelect(int32_t flimbId)
{
    GameMode* mode = CurrentGameMode();
    return !mode || mode->IsFlimbControllable(flimbId);
}

int ModeSelectionFilter()
{
    GameMode* mode = CurrentGameMode();
    return mode ? mode->SelectionFilter() : kAllGroups;
}

void ModeFlimbCreated(int32_t flimbId)
{
    if (GameMode* mode = CurrentGameMode())
        mode->OnFlimbCreated(flimbId);
}

void ModeFlimbDied(int32_t flimbId)
{
    if (GameMode* mode = CurrentGameMode())
        mode->OnFlimbDied(flimbId);
}

void ModeFlimbTypeChange(int32_t flimbId, int newType, int oldType)
{
    if (GameMode* mode = CurrentGameMode())
        mode->OnFlimbTypeChange(flimbId, newType, oldType);
}

bool ModeFlimbSaved(int32_t flimbId, int32_t exitTrapId)
{
    GameMode* mode = CurrentGameMode();
    if (!mode)
        return false;
    mode->OnFlimbExited(flimbId, exitTrapId);
    return true;
}

uint32_t ModeNextFlimbId(int localFlag, int group, int originTrapId, int count)
{
    GameMode* mode = CurrentGameMode();
    return mode ? mode->NextFlimbId(localFlag, group, originTrapId, count) : CurrentMatchWorld().TakeFlimbId();
}

void ModeSetResult(int32_t code, int32_t group)
{
    if (GameMode* mode = CurrentGameMode())
        mode->SetResult(code, group);
}

void ModeOnPickup(int32_t trapId, int32_t flimbId)
{
    if (GameMode* mode = CurrentGameMode())
        mode->OnPickup(trapId, flimbId);
}

void ModeOnObjectLost(int32_t trapId)
{
    if (GameMode* mode = CurrentGameMode())
        mode->OnObjectLost(trapId);
}

void ModeOnBlast(int32_t sourceFlimbId, float x, float y, int kind)
{
    if (GameMode* mode = CurrentGameMode())
        mode->OnBlast(sourceFlimbId, x, y, kind);
}

bool ModeQdotCollected(int32_t flimbId)
{
    GameMode* mode = CurrentGameMode();
    return mode && mode->OnQdotCollected(flimbId);
}

bool ModeOnKey(int code, int state, const IInputDevice* device)
{
    GameMode* mode = CurrentGameMode();
    return mode && mode->OnKey(code, state, device);
}

int ModeCountFreeze()
{
    GameMode* mode = CurrentGameMode();
    return mode ? mode->CountFreeze() : 0;
}

int ModeFreezePenaltySeconds()
{
    GameMode* mode = CurrentGameMode();
    return mode ? mode->FreezePenaltySeconds() : 0;
}

void ModeReadOptions(xmlNode* node, xmlNode* defaults)
{
    if (GameMode* mode = CurrentGameMode())
        mode->ReadOptions(node, defaults);
}

void ModeWriteOptions(xmlNode* node)
{
    if (GameMode* mode = CurrentGameMode())
        mode->WriteOptions(node);
}

std::string ModeStateDocument()
{
    GameMode* mode = CurrentGameMode();
    return mode ? WriteModeStateDocument(*mode) : std::string();
}

bool ModeReadStateDocument(const std::string& xml)
{
    GameMode* mode = CurrentGameMode();
    return mode && ReadModeStateDocument(*mode, xml);
}

void ModeRefreshTexts()
{
    if (GameMode* mode = CurrentGameMode()) {
        mode->ResetStatLabels();
        mode->objectiveText = mode->GetObjectiveText();
    }
}

uint64_t ModeStateHash()
{
    GameMode* mode = CurrentGameMode();
    return mode ? mode->StateHash() : 0;
}

bool ModeCopiesFlimbsAcrossUniverses()
{
    GameMode* mode = CurrentGameMode();
    return mode && mode->CopiesFlimbsAcrossUniverses();
}

namespace {

constexpr size_t kModifierRecordSize = 10;
constexpr size_t kBattleSkillRecordSize = 12;

uint32_t ReadU32(const uint8_t* at)
{
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

} // namespace

bool ModeApplyModifierRecord(const uint8_t* record, size_t length)
{
    if (!record || length < kModifierRecordSize) {
        WriteLog("UPATE_MODIFIER of %u bytes is too short; ignored\n", unsigned(length));
        return false;
    }
    GameMode* mode = CurrentGameMode();
    GameModifier* modifier = mode ? mode->FindModifier(record[6]) : nullptr;
    if (!modifier) {
        WriteLog("UPATE_MODIFIER for modifier %d that the match does not have; ignored\n", int(record[6]));
        return false;
    }
    const int32_t flimbId = int32_t(record[8] | record[9] << 8);
    FlimbInfo flimb;
    if (!CurrentMatchWorld().FindFlimb(flimbId, flimb)) {
        WriteLog("UPATE_MODIFIER for flimb %d that is gone; ignored\n", flimbId);
        return false;
    }
    modifier->Apply(flimbId);
    return true;
}

bool ModeApplyBattleSkill(const uint8_t* record, size_t length)
{
    if (!record || length < kBattleSkillRecordSize) {
        WriteLog("BATTLESKILL of %u bytes is too short; ignored\n", unsigned(length));
        return false;
    }
    auto* race = dynamic_cast<MultiverseMatchMode*>(CurrentGameMode());
    if (!race) {
        WriteLog("BATTLESKILL outside a Multiverse match; ignored\n");
        return false;
    }
    return race->SetDifficulty(int32_t(ReadU32(record + 8)));
}

void ModeNotifyModifiers()
{
    if (GameMode* mode = CurrentGameMode()) {
        mode->NotifyModifiers();
        mode->AllModifiersReady();
    }
}

bool ModeAcceptCommand(const uint8_t* record, size_t length)
{
    GameMode* mode = CurrentGameMode();
    return !mode || mode->AcceptCommand(record, length);
}

int ModeResultCode()
{
    GameMode* mode = CurrentGameMode();
    return mode ? mode->resultCode : 0;
}
