#include "world/PrimitiveCache.h"

#include "app/StringUtil.h"

#include <utility>

const BashMask* PrimitiveCache::Find(const std::map<std::string, BashMaskPtr>& map, const std::string& key)
{
    const auto found = map.find(key);
    return found == map.end() ? nullptr : found->second.get();
}

const BashMask* PrimitiveCache::Add(std::map<std::string, BashMaskPtr>& map, const std::string& key,
                                    BashMaskPtr entry)
{
    if (!entry)
        return nullptr;
    return map.try_emplace(key, std::move(entry)).first->second.get();
}

const BashMask* PrimitiveCache::FindImage(const std::string& key) const
{
    return Find(images_, key);
}

const BashMask* PrimitiveCache::FindMask(const std::string& key) const
{
    return Find(masks_, key);
}

const BashMask* PrimitiveCache::AddImage(const std::string& key, BashMaskPtr image)
{
    return Add(images_, key, std::move(image));
}

const BashMask* PrimitiveCache::AddMask(const std::string& key, BashMaskPtr mask)
{
    return Add(masks_, key, std::move(mask));
}

void PrimitiveCache::Clear()
{
    images_.clear();
    masks_.clear();
}

bool IsPrimitiveNameAllowed(const std::string& name)
{
    if (name.empty() || name.find('\0') != std::string::npos || name.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    bool first = true;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = name.size();
        const std::string part = name.substr(start, end - start);
        if (first ? ToLowerAscii(part) != "graphics" : part == ".." || part.empty())
            return false;
        if (end == name.size())
            return !first;
        first = false;
        start = end + 1;
    }
    return false;
}
