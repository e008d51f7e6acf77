#pragma once
// UUIDs: 16 bytes and their 36-character text form ("xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx",
// lower-case hexadecimal, bytes in their stored order), on libuuid.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

using UuidBytes = std::array<uint8_t, 16>;

// A new random UUID.
UuidBytes NewUuid();
// The 36-character lower-case text of 16 bytes.
std::string UuidToString(const UuidBytes& uuid);
std::string UuidToString(const uint8_t* bytes16);
// Parses the 36-character text (either case); false, with `uuid` untouched, for anything else.
bool UuidFromString(std::string_view text, UuidBytes& uuid);
