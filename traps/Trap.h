#pragma once
// The base of every trap: the fields and operations the world's registries and passes use.
// Each operation does nothing here; the trap kinds replace what they need.
//
// A new trap takes its id from the current world's next trap id (which then goes up by
// one). It is not registered: whoever makes it hands it to RegisterTrap, after which the
// world owns it.
#include "platform/gfx/D3DTypes.h"
#include "world/FlimbList.h"

#include <cstdint>
#include <memory>
#include <optional>

struct Flimb;
class Primitive;
class StateHasher;

class Trap {
public:
    explicit Trap(int32_t kind);
    virtual ~Trap() = default;
    Trap(const Trap&) = delete;
    Trap& operator=(const Trap&) = delete;

    // A copy with an id of its own; null where a kind cannot be copied yet.
    virtual std::unique_ptr<Trap> Duplicate() const { return nullptr; }
    // Once per world update while alive.
    virtual void Update() {}
    // The trap's rectangle in world pixels. Without a sprite: the 32 x 32 square centred on
    // the position taken to the nearest integers.
    virtual gfx::RECT GetBounds() const;
    // Sets `activated`; `by` may be null.
    virtual void Activate(Flimb* by);
    // The flimbs touching the trap: with a flimb given, a list holding it when it touches
    // (none otherwise); without one, every flimb found. None here.
    virtual std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                                 const gfx::RECT* area);
    // The trap acts on a flimb that touches it. The Quantum Time preview calls it with its
    // copy of the selected flimb (IsPreviewFlimb): a kind then leaves its own state alone.
    virtual void OnFlimbContact(Flimb* /*flimb*/) {}

    // Drawing, within the landscape's frame draw.
    virtual void StepFrame() {}
    virtual void Draw() {}
    virtual void DrawBack() {}
    virtual void DrawExtra() {}
    virtual void ExtraPass() {}

    // Notifications.
    virtual void ForgetObject(Flimb* /*flimb*/) {}
    virtual void OnFlimbExploded(Flimb* /*flimb*/) {}
    virtual void OnLevelLoaded() {}
    virtual void StampLand() {}
    virtual void ForgetTrap(Trap* /*dying*/) {}

    // What other kinds and the world read of a few kinds (each kind answers for itself).
    // Particle trap: the id of the particle it carries, -1 for none.
    virtual int32_t ParticleId() const { return -1; }
    // Hover trap: when it is moving, clears its pending motion and answers true, so that
    // its state is sent again.
    virtual bool TakeMotionForResend() { return false; }
    // FrozenFlimb trap: true while it holds a flimb of the group.
    virtual bool HoldsFlimbOfGroup(uint8_t /*group*/) const { return false; }
    // Hover trap: true while the flimb rides it.
    virtual bool CarriesFlimb(const Flimb* /*flimb*/) const { return false; }
    // The group a Start, Exit, Camera or FrozenFlimb trap belongs to; 255 for none.
    virtual uint8_t Group() const { return 255; }
    // Exit trap: whether it takes flimbs in now.
    virtual bool IsOpen() const { return enabled != 0; }
    // Start and FrozenFlimb traps: the energy given to the flimbs they release; 0 for none.
    virtual int32_t FlimbEnergySetting() const { return 0; }
    // The GUI element of the kinds that are also one (Annotation, Blaster, Hover, GooGun).
    virtual Primitive* GuiPart() { return nullptr; }
    // Adds the kind's own simulation state to the world state hash.
    virtual void HashState(StateHasher& /*hasher*/) const {}

    uint8_t zorder = 0;
    uint8_t flimborder = 0;
    uint8_t renderUnderShadow = 0;
    uint8_t alive = 1;
    uint8_t visible = 1;
    uint8_t activated = 0;
    uint32_t registration = 0;
    float rotation = 0.0f; // degrees
    uint8_t enabled = 1;
    uint32_t id = 0;
    int32_t kind = 0;
    float x = 0.0f;
    float y = 0.0f;
};
