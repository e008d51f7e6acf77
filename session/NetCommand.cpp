#include "session/NetCommand.h"

#include "app/StringUtil.h"

#include <algorithm>
#include <cstring>

using namespace netfield;

const std::array<NetCommandSpec, kNetCommandCount> NetCommandTable = {{
    {14, "STARTGAME", true, false, true},
    {32, "CREATE_FLIMB", true, false, true},
    {16, "UPDATE_FLIMB_TYPE", true, false, true},
    {140, "CHAT", false, false, false},
    {6, "UPDATE_FLIMBS", true, false, true},
    {12, "HIGHLIGHT", true, false, true},
    {32, "PLAYERID", false, false, false},
    {66, "UPDATE_USERNAME", true, false, false},
    {64, "NEWPLAYER", true, false, false},
    {116, "GAMEDATA", true, false, true},
    {20, "NETRESULT", true, false, false},
    {16, "CHECKSUM", false, false, false},
    {8, "SPING", false, false, false},
    {12, "GAMEOVER", true, false, false},
    {10, "GULPCHANGE", true, false, true},
    {38, "REQUESTPING", false, false, false},
    {16, "TEAMCHANGE", true, false, true},
    {16, "NETLOAD", false, false, false},
    {52, "AUTHENICATE", false, false, false},
    {268, "FILETX", false, false, false},
    {12, "KEYCHANGE", true, false, false},
    {16, "ACTIONSELECT", true, false, false},
    {12, "CHANGE_GAMEMODE", true, false, false},
    {6, "KEEP_ALIVE", false, false, false},
    {304, "NETBASH", true, false, true},
    {20, "UPDATE_TRAP", true, true, true},
    {6, "GAME_MODE_OPTIONS", true, true, true},
    {16, "UPATE_GROUP", true, false, true},
    {10, "UPATE_MODIFIER", true, true, true},
    {16, "CAMERA_VIEW", false, false, false},
    {24, "SESSION", true, false, false},
    {6, "UPDATE_MORPH_COUNT", true, true, true},
    {16, "SET_HOST_VARIABLE", true, false, false},
    {12, "NETINFO_CTRL", false, false, false},
    {8, "NETINFO_ACK", false, false, false},
    {24, "DECORATION", true, false, true},
    {1312, "FILEDATA", false, false, false},
    {148, "LEVELQUERY", false, false, false},
    {28, "PROFILEID", true, false, false},
    {12, "BATTLESKILL", true, false, true},
    {12, "FREEZETIME", true, false, true},
}};

const char* NetCommandName(int id)
{
    return id >= 0 && id < kNetCommandCount ? NetCommandTable[static_cast<size_t>(id)].name : "UNKNOWN";
}

const char* NetResultName(uint32_t code)
{
    static const char* const names[] = {
        "NR_FILENOTFOUND", "NR_READFAIL",        "NR_LOADLEVELOK",     "NR_BADCHECKSUM",   "NR_BADCRC",
        "NR_BADSIZE",      "NR_MEMERR",          "NR_WRONGVERSION",    "NR_BADFORMAT",     "NR_VERSIONOK",
        "NR_LEVELNOTAVAIL", "NR_AUTHENTICATEFAIL", "NR_LEVELDOWNLOADED", "NR_WAITFORPLAYERS", "NR_CONTINUEGAME",
        "NR_UDPPORT",      "NR_MS_PER_UPDATE",   "NR_HOST_RUN",        "NR_HOST_PAUSE",    "NR_CONNECT",
        "NR_RESET",
    };
    return code < std::size(names) ? names[code] : "";
}

