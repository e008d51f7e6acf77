#pragma once
// A game modifier: a power of limited use laid over the game view (statue, stun, shift).
// The game mode owns its modifiers; the HUD only shows them. The mode's options make them
// by type (modes/PlayerModifiers.h has the three kinds).
#include "gui/Primitive.h"

#include <cstdint>
#include <functional>
#include <memory>

class GameModifier : public Primitive {
public:
    static constexpr int kStatue = 0;
    static constexpr int kShift = 2;
    static constexpr int kStun = 3;

    explicit GameModifier(int type) : modifierType(type) {}

    // The operations after Primitive's, in slot order.
    virtual void Apply(int32_t flimbId) { (void)flimbId; }
    virtual bool AnswersFalse() { return false; }
    // The counts, at each match start.
    virtual void Reset() {}
    // AllModifiersReady asks every modifier.
    virtual bool IsReady() { return true; }
    // Once per game update (the mode's UpdateMessages).
    virtual void GameUpdate() {}
    // Called by the mode's NotifyModifiers.
    virtual void Notify() {}

    using Maker = std::function<std::unique_ptr<GameModifier>()>;
    // A maker registered for a type replaces the built-in kind (tests); null unregisters.
    static void RegisterMaker(int type, Maker maker);
    // A new modifier of the type: the registered maker's, else the built-in one; null for
    // a type without either.
    static std::unique_ptr<GameModifier> Make(int type);

    int32_t modifierType;
    int32_t count = 0;
    bool armed = false;
};
