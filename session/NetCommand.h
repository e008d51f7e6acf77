#pragma once
// The network command record: a six-byte header (u8 command id, u8 update stamp, u16 total
// length, u8 delivery flags, u8 reserved) and a payload from byte 6, little-endian. The
// table of the 41 commands, the record builders, the stamp rule and the one validator that
// every record received, requested or loaded passes. Uses nothing above app/.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum NetCommandId : uint8_t {
    kCmdStartGame = 0,
    kCmdCreateFlimb = 1,
    kCmdUpdateFlimbType = 2,
    kCmdChat = 3,
    kCmdUpdateFlimbs = 4,
    kCmdHighlight = 5,
    kCmdPlayerId = 6,
    kCmdUpdateUsername = 7,
    kCmdNewPlayer = 8,
    kCmdGameData = 9,
    kCmdNetResult = 10,
    kCmdChecksum = 11,
    kCmdSPing = 12,
    kCmdGameOver = 13,
    kCmdGulpChange = 14,
    kCmdRequestPing = 15,
    kCmdTeamChange = 16,
    kCmdNetLoad = 17,
    kCmdAuthenticate = 18,
    kCmdFileTx = 19,
    kCmdKeyChange = 20,
    kCmdActionSelect = 21,
    kCmdChangeGameMode = 22,
    kCmdKeepAlive = 23,
    kCmdNetBash = 24,
    kCmdUpdateTrap = 25,
    kCmdGameModeOptions = 26,
    kCmdUpdateGroup = 27,
    kCmdUpdateModifier = 28,
    kCmdCameraView = 29,
    kCmdSession = 30,
    kCmdUpdateMorphCount = 31,
    kCmdSetHostVariable = 32,
    kCmdNetInfoCtrl = 33,
    kCmdNetInfoAck = 34,
    kCmdDecoration = 35,
    kCmdFileData = 36,
    kCmdLevelQuery = 37,
    kCmdProfileId = 38,
    kCmdBattleSkill = 39,
    kCmdFreezeTime = 40,
};
constexpr int kNetCommandCount = 41;
constexpr size_t kNetHeaderSize = 6;
// The largest record a buffer, a recording or a stream read may hold.
constexpr size_t kMaxNetRecord = 65535;
// The game version of PLAYERID and of playback headers.
constexpr uint16_t kProtocolVersion = 124;

struct NetCommandSpec {
    uint16_t size;        // fixed size, or where the closing text of a variable one begins
    const char* name;     // as every log line spells it
    bool serverRecords;   // the server appends it to its match recording
    bool variableLength;  // ends in a NUL-terminated text
    bool clientRecords;   // a client appends it to its recording when executing it
};
extern const std::array<NetCommandSpec, kNetCommandCount> NetCommandTable;

// The command's name; "UNKNOWN" outside the table.
const char* NetCommandName(int id);
// The log name of a NETRESULT code ("NR_LOADLEVELOK" ...); "" for 21 and unknown codes.
const char* NetResultName(uint32_t code);

enum NetResultCode : uint32_t {
    kNrFileNotFound = 0,
    kNrReadFail = 1,
    kNrLoadLevelOk = 2,
    kNrBadChecksum = 3,
    kNrBadCrc = 4,
    kNrBadSize = 5,
    kNrMemErr = 6,
    kNrWrongVersion = 7,
    kNrBadFormat = 8,
    kNrVersionOk = 9,
    kNrLevelNotAvail = 10,
    kNrAuthenticateFail = 11,
    kNrLevelDownloaded = 12,
    kNrWaitForPlayers = 13,
    kNrContinueGame = 14,
    kNrUdpPort = 15,
    kNrMsPerUpdate = 16,
    kNrHostRun = 17,
    kNrHostPause = 18,
    kNrConnect = 19,
    kNrReset = 20,
    kNrFinished = 21,
};

// Host variables of SET_HOST_VARIABLE.
constexpr uint32_t kHostVarMsPerUpdate = 16;
constexpr uint32_t kHostVarStartMatch = 17;
constexpr uint32_t kHostVarPause = 18;

// Delivery flags of byte 4.
constexpr uint8_t kDeliveryUnordered = 0x01;
constexpr uint8_t kDeliveryUnreliable = 0x02;

// Special player and group bytes.
constexpr uint8_t kSpectatorGroup = 254;
constexpr uint8_t kAnyGroup = 255;
constexpr int kMaxPlayers = 16;

