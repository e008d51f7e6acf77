#include "traps/ModifyLandPrimStore.h"

#include "app/SimMath.h"
#include "levelmodel/MapPrimitive.h"
#include "media/AnimSurface.h"
#include "world/PrimitiveCache.h"

#include <map>

namespace {

// Keyed by object id; a map keeps a fixed order.
std::map<uint32_t, ModifiedPrimitivePtr>& Store()
{
    static std::map<uint32_t, ModifiedPrimitivePtr> store;
    return store;
}

} // namespace

ModifiedPrimitive::ModifiedPrimitive(std::unique_ptr<MapPrimitive> placed) : prim(std::move(placed)) {}

ModifiedPrimitive::~ModifiedPrimitive() = default;

uint32_t ModifiedPrimitive::Id() const
{
    return prim ? prim->id : 0;
}

int32_t ModifiedPrimitive::ImageWidth() const
{
    const AnimSurface* image = prim ? prim->Image() : nullptr;
    return image ? image->imageWidth : 0;
}

int32_t ModifiedPrimitive::ImageHeight() const
{
    const AnimSurface* image = prim ? prim->Image() : nullptr;
    return image ? image->imageHeight : 0;
}

int32_t ModifiedPrimitive::CentreX() const
{
    return prim ? RoundToInt(prim->posX) : 0;
}

int32_t ModifiedPrimitive::CentreY() const
{
    return prim ? RoundToInt(prim->posY) : 0;
}

namespace ModifyLandPrimStore {

bool Add(const ModifiedPrimitivePtr& primitive)
{
    if (!primitive || !primitive->prim)
        return false;
    auto& store = Store();
    if (store.count(primitive->Id()))
        return false;
    MapPrimitive& prim = *primitive->prim;
    if (!prim.Image() && IsPrimitiveNameAllowed(prim.fileName))
        prim.SetImage(prim.fileName);
    store.emplace(primitive->Id(), primitive);
    return true;
}

ModifiedPrimitivePtr Find(uint32_t objectId)
{
    auto& store = Store();
    const auto found = store.find(objectId);
    return found == store.end() ? nullptr : found->second;
}

void Clear()
{
    Store().clear();
}

size_t Count()
{
    return Store().size();
}

} // namespace ModifyLandPrimStore
