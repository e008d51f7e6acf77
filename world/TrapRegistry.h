#pragma once
// The trap registries of the current world and every operation on them: registration,
// look-ups, deferred deletion and activation, the notifications to all traps, and the trap
// step of the world update. Main thread only; nothing here is locked.
#include "world/FlimbList.h"

#include <cstdint>
#include <memory>
#include <vector>

class Trap;
struct Flimb;

// Hands the trap to the registries: appended to the list of all traps and to its kind's
// list, entered by id (replacing an earlier trap of that id), given the next registration
// number; the draw list is rebuilt at the next frame.
void RegisterTrap(std::unique_ptr<Trap> trap);
Trap* FindTrapById(int32_t id);
// A copy of the kind's list, safe to walk while traps are registered or queued.
std::vector<Trap*> GetTrapsOfKind(uint32_t kind);
// The first Particle trap that the flimb carries, or null.
Trap* FindParticleTrap(const Flimb* carrier);
// Clears `alive` and queues the trap (once) for destruction at the end of the next trap pass.
void QueueTrapDeletion(Trap* trap);
// The target's Activate(by) runs at the end of the current trap pass.
void QueueTrapActivation(Trap* target, Flimb* by);
// Activates the queued targets in the order queued and empties the queue (the end of the
// trap pass).
void DeliverQueuedActivations();
// Takes the trap out of every registry and gives it back to the caller (null when it was
// not registered); its pending activations and a pending deletion are dropped.
std::unique_ptr<Trap> UnregisterTrap(Trap* trap);
// Destroys every registered trap (once each, in registration order) and empties every
// registry, then the saved traps; next trap id 1, no highlighted trap.
void DeleteAllTraps();
// Keeps (with keep) a copy of every trap, in registration order, with the source's id.
void SnapshotTraps(bool keep);
void FreeSavedTraps();
// Next trap id = 1 + the largest registered id (1 when there are none).
void ResetNextTrapId();
// True when any trap is registered.
bool AnyTraps();

// Notifications to every registered trap, alive or not, in registration order.
void NotifyTrapsFlimbRemoved(Flimb* flimb);
void NotifyTrapsFlimbExploded(Flimb* flimb);
void RunTrapsAfterLevelLoad();
// Every trap's StampLand; the landscape then drops its primitives.
void StampTrapsIntoLand();

// Every moving Hover trap sends its state to the game server again.
void ResendHoverTrapStates();
// True when a FrozenFlimb trap holds a flimb of the group.
bool HasGroupFrozenFlimbTrap(uint8_t group);

// The trap step of the world update: every alive trap of every updated kind (kind by kind,
// each list front to back); the dead ones are queued, then, in queue order, told to the
// listening kinds, unregistered and destroyed; last the activations queued before this step
// ended run in queue order (those they queue wait for the next pass). Nothing at all
// happens while no trap exists.
void UpdateTraps();
// The Quantum Time preview's contact walk: every alive trap of the contact kinds tests the
// flimb; on contact the trap's OnFlimbContact runs.
void TestFlimbAgainstTraps(Flimb* flimb);
