#pragma once
// The flimb groups: how many a level can have (the world state and the match rules share
// it), and each group's name (in file names and messages) and colour (ARGB).
#include <array>
#include <cstdint>

constexpr int kGroupCount = 8;
constexpr std::array<const char*, kGroupCount> kGroupNames = {"blue",  "green",  "red",    "grey",
                                                              "white", "yellow", "orange", "purple"};
constexpr std::array<uint32_t, kGroupCount> kGroupColours = {0xFF8888FF, 0xFF88FF88, 0xFFFF4444, 0xFF888888,
                                                             0xFFFFFFFF, 0xFFFFFF00, 0xFFFF8800, 0xFF805CDF};
