#include "app/Crc32.h"

#include <zlib.h>

uint32_t Crc32(const void* data, size_t size, uint32_t crc)
{
    const auto* bytes = static_cast<const Bytef*>(data);
    uLong value = crc;
    while (size > 0) {
        const uInt piece = size > (1u << 30) ? (1u << 30) : static_cast<uInt>(size);
        value = crc32(value, bytes, piece);
        bytes += piece;
        size -= piece;
    }
    return static_cast<uint32_t>(value);
}