float GetF32(const uint8_t* p, size_t at)
{
    const uint32_t bits = GetU32(p, at);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void PutF32(uint8_t* p, size_t at, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutU32(p, at, bits);
}

std::string GetText(const uint8_t* p, size_t at, size_t bytes)
{
    const auto* begin = reinterpret_cast<const char*>(p + at);
    return std::string(begin, strnlen(begin, bytes));
}

NetRecord::NetRecord(uint8_t command, size_t length) : bytes_(std::max(length, kNetHeaderSize), 0)
{
    bytes_[0] = command;
    PutU16(bytes_.data(), 2, static_cast<uint16_t>(bytes_.size()));
}

NetRecord NetRecord::Copy(const uint8_t* record)
{
    NetRecord copy;
    copy.bytes_.assign(record, record + RecordLength(record));
    return copy;
}

NetRecord& NetRecord::Text(size_t at, size_t bytes, std::string_view text)
{
    if (bytes == 0)
        return *this;
    const size_t n = std::min(text.size(), bytes - 1);
    std::memcpy(bytes_.data() + at, text.data(), n);
    std::memset(bytes_.data() + at + n, 0, bytes - n);
    return *this;
}

uint32_t RebuildUpdateNumber(uint32_t counter, uint8_t stamp)
{
    const int32_t d = static_cast<int32_t>(stamp) - static_cast<int32_t>(counter % 256);
    int64_t block = counter / 256;
    if (d > 127)
        --block;
    if (d < -127)
        ++block;
    const int64_t n = block * 256 + stamp;
    return n < 0 || n > int64_t(UINT32_MAX) ? counter : static_cast<uint32_t>(n);
}

// ---- Validation -------------------------------------------------------------------------

const char* RecordFaultText(RecordFault fault)
{
    switch (fault) {
    case RecordFault::None:
        return "valid";
    case RecordFault::TooShort:
        return "truncated record";
    case RecordFault::BadId:
        return "invalid type";
    case RecordFault::BadSize:
        return "invalid CMD SIZE";
    case RecordFault::NoTerminator:
        return "unterminated text";
    case RecordFault::BadField:
        return "field out of range";
    }
    return "invalid";
}

namespace {

constexpr uint8_t kFlimbTypeCount = 22;

void ForceNul(uint8_t* record, size_t at, size_t bytes)
{
    record[at + bytes - 1] = 0;
}

bool IsPlayer(uint32_t v)
{
    return v < kMaxPlayers;
}

// A group byte: a group, or the spectator and any-group values.
bool IsGroupOrSpecial(uint8_t v)
{
    return v < 8 || v == kSpectatorGroup || v == kAnyGroup;
}

bool CheckFields(uint8_t* r)
{
    switch (r[0]) {
    case kCmdUpdateFlimbType: {
        const uint8_t type = r[8];
        const uint8_t sub = r[9];
        if (sub == 'B')
            return true; // byte 6 names a group; the executor bounds it
        return type < kFlimbTypeCount || type == 255;
    }
    case kCmdChat:
        ForceNul(r, kChatText, kChatTextField);
        return IsPlayer(r[kChatSpeaker]) || r[kChatSpeaker] >= 254;
    case kCmdHighlight:
        return IsPlayer(GetU32(r, 8) >> 16);
    case kCmdPlayerId:
        return IsPlayer(r[6]);
    case kCmdUpdateUsername:
        ForceNul(r, kUserName, kUserNameBytes);
        ForceNul(r, kPassword, kPasswordBytes);
        return IsPlayer(r[kUserPlayer]);
    case kCmdNewPlayer:
        ForceNul(r, kNewPlayerName, kNewPlayerNameBytes);
        ForceNul(r, kNewPlayerText2, kNewPlayerText2Bytes);
        return IsPlayer(r[6]) && IsGroupOrSpecial(r[8]);
    case kCmdGameData:
        ForceNul(r, kGameDataName, kGameDataNameBytes);
        return true;
    case kCmdNetResult:
        return IsPlayer(r[16]) || r[16] == 255;
    case kCmdSPing:
        return IsPlayer(r[6]);
    case kCmdTeamChange:
        return (IsPlayer(GetU32(r, 8)) || GetU32(r, 8) == 255) && IsGroupOrSpecial(r[12]) &&
               (r[13] < 8 || r[13] == 255);
    case kCmdActionSelect:
        return r[6] < 11 && r[8] < 8;
    case kCmdNetBash:
        ForceNul(r, kNetBashName, kNetBashNameBytes);
        return true;
    case kCmdDecoration:
        ForceNul(r, kDecorationName, kDecorationNameBytes);
        return true;
    case kCmdFileData:
        ForceNul(r, kFileName, kFileNameBytes);
        return GetU32(r, kFileCount) <= kFileChunk && GetU32(r, kFileKind) <= 1 &&
               (GetU32(r, kFileKind) == 0 || IsPlayer(GetU32(r, kFileOwner)));
    case kCmdLevelQuery:
        ForceNul(r, kLevelQueryName, kLevelQueryNameBytes);
        return true;
    case kCmdProfileId:
        return IsPlayer(GetU32(r, 24));
    default:
        return true;
    }
}

} // namespace

RecordFault ValidateRecord(uint8_t* record, size_t available)
{
    if (!record || available < kNetHeaderSize)
        return RecordFault::TooShort;
    const size_t length = RecordLength(record);
    if (length < kNetHeaderSize || length > available)
        return RecordFault::TooShort;
    if (record[0] >= kNetCommandCount)
        return RecordFault::BadId;
    const NetCommandSpec& spec = NetCommandTable[record[0]];
    if (spec.variableLength) {
        if (length < size_t(spec.size) + 1 || record[length - 1] != 0)
            return RecordFault::NoTerminator;
    } else if (length != spec.size) {
        return RecordFault::BadSize;
    }
    return CheckFields(record) ? RecordFault::None : RecordFault::BadField;
}

// ---- Builders ---------------------------------------------------------------------------

namespace {

NetRecord Fixed(uint8_t command)
{
    return NetRecord(command, NetCommandTable[command].size);
}

NetRecord Variable(uint8_t command, std::string_view text)
{
    const size_t fixed = NetCommandTable[command].size;
    // The record's length is 16 bits: a text that would not fit is cut.
    const size_t n = std::min(text.size(), kMaxNetRecord - fixed - 1);
    NetRecord record(command, fixed + n + 1);
    std::memcpy(record.data() + fixed, text.data(), n);
    return record;
}

} // namespace

NetRecord MakeStartGame(const std::array<uint8_t, 8>& groups)
{
    NetRecord r = Fixed(kCmdStartGame);
    for (size_t i = 0; i < 8; ++i)
        r.U8(6 + i, groups[i]);
    return r;
}

NetRecord MakeMoveFlimb(int32_t x, int32_t y, int16_t flimbId)
{
    NetRecord r = Fixed(kCmdCreateFlimb);
    r.U32(8, static_cast<uint32_t>(x)).U32(12, static_cast<uint32_t>(y)).U16(16, static_cast<uint16_t>(flimbId));
    r.U8(18, 'c');
    return r;
}

NetRecord MakeServerCreateFlimb(int32_t x, int32_t y, uint8_t type, uint8_t param)
{
    NetRecord r = Fixed(kCmdCreateFlimb);
    r.U32(8, static_cast<uint32_t>(x)).U32(12, static_cast<uint32_t>(y)).U16(16, 0xFFFF);
    r.U8(18, type).U8(19, 1).U8(20, 0).U8(21, param).U16(22, 10).U16(26, 13023);
    return r;
}

NetRecord MakeUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t subKind, uint32_t argument)
{
    NetRecord r = Fixed(kCmdUpdateFlimbType);
    r.U16(6, static_cast<uint16_t>(flimbId)).U8(8, type).U8(9, subKind).U32(12, argument);
    return r;
}

