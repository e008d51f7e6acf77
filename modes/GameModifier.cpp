#include "modes/GameModifier.h"

#include "modes/PlayerModifiers.h"

#include <map>

namespace {
std::map<int, GameModifier::Maker>& Makers()
{
    static std::map<int, GameModifier::Maker> makers;
    return makers;
}
} // namespace

void GameModifier::RegisterMaker(int type, Maker maker)
{
    if (maker)
        Makers()[type] = std::move(maker);
    else
        Makers().erase(type);
}

std::unique_ptr<GameModifier> GameModifier::Make(int type)
{
    const auto it = Makers().find(type);
    return it == Makers().end() ? MakeBuiltInModifier(type) : it->second();
}
