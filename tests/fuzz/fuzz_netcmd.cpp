// Network command records from a peer: the validator, the stamp rule and the FILEDATA
// assembly, over a stream of records laid back to back (each taken by its own length field,
// copied into a buffer of exactly the bytes that remain so that no read may pass its end).
//
// Input: bytes 0-3 the receiver's update counter; then the records.
#include "FuzzHome.h"
#include "session/FileTransfer.h"
#include "session/NetCommand.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    DiscardLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const uint32_t counter = GetU32(data, 0);
    FileAssembly assembly;
    size_t at = 4;
    while (at < size) {
        const size_t rest = size - at;
        std::vector<uint8_t> record(data + at, data + size);
        const RecordFault fault = ValidateRecord(record.data(), record.size());
        const size_t length = rest >= 4 ? RecordLength(data + at) : rest;
        if (fault == RecordFault::None) {
            const uint32_t update = RebuildUpdateNumber(counter, record[1]);
            const int64_t distance = int64_t(update) - int64_t(counter);
            if (distance > 128 || distance < -128)
                __builtin_trap(); // every rebuilt number lies within a half block
            if (record[0] == kCmdFileData && !record[netfield::kFileRequest]) {
                const FileAssembly::Step step = assembly.Add(record.data());
                if (step == FileAssembly::Step::Complete && assembly.Data().size() > FileAssembly::kMaxTotal)
                    __builtin_trap();
                if (step == FileAssembly::Step::Complete && assembly.Name().find_first_of("\\/") != std::string::npos)
                    __builtin_trap();
            }
            if (record[0] == kCmdChat)
                MakeChat(GetText(record.data(), netfield::kChatText, netfield::kChatTextField), record[136], 0, 0);
            if (NetCommandTable[record[0]].variableLength)
                VariableText(record.data());
        }
        at += length >= kNetHeaderSize ? length : rest;
    }
    return 0;
}
