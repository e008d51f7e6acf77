#pragma once
// The terrain primitives that modify-land traps move, kept once per object id for the whole
// process: two traps that name the same object id move the same primitive. The store keeps
// each with its image and the run-time state of its moves (the land it covered, the mask
// flimbs stand on, and two flags). It is emptied at every level load and at shutdown; a
// trap that still holds a primitive keeps it alive until the trap goes.
#include "world/BashTypes.h"

#include <cstdint>
#include <memory>

class MapPrimitive;

struct ModifiedPrimitive {
    explicit ModifiedPrimitive(std::unique_ptr<MapPrimitive> placed);
    ~ModifiedPrimitive();
    ModifiedPrimitive(const ModifiedPrimitive&) = delete;
    ModifiedPrimitive& operator=(const ModifiedPrimitive&) = delete;

    uint32_t Id() const;
    // The image's size in pixels (0 without an image).
    int32_t ImageWidth() const;
    int32_t ImageHeight() const;
    // The centre point: the position in whole pixels.
    int32_t CentreX() const;
    int32_t CentreY() const;

    std::unique_ptr<MapPrimitive> prim;
    BashMaskPtr restoreBuffer;  // the land the last stamp covered
    BashMaskPtr platformMask;   // the image at its current scale and turn, for standing flimbs
    uint8_t restoredBefore = 0; // a stamp recorded the land it covered
    uint8_t firstBash = 1;      // no push pass has run for it yet
};

using ModifiedPrimitivePtr = std::shared_ptr<ModifiedPrimitive>;

namespace ModifyLandPrimStore {
// Enters the primitive under its object id, its image taken from the image cache (a name
// outside the game's graphics takes none); false, and nothing entered, when the id is there.
bool Add(const ModifiedPrimitivePtr& primitive);
// The primitive of the object id, or null.
ModifiedPrimitivePtr Find(uint32_t objectId);
// Drops every primitive (and its image reference once no trap holds it).
void Clear();
// The number of primitives kept (tests).
size_t Count();
} // namespace ModifyLandPrimStore
