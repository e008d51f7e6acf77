#pragma once
// Drawing images placed in the world on the screen through the current view: the screen
// point, the view's scale and its turn, and the turn of each gravity direction as
// Flimb::Draw turns a flimb (the renderer turns clockwise on the screen).
#include "platform/gfx/D3DTypes.h"

#include <string>

class AnimSurface;

struct ViewPlacement {
    float x = 0.0f;     // screen pixels
    float y = 0.0f;
    float scale = 1.0f; // screen pixels per world pixel
    float turn = 0.0f;  // radians the view turns the world on the screen
};

// A world point in the current view (the point itself, scale 1, no turn without one).
ViewPlacement PlaceInView(float worldX, float worldY);
// The turn that stands a sprite on the ground of a gravity direction (0-3).
float GravitySpriteAngle(int direction);
// The unit step from the feet towards the head for a gravity direction.
void HeadDirection(int direction, float& dx, float& dy);
// Draws frame `frame` (clamped to the image's frames) turned by rotation about the pivot
// (image pixels of the frame; negative: the hot spot) at the screen point.
void DrawTurnedFrame(const AnimSurface* image, int frame, float x, float y, float scaleX, float scaleY,
                    float rotation, gfx::D3DCOLOR colour, float pivotX = -1.0f, float pivotY = -1.0f,
                    const gfx::RECT* part = nullptr);
// An image of the cache when its file exists (a missing one draws nothing); blurred with
// radius 0 is the plain image of the blurred-image cache. Null when missing.
AnimSurface* LoadImageIfPresent(const std::string& path, bool blurred = false);
