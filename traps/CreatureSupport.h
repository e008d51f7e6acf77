#pragma once
// What the creature and collectible kinds share: the group settings they read from files and
// panels, the group picker, and taking a flimb out of play the way a trap kills it.
#include <cstdint>
#include <string>

class LayoutPanel;
struct Flimb;

// A group read from a file or a trap-state blob: 0..7 as they are, 255 where the kind allows
// "any group"; any other value is logged ("WARNING: <kind> trap <id> has group <n>; taken as
// 0") and taken as 0.
uint8_t CheckedTrapGroup(int32_t value, bool anyAllowed, const char* kindName, uint32_t trapId);

// A choice of the groups 0..7 and, with anyAllowed, "Any" (255).
void AddGroupPicker(LayoutPanel& panel, const std::string& label, const char* key, int32_t group, bool anyAllowed,
                    const std::string& tip = std::string());
// The picked group (255 for "Any"); false when the user did not change the picker.
bool ReadGroupPicker(const LayoutPanel& panel, const char* key, int32_t& group);

// The flimb leaves play the way a trap kills it: its in-world and alive bits cleared, so that
// no query of this update finds it again; the world frees the record at its next update.
void ClearInWorld(Flimb& flimb);

// Draws a frame of a sheet at a world point through the game view (its zoom and turn), as
// the base draws the trap's sprite: `how` gives the frame, the scale and turn in the world,
// the colour and alpha. With signedAdd the colour is an additive tint (0x808080 neutral),
// else a modulating colour. Nothing without a sheet.
struct SheetDraw;
class AnimSurface;
void DrawSheetInWorld(AnimSurface* sheet, float worldX, float worldY, const SheetDraw& how, bool signedAdd);
