#pragma once
// The base of every trap: what every kind shares (identity, position, rotation, scale,
// tint, draw layers, state flags, pickups, event links, the per-flimb cooldowns and the
// sprite), the common XML save and load, the contact test, the default drawing, the event
// links between traps, pickups, falling and the deep copy.
//
// Traps are made by the factory (Trap::Create, traps/TrapFactory.h) from a kind id 1..54.
// A new trap takes its id from the current world's next trap id (which then goes up by
// one). It is not registered: whoever makes it hands it to RegisterTrap, after which the
// world owns it.
#include "platform/gfx/D3DTypes.h"
#include "world/FlimbList.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

struct Flimb;
class AnimSurface;
class Button;
class LayoutPanel;
class MapObject;
class Primitive;
class StateHasher;
class Landscape;
typedef struct _xmlNode xmlNode;

// An event link: when the trap fires event `event_id` (0, 1 or 2), the trap `target_id`
// is triggered.
struct TrapLink {
    uint32_t event_id = 0;
    uint32_t target_id = 0;
    bool operator==(const TrapLink&) const = default;
};

// The level reader's load modes, handed to Trap::ResetToStart.
enum TrapLoadMode : int32_t { kLoadModeGame = 0, kLoadModeEditor = 2, kLoadModePreview = 3 };
// Trap::Load's mode word: every common group (files), or a trap-state request.
constexpr int32_t kTrapLoadAll = 127;
constexpr int32_t kTrapLoadState = 2;

// What the editor needs to relink copied traps: a placed object's id in the file it came
// from and the id it has now.
struct TrapIdPair {
    uint32_t oldId = 0;
    uint32_t newId = 0;
};

class Trap {
public:
    explicit Trap(int32_t kind);
    // Releases the sprite; the links and cooldowns go with the trap.
    virtual ~Trap();
    Trap(const Trap&) = delete;
    Trap& operator=(const Trap&) = delete;

    // ---- The factory (traps/TrapFactory.cpp) ---------------------------------------------
    // A new trap of the kind, its graphics loaded; null for 16, 30, 44 and ids outside 1..54.
    // A kind whose class has not registered itself is made as a stand-in (StandInTrap).
    static std::unique_ptr<Trap> Create(int32_t kind);
    // "BallCrawl" gives 18; otherwise the first type name equal to `name` (case-sensitive);
    // 55 when none matches.
    static int32_t KindFromName(const char* name);