// ---- Little-endian fields ---------------------------------------------------------------
inline uint16_t GetU16(const uint8_t* p, size_t at)
{
    return static_cast<uint16_t>(p[at] | p[at + 1] << 8);
}
inline uint32_t GetU32(const uint8_t* p, size_t at)
{
    return static_cast<uint32_t>(p[at]) | static_cast<uint32_t>(p[at + 1]) << 8 |
           static_cast<uint32_t>(p[at + 2]) << 16 | static_cast<uint32_t>(p[at + 3]) << 24;
}
inline void PutU16(uint8_t* p, size_t at, uint16_t v)
{
    p[at] = static_cast<uint8_t>(v);
    p[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
float GetF32(const uint8_t* p, size_t at);
void PutF32(uint8_t* p, size_t at, float v);
// The NUL-terminated text of a field of `bytes` bytes (cut at the field's end).
std::string GetText(const uint8_t* p, size_t at, size_t bytes);

// The u16 length of the record's header.
inline uint16_t RecordLength(const uint8_t* record)
{
    return GetU16(record, 2);
}

// One record of exactly its length. Built zeroed with its header: id, stamp 0, length.
class NetRecord {
public:
    NetRecord() = default;
    NetRecord(uint8_t command, size_t length);
    // A copy of a record (its own length field gives the size).
    static NetRecord Copy(const uint8_t* record);

    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    uint8_t Command() const { return bytes_.empty() ? 0 : bytes_[0]; }
    uint8_t& operator[](size_t at) { return bytes_[at]; }
    uint8_t operator[](size_t at) const { return bytes_[at]; }

    NetRecord& U8(size_t at, uint8_t v)
    {
        bytes_[at] = v;
        return *this;
    }
    NetRecord& U16(size_t at, uint16_t v)
    {
        PutU16(bytes_.data(), at, v);
        return *this;
    }
    NetRecord& U32(size_t at, uint32_t v)
    {
        PutU32(bytes_.data(), at, v);
        return *this;
    }
    NetRecord& F32(size_t at, float v)
    {
        PutF32(bytes_.data(), at, v);
        return *this;
    }
    // Copies at most `bytes - 1` bytes of the text into the field, always NUL-terminated.
    NetRecord& Text(size_t at, size_t bytes, std::string_view text);

private:
    std::vector<uint8_t> bytes_;
};

// ---- The stamp rule -----------------------------------------------------------------------
// The full update number of a record stamped `stamp`, placed within 127 updates of the
// counter. A number that would fall below 0 (or past the 32-bit range) counts as now (the
// counter itself).
uint32_t RebuildUpdateNumber(uint32_t counter, uint8_t stamp);

// ---- Validation -------------------------------------------------------------------------
enum class RecordFault {
    None = 0,
    TooShort,       // fewer than 6 bytes, or the length field says more than there is
    BadId,          // 41 or above
    BadSize,        // a fixed-size command whose length is not its size
    NoTerminator,   // a variable-size command shorter than size + 1 or not ending in NUL
    BadField,       // a player, group, type or count outside its range
};
const char* RecordFaultText(RecordFault fault);

// Checks the record in `available` bytes: header, id, size, the closing text of a variable
// record and the ranges of its player, group, type and count fields; fixed text fields get
// a NUL forced at their end. A record that passes may be read by the readers below.
RecordFault ValidateRecord(uint8_t* record, size_t available);

// ---- Builders ---------------------------------------------------------------------------
NetRecord MakeStartGame(const std::array<uint8_t, 8>& groups);
// A client's move request (kind 'c').
NetRecord MakeMoveFlimb(int32_t x, int32_t y, int16_t flimbId);
// The server's creation: id -1, flags 1, byte 21 the parameter, u16 22 10, u16 26 13023.
NetRecord MakeServerCreateFlimb(int32_t x, int32_t y, uint8_t type, uint8_t param);
NetRecord MakeUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t subKind, uint32_t argument);
// The chat text cut to 129 bytes at a UTF-8 boundary.
NetRecord MakeChat(std::string_view text, uint8_t speaker, uint8_t groupOnly, uint8_t typing);
NetRecord MakeUpdateFlimbs(uint8_t flags = kDeliveryUnordered | kDeliveryUnreliable);
NetRecord MakeHighlight(int16_t flimbId, uint8_t player, bool on);
NetRecord MakePlayerId(uint8_t clientNumber, uint32_t serverCounter);
NetRecord MakeUpdateUsername(std::string_view name, std::string_view password, uint8_t player);
NetRecord MakeNewPlayer(uint8_t player, uint8_t kind, uint8_t group, std::string_view name, uint8_t flag59,
                        uint8_t flag60);
NetRecord MakeGameData(std::string_view levelName, uint32_t crc, uint8_t loadQuick);
NetRecord MakeNetResult(uint32_t code, uint32_t value, uint8_t player);
NetRecord MakeChecksum(uint32_t checksum);
NetRecord MakeSPing(uint8_t value);
NetRecord MakeGameOver(uint32_t counter);
NetRecord MakeGulpChange(int16_t flimbId, bool on);
NetRecord MakeRequestPing(const std::array<uint16_t, 16>& pings, uint8_t flags);
NetRecord MakeTeamChange(uint32_t player, uint8_t group, uint8_t team);
NetRecord MakeNetLoad(uint32_t start, uint32_t second = 0);
NetRecord MakeActionSelect(uint8_t action, uint8_t on, uint8_t group);
struct NetBashArgs {
    std::string brushFile;
    uint32_t crc = 0;
    int32_t a = 0, b = 0;
    float scaleX = 1.0f, scaleY = 1.0f;
    float rotation = 0.0f; // radians
    uint32_t c = 0, d = 0, e = 0;
    uint8_t flag = 0;
};
NetRecord MakeNetBash(const NetBashArgs& args);
NetBashArgs ReadNetBash(const uint8_t* record);
// Variable-size commands: the fixed part, the text and its NUL.
NetRecord MakeUpdateTrap(uint32_t trapId, uint8_t trigger, int32_t flimbId, std::string_view xml);
NetRecord MakeGameModeOptions(std::string_view xml);
NetRecord MakeUpdateModifier(uint8_t index, int16_t flimbId, std::string_view text);
NetRecord MakeUpdateMorphCount(std::string_view xml);
NetRecord MakeUpdateGroup(uint8_t group);
NetRecord MakeCameraView(int16_t x, int16_t y, int16_t zoom, int16_t degrees);
NetRecord MakeSession(const std::array<uint8_t, 16>& guid);
NetRecord MakeSetHostVariable(uint32_t variable, uint32_t value);
NetRecord MakeDecoration(std::string_view name, int16_t flimbId);
NetRecord MakeLevelQuery(std::string_view levelName, uint32_t crc, uint32_t answer, uint32_t value);
NetRecord MakeProfileId(const std::array<uint8_t, 16>& profileId, uint32_t player);
NetRecord MakeBattleSkill(uint32_t value);
NetRecord MakeFreezeTime();

// The text of a variable-size record (from its fixed size to the NUL).
std::string VariableText(const uint8_t* record);

// ---- Field offsets the readers use ------------------------------------------------------
namespace netfield {
constexpr size_t kChatText = 6, kChatTextField = 130, kChatSpeaker = 136, kChatGroupOnly = 137, kChatTyping = 138;
constexpr size_t kChatMaxText = 129;
constexpr size_t kGameDataName = 6, kGameDataNameBytes = 100, kGameDataCrc = 108, kGameDataLoadQuick = 112;
constexpr size_t kLevelQueryName = 6, kLevelQueryNameBytes = 128, kLevelQueryCrc = 136, kLevelQueryAnswer = 140,
                 kLevelQueryValue = 144;
constexpr size_t kNewPlayerName = 9, kNewPlayerNameBytes = 25, kNewPlayerText2 = 34, kNewPlayerText2Bytes = 25;
constexpr size_t kUserName = 6, kUserNameBytes = 25, kPassword = 31, kPasswordBytes = 33, kUserPlayer = 64;
constexpr size_t kFileName = 6, kFileNameBytes = 256, kFileTotal = 264, kFileData = 268, kFileChunk = 1024,
                 kFileCount = 1292, kFileLast = 1296, kFileFirst = 1297, kFileKind = 1300, kFileOwner = 1304,
                 kFileRequest = 1308;
constexpr size_t kDecorationName = 6, kDecorationNameBytes = 16, kDecorationFlimb = 22;
constexpr size_t kNetBashName = 6, kNetBashNameBytes = 256;
} // namespace netfield
