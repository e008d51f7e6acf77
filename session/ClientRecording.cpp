// The client's recording of what it executes, saved playbacks and the playback slots.
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/GzipFile.h"
#include "app/HostPath.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "game/GameController.h"
#include "game/LevelNames.h"
#include "session/NetInfoFile.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "session/CameraView.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/NetInfoFile.h"
#include "session/SessionGame.h"
#include "world/ViewServices.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kNoticeEffect = 12;

bool UserFileExists(const std::string& gamePath)
{
    std::error_code error;
    return fs::exists(GetUserPath(gamePath), error);
}

void RemoveUserFile(const std::string& gamePath)
{
    const std::string host = HostPathForWrite(gamePath);
    std::error_code error;
    if (!host.empty())
        fs::remove(host, error);
}

void LogSaved(bool ok, const std::string& path)
{
    if (ok)
        WriteLogChannel(4, "Saved to %s\n", path.c_str());
    else
        WriteLogChannel(4, "Failed to save to %s. Couldn't open file.\n", path.c_str());
    // Seam: the FLIMBS_HUD window's match event shows the result.
}

NetRecord ClosingNetLoad()
{
    NetRecord closing = MakeNetLoad(0, 1);
    closing[1] = static_cast<uint8_t>(ClientUpdateCounter());
    return closing;
}

// A name for a playback file from outside: one plain file name.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

} // namespace

std::string TempRecordingPath()
{
    return PlaybackFolder() + "temp.flimbs";
}

std::string GameClient::PlaybackPath(const std::string& name, bool fullPath)
{
    if (fullPath)
        return name;
    const std::string folder = PlaybackFolder();
    if (name.empty()) {
        std::string level = GetFileTitle(SessionGame().LoadedLevel().name, true);
        if (level.empty())
            level = "playback";
        for (int n = 0; n < 1000; ++n) {
            const std::string path = StringPrintf("%s%s_%03d.flimbs", folder.c_str(), level.c_str(), n);
            if (!UserFileExists(path))
                return path;
        }
        WriteLog("No free playback number for %s\n", level.c_str());
        return {};
    }
    if (!IsPlainName(name)) {
        WriteLog("Refused playback name [%s]\n", name.c_str());
        return {};
    }
    if (name[0] == '$')
        return folder + "Abnormal\\" + name + ".flimbs";
    return folder + name + ".flimbs";
}

bool GameClient::OpenTempRecording(const std::string&)
{
    ClientCommandState& state = CommandState();
    if (!state.recordingAllowed)
        return false;
    state.recording = std::make_unique<NetInfoFileWriter>();
    state.recording->compressed = true;
    if (!state.recording->Open(TempRecordingPath())) {
        WriteLog("Couldn't open the recording %s\n", TempRecordingPath().c_str());
        state.recording.reset();
        return false;
    }
    return true;
}

void GameClient::CloseRecording()
{
    ClientCommandState& state = CommandState();
    if (state.recording)
        state.recording->Close();
    state.recording.reset();
}

void GameClient::DiscardTempRecording()
{
    CloseRecording();
    RemoveUserFile(TempRecordingPath());
}

bool GameClient::SavePlayback(const std::string& name, bool fullPath)
{
    ClientCommandState& state = CommandState();
    const std::string target = PlaybackPath(name, fullPath);
    if (target.empty()) {
        LogSaved(false, name);
        return false;
    }
    // The recording so far must be on the disk; recording goes on in the same file.
    if (state.recording) {
        state.recording->Close();
        // A recording whose file was lost starts again with its header.
        if (!state.recording->Open(TempRecordingPath(), UserFileExists(TempRecordingPath()))) {
            WriteLog("Couldn't reopen the recording %s\n", TempRecordingPath().c_str());
            state.recording.reset();
        }
    }
    const std::string partial = target + ".part";
    bool ok = UserFileExists(TempRecordingPath()) && GzipFileCopy(TempRecordingPath(), partial, true);
    if (ok) {
        NetInfoFileWriter writer;
        writer.compressed = true;
        ok = writer.Open(partial, true);
        if (ok) {
            writer.WriteRecord(CurrentCameraView().data());
            writer.WriteRecord(ClosingNetLoad().data());
            ok = writer.Close();
        }
    }
    if (ok) {
        const std::string from = HostPathForWrite(partial);
        const std::string to = HostPathForWrite(target);
        std::error_code error;
        fs::rename(from, to, error);
        ok = !error && !to.empty();
    }
    if (!ok)
        RemoveUserFile(partial);
    LogSaved(ok, target);
    return ok;
}