    // ---- Virtual operations --------------------------------------------------------------
    // A deep copy with an id of its own: made by Create, every field copied (the kind's own
    // through CopyKindFields), fresh link records, ResetRuntime, then its own graphics.
    virtual std::unique_ptr<Trap> Duplicate() const;
    // Called on a fresh duplicate: drops what it must not share with its source.
    virtual void ResetRuntime() {}
    virtual void SetScale(float sx, float sy);
    virtual void SetRotation(float degrees) { rotation = degrees; }
    // Once per world update while alive.
    virtual void Update() {}
    // The trap's rectangle in world pixels: without a sprite the 32 x 32 square centred on
    // the position taken to the nearest integers; with one the box of the scaled frame,
    // pivoted on its hot spot, turned by the rotation and placed at the position.
    virtual gfx::RECT GetBounds() const;
    // The same box for the sprite drawn at the scale factors given (kinds that scale their
    // sprite by a setting of their own).
    gfx::RECT BoundsAtScale(float sx, float sy) const;
    // Sets `activated`; `by` may be null.
    virtual void Activate(Flimb* by);
    virtual void Deactivate();
    virtual void SetEnabled(bool on) { enabled = on ? 1 : 0; }
    // The flimbs touching the trap's rectangle (`area`, else the bounds, 10 pixels smaller on
    // every side in pickup mode). With a flimb: a list holding it when its rectangle meets
    // (or holds the point), none otherwise. Without one: the flimbs at the point or in the
    // rectangle (`filter` 1: every group).
    virtual std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                                 const gfx::RECT* area);
    // The trap acts on a flimb that touches it. The Quantum Time preview calls it with its
    // copy of the selected flimb (IsPreviewFlimb): a kind then leaves its own state alone.
    virtual void OnFlimbContact(Flimb* /*flimb*/) {}
    // Rewrites link targets: for each link, for each pair in order, a target equal to the
    // old id becomes the new id (later pairs see the changed value). dx, dy are for kinds.
    virtual void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy);

    // Drawing, within the landscape's frame draw.
    virtual void StepFrame() {}
    // The sprite's current frame at the position, tinted additively (0x808080 leaves it as
    // it is), with the pickup count while two or more are left.
    virtual void Draw();
    virtual void DrawBack() {}
    virtual void DrawExtra() {}
    virtual void ExtraPass() {}
    // Sky trap: sets the device's world matrix for the back tiles of the landscape.
    virtual void SetupWorldMatrix() {}
    // Exit: its minimap flag (on after construction); Background: its "minimap" setting.
    virtual bool ShowsOnMinimap() const { return true; }
    // Background: takes a new image (a game path; null re-fetches its own). Nothing here.
    virtual void SetImage(const char* /*name*/) {}

    // ---- The editor (traps/TrapPanel.cpp) ---------------------------------------------------
    // The links as red lines from the trap to each target found in the open editor, in
    // screen space. With a filter (a placed object) only the link to the filter's trap
    // counts, and the first one ends the walk with true. False without links, for a
    // filter that is no trap, and when no filtered link was found. `draw` clear only asks.
    virtual bool DrawEditorLinks(MapObject* filter, bool draw);
    // The property panel: titled and named with the kind's type name, carrying the trap's
    // id and kind; the link buttons of the kind's events, then the common widgets the
    // kind's switches call for. Makes this the trap being edited. Kinds add their widgets
    // after the base's; the caller finishes the panel.
    virtual std::unique_ptr<LayoutPanel> BuildEditPanel();
    // Reads back the widgets the user changed, with their limits. True (the base never
    // refuses); false without a panel.
    virtual bool ApplyEditPanel(LayoutPanel* panel);
    // The in-match settings panel (Start and Exit); none here.
    virtual std::unique_ptr<LayoutPanel> BuildSettingsPanel();
    virtual void ApplySettingsPanel(Primitive* /*changed*/) {}

    // Notifications.
    // Forgets the flimb's cooldown.
    virtual void ForgetObject(Flimb* flimb);
    virtual void OnFlimbExploded(Flimb* /*flimb*/) {}

    // Appends the common children to the trap's element (type, position, the groups the
    // kind's switches name, the links, the flags). Kinds append theirs after it.
    virtual void Save(xmlNode* node) const;
    // Reads the common children back, each from the element, else from the defaults
    // element; a value in neither throws GameException "The requested tag [%s] was not
    // found in level and in defaults". `mode` is kTrapLoadAll from files, kTrapLoadState
    // from trap-state requests; the base reads every common child either way.
    virtual void Load(xmlNode* node, xmlNode* defaults, int32_t mode);
    // Called by the level reader right after Create with its load mode.
    virtual void ResetToStart(int32_t /*loadMode*/) {}
    virtual void StampLand() {}
    // Stamps the sprite's current image into a (preview) landscape at the position times
    // `factor`, as material 5; all materials may be replaced (all but 1 and 2 with zorder).
    virtual void StampIntoLandscape(Landscape& landscape, float factor);
    virtual void OnLevelLoaded() {}
    virtual void ForgetTrap(Trap* /*dying*/) {}
    virtual void ReleaseGraphics();
    // Loads the kind's sprite from the trap specs when there is none.
    virtual void LoadGraphics();
    // Called by FireEvent on the firing trap just before the target is triggered.
    virtual void OnBeforeEvent(Trap* /*target*/, uint32_t /*eventId*/) {}

    // ---- What the level reader, the world and other kinds ask of some kinds --------------
    // Each kind answers for itself; the base gives the no-kind answer. A stand-in answers
    // from the children it keeps.
    // Hover trap: when it is moving, clears its pending motion and answers true, so that
    // its state is sent again.
    virtual bool TakeMotionForResend() { return false; }
    // FrozenFlimb trap: true while it holds a flimb of the group.
    virtual bool HoldsFlimbOfGroup(uint8_t /*group*/) const { return false; }
    // Hover trap: true while the flimb rides it. Particle trap: true while the flimb carries
    // it.
    virtual bool CarriesFlimb(const Flimb* /*flimb*/) const { return false; }
    // The group a Start, Exit, Camera or FrozenFlimb trap belongs to; 255 for none.
    virtual uint8_t Group() const { return 255; }
    // Start, Exit, FrozenFlimb: takes the group (the level reader, after loading).
    virtual void SetGroup(uint8_t /*group*/) {}
    // Start: the number of flimbs still to come (an old file's group "numflimbs"; its gauge
    // is redrawn); Copier: the copies still to come.
    virtual void SetFlimbsLeft(int32_t /*count*/) {}
    virtual int32_t FlimbsLeft() const { return 0; }
    // Start: marks the start of the second universe of a single-player Multiverse match.
    virtual void SetSecondUniverseStart(bool /*second*/) {}
    // Exit: the number of flimbs it wants (an old file's group "mustsave"), and the flimbs
    // it has taken in.
    virtual void SetFlimbsWanted(int32_t /*count*/) {}
    virtual int32_t FlimbsWanted() const { return 0; }
    virtual int32_t FlimbsTakenIn() const { return 0; }
    // Camera: moves the game view to its target at a level start. View only: it changes
    // none of the trap's own state, since every peer places its own view.
    virtual void MoveViewToTarget() {}
    // FrozenFlimb: the level reader of a game load hands the default group's first frozen
    // flimb its held flimb.
    virtual void TakeHeldFlimb() {}
    // FrozenFlimb: takes the place of a flimb an ice missile froze: the flimb's energy,
    // facing (+1 / -1) and size, the made-by-freeze flag and the freeze's two settings (a
    // timer and a state).
    virtual void TakeFrozenFlimb(int32_t /*energy*/, int32_t /*facing*/, float /*flimbSize*/, uint8_t /*frozen*/,
                                 int32_t /*timer*/, int32_t /*state*/)
    {
    }
    // Exit trap: whether it takes flimbs in now.
    virtual bool IsOpen() const { return enabled != 0; }
    // Exit trap: the flimbs it took in (FlimbsWanted above: the number it wants).
    virtual int32_t SavedCount() const { return 0; }
    // Start and FrozenFlimb traps: the energy given to the flimbs they release; 0 for none.
    virtual int32_t FlimbEnergySetting() const { return 0; }
    // Sky trap: the image tiled behind a level preview and its tint; null for none.
    virtual AnimSurface* SkyImage() const { return nullptr; }
    // The GUI element of the kinds that are also one (Annotation, Blaster, Hover, GooGun).
    virtual Primitive* GuiPart() { return nullptr; }
    // Adds the kind's own simulation state to the world state hash (after the common
    // fields, HashCommonState).
    virtual void HashState(StateHasher& /*hasher*/) const {}

    // ---- Editor handlers (traps/TrapPanel.cpp) ----------------------------------------------
    // The trap whose panel was built last (null once it is gone), and the event id of the
    // last "Set ... Target" button.
    static Trap* EditedTrap();
    static uint32_t PendingEventId();
    // No trap is being edited any more (the editor closed the open panel).
    static void EndEditing();
    // Change handler of the tint sliders: with "bright" checked the other two take the
    // moved one's value; the trap being edited shows the tint at once.
    static void ReadTintPanel(Primitive* parent, Primitive* slider);
    // "Set ... Target": remembers the button's event id and starts target picking.
    static void OnSetTargetButton(Primitive* parent, Button* button);
    // The clicked object of target picking: every selected trap but the clicked one links
    // the pending event to it. Refused with a message-log line when the clicked object is
    // the source itself or not a trap.
    static void OnTargetPicked(MapObject* source, MapObject* clicked);
    // "Clear Target(s)": the trap being edited loses every link.
    static void OnClearTargets(Primitive* parent, Button* button);
    // The admin guard of the in-match settings panels: a non-admin gets "Access Denied";
    // the admin's change is applied to the panel's trap (CheckAdminEdit) or to every trap of
    // the panel's kind (CheckAdminEditPanel), each then sent as a trap state.
    static void CheckAdminEdit(Primitive* changed, LayoutPanel* panel);
    static void CheckAdminEditPanel(Primitive* changed, LayoutPanel* panel);

    // ---- Non-virtual operations ------------------------------------------------------------
    // Fires an event: the first link with that event id names the target (none, or a target
    // that is not registered: nothing happens); OnBeforeEvent; then, networked, the target's
    // state goes to the server as a trap-state request with activate 1 and the flimb's id
    // (-1 for none), else the activation is queued for the end of the trap pass.
    void FireEvent(uint32_t eventId, Flimb* by, bool networked);
    // Replaces the target of the link with that event id, else appends the link.
    void SetLink(const TrapLink& link);
    void ClearLinks() { links.clear(); }
    // Cooldowns: the world update number at which the flimb was last acted on, by slot of
    // the world's flimb table (the Quantum Time preview's copy has none).
    void NoteCooldown(const Flimb* flimb);
    bool HasCooldown(const Flimb* flimb) const;
    // Erases every cooldown whose stamp plus `updates` is below the world's update number.
    void ExpireCooldowns(uint32_t updates);
    // A pickup is used: the count goes down (0 means unlimited), effect 2 plays when
    // audible; the last one bursts the sprite into particles and clears `alive`.
    void ConsumePickup();
    // Falls `distance` pixels along the gravity direction of the rotation when the probe
    // point (`probe` x scale_y ahead) is empty; else, with pushBack, moves back. True when
    // it fell.
    bool TryFall(int32_t distance, bool pushBack, int32_t probe);
    // The kind's "pickup-float" (floating) or "pickup" sheet as the sprite; unless the level
    // editor is open the frame starts at a random value below the frame count.
    void LoadPickupGraphics();
    // One frame on (an odd frame of a paired sheet on to the next even one), wrapping at the
    // sheet's frame count; nothing without a sheet or while not animating.
    void AdvanceFrame(AnimSurface* sheet = nullptr);
    // The rotation taken to the nearest multiple of 90 degrees; 360 and above give 0.
    float SnapRotation90() const;
    // The kind's editor icon "Graphics\Traps\Icons\icon_trap_%s.png" from the image cache
    // (one reference for the caller); null when the file does not exist.
    static AnimSurface* LoadIcon(int32_t kind);
    // The frame `Draw` shows: the paired-frame rule applied to `frame`.
    uint8_t DisplayedFrame() const;
    // The world's flimb table slot of a flimb; -1 for one outside the table.
    static int32_t FlimbSlot(const Flimb* flimb);
    // Adds the common simulation fields to the world state hash: position, rotation,
    // scale, the state flags, pickups, links and cooldowns (not the drawing frame).
    void HashCommonState(StateHasher& hasher) const;

    // ---- Fields (declaration order of the common record) ------------------------------------
    uint8_t zorder = 0;            // "zorder": behind the landscape
    uint8_t flimborder = 0;        // "flimborder": behind the flimbs
    uint8_t renderUnderShadow = 0; // "renderUnderShadow"
    uint8_t alive = 1;             // 0: deleted at the next update pass
    uint8_t visible = 1;
    uint8_t activated = 0;
    uint8_t animating = 1;
    uint8_t pickup_mode = 0;
    uint8_t floating_pickup = 0;
    int32_t pickup_left = 1; // 0: unlimited
    uint8_t allow_fall = 0;
    uint8_t alpha = 255;
    float scale_x = 1.0f;
    float scale_y = 1.0f;
    uint32_t tint = 0x808080;
    uint32_t registration = 0;
    std::vector<TrapLink> links;
    float rotation = 0.0f; // degrees; "trap_rotation"
    uint8_t enabled = 1;
    uint8_t audible = 1;
    uint32_t id = 0;
    int32_t kind = 0;
    uint8_t frame = 0;
    float x = 0.0f;
    float y = 0.0f;
    AnimSurface* sprite = nullptr; // one image-cache reference, owned
    std::map<int32_t, uint32_t> cooldowns;

protected:
    // Clears the trap being edited when it is this one (the destructor).
    static void ForgetEditedTrap(const Trap* trap);
    // Copies the kind's own fields from a trap of the same kind (Duplicate). Nothing here.
    virtual void CopyKindFields(const Trap& /*source*/) {}
    // The children Load consumed, for kinds that keep the rest (the stand-in).
    std::vector<const xmlNode*> consumed_;
};
