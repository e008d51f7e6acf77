#pragma once
// The minimap panel of the HUD: the landscape's MinimapSurface fitted into 900 x 530 pixels
// (times the UI scale), turned to the game view's gravity direction, with the exits, the
// flimbs, the background layers marked for it and the frame of what the game view shows
// on top. A click or drag on it pans the game view there.
#include "gui/Primitive.h"

#include <array>
#include <cstdint>

class AnimSurface;
class PrimContainer;

class MinimapView : public Primitive {
public:
    static constexpr const char* kZoomBorder = "Graphics\\HUD\\Minimap\\zoom_border.png";
    static constexpr const char* kWinImage = "Graphics\\Traps\\FlimbMaster\\beatall_win_small.png";

    MinimapView();
    ~MinimapView() override;

    void Draw() override;
    // Follows the game view's gravity direction; a change resizes the panel.
    void Update() override;
    bool GetSize(float* width, float* height) override;
    std::string GetCursorName() override { return "precision"; }
    // Pressed or held: pans the game view to the point (100 ms, clamped). Consumed.
    Primitive* OnLeftButton(int x, int y, int phase) override;

    // A container made by the skinned layout engine holding one minimap view; the HUD
    // places it.
    static PrimContainer* CreatePanel();

    // Landscape pixels to panel pixels (relative to the panel's top-left) and back.
    FloatPoint WorldToPanel(float x, float y) const;
    FloatPoint PanelToWorld(float x, float y) const;
    // Panel pixels per landscape pixel.
    float GetScale() const;
    // The panel's size in pixels for the landscape and direction.
    FloatPoint PanelPixels() const;

    // The gravity direction (0-3) whose view the panel shows.
    uint8_t direction = 0;

private:
    AnimSurface* LoadGroupIcon(int group);
    float LandWidth() const;
    float LandHeight() const;

    std::array<AnimSurface*, 8> groupIcons_{};
    std::array<bool, 8> iconTried_{};
    AnimSurface* zoomBorder_ = nullptr;
    AnimSurface* winImage_ = nullptr;
    bool winTried_ = false;
};

// The gravity direction (0-3) a view rotation shows upright.
uint8_t DirectionOfRotation(float rotation);
