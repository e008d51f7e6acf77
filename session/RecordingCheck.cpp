#include "session/RecordingCheck.h"

#include "app/StringUtil.h"
#include "session/NetCommand.h"
#include "session/NetInfoFile.h"

#include <vector>

RecordingCheck CheckRecording(const std::string& path)
{
    RecordingCheck check;
    NetInfoFileReader reader(kMaxNetRecord);
    if (path.empty() || !reader.Open(path)) {
        check.error = "[" + path + "] is missing or is not a recording";
        return check;
    }
    bool gameData = false;
    bool lastClosesCatchUp = false;
    std::vector<uint8_t> copy;
    while (const uint8_t* stored = reader.ReadRecord()) {
        const size_t length = size_t(stored[2] | stored[3] << 8);
        copy.assign(stored, stored + length);
        const RecordFault fault = ValidateRecord(copy.data(), copy.size());
        if (fault != RecordFault::None) {
            check.error = "[" + path + "] holds an invalid record (" + RecordFaultText(fault) + ")";
            return check;
        }
        const uint8_t id = copy[0];
        if (id == kCmdGameData && !gameData) {
            gameData = true;
            check.level = GetText(copy.data(), netfield::kGameDataName, netfield::kGameDataNameBytes);
        }
        if (id == kCmdUpdateFlimbs)
            ++check.updates;
        lastClosesCatchUp = id == kCmdNetLoad && GetU32(copy.data(), 8) == 0;
    }
    if (reader.Damaged()) {
        check.error = "[" + path + "] is damaged";
        return check;
    }
    if (!gameData) {
        check.error = "[" + path + "] names no level";
        return check;
    }
    check.closed = lastClosesCatchUp;
    check.ok = true;
    return check;
}

RecordingCheck CheckRecordingOfLevel(const std::string& path, const std::string& levelName)
{
    RecordingCheck check = CheckRecording(path);
    if (!check.ok)
        return check;
    if (!check.closed) {
        check.ok = false;
        check.error = "[" + path + "] is cut short";
    } else if (!EqualsNoCase(GetFileTitle(check.level, true), GetFileTitle(levelName, true))) {
        check.ok = false;
        check.error = "[" + path + "] is a recording of " + check.level;
    }
    return check;
}
