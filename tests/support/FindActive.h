#pragma once
// The first active primitive of type T at or below `root`, depth first.
#include "gui/Container.h"
#include "gui/Primitive.h"

template <class T>
T* FindActiveUnder(Primitive* root)
{
    if (!root || !root->active)
        return nullptr;
    if (auto* hit = dynamic_cast<T*>(root))
        return hit;
    if (auto* container = dynamic_cast<Container<Primitive>*>(root))
        for (Primitive* child : container->Children())
            if (T* hit = FindActiveUnder<T>(child))
                return hit;
    return nullptr;
}
