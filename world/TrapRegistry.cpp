#include "world/TrapRegistry.h"

#include "game/GameHooks.h"
#include "traps/Trap.h"
#include "world/TrapKinds.h"
#include "world/ViewServices.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

TrapRegistries& Registries()
{
    return World().traps;
}

// Removes the first entry whose trap has that id.
void EraseFirstWithId(std::vector<Trap*>& list, uint32_t id)
{
    auto it = std::find_if(list.begin(), list.end(), [id](const Trap* t) { return t->id == id; });
    if (it != list.end())
        list.erase(it);
}

uint32_t LargestTrapId()
{
    uint32_t largest = 0;
    for (const auto& trap : Registries().all)
        largest = std::max(largest, trap->id);
    return largest;
}

template <typename Call>
void ForEveryTrap(Call call)
{
    // A copy: a trap may register or unregister traps from inside the call.
    std::vector<Trap*> traps;
    traps.reserve(Registries().all.size());
    for (const auto& trap : Registries().all)
        traps.push_back(trap.get());
    for (Trap* trap : traps)
        call(*trap);
}

void DestroyQueuedTraps()
{
    TrapRegistries& registries = Registries();
    // Queue order; traps queued while the dying are told of go in the same pass, after them.
    while (!registries.pendingDeletions.empty()) {
        Trap* dying = registries.pendingDeletions.front();
        for (int32_t kind = 0; kind < kTrapKindCount; ++kind) {
            if (!KindTraits(kind).notified_of_removal)
                continue;
            for (Trap* listener : std::vector<Trap*>(registries.byKind[static_cast<size_t>(kind)]))
                listener->ForgetTrap(dying);
        }
        // Unregistering takes it off the queue; a trap no registry owns is not ours to destroy.
        std::unique_ptr<Trap> owned = UnregisterTrap(dying);
        if (!registries.pendingDeletions.empty() && registries.pendingDeletions.front() == dying) {
            registries.pendingDeletions.erase(registries.pendingDeletions.begin());
            registries.pendingDeletionIds.erase(dying->id);
        }
    }
    registries.pendingDeletionIds.clear();
}

} // namespace

void RegisterTrap(std::unique_ptr<Trap> owned)
{
    if (!owned)
        return;
    TrapRegistries& registries = Registries();
    Trap* trap = owned.get();
    registries.all.push_back(std::move(owned));
    registries.byId[trap->id] = trap;
    if (trap->kind >= 0 && trap->kind < kTrapKindCount)
        registries.byKind[static_cast<size_t>(trap->kind)].push_back(trap);
    trap->registration = registries.registrationCounter++;
    registries.drawListDirty = true;
}

Trap* FindTrapById(int32_t id)
{
    const auto& byId = Registries().byId;
    auto it = byId.find(static_cast<uint32_t>(id));
    return it == byId.end() ? nullptr : it->second;
}

std::vector<Trap*> GetTrapsOfKind(uint32_t kind)
{
    if (kind >= static_cast<uint32_t>(kTrapKindCount))
        return {};
    return Registries().byKind[kind];
}

Trap* FindParticleTrap(const Flimb* carrier)
{
    if (!carrier)
        return nullptr;
    for (Trap* trap : Registries().byKind[kTrapParticle])
        if (trap->CarriesFlimb(carrier))
            return trap;
    return nullptr;
}

void QueueTrapDeletion(Trap* trap)
{
    if (!trap)
        return;
    trap->alive = 0;
    TrapRegistries& registries = Registries();
    if (registries.pendingDeletionIds.insert(trap->id).second)
        registries.pendingDeletions.push_back(trap);
}

void QueueTrapActivation(Trap* target, Flimb* by)
{
    if (target)
        Registries().pendingActivations.emplace_back(target, by);
}

std::unique_ptr<Trap> UnregisterTrap(Trap* trap)
{
    if (!trap)
        return nullptr;
    TrapRegistries& registries = Registries();
    auto byId = registries.byId.find(trap->id);
    if (byId != registries.byId.end() && byId->second == trap)
        registries.byId.erase(byId);
    std::unique_ptr<Trap> owned;
    auto it = std::find_if(registries.all.begin(), registries.all.end(),
                           [trap](const std::unique_ptr<Trap>& t) { return t.get() == trap; });
    if (it != registries.all.end()) {
        owned = std::move(*it);
        registries.all.erase(it);
    }
    if (trap->kind >= 0 && trap->kind < kTrapKindCount)
        EraseFirstWithId(registries.byKind[static_cast<size_t>(trap->kind)], trap->id);
    EraseFirstWithId(registries.drawList, trap->id);
    registries.drawMap.erase(trap->id);
    std::erase_if(registries.pendingActivations, [trap](const auto& pending) { return pending.first == trap; });
    // A trap taken out while queued for deletion is no longer the queue's to destroy.
    if (std::erase(registries.pendingDeletions, trap))
        registries.pendingDeletionIds.erase(trap->id);
    return owned;
}