NetRecord MakeChat(std::string_view text, uint8_t speaker, uint8_t groupOnly, uint8_t typing)
{
    NetRecord r = Fixed(kCmdChat);
    r.Text(kChatText, kChatTextField, CutUtf8(text, kChatMaxText));
    r.U8(kChatSpeaker, speaker).U8(kChatGroupOnly, groupOnly).U8(kChatTyping, typing);
    return r;
}

NetRecord MakeUpdateFlimbs(uint8_t flags)
{
    return Fixed(kCmdUpdateFlimbs).U8(4, flags);
}

NetRecord MakeHighlight(int16_t flimbId, uint8_t player, bool on)
{
    NetRecord r = Fixed(kCmdHighlight);
    r.U16(6, static_cast<uint16_t>(flimbId)).U32(8, static_cast<uint32_t>(player) << 16 | (on ? 1u : 0u));
    return r;
}

NetRecord MakePlayerId(uint8_t clientNumber, uint32_t serverCounter)
{
    return Fixed(kCmdPlayerId).U8(6, clientNumber).U16(12, kProtocolVersion).U32(16, serverCounter);
}

NetRecord MakeUpdateUsername(std::string_view name, std::string_view password, uint8_t player)
{
    NetRecord r = Fixed(kCmdUpdateUsername);
    r.Text(kUserName, kUserNameBytes, name).Text(kPassword, kPasswordBytes, password).U8(kUserPlayer, player);
    return r;
}

