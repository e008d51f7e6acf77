#pragma once
// How the level readers walk a level document: the elements of a section and a few typed
// reads of its values.
#include <cstdint>
#include <vector>

typedef struct _xmlNode xmlNode;

// The elements of a section named `name`: the first is found by a depth-first search of
// the section's content that ignores case and never leaves the section. After it come its
// later siblings named exactly so; for "flimb", the next sibling when it is named so
// (ignoring case), else the next one the same search finds from the next sibling on.
std::vector<xmlNode*> LevelSectionElements(xmlNode* section, const char* name);
// The first element named so (ignoring case) inside the section, or null.
xmlNode* FindInsideSection(xmlNode* section, const char* name);

// The child's text read as atoi reads it; `fallback` when the child is missing or the
// number is beyond 32 bits (with a log line).
int32_t LevelChildInt(xmlNode* node, const char* name, int32_t fallback);
// The game-mode index of a level's globals: "gametype" when present, else "gamemode";
// no text gives the first mode; an unknown name gives 0.
int32_t LevelGameModeIndex(xmlNode* globals);
// The action counts' element names, in order: "Clob" ... "Walk".
const char* LevelActionName(int index);
