#pragma once
// The number of flimb groups a level can have; the world state and the match rules share it.
constexpr int kGroupCount = 8;
