#pragma once
// A full-screen layer of rising bubbles: on each tick of its period a bubble is spawned
// below the bottom edge with an even chance; every bubble rises by the frame's elapsed
// time times a sixth of its scale (pixels) and goes once it is above y = -100. All bubbles
// share one image, drawn centred on each bubble. The layer never catches the mouse, so the
// front layer may lie over the menus.
#include "frontend/menus/MenuAnimations.h"

#include <vector>

class AnimSurface;

class Bubbles : public Primitive {
public:
    static constexpr const char* kImage = "Graphics\\Menu\\TemplateWindow\\main_menu_bubble.png";

    struct Bubble {
        float x = 0.0f; // pixels
        float y = 0.0f;
        uint8_t alpha = 164;
        float scale = 1.0f;
    };

    explicit Bubbles(uint32_t periodMs);
    ~Bubbles() override;

    void Update() override;
    void Draw() override;
    Primitive* HitTest(int, int) override { return nullptr; }

    const std::vector<Bubble>& List() const { return bubbles_; }
    void Add(const Bubble& bubble) { bubbles_.push_back(bubble); }
    const PeriodicTick& Tick() const { return tick_; }

private:
    void Spawn();

    PeriodicTick tick_;
    AnimSurface* image_ = nullptr;
    std::vector<Bubble> bubbles_;
};
