#pragma once
// How flimbs and their decorations are drawn: "Graphics\Actions\action-sprite-spec.xml"
// (group labels, the "group-animation" sheet of every type's animations, the "select"
// marker sheet) and "Graphics\Animations\Decorations\decorations-spec.xml", both kept open
// from start-up to shutdown, with a cache of the animation surfaces loaded from them.
//
// The action-sprite spec:
//   <action-sprite-spec>
//     <group-labels><group id="0">blue</group> ...</group-labels>
//     <group-animation rootPath="Graphics\Actions\Flimbs" frameWidth="32" frameHeight="48"
//                      hotspotX="16" hotspotY="46">
//       <Walk><animation name="0" file="walk-0-{group-label}.png" frameWidth="32" .../> ...</Walk>
//       ...one element per flimb type, one animation per frame set, named by its number
//     </group-animation>
//     <select rootPath="Graphics\Animations\Select"><animation name="select" file="..."/></select>
//   </action-sprite-spec>
//
// The decorations spec: one element per decoration, each child one variant with the
// attributes type (a flimb type name, any case), version, frameWidth, frameHeight, hotspotX
// and hotspotY, and as text the image file below "Graphics\Animations\Decorations\".
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class AnimSurface;

constexpr int kFrameSetCount = 5;
constexpr int kGroupAnimationSlots = 22 * kFrameSetCount;

// The animations a decoration shows over each type and frame set (null: not loaded).
struct DecorationSet {
    std::string name;
    int version = 0;
    std::array<AnimSurface*, kGroupAnimationSlots> slots{};
};

// The per-type flags the action checks read. Bytes in this order: accepts orders, the
// second flag (the Quantum Time preview is not run for these types), final, may start
// while falling, may change into action 0..10.
struct FlimbTypeRow {
    uint8_t acceptsOrders;
    uint8_t second;
    uint8_t final;
    uint8_t whileFalling;
    uint8_t changeInto[11];
};
// The row of a type 0..21 (the start values until the spec is loaded).
const FlimbTypeRow& FlimbTypeRowOf(int type);

namespace AnimationSpec {
// LoadActionSprites. Throws GameException "Cannot load the action-sprite-spec.xml file!" or
// "Cannot load the decorations-spec.xml file!".
void Load();
// UnloadActionSprites.
void Release();
// "Graphics\Actions\halo.png", null before Load.
AnimSurface* HaloImage();
// The group's label (empty when the spec gave none).
const std::string& GroupLabel(int group);
// Animation frameSet of the type in the group's colours. Cached unless noCache; null (and
// a log line) for a group, type or frame set out of range, null when the sheet lacks it.
AnimSurface* GetGroupAnimation(int group, int type, int frameSet, bool noCache);
// The decoration's variant for the type and version, from the image cache; null when none.
AnimSurface* LoadDecoration(const std::string& name, int type, int version);
} // namespace AnimationSpec

// Start-up and shutdown of the specs (what AnimationSpec::Load and Release run).
void LoadActionSprites();
void UnloadActionSprites();

// The "select" marker of a group, loaded on first use.
AnimSurface* GetGroupSelectAnimation(int group);
// "pre-select-{group-label}.png" from "Graphics\Animations\Select", hot spot (14, 8); loaded once.
AnimSurface* GetPreSelectImage(int group);
// Replaces the first "{group-label}" (and the first "{group-color}") by the group's label.
std::string SubstituteGroupLabel(std::string text, int group);
// The decoration record of that name, made (empty) on first use.
DecorationSet* FindDecorationAnimation(const std::string& name);
// Developer tool: moves the hot spot of the selected flimb's decoration and writes it back
// into the decorations spec under the user folder.
void NudgeDecorationHotspot(int dx, int dy);
// Drops the group's cached animations; its flimbs pick theirs again.
void ReleaseGroupAnimations(int group);
// Drops every cached group animation and select marker.
void ReleaseAllGroupAnimations();

// djb2 over the characters taken as signed bytes (32-bit wrap-around).
uint32_t HashString(std::string_view text);
struct HashStringHasher {
    size_t operator()(const std::string& text) const { return HashString(text); }
};
