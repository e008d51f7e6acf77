#pragma once
// The horizontal skinned plate: "tablet-left.png", a stretched "tablet-mid.png" and
// "tablet-right.png" from "Graphics\Menu\Tablet\", drawn at the skin scale along the
// plate's width; its height is the images' drawn height. FlimbsWindow3Title is the plate
// with a window's title centred on it.
#include "gui/Primitive.h"
#include "gui/SkinImage.h"

#include <string>

class FlimbsTablet : public Primitive {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\Tablet\\";

    FlimbsTablet();

    Primitive* HitTest(int x, int y) override;
    void Draw() override;
    // The present width and the images' drawn height (virtual units); true.
    bool GetSize(float* width, float* height) override;

    // The images' drawn height in pixels at the current screen.
    float ImageHeight() const;

    float scale; // the text scale of subclasses: the UI scale

private:
    SkinImage left_;
    SkinImage middle_;
    SkinImage right_;
};

class FlimbsWindow3Title : public FlimbsTablet {
public:
    FlimbsWindow3Title();

    void Draw() override;
    void SetTitle(const char* title) { this->title = title ? title : ""; }

    std::string title;
    int32_t fontId = 0;
    uint32_t textColour = 0xFFFFFFFF;
};
