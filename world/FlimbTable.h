#pragma once
// The flimb table of the current world: adding and taking flimbs out of play with their
// group tallies, clearing and saving the table, and commands over all its flimbs.
#include <array>
#include <cstdint>

struct Flimb;
struct GroupEntry;
class WorldState;

// Appends a fresh record set up with these values (Flimb::Setup), counts it in play and,
// unless counting is suspended, in its group's tallies. Null (and a log line) when the
// table is full.
Flimb* AddFlimb(int16_t x, int16_t y, int16_t id, uint8_t group, uint8_t type, uint8_t gravity, int32_t energy,
                uint8_t autoBehaviour, int facing);
// The same for another world, copying a whole record.
Flimb* AddFlimbTo(WorldState& world, const Flimb& record);
// Counts the flimb in its group's tallies, whether counting is suspended or not.
void AddToTallies(WorldState& world, const Flimb& flimb);
// Takes the flimb out of play (not in the world, not alive) and, unless counting is
// suspended, out of its group's tallies; the next world update frees its record.
void UncountFlimb(Flimb& flimb);
// Empties the world's flimb table and everything that hangs on it.
void ClearWorldFlimbs(WorldState& world);
// Drops the saved records' references to animations, decorations and tags.
void ForgetSavedFlimbLinks(WorldState& world);
// With keep, remembers the selection and a copy of every record in use.
void SnapshotFlimbs(bool keep);
// From the flimbs in the world: 1 + the largest id below 10000 and 1 + the largest id from
// 10000 (0 when there is none).
void ComputeNextFlimbIds();
// The health bars' full scale: 13023 in Quantum quarrel, raised to the largest flimb energy
// and the largest energy Start and FrozenFlimb traps give.
void ComputeHealthScale();
// Flimbs in the world that are not marked, over all groups.
int32_t CountUnmarkedFlimbs();
int32_t CountEnabledGroups(const std::array<GroupEntry, 8>& groups);
// The group whose flimbs' centre lies nearest to one of its own exits (the lower group on
// a tie); -1 when no group has flimbs.
int32_t FindLeadingGroup();

// Sends an update-flimb-type request with the value for every flimb in the world.
void SetGroupFlimbsFlag(uint8_t value);
// Sends the steered flimbs' selected-state request (type 255, argument 77).
void SetSelectedStateFlimbs();
// Lights the Nova fuses of the group's flimbs one after another (5, 10 ... 150, 5 ...).
void StaggerGroupFlimbs(uint8_t group);
