#pragma once
// The playback file (".flimbs"): a gzip stream (or the same content stored raw) holding a
// 12-byte header (u32 magic 0xC704E509, u32 124, u32 0) and then network command records
// back to back, each a verbatim copy of its length. Appending adds a further gzip member
// that continues the one stream. Uses nothing above app/.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class GzipFile;

constexpr uint32_t kPlaybackMagic = 0xC704E509u;
constexpr uint32_t kPlaybackVersionWord = 124;
constexpr size_t kPlaybackHeaderSize = 12;

class NetInfoFileReader {
public:
    // `capacity`: the buffer and the largest record (every caller uses 65535).
    explicit NetInfoFileReader(size_t capacity = 65535);
    ~NetInfoFileReader();
    NetInfoFileReader(const NetInfoFileReader&) = delete;
    NetInfoFileReader& operator=(const NetInfoFileReader&) = delete;

    // Opens a game path (plain or gzip, through the file layer); false when it cannot be
    // opened or does not start with the magic word.
    bool Open(const std::string& path);
    // The next record (at least 6 bytes, inside the buffer until the next call), or null at
    // the end of the data. A record whose length is below 6 or above the capacity ends the
    // reading and marks the file damaged.
    const uint8_t* ReadRecord();
    void Close();

    bool IsOpen() const { return file_ != nullptr; }
    // Records with id 4 (one game update each) returned so far.
    uint32_t UpdateCount() const { return updateCount_; }
    // Set when the reading stopped at a record that cannot be one.
    bool Damaged() const { return damaged_; }
    // Set when the data ended inside a record (a file cut short): the records before it were
    // returned whole; CutAt is the byte of the content (header included) where the cut record
    // begins.
    bool CutShort() const { return cut_; }
    uint64_t CutAt() const { return kPlaybackHeaderSize + consumed_; }

private:
    std::unique_ptr<GzipFile> file_;
    size_t readPosition_ = 0;
    size_t dataEnd_ = 0;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t capacity_;
    uint32_t updateCount_ = 0;
    uint64_t consumed_ = 0; // bytes of the records returned so far
    bool damaged_ = false;
    bool cut_ = false;
};

class NetInfoFileWriter {
public:
    NetInfoFileWriter();
    ~NetInfoFileWriter();
    NetInfoFileWriter(const NetInfoFileWriter&) = delete;
    NetInfoFileWriter& operator=(const NetInfoFileWriter&) = delete;

    // append false: creates the file ("wb", replacing the old one only once the new one is
    // closed whole) and writes the header; append true: opens it to add records ("ab"),
    // writing no header. False when the file could not be opened.
    bool Open(const std::string& path, bool append = false);
    // Writes the record's first `length` bytes (its u16 at byte 2); nothing while suspended
    // or not open.
    void WriteRecord(const void* record);
    // Closes (flushes) the file; false when the save failed.
    bool Close();
    bool IsOpen() const;

    bool compressed = true;
    bool suspended = false;

private:
    std::unique_ptr<GzipFile> file_;
};
