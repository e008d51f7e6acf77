#pragma once
// The level loader's readers, one per section, and the preview's drawing. Each throws a
// GameException text on a fatal fault; the loader catches and logs it.
#include "game/LevelLoader.h"

typedef struct _xmlNode xmlNode;
class MapPrimitive;

// The globals read when a level is opened (title, size, kind, game mode ...).
void ReadLevelGlobals(LevelLoader& loader, xmlNode* globals, xmlNode* defaults);
// The globals applied when the level is read (the editor's fields, boundaries, landscape).
void ApplyLevelGlobals(LevelLoader& loader, xmlNode* root, xmlNode* defaultsRoot);
void ReadPreFlimbs(LevelLoader& loader, xmlNode* section, xmlNode* defaults, int32_t universe);
void ReadLevelGroups(LevelLoader& loader, xmlNode* section, xmlNode* defaults, xmlNode* defaultsRoot,
                     int32_t universe);
void ReadLevelTraps(LevelLoader& loader, xmlNode* section, xmlNode* defaults, int32_t universe);
void ReadLevelPrimitives(LevelLoader& loader, xmlNode* section, xmlNode* defaults, int32_t universe);
// Points the links of the traps of a later universe at the copies in that universe.
void RelinkUniverse(LevelLoader& loader);
// Mode 0: works out which groups a player may take.
void DeriveGroupAvailability(LevelLoader& loader);

// Stamps a primitive into a landscape at (its position + offset) x scale, its size times
// scale (stamping mode 2 for primitives a ModifyLand trap refers to, else 3; in a preview a
// blend of 1 becomes 32).
void StampLevelPrimitive(Landscape& landscape, const MapPrimitive& primitive, float scale, int32_t offsetX,
                         int32_t offsetY, bool preview);
// Preview drawing: the sky trap's image tiled over the surface, the layered traps stamped
// into the private landscape, the flimbs at their first frame and the landscape over it.
void DrawPreviewSky(LevelLoader& loader);
void StampPreviewTraps(LevelLoader& loader, bool zorderSet);
void FinishPreview(LevelLoader& loader);
