// The command record: table, stamp rule, builders, validator and file chunks.
#include "session/FileTransfer.h"
#include "session/NetCommand.h"

#include "../support/LogCapture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::string TextAt(const NetRecord& r, size_t at, size_t bytes)
{
    return GetText(r.data(), at, bytes);
}

TEST(NetCommandTable, HoldsFortyOneRowsWithTheirInvariants)
{
    ASSERT_EQ(NetCommandTable.size(), 41u);
    std::set<std::string> names;
    for (int id = 0; id < kNetCommandCount; ++id) {
        const NetCommandSpec& row = NetCommandTable[size_t(id)];
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_GE(row.size, kNetHeaderSize) << row.name;
        // A client records nothing the server does not record.
        EXPECT_TRUE(!row.clientRecords || row.serverRecords) << row.name;
    }
    // What the live recording can hold: exactly the client-recorded commands.
    std::set<int> clientRecorded;
    for (int id = 0; id < kNetCommandCount; ++id)
        if (NetCommandTable[size_t(id)].clientRecords)
            clientRecorded.insert(id);
    EXPECT_EQ(clientRecorded, (std::set<int>{0, 1, 2, 4, 5, 9, 14, 16, 24, 25, 26, 27, 28, 31, 35, 39, 40}));
    std::set<int> variable;
    for (int id = 0; id < kNetCommandCount; ++id)
        if (NetCommandTable[size_t(id)].variableLength)
            variable.insert(id);
    EXPECT_EQ(variable, (std::set<int>{25, 26, 28, 31}));
    EXPECT_STREQ(NetCommandName(25), "UPDATE_TRAP");
    EXPECT_STREQ(NetCommandName(18), "AUTHENICATE");
    EXPECT_STREQ(NetCommandName(41), "UNKNOWN");
    EXPECT_STREQ(NetResultName(20), "NR_RESET");
    EXPECT_STREQ(NetResultName(21), "");
}

TEST(NetCommandTable, EveryFixedBuilderMakesItsTableSize)
{
    const std::vector<NetRecord> built = {
        MakeStartGame({}), MakeMoveFlimb(1, 2, 3), MakeServerCreateFlimb(1, 2, 3, 4),
        MakeUpdateFlimbType(1, 2, 'M', 4), MakeChat("x", 1, 0, 0), MakeUpdateFlimbs(), MakeHighlight(1, 2, true),
        MakePlayerId(1, 2), MakeUpdateUsername("a", "b", 1), MakeNewPlayer(1, 1, 0, "n", 1, 0),
        MakeGameData("l", 1, 0), MakeNetResult(2, 0, 1), MakeChecksum(5), MakeSPing(1), MakeGameOver(9),
        MakeGulpChange(1, true), MakeRequestPing({}, 3), MakeTeamChange(1, 2, 255), MakeNetLoad(1),
        MakeActionSelect(1, 1, 1), MakeNetBash({}), MakeUpdateGroup(1), MakeCameraView(1, 2, 3, 4),
        MakeSession({}), MakeSetHostVariable(16, 80), MakeDecoration("d", 1), MakeLevelQuery("l", 1, 1, 0),
        MakeProfileId({}, 1), MakeBattleSkill(2), MakeFreezeTime(),
    };
    for (const NetRecord& r : built) {
        const NetCommandSpec& row = NetCommandTable[r.Command()];
        EXPECT_EQ(r.size(), row.size) << row.name;
        EXPECT_EQ(RecordLength(r.data()), row.size) << row.name;
        NetRecord copy = r;
        EXPECT_EQ(ValidateRecord(copy.data(), copy.size()), RecordFault::None) << row.name;
    }
    EXPECT_EQ(MakeUpdateFlimbs()[4], 3);
    EXPECT_EQ(MakeSPing(7)[4], 3);
    EXPECT_EQ(MakeChat("x", 1, 0, 0)[4], 0);
}

TEST(NetCommandStamp, RebuildsTheFullUpdateNumber)
{
    const struct {
        uint32_t counter;
        uint8_t stamp;
        uint32_t expected;
    } cases[] = {
        {300, 250, 250}, {300, 100, 356}, {300, 44, 300}, // counter 300 (low byte 44)
        {10, 250, 10},                                    // would be -6: now
        {10, 137, 137}, {10, 10, 10}, {255, 0, 256}, {256, 255, 255},
        {0x1000000, 0, 0x1000000}, {0xFFFFFF00u, 0x7F, 0xFFFFFF7Fu},
        {0xFFFFFFF0u, 0x05, 0xFFFFFFF0u}, // past the 32-bit range: now
        {128, 0, 256},                    // exactly half a block behind is taken as ahead
    };
    for (const auto& c : cases)
        EXPECT_EQ(RebuildUpdateNumber(c.counter, c.stamp), c.expected) << c.counter << " " << int(c.stamp);
}

