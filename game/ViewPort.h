#pragma once
// A viewport: the window through which the world is seen. A GUI container that holds the
// game's landscape as its child and owns a camera looking straight down at the world plane
// (z = 0); every input, update and draw call runs with this viewport made the current view
// (Landscape::MakeCurrent) and the previous one restored afterwards.
//
// World coordinates are landscape pixels (x right, y down). The camera's eye sits `distance`
// above the plane; zoom = distance x tan(fov) / tan(pi / 4) (see media/Camera.h for the
// field-of-view rule of the viewports).
#include "gui/PrimContainer.h"
#include "media/Camera.h"

class Landscape;

class ViewPort : public PrimContainer {
public:
    static constexpr float kPi = 3.14159265358979f;
    static constexpr float kDefaultRotation = 4.712389f; // 3 pi / 2: world y down on the screen

    // Eye (100, 100, d0) over target (100, 100, 0), up (0, -1, 0), the keep-horizontal-extent
    // switch on, d0 = 1005 x tan(pi / 4) / tan(fov); the game's landscape becomes a child.
    ViewPort();
    ~ViewPort() override;

    // Wrapped: this view current around the container's own operation.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    Primitive* OnWheel(int delta) override;
    Primitive* HitTest(int x, int y) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Update() override;
    // The camera applied to the device, this view current, the children (the landscape
    // first) and the input delegate drawn, then everything as it was.
    void Draw() override;

    // Moves and sizes the viewport to the absolute rectangle (pixels) and rebuilds the
    // projection for its aspect with near 200 and far -200. A rectangle of no width or
    // height keeps the last projection.
    void SetViewRect(float left, float top, float right, float bottom);
    void SetViewRect(const FloatRect& area) { SetViewRect(area.left, area.top, area.right, area.bottom); }
    const FloatRect& ViewRect() const { return viewRect_; }
    // targetRotation reduced into [0, 2 pi).
    float GetRotation() const;

    Camera camera;
    // Where the rotation animation is heading (radians).
    float targetRotation = kDefaultRotation;

protected:
    // The game's landscape (null without one).
    static Landscape* Land();
    // This view current for the scope's life.
    class Current {
    public:
        explicit Current(ViewPort* viewport);
        ~Current();
        Current(const Current&) = delete;
        Current& operator=(const Current&) = delete;

    private:
        ViewPort* previous_ = nullptr;
        bool made_ = false;
    };
    // The eye height of the default zoom.
    float DefaultDistance() const;

private:
    FloatRect viewRect_;
};

// Reduces an angle into [0, 2 pi).
float ReduceAngle(float angle);
