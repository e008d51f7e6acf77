#pragma once
// The skinned panel window of the HUD: a container with the window flag, framed by one
// image cut in a 3 x 3 grid ("Graphics\Menu\FlimbsWindow5\window5.png", scaled by screen
// height / 768), drawn with the window's alpha under its children.
#include "gui/PrimContainer.h"
#include "media/NinePieceFrame.h"

class FlimbsWindow5 : public PrimContainer {
public:
    static constexpr const char* kSkinImage = "Graphics\\Menu\\FlimbsWindow5\\window5.png";

    FlimbsWindow5();
    ~FlimbsWindow5() override;

    void Draw() override;
    // The skinned scroll bar.
    std::unique_ptr<Primitive> CreateScrollBar() override;

    const NinePieceFrame& Frame() const { return frame_; }

    uint8_t fillAlpha = 255;

private:
    AnimSurface* skin_ = nullptr;
    NinePieceFrame frame_;
};