TEST(NetCommandBuilders, VariableRecordsEndInTheirText)
{
    EXPECT_EQ(MakeUpdateTrap(5, 1, -1, "").size(), 21u);
    EXPECT_EQ(MakeGameModeOptions("").size(), 7u);
    const NetRecord trap = MakeUpdateTrap(5, 1, 9, "<trap-state/>");
    EXPECT_EQ(trap.size(), 20u + 13u + 1u);
    EXPECT_EQ(VariableText(trap.data()), "<trap-state/>");
    EXPECT_EQ(GetU32(trap.data(), 8), 5u);
    EXPECT_EQ(trap[12], 1);
    EXPECT_EQ(GetU32(trap.data(), 16), 9u);
    EXPECT_EQ(VariableText(MakeUpdateModifier(2, 7, "").data()), "");
}

TEST(NetCommandBuilders, ChatIsCutAtAUtf8BoundaryWithinTheRecord)
{
    const std::string ascii(200, 'a');
    EXPECT_EQ(TextAt(MakeChat(ascii, 1, 0, 0), netfield::kChatText, netfield::kChatTextField).size(), 129u);
    // 128 ASCII bytes and then a two-byte character: the character does not fit whole.
    const std::string mixed = std::string(128, 'b') + "\xC3\xA9" + "c";
    EXPECT_EQ(TextAt(MakeChat(mixed, 1, 0, 0), netfield::kChatText, netfield::kChatTextField), std::string(128, 'b'));
    const NetRecord typing = MakeChat("", 3, 1, 2);
    EXPECT_EQ(typing[netfield::kChatSpeaker], 3);
    EXPECT_EQ(typing[netfield::kChatGroupOnly], 1);
    EXPECT_EQ(typing[netfield::kChatTyping], 2);
}

