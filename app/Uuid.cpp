#include "app/Uuid.h"

#include <cstring>
#include <uuid/uuid.h>

UuidBytes NewUuid()
{
    uuid_t made;
    uuid_generate_random(made);
    UuidBytes result{};
    std::memcpy(result.data(), made, result.size());
    return result;
}

std::string UuidToString(const uint8_t* bytes16)
{
    uuid_t value;
    std::memcpy(value, bytes16, sizeof value);
    char text[37] = {};
    uuid_unparse_lower(value, text);
    return text;
}

std::string UuidToString(const UuidBytes& uuid) { return UuidToString(uuid.data()); }

bool UuidFromString(std::string_view text, UuidBytes& uuid)
{
    if (text.size() != 36)
        return false;
    char copy[37] = {};
    std::memcpy(copy, text.data(), 36);
    uuid_t parsed;
    if (uuid_parse(copy, parsed) != 0)
        return false;
    std::memcpy(uuid.data(), parsed, uuid.size());
    return true;
}
