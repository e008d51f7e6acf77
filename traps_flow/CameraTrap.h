#pragma once
// The camera trap (kind 20): moves the game view ("MOUSEPORT") when an event triggers it:
// a pan to its destination (Goto), a zoom (Zoom), or a whole view of rotation, zoom and
// position over a transition time (View, Initial View, Pre-Initial View); in Roll mode it
// keeps rocking the view between two angles. The view is each game's own: nothing the view
// does changes the game. Drawn only in the level editor.
#include "traps/Trap.h"

class CameraTrap : public Trap {
public:
    static constexpr int32_t kKind = 20;
    enum Mode : int32_t {
        kRoll = 0,
        kGoto = 1,
        kZoom = 2,
        kRotate = 3,
        kView = 4,
        kInitialView = 5,
        kPreInitialView = 6,
    };
    static constexpr int kMoveMs = 500;
    static constexpr float kRollSpeed = 0.005f;

    CameraTrap();

    // While enabled: the roll of mode 0, then a pending trigger: the view (unless a
    // recording is played back) and event 0, once however often it was triggered.
    void Update() override;
    void Activate(Flimb* by) override;
    void Draw() override;
    // The links, and a yellow line from the trap to its destination.
    bool DrawEditorLinks(MapObject* filter, bool draw) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    // The level start's placement of the view: the trap's view.
    void MoveViewToTarget() override { ApplyView(); }
    // The group whose view the camera places at the level start (not kept in level files).
    uint8_t Group() const override { return group; }
    void SetGroup(uint8_t value) override { group = value; }
    void HashState(StateHasher& hasher) const override;

    // Moves the game view as the mode says; nothing without a game view.
    void ApplyView() const;
    // The view angle of modes 4-6 in degrees: min roll - 90, or 270 when that is 0 or less.
    float ViewAngleDegrees() const;

    int32_t cameraMode = kView;
    float minRoll = 0.0f;
    float maxRoll = 0.0f;
    int32_t destX = 0;
    int32_t destY = 0;
    float destZoom = 900.0f;
    int32_t transitionTime = 500;
    float roll = 4.71225f;
    uint8_t rollingUp = 0;
    uint8_t triggered = 0;
    uint8_t group = 255;

protected:
    void CopyKindFields(const Trap& source) override;
};

// The level editor's "Set View": the destination, zoom and angle (as min roll) that show the
// game view as it is now; false without a game view.
bool CurrentViewAsCamera(int32_t& x, int32_t& y, float& zoom, float& minRollDegrees);