TEST(NetCommandValidator, RefusesWhatNoPeerMaySend)
{
    const auto fault = [](NetRecord r) { return ValidateRecord(r.data(), r.size()); };
    const auto withLength = [](NetRecord r, uint16_t length) {
        r.U16(2, length);
        return r;
    };
    NetRecord bad41 = MakeChecksum(0);
    bad41[0] = 41;
    NetRecord noNul = MakeGameModeOptions("ab");
    noNul[noNul.size() - 1] = 'x';
    NetRecord player16 = MakeProfileId({}, 16);
    NetRecord group9 = MakeNewPlayer(1, 1, 9, "", 0, 0);
    NetRecord highlight = MakeHighlight(3, 0, true);
    highlight.U32(8, 16u << 16 | 1);
    NetRecord bigChunk = MakeFileRequest("x", 0);
    bigChunk.U32(netfield::kFileCount, 1025);
    NetRecord badType = MakeUpdateFlimbType(1, 22, 'X', 0);
    const struct {
        const char* what;
        NetRecord record;
        RecordFault expected;
    } cases[] = {
        {"the smallest record", MakeUpdateFlimbs(), RecordFault::None},
        {"id 41", bad41, RecordFault::BadId},
        {"fixed size too long", withLength(MakeChecksum(0), 17), RecordFault::TooShort},
        {"fixed size wrong", [] { NetRecord r(kCmdChecksum, 20); return r; }(), RecordFault::BadSize},
        {"length below the header", withLength(MakeChecksum(0), 5), RecordFault::TooShort},
        {"variable without NUL", noNul, RecordFault::NoTerminator},
        {"variable without text", [] { NetRecord r(kCmdUpdateTrap, 20); return r; }(), RecordFault::NoTerminator},
        {"player 16", player16, RecordFault::BadField},
        {"group 9", group9, RecordFault::BadField},
        {"spectator group", MakeNewPlayer(1, 2, 254, "", 0, 0), RecordFault::None},
        {"highlight player 16", highlight, RecordFault::BadField},
        {"chunk of 1025 bytes", bigChunk, RecordFault::BadField},
        {"flimb type 22", badType, RecordFault::BadField},
        {"team change of a group", MakeTeamChange(255, 3, 3), RecordFault::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fault(c.record), c.expected) << c.what;
    uint8_t five[5] = {4, 0, 5, 0, 0};
    EXPECT_EQ(ValidateRecord(five, 5), RecordFault::TooShort);
}

TEST(NetCommandValidator, ForcesTheEndOfEveryTextField)
{
    NetRecord r = MakeGameData("level", 0, 0);
    for (size_t i = netfield::kGameDataName; i < netfield::kGameDataName + netfield::kGameDataNameBytes; ++i)
        r[i] = 'z';
    ASSERT_EQ(ValidateRecord(r.data(), r.size()), RecordFault::None);
    EXPECT_EQ(TextAt(r, netfield::kGameDataName, netfield::kGameDataNameBytes), std::string(99, 'z'));
}

TEST(FileChunks, SplitAFileOf2500BytesInto1024_1024_452)
{
    std::vector<uint8_t> file(2500);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = uint8_t(i * 7);
    const std::vector<NetRecord> chunks = MakeFileChunks("Level\\x.flevel", file.data(), file.size(), 0, 0);
    ASSERT_EQ(chunks.size(), 3u);
    const uint32_t counts[] = {1024, 1024, 452};
    FileAssembly assembly;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(chunks[i].size(), 1312u);
        EXPECT_EQ(GetU32(chunks[i].data(), netfield::kFileCount), counts[i]);
        EXPECT_EQ(GetU32(chunks[i].data(), netfield::kFileTotal), 2500u);
        EXPECT_EQ(chunks[i][netfield::kFileFirst], i == 0 ? 1 : 0);
        EXPECT_EQ(chunks[i][netfield::kFileLast], i == 2 ? 1 : 0);
        EXPECT_EQ(assembly.Add(chunks[i].data()),
                  i == 2 ? FileAssembly::Step::Complete : FileAssembly::Step::Taken);
    }
    EXPECT_EQ(assembly.Data(), file);
    EXPECT_EQ(assembly.Name(), "x.flevel");
    EXPECT_TRUE(MakeFileChunks("empty", nullptr, 0, 0, 0).empty());
}

TEST(FileChunks, AssemblyRefusesChunksThatBreakTheTransfer)
{
    std::vector<uint8_t> file(1500, 1);
    const auto chunks = MakeFileChunks("a.flevel", file.data(), file.size(), 0, 0);
    LogCapture log;
    {
        FileAssembly assembly; // no first chunk
        EXPECT_EQ(assembly.Add(chunks[1].data()), FileAssembly::Step::Refused);
    }
    {
        FileAssembly assembly; // more data than announced
        NetRecord first = chunks[0];
        first.U32(netfield::kFileTotal, 1100);
        EXPECT_EQ(assembly.Add(first.data()), FileAssembly::Step::Taken);
        EXPECT_EQ(assembly.Add(chunks[1].data()), FileAssembly::Step::Refused);
    }
    {
        FileAssembly assembly; // a huge announced size
        NetRecord first = chunks[0];
        first.U32(netfield::kFileTotal, 0xFFFFFFFFu);
        EXPECT_EQ(assembly.Add(first.data()), FileAssembly::Step::Refused);
    }
    {
        FileAssembly assembly; // the last chunk before the whole file
        NetRecord last = chunks[0];
        last.U8(netfield::kFileLast, 1);
        EXPECT_EQ(assembly.Add(last.data()), FileAssembly::Step::Refused);
    }
    {
        FileAssembly assembly; // a chunk of another file
        EXPECT_EQ(assembly.Add(chunks[0].data()), FileAssembly::Step::Taken);
        NetRecord other = chunks[1];
        other.Text(netfield::kFileName, netfield::kFileNameBytes, "b.flevel");
        EXPECT_EQ(assembly.Add(other.data()), FileAssembly::Step::Refused);
    }
    EXPECT_TRUE(log.Contains("FILEDATA from peer refused"));
    const struct {
        const char* in;
        const char* out;
    } names[] = {{"..\\..\\x.flevel", "x.flevel"}, {"/etc/passwd", "passwd"}, {"a/..", ""}, {"", ""}, {"dir\\", ""}};
    for (const auto& n : names)
        EXPECT_EQ(PlainFileName(n.in), n.out) << n.in;
}

} // namespace
