#pragma once
// The depth of the world sprites being drawn: 0 (the landscape plane) except while a
// scenery layer draws itself behind or in front of it. Sprites placed in the world take it
// as their height when their points go through the game view's projection, so a layer at
// depth -z shows smaller and moves less than the terrain when the view pans (parallax).
// Drawing state only; main thread.

float SpriteDepth();
void SetSpriteDepth(float depth);

// Sets the depth for its life, then the one before again.
class SpriteDepthScope {
public:
    explicit SpriteDepthScope(float depth);
    ~SpriteDepthScope();
    SpriteDepthScope(const SpriteDepthScope&) = delete;
    SpriteDepthScope& operator=(const SpriteDepthScope&) = delete;

private:
    float previous_;
};
