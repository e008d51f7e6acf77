#pragma once
// What the scripting traps share: finding a target trap by its id, rewriting target ids
// after a paste or a second universe, the frame count of a target's sprite, and the icon
// they show in the level editor.
#include "traps/Trap.h"

#include <cstdint>
#include <string>
#include <vector>

class StateHasher;

// The registered trap of that id; null when none has it (ids past the int32 range name none).
Trap* FindScriptTarget(uint32_t id);
// The id taken through the pairs in order: a pair whose old id equals it replaces it (later
// pairs see the replaced value), as Trap::RemapLinks does with links.
uint32_t RemapTrapId(uint32_t id, const std::vector<TrapIdPair>& pairs);
// A target id written in a file: its leading decimal digits modulo 2^32, 0 for none.
uint32_t ParseTrapId(const std::string& text);
// The frame count of the trap's sprite; 0 without one.
int32_t SpriteFrameCount(const Trap& trap);
// A frame number taken into 0 .. count - 1 by wrapping (0 when count is 0 or less).
int32_t WrapFrame(int64_t frame, int32_t count);
// The trap's sprite at scale 1 while the level editor is open; nothing in play.
void DrawIconInEditor(Trap& trap);
// The group of the local player's record; 255 without one.
int32_t LocalPlayerGroup();
// Adds a text (its length, then its bytes) to the world state hash.
void HashText(StateHasher& hasher, const std::string& text);
