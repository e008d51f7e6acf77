#pragma once
// A file stream that reads plain or gzip data through `fileManager`, or writes plain or
// gzip files under the user-folder map.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class GzipFile {
public:
    GzipFile();
    ~GzipFile();
    GzipFile(const GzipFile&) = delete;
    GzipFile& operator=(const GzipFile&) = delete;

    // Read modes ("r", "rb") detect gzip data by a trial inflate of the first bytes and
    // set `compressed` from it. They read through `fileManager`; a user-folder name it does
    // not serve (or an absolute host path) is read from the disk. Other modes ("wb", "ab") write gzip when `compressed` was
    // set before, plain otherwise.
    bool Open(const char* mode, const std::string& name);
    bool IsOpen() const;
    // Bytes delivered; 0 at the end, on an inflate error, or when not open for reading.
    // Consecutive gzip members read as one stream.
    size_t Read(void* destination, size_t count);
    // Bytes written; 0 when not open for writing.
    size_t Write(const void* data, size_t count);
    // A file opened to write anew ("w", "wb") replaces its target only here, once it is
    // whole: until then, and when any write failed, the old file stays as it was (see
    // app/AtomicFile.h). Appending ("ab") writes in place. False when the save failed.
    bool Close();

    bool compressed = false;

private:
    bool OpenUserFileForReading(const std::string& name);
    size_t RawRead(void* destination, size_t count);
    void RawRewind();

    struct State;
    std::unique_ptr<State> state_;
};

// Copies a file compressing it to gzip (compress = true) or inflating a gzip file back.
// Both names go through the user-folder map. False on failure.
bool GzipFileCopy(const std::string& source, const std::string& target, bool compress);