NetRecord MakeNewPlayer(uint8_t player, uint8_t kind, uint8_t group, std::string_view name, uint8_t flag59,
                        uint8_t flag60)
{
    NetRecord r = Fixed(kCmdNewPlayer);
    r.U8(6, player).U8(7, kind).U8(8, group).Text(kNewPlayerName, kNewPlayerNameBytes, name);
    r.U8(59, flag59).U8(60, flag60);
    return r;
}

NetRecord MakeGameData(std::string_view levelName, uint32_t crc, uint8_t loadQuick)
{
    NetRecord r = Fixed(kCmdGameData);
    r.Text(kGameDataName, kGameDataNameBytes, levelName).U32(kGameDataCrc, crc).U8(kGameDataLoadQuick, loadQuick);
    return r;
}

NetRecord MakeNetResult(uint32_t code, uint32_t value, uint8_t player)
{
    return Fixed(kCmdNetResult).U32(8, code).U32(12, value).U8(16, player);
}

NetRecord MakeChecksum(uint32_t checksum)
{
    return Fixed(kCmdChecksum).U32(8, checksum);
}

NetRecord MakeSPing(uint8_t value)
{
    return Fixed(kCmdSPing).U8(4, kDeliveryUnordered | kDeliveryUnreliable).U8(6, value);
}

NetRecord MakeGameOver(uint32_t counter)
{
    return Fixed(kCmdGameOver).U32(8, counter);
}

NetRecord MakeGulpChange(int16_t flimbId, bool on)
{
    return Fixed(kCmdGulpChange).U16(6, static_cast<uint16_t>(flimbId)).U8(8, on ? 1 : 0);
}

NetRecord MakeRequestPing(const std::array<uint16_t, 16>& pings, uint8_t flags)
{
    NetRecord r = Fixed(kCmdRequestPing);
    r.U8(4, flags);
    for (size_t i = 0; i < 16; ++i)
        r.U16(6 + 2 * i, pings[i]);
    return r;
}

NetRecord MakeTeamChange(uint32_t player, uint8_t group, uint8_t team)
{
    return Fixed(kCmdTeamChange).U32(8, player).U8(12, group).U8(13, team);
}

NetRecord MakeNetLoad(uint32_t start, uint32_t second)
{
    return Fixed(kCmdNetLoad).U32(8, start).U32(12, second);
}

NetRecord MakeActionSelect(uint8_t action, uint8_t on, uint8_t group)
{
    return Fixed(kCmdActionSelect).U8(6, action).U8(7, on).U8(8, group);
}

NetRecord MakeNetBash(const NetBashArgs& a)
{
    NetRecord r = Fixed(kCmdNetBash);
    r.Text(kNetBashName, kNetBashNameBytes, a.brushFile).U32(264, a.crc);
    r.U32(268, static_cast<uint32_t>(a.a)).U32(272, static_cast<uint32_t>(a.b));
    r.F32(276, a.scaleX).F32(280, a.scaleY).F32(284, a.rotation);
    r.U32(288, a.c).U32(292, a.d).U32(296, a.e).U8(300, a.flag);
    return r;
}

