// Playback files: the reader on the input stored raw and gzip-compressed, the whole-file check
// that checkpoints and solutions pass before they are played, then the load of the same file
// into the playback slots (its refusals are exceptions).
//
// Input: the file's content after the 12-byte header (the header is written by the harness
// unless the first byte is 0xFF, when the input is the whole file).
#include "FuzzHome.h"
#include "app/GameException.h"
#include "app/UserFolders.h"
#include "session/NetInfoFile.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/RecordingCheck.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

const char* const kRaw = "Cache\\Log\\fuzz_raw.flimbs";
const char* const kPacked = "Cache\\Log\\fuzz_packed.flimbs";

void Write(const char* gamePath, const std::vector<uint8_t>& bytes, bool gzip)
{
    const std::string host = GetUserPath(gamePath);
    if (gzip) {
        gzFile file = gzopen(host.c_str(), "wb");
        if (!file)
            return;
        if (!bytes.empty())
            gzwrite(file, bytes.data(), unsigned(bytes.size()));
        gzclose(file);
        return;
    }
    if (std::FILE* file = std::fopen(host.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

void ReadAll(const char* path)
{
    NetInfoFileReader reader(65535);
    if (!reader.Open(path))
        return;
    while (const uint8_t* record = reader.ReadRecord()) {
        const size_t length = size_t(record[2] | record[3] << 8);
        if (length < 6)
            __builtin_trap();
        volatile uint8_t last = record[length - 1];
        (void)last;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    DiscardLog();
    std::filesystem::create_directories(GetUserPath("Cache\\Log"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file;
    if (size > 0 && data[0] == 0xFF) {
        file.assign(data + 1, data + size);
    } else {
        file = {0x09, 0xE5, 0x04, 0xC7, 124, 0, 0, 0, 0, 0, 0, 0};
        file.insert(file.end(), data, data + size);
    }
    Write(kRaw, file, false);
    Write(kPacked, file, true);
    ReadAll(kRaw);
    ReadAll(kPacked);
    for (const char* path : {kRaw, kPacked}) {
        const RecordingCheck check = CheckRecordingOfLevel(path, "s_dm_sunset_ridge");
        if (check.ok == !check.error.empty())
            __builtin_trap();
        try {
            GameClient::LoadPlayback(path);
        } catch (const GameException&) {
        }
        GameClient::ClearPlaybackSlots();
    }
    return 0;
}
