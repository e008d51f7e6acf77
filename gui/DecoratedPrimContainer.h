#pragma once
// A container framed by six skin pictures of one folder: "top-left.png", "top.png",
// "top-right.png", "bottom-left.png", "bottom.png", "bottom-right.png", and optionally
// "fill.png" stretched over everything between the top and bottom strips. The pictures
// come from the image cache, scaled by screen height / 768, and are released with the
// container. The frame is drawn with the container's alpha, then the children.
#include "gui/PrimContainer.h"
#include "media/NinePieceFrame.h"

#include <string>

class DecoratedPrimContainer : public PrimContainer {
public:
    explicit DecoratedPrimContainer(const std::string& folder, bool withFill = false);
    ~DecoratedPrimContainer() override;

    void Draw() override;

    const std::string& Folder() const { return folder_; }
    const NinePieceFrame& Frame() const { return frame_; }
    // The border's thickness in pixels at the current screen (top strip, bottom strip).
    float TopHeight() const;
    float BottomHeight() const;

    uint32_t frameColour = 0xFFFFFFFF;

private:
    std::string folder_;
    NinePieceFrame frame_;
    NinePieceFrame fill_; // only its fill piece
};
