// The playback file: header, records, gzip members and raw content.
#include "session/NetInfoFile.h"

#include "app/UserFolders.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Record(uint8_t id, size_t length, uint8_t fill = 0)
{
    Bytes r(length, fill);
    r[0] = id;
    r[1] = 0;
    r[2] = uint8_t(length);
    r[3] = uint8_t(length >> 8);
    r[4] = r[5] = 0;
    return r;
}

Bytes Header(uint32_t magic = kPlaybackMagic)
{
    Bytes h(12, 0);
    for (int i = 0; i < 4; ++i)
        h[size_t(i)] = uint8_t(magic >> (8 * i));
    h[4] = 124;
    return h;
}

void WriteRaw(const std::string& gamePath, const Bytes& bytes)
{
    const std::string host = GetUserPath(gamePath);
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteGzip(const std::string& gamePath, const Bytes& bytes)
{
    const std::string host = GetUserPath(gamePath);
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    gzFile file = gzopen(host.c_str(), "wb");
    gzwrite(file, bytes.data(), unsigned(bytes.size()));
    gzclose(file);
}

std::vector<Bytes> ReadAll(NetInfoFileReader& reader)
{
    std::vector<Bytes> records;
    while (const uint8_t* r = reader.ReadRecord())
        records.emplace_back(r, r + (r[2] | r[3] << 8));
    return records;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(NetInfoFile, WrittenInTwoRunsReadsAsOneStream)
{
    const std::string path = "Cache\\Log\\two-runs.flimbs";
    const Bytes a = Record(9, 116, 'a'), tick = Record(4, 6), b = Record(3, 140, 'b');
    {
        NetInfoFileWriter writer;
        ASSERT_TRUE(writer.Open(path));
        writer.WriteRecord(a.data());
        writer.WriteRecord(tick.data());
        ASSERT_TRUE(writer.Close());
    }
    {
        NetInfoFileWriter writer;
        ASSERT_TRUE(writer.Open(path, true));
        writer.suspended = true;
        writer.WriteRecord(b.data()); // nothing while suspended
        writer.suspended = false;
        writer.WriteRecord(b.data());
        writer.WriteRecord(tick.data());
        ASSERT_TRUE(writer.Close());
    }
    // Two gzip members on the disk.
    std::ifstream in(GetUserPath(path), std::ios::binary);
    const Bytes disk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(disk.size(), 2u);
    EXPECT_EQ(disk[0], 0x1F);
    EXPECT_EQ(disk[1], 0x8B);

    NetInfoFileReader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(ReadAll(reader), (std::vector<Bytes>{a, tick, b, tick}));
    EXPECT_EQ(reader.UpdateCount(), 2u);
    EXPECT_FALSE(reader.Damaged());
}

TEST(NetInfoFile, RawContentReadsLikeCompressed)
{
    const Bytes content = Join({Header(), Record(0, 14, 1), Record(4, 6), Record(4, 6), Record(16, 16, 2)});
    WriteRaw("Cache\\Log\\raw.flimbs", content);
    WriteGzip("Cache\\Log\\packed.flimbs", content);
    NetInfoFileReader raw, packed;
    ASSERT_TRUE(raw.Open("Cache\\Log\\raw.flimbs"));
    ASSERT_TRUE(packed.Open("Cache\\Log\\packed.flimbs"));
    const auto fromRaw = ReadAll(raw);
    EXPECT_EQ(fromRaw.size(), 4u);
    EXPECT_EQ(fromRaw, ReadAll(packed));
    EXPECT_EQ(raw.UpdateCount(), 2u);
    EXPECT_EQ(packed.UpdateCount(), 2u);
}

TEST(NetInfoFile, HeaderOnlyAndBadStartsAreHandled)
{
    WriteGzip("Cache\\Log\\empty.flimbs", Header());
    NetInfoFileReader reader;
    ASSERT_TRUE(reader.Open("Cache\\Log\\empty.flimbs"));
    EXPECT_EQ(reader.ReadRecord(), nullptr);
    EXPECT_EQ(reader.UpdateCount(), 0u);

    // The magic stored byte-swapped, a missing file, a file shorter than the magic.
    WriteRaw("Cache\\Log\\swapped.flimbs", Join({Header(0x09E504C7u), Record(4, 6)}));
    WriteRaw("Cache\\Log\\short.flimbs", Bytes{0x09, 0xE5});
    for (const char* name : {"Cache\\Log\\swapped.flimbs", "Cache\\Log\\missing.flimbs", "Cache\\Log\\short.flimbs"}) {
        NetInfoFileReader bad;
        EXPECT_FALSE(bad.Open(name)) << name;
        EXPECT_FALSE(bad.IsOpen());
        EXPECT_EQ(bad.ReadRecord(), nullptr);
    }
}

TEST(NetInfoFile, RecordsAcrossTheBufferEdgeAndOfTheLargestSize)
{
    // 100-byte records in a 256-byte buffer: the third straddles its end.
    std::vector<Bytes> written;
    Bytes content = Header();
    for (int i = 0; i < 7; ++i) {
        written.push_back(Record(3, 100, uint8_t(i)));
        content.insert(content.end(), written.back().begin(), written.back().end());
    }
    WriteGzip("Cache\\Log\\edge.flimbs", content);
    NetInfoFileReader small(256);
    ASSERT_TRUE(small.Open("Cache\\Log\\edge.flimbs"));
    EXPECT_EQ(ReadAll(small), written);

    const Bytes largest = Record(25, 65535, 'x');
    WriteGzip("Cache\\Log\\largest.flimbs", Join({Header(), largest, Record(4, 6)}));
    NetInfoFileReader reader;
    ASSERT_TRUE(reader.Open("Cache\\Log\\largest.flimbs"));
    EXPECT_EQ(ReadAll(reader), (std::vector<Bytes>{largest, Record(4, 6)}));
}

TEST(NetInfoFile, ACutOrImpossibleRecordEndsTheReading)
{
    // A record cut by the end of the file is not delivered.
    Bytes cut = Join({Header(), Record(4, 6), Record(3, 140)});
    cut.resize(cut.size() - 10);
    WriteGzip("Cache\\Log\\cut.flimbs", cut);
    NetInfoFileReader reader;
    ASSERT_TRUE(reader.Open("Cache\\Log\\cut.flimbs"));
    EXPECT_EQ(ReadAll(reader).size(), 1u);
    EXPECT_FALSE(reader.Damaged());

    // A length of 5 cannot be a record: the reading stops there, damaged.
    Bytes five = Join({Header(), Record(4, 6), Bytes{4, 0, 5, 0, 0}, Record(4, 6)});
    WriteGzip("Cache\\Log\\five.flimbs", five);
    NetInfoFileReader damaged;
    ASSERT_TRUE(damaged.Open("Cache\\Log\\five.flimbs"));
    EXPECT_EQ(ReadAll(damaged).size(), 1u);
    EXPECT_TRUE(damaged.Damaged());
}

TEST(NetInfoFile, AWriterThatCannotOpenWritesNothing)
{
    NetInfoFileWriter writer;
    EXPECT_FALSE(writer.Open("..\\outside.flimbs"));
    const Bytes tick = Record(4, 6);
    writer.WriteRecord(tick.data());
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_TRUE(writer.Close());
}

} // namespace
