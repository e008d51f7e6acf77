// Resource archives from untrusted bytes: the table is validated, every entry read,
// seeks and maps clamped.
#include "FuzzHome.h"
#include "app/ResourceFileManager.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResourceFileManager archive(data, size);
    if (!archive.IsValid())
        return 0;
    NameIndex index;
    archive.IndexNames(&index, 1, nullptr);
    std::vector<uint8_t> buffer(256);
    for (const std::string& name : index.Names()) {
        const int handle = archive.Open(name);
        if (!handle)
            continue;
        volatile uint32_t sum = archive.GetCrc(handle);
        while (size_t got = archive.Read(handle, buffer.data(), buffer.size()))
            for (size_t i = 0; i < got; ++i)
                sum = sum + buffer[i];
        archive.Seek(handle, -7, 2);
        archive.Seek(handle, 1 << 30, 1);
        const uint64_t length = archive.GetSize(handle);
        const int map = archive.Map(handle, length / 2, length);
        if (const uint8_t* bytes = archive.GetMapData(map))
            for (uint64_t i = 0; i < archive.GetMapSize(map); ++i)
                sum = sum + bytes[i];
        archive.Close(handle);
    }
    return 0;
}
