#include "session/FileTransfer.h"

#include "app/Log.h"

#include <algorithm>
#include <cstring>

using namespace netfield;

std::vector<NetRecord> MakeFileChunks(std::string_view name, const uint8_t* data, size_t size, uint32_t kind,
                                      uint32_t owner)
{
    std::vector<NetRecord> chunks;
    size_t sent = 0;
    while (sent < size) {
        const size_t count = std::min<size_t>(kFileChunk, size - sent);
        NetRecord r(kCmdFileData, NetCommandTable[kCmdFileData].size);
        r.Text(kFileName, kFileNameBytes, name).U32(kFileTotal, static_cast<uint32_t>(size));
        std::memcpy(r.data() + kFileData, data + sent, count);
        r.U32(kFileCount, static_cast<uint32_t>(count)).U32(kFileKind, kind).U32(kFileOwner, owner);
        r.U8(kFileFirst, sent == 0 ? 1 : 0);
        sent += count;
        r.U8(kFileLast, sent >= size ? 1 : 0);
        chunks.push_back(std::move(r));
    }
    return chunks;
}

NetRecord MakeFileRequest(std::string_view name, uint32_t kind)
{
    NetRecord r(kCmdFileData, NetCommandTable[kCmdFileData].size);
    r.Text(kFileName, kFileNameBytes, name).U8(kFileFirst, 1).U32(kFileKind, kind).U8(kFileRequest, 1);
    return r;
}

std::string PlainFileName(std::string_view name)
{
    const size_t cut = name.find_last_of("\\/");
    std::string plain(cut == std::string_view::npos ? name : name.substr(cut + 1));
    if (plain.empty() || plain == "." || plain == "..")
        return {};
    return plain;
}

void FileAssembly::Reset()
{
    active_ = false;
    name_.clear();
    data_.clear();
    total_ = 0;
}

FileAssembly::Step FileAssembly::Refuse(const char* who, const char* why)
{
    WriteLog("FILEDATA from %s refused: %s\n", who, why);
    Reset();
    return Step::Refused;
}

FileAssembly::Step FileAssembly::Add(const uint8_t* r, const char* who)
{
    const std::string name = PlainFileName(GetText(r, kFileName, kFileNameBytes));
    const uint32_t total = GetU32(r, kFileTotal);
    const uint32_t count = GetU32(r, kFileCount);
    const uint32_t kind = GetU32(r, kFileKind);
    if (count > kFileChunk)
        return Refuse(who, "chunk too large");
    if (r[kFileFirst]) {
        if (name.empty())
            return Refuse(who, "no file name");
        if (total == 0 || total > kMaxTotal)
            return Refuse(who, "bad file size");
        Reset();
        active_ = true;
        name_ = name;
        kind_ = kind;
        owner_ = GetU32(r, kFileOwner);
        total_ = total;
        data_.reserve(total);
    } else if (!active_) {
        return Refuse(who, "chunk without a first chunk");
    } else if (name != name_ || kind != kind_ || total != total_) {
        return Refuse(who, "chunk of another file");
    }
    if (data_.size() + count > total_)
        return Refuse(who, "more data than announced");
    data_.insert(data_.end(), r + kFileData, r + kFileData + count);
    if (!r[kFileLast])
        return Step::Taken;
    if (data_.size() != total_)
        return Refuse(who, "file incomplete at its last chunk");
    active_ = false;
    return Step::Complete;
}