void DeleteAllTraps()
{
    TrapRegistries& registries = Registries();
    // Destroyed in list order; the lists are emptied before any destructor could look.
    std::vector<std::unique_ptr<Trap>> dying = std::move(registries.all);
    registries.all.clear();
    registries.byId.clear();
    for (auto& list : registries.byKind)
        list.clear();
    registries.pendingActivations.clear();
    registries.drawList.clear();
    registries.drawMap.clear();
    registries.pendingDeletions.clear();
    registries.pendingDeletionIds.clear();
    for (auto& trap : dying)
        trap.reset();
    FreeSavedTraps();
    ResetNextTrapId();
    registries.highlightedTrapId = -1;
}

void SnapshotTraps(bool keep)
{
    FreeSavedTraps();
    TrapRegistries& registries = Registries();
    registries.snapshotTaken = keep;
    if (!keep)
        return;
    ForEveryTrap([&registries](Trap& trap) {
        std::unique_ptr<Trap> copy = trap.Duplicate();
        if (!copy)
            return;
        copy->id = trap.id;
        if (copy->kind == kTrapAnnotation)
            if (Primitive* annotation = copy->GuiPart())
                AddLandscapeChild(annotation);
        registries.saved.push_back(std::move(copy));
    });
}

void FreeSavedTraps()
{
    std::vector<std::unique_ptr<Trap>> saved = std::move(Registries().saved);
    Registries().saved.clear();
}

void ResetNextTrapId()
{
    Registries().nextTrapId = LargestTrapId() + 1;
}

bool AnyTraps()
{
    return !Registries().all.empty();
}

void NotifyTrapsFlimbRemoved(Flimb* flimb)
{
    ForEveryTrap([flimb](Trap& trap) { trap.ForgetObject(flimb); });
}

void NotifyTrapsFlimbExploded(Flimb* flimb)
{
    ForEveryTrap([flimb](Trap& trap) { trap.OnFlimbExploded(flimb); });
}

void RunTrapsAfterLevelLoad()
{
    ForEveryTrap([](Trap& trap) { trap.OnLevelLoaded(); });
}

void StampTrapsIntoLand()
{
    ForEveryTrap([](Trap& trap) { trap.StampLand(); });
    ClearLandscapePrimitives();
}

void ResendHoverTrapStates()
{
    for (Trap* trap : GetTrapsOfKind(kTrapHover))
        if (trap->TakeMotionForResend())
            SendTrapState(*trap, 0, -1);
}

bool HasGroupFrozenFlimbTrap(uint8_t group)
{
    for (Trap* trap : Registries().byKind[kTrapFrozenFlimb])
        if (trap->HoldsFlimbOfGroup(group))
            return true;
    return false;
}

void UpdateTraps()
{
    if (!AnyTraps())
        return;
    ScopedGameView view;
    TrapRegistries& registries = Registries();
    for (int32_t kind = 0; kind < kTrapKindCount; ++kind) {
        if (!KindTraits(kind).updated)
            continue;
        auto& pass = registries.passFlags[static_cast<size_t>(kind)];
        pass[1] = pass[0] ? 0 : 1;
        // The next entry is taken before the trap runs; the trap may queue but not register
        // or unregister traps of this kind.
        const std::vector<Trap*>& list = registries.byKind[static_cast<size_t>(kind)];
        for (size_t i = 0; i < list.size(); ++i) {
            Trap* trap = list[i];
            if (trap->alive)
                trap->Update();
            else
                QueueTrapDeletion(trap);
        }
    }
    DestroyQueuedTraps();
    DeliverQueuedActivations();
}

void DeliverQueuedActivations()
{
    std::vector<std::pair<Trap*, Flimb*>> activations = std::move(Registries().pendingActivations);
    Registries().pendingActivations.clear();
    for (const auto& [target, by] : activations)
        target->Activate(by);
}

void TestFlimbAgainstTraps(Flimb* flimb)
{
    if (!AnyTraps() || !flimb)
        return;
    TrapRegistries& registries = Registries();
    for (int32_t kind = 0; kind < kTrapKindCount; ++kind) {
        if (!KindTraits(kind).contact)
            continue;
        for (Trap* trap : std::vector<Trap*>(registries.byKind[static_cast<size_t>(kind)])) {
            if (!trap->alive)
                continue;
            if (trap->TestContact(flimb, 1, false, 0, 0, nullptr))
                trap->OnFlimbContact(flimb);
        }
    }
}