bool GameClient::SavePlaybackAs(const std::string& name, bool fullPath)
{
    const PlaybackSlot& slot = CommandState().slots[0];
    if (slot.records.empty())
        return false;
    const std::string target = PlaybackPath(name, fullPath);
    NetInfoFileWriter writer;
    bool ok = !target.empty() && writer.Open(target);
    if (ok) {
        for (size_t i = 0; i < slot.cursor && i < slot.records.size(); ++i)
            writer.WriteRecord(slot.records[i].data());
        writer.WriteRecord(ClosingNetLoad().data());
        ok = writer.Close();
    }
    LogSaved(ok, target.empty() ? name : target);
    return ok;
}

std::string GameClient::SaveSlots()
{
    const ClientCommandState& state = CommandState();
    if (state.slots[0].records.empty())
        return {};
    const std::string target = PlaybackPath("");
    NetInfoFileWriter writer;
    if (target.empty() || !writer.Open(target))
        return {};
    for (const PlaybackSlot& slot : state.slots)
        for (const NetRecord& record : slot.records)
            writer.WriteRecord(record.data());
    return writer.Close() ? target : std::string();
}

void GameClient::LoadPlayback(const std::string& path)
{
    ClientCommandState& state = CommandState();
    PlaybackSlot* slot = nullptr;
    for (PlaybackSlot& candidate : state.slots)
        if (candidate.Free()) {
            slot = &candidate;
            break;
        }
    if (!slot)
        throw GameException("There are no open playback slots");
    state.playbackLength = 0;
    NetInfoFileReader reader(kMaxNetRecord);
    if (!reader.Open(path))
        throw GameException(StringPrintf("Playback file [%s] is damaged or missing", path.c_str()));
    const std::string invalid = StringPrintf("Playback file [%s] contains invalid data", path.c_str());
    std::vector<NetRecord> records;
    uint32_t updates = 0;
    while (const uint8_t* stored = reader.ReadRecord()) {
        NetRecord record = NetRecord::Copy(stored);
        if (ValidateRecord(record.data(), record.size()) != RecordFault::None)
            throw GameException(invalid);
        if (!NetCommandTable[record.Command()].clientRecords)
            continue;
        if (record.Command() == kCmdUpdateFlimbs)
            ++updates;
        if (record.Command() == kCmdGameData && !CurrentGameMode()) {
            SessionLevelInfo info;
            const std::string level = GetText(record.data(), netfield::kGameDataName, netfield::kGameDataNameBytes);
            if (SessionGame().ResolveLevel(level, info) && info.crc != GetU32(record.data(), netfield::kGameDataCrc)) {
                Controller().messages.Add(TranslateText("Warning:  The level has been changed since this playback "
                                                        "was recorded.  Playback may be incorrect."),
                                          -1);
                soundManager.PlayEffect(kNoticeEffect, 1.0f);
            }
        }
        records.push_back(std::move(record));
    }
    if (reader.Damaged())
        throw GameException(invalid);
    const uint64_t cutAt = reader.CutShort() ? reader.CutAt() : 0;
    if (cutAt)
        WriteLog("WARNING: Playback file [%s] ends inside a record at byte %llu; it plays up to there\n",
                 path.c_str(), static_cast<unsigned long long>(cutAt));
    reader.Close();
    slot->records = std::move(records);
    slot->cursor = 0;
    state.playbackLength = updates;
    state.playbackPath = path;
    state.playbackCutAt = cutAt;
}

void GameClient::ClearPlaybackSlots()
{
    ClientCommandState& state = CommandState();
    for (PlaybackSlot& slot : state.slots) {
        slot.records.clear();
        slot.cursor = 0;
    }
    state.playbackLength = 0;
}

void GameClient::SeekPlayback(uint32_t update)
{
    const uint32_t counter = ClientUpdateCounter();
    if (update >= counter) {
        RunPlayback(update - counter);
        return;
    }
    CommandState().slots[0].cursor = 0;
    RunPlayback(update);
}

bool GameClient::RewindPlayback()
{
    ClientCommandState& state = CommandState();
    PlaybackSlot& slot = state.slots[0];
    if (slot.records.empty())
        return false;
    slot.cursor = 0;
    state.playbackEnded = false;
    return true;
}

void GameClient::RunPlayback(uint32_t count)
{
    ClientCommandState& state = CommandState();
    PlaybackSlot& slot = state.slots[0];
    if (slot.records.empty() || count == 0)
        return;
    state.drawing = false;
    uint32_t done = 0;
    while (done < count && !slot.Free()) {
        // A copy: executing GAMEDATA may reload the slots' owner state.
        const NetRecord record = slot.records[slot.cursor++];
        ExecuteCommand(record.data());
        RecordExecuted(record.data(), true);
        if (record.Command() == kCmdUpdateFlimbs)
            ++done;
    }
    // A run that used up the recording ends a playback session as the timed feed does.
    if (slot.Free()) {
        state.playbackEnded = true;
        if (state.sessionKind == kPlaybackPlaying || state.sessionKind == kPlaybackPaused)
            state.sessionKind = kPlaybackFinished;
    }
    state.drawing = true;
}
