#include "traps/TrapFactory.h"

#include "traps/StandInTrap.h"
#include "world/TrapKinds.h"

#include <array>
#include <cstring>

namespace {

std::array<TrapMaker, kTrapKindTableSize>& Makers()
{
    static std::array<TrapMaker, kTrapKindTableSize> makers{};
    return makers;
}

} // namespace

bool IsMakeableTrapKind(int32_t kind)
{
    return kind >= 1 && kind <= 54 && kind != 16 && kind != 30 && kind != 44;
}

bool RegisterTrapKind(int32_t kind, TrapMaker maker)
{
    if (!IsMakeableTrapKind(kind) || !maker)
        return false;
    Makers()[static_cast<size_t>(kind)] = maker;
    return true;
}

void UnregisterTrapKind(int32_t kind)
{
    if (kind >= 0 && kind < kTrapKindTableSize)
        Makers()[static_cast<size_t>(kind)] = nullptr;
}

bool IsTrapKindRegistered(int32_t kind)
{
    return IsMakeableTrapKind(kind) && Makers()[static_cast<size_t>(kind)] != nullptr;
}

std::unique_ptr<Trap> Trap::Create(int32_t kind)
{
    if (!IsMakeableTrapKind(kind))
        return nullptr;
    const TrapMaker maker = Makers()[static_cast<size_t>(kind)];
    std::unique_ptr<Trap> trap = maker ? maker() : std::make_unique<StandInTrap>(kind);
    if (!trap || trap->kind != kind)
        return nullptr;
    trap->LoadGraphics();
    return trap;
}

int32_t Trap::KindFromName(const char* name)
{
    if (!name)
        return kTrapKindTableSize;
    if (std::strcmp(name, "BallCrawl") == 0)
        return 18;
    for (int32_t kind = 0; kind < kTrapKindTableSize; ++kind)
        if (std::strcmp(TrapTypeName(kind), name) == 0)
            return kind;
    return kTrapKindTableSize;
}
