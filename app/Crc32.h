#pragma once
// CRC-32 (the zlib/PNG polynomial), as stored in the resource archive and level records.

#include <cstddef>
#include <cstdint>

// Continues `crc` (0 to start) over the bytes.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);
