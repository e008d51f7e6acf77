#pragma once
// Finding flimbs of the current world by id, group, point, rectangle and segment. Each
// list query returns a new list (empty, never missing, when nothing matches).
#include "world/FlimbList.h"

#include <array>
#include <cstdint>

struct Flimb;
class WorldState;

// The first flimb in the world with that id; null for a negative id or none.
Flimb* FindFlimbById(int32_t id);
// The first alive flimb of the group.
Flimb* FindFirstFlimbOfGroup(uint8_t group);
// Alive flimbs (with includeDying also those that entered a dying type in this update)
// whose rectangle overlaps the area (touching edges do not count), of the groups the local
// player commands, or of every group in god mode or with ignoreVisibility.
FlimbList FindFlimbsInArea(bool ignoreVisibility, bool includeDying, int32_t left, int32_t top, int32_t right,
                           int32_t bottom);
// Alive flimbs whose rectangle holds the point, with the same group rule.
FlimbList FindFlimbsAtPoint(int32_t x, int32_t y, bool ignoreVisibility);
// Alive flimbs of another world at the point; group 255 takes any group.
FlimbList FindFlimbsAtPointIn(WorldState& world, int32_t x, int32_t y, uint8_t group);
// Alive flimbs whose rectangle the segment crosses or holds an end of.
FlimbList FindFlimbsCrossingSegment(float x1, float y1, float x2, float y2);
// -1 for parallel segments, 1 when they meet, 0 when they do not.
int SegmentsIntersect(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
// Marked, alive flimbs in the world of the group (255: any group).
FlimbList CollectGroupFlimbs(uint8_t group);
// Per group, the alive flimbs whose rectangle holds the world point.
void CountGroupFlimbsAtPoint(int32_t x, int32_t y, std::array<int32_t, 8>& counts);