NetBashArgs ReadNetBash(const uint8_t* r)
{
    NetBashArgs a;
    a.brushFile = GetText(r, kNetBashName, kNetBashNameBytes);
    a.crc = GetU32(r, 264);
    a.a = static_cast<int32_t>(GetU32(r, 268));
    a.b = static_cast<int32_t>(GetU32(r, 272));
    a.scaleX = GetF32(r, 276);
    a.scaleY = GetF32(r, 280);
    a.rotation = GetF32(r, 284);
    a.c = GetU32(r, 288);
    a.d = GetU32(r, 292);
    a.e = GetU32(r, 296);
    a.flag = r[300];
    return a;
}

NetRecord MakeUpdateTrap(uint32_t trapId, uint8_t trigger, int32_t flimbId, std::string_view xml)
{
    NetRecord r = Variable(kCmdUpdateTrap, xml);
    r.U32(8, trapId).U8(12, trigger).U32(16, static_cast<uint32_t>(flimbId));
    return r;
}

NetRecord MakeGameModeOptions(std::string_view xml)
{
    return Variable(kCmdGameModeOptions, xml);
}

NetRecord MakeUpdateModifier(uint8_t index, int16_t flimbId, std::string_view text)
{
    NetRecord r = Variable(kCmdUpdateModifier, text);
    r.U8(6, index).U16(8, static_cast<uint16_t>(flimbId));
    return r;
}

NetRecord MakeUpdateMorphCount(std::string_view xml)
{
    return Variable(kCmdUpdateMorphCount, xml);
}

NetRecord MakeUpdateGroup(uint8_t group)
{
    return Fixed(kCmdUpdateGroup).U8(6, group);
}

NetRecord MakeCameraView(int16_t x, int16_t y, int16_t zoom, int16_t degrees)
{
    NetRecord r = Fixed(kCmdCameraView);
    r.U16(6, static_cast<uint16_t>(x)).U16(8, static_cast<uint16_t>(y));
    r.U16(10, static_cast<uint16_t>(zoom)).U16(12, static_cast<uint16_t>(degrees));
    return r;
}

NetRecord MakeSession(const std::array<uint8_t, 16>& guid)
{
    NetRecord r = Fixed(kCmdSession);
    std::memcpy(r.data() + 8, guid.data(), 16);
    return r;
}

NetRecord MakeSetHostVariable(uint32_t variable, uint32_t value)
{
    return Fixed(kCmdSetHostVariable).U32(8, variable).U32(12, value);
}

NetRecord MakeDecoration(std::string_view name, int16_t flimbId)
{
    NetRecord r = Fixed(kCmdDecoration);
    r.Text(kDecorationName, kDecorationNameBytes, name).U16(kDecorationFlimb, static_cast<uint16_t>(flimbId));
    return r;
}

NetRecord MakeLevelQuery(std::string_view levelName, uint32_t crc, uint32_t answer, uint32_t value)
{
    NetRecord r = Fixed(kCmdLevelQuery);
    r.Text(kLevelQueryName, kLevelQueryNameBytes, levelName).U32(kLevelQueryCrc, crc);
    r.U32(kLevelQueryAnswer, answer).U32(kLevelQueryValue, value);
    return r;
}

NetRecord MakeProfileId(const std::array<uint8_t, 16>& profileId, uint32_t player)
{
    NetRecord r = Fixed(kCmdProfileId);
    std::memcpy(r.data() + 8, profileId.data(), 16);
    r.U32(24, player);
    return r;
}

NetRecord MakeBattleSkill(uint32_t value)
{
    return Fixed(kCmdBattleSkill).U32(8, value);
}

NetRecord MakeFreezeTime()
{
    return Fixed(kCmdFreezeTime);
}

std::string VariableText(const uint8_t* record)
{
    const size_t fixed = NetCommandTable[record[0] % kNetCommandCount].size;
    const size_t length = RecordLength(record);
    if (length <= fixed)
        return {};
    return GetText(record, fixed, length - fixed);
}
