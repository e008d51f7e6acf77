#pragma once
// Files sent as FILEDATA records: splitting a file into chunks of at most 1024 bytes, and
// putting received chunks back together with every chunk checked. Uses nothing above app/.
#include "session/NetCommand.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr uint32_t kFileKindLevel = 0;
constexpr uint32_t kFileKindAvatar = 1;

// The records of a file: each carries the name, the total size, the kind, the owner and the
// next at most 1024 bytes with their count; the first has the first-chunk flag, the one whose
// running total reaches the size the last-chunk flag. An empty file gives no record.
std::vector<NetRecord> MakeFileChunks(std::string_view name, const uint8_t* data, size_t size, uint32_t kind,
                                      uint32_t owner);
// A request for the named file: first-chunk and request flags, no data.
NetRecord MakeFileRequest(std::string_view name, uint32_t kind);

// The plain file name of a name from the network: the part after the last '\' or '/';
// empty for names that are no file name ("", ".", "..").
std::string PlainFileName(std::string_view name);

// One incoming file. A transfer starts with a first chunk; each following chunk must name
// the same file and kind and stay inside the announced total; the last chunk completes it.
class FileAssembly {
public:
    // Files larger than this are refused.
    static constexpr uint32_t kMaxTotal = 32u * 1024u * 1024u;

    enum class Step { Taken, Complete, Refused };

    // Feeds one validated FILEDATA record (not a request). Refused chunks are logged with
    // `who` and end the transfer under way.
    Step Add(const uint8_t* record, const char* who = "peer");
    void Reset();
    bool InProgress() const { return active_; }

    // The finished file (after Complete): its plain name, kind, owner and bytes.
    const std::string& Name() const { return name_; }
    uint32_t Kind() const { return kind_; }
    uint32_t Owner() const { return owner_; }
    const std::vector<uint8_t>& Data() const { return data_; }

private:
    Step Refuse(const char* who, const char* why);

    bool active_ = false;
    std::string name_;
    uint32_t kind_ = 0;
    uint32_t owner_ = 0;
    uint32_t total_ = 0;
    std::vector<uint8_t> data_;
};
