// The background trap's property panel in the level editor, and choosing its image.
#include "app/LanguageTexts.h"
#include "game/GameHooks.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapTrap.h"
#include "traps_flow/BackgroundTrap.h"

#include <algorithm>
#include <string>

namespace {

// Moving the distance slider applies the whole panel at once.
void OnDistanceMoved(Primitive* /*parent*/, Primitive* slider)
{
    LayoutPanel* panel = LayoutPanel::Of(slider);
    if (auto* layer = dynamic_cast<BackgroundTrap*>(Trap::EditedTrap()); layer && panel)
        layer->ApplyEditPanel(panel);
}

// "Set Image": the chosen file becomes the image of every selected background trap.
void OnSetImage(Primitive* parent, Button* /*button*/)
{
    auto* layer = dynamic_cast<BackgroundTrap*>(Trap::EditedTrap());
    LayoutPanel* panel = LayoutPanel::Of(parent);
    if (!layer || !panel)
        return;
    const std::string start =
        !layer->back_image.empty() && layer->back_image.find("Cache\\") == std::string::npos ? layer->back_image
                                                                                           : "Graphics\\";
    OpenEditorFileChooser(TranslateText("Select Image"), start, [panel](const ChosenFile& chosen) {
        panel->SetChecked("animated", chosen.animation);
        for (MapObject* object : GetSelectedObjects()) {
            auto* placed = dynamic_cast<MapTrap*>(object);
            auto* chosenLayer = placed ? dynamic_cast<BackgroundTrap*>(placed->GetTrap()) : nullptr;
            if (!chosenLayer)
                continue;
            if (chosen.animation) {
                chosenLayer->animating = 1;
                chosenLayer->frame_x = std::clamp(chosen.frameWidth, 8, 256);
                chosenLayer->frame_y = std::clamp(chosen.frameHeight, 8, 256);
                chosenLayer->fps = static_cast<uint8_t>(std::clamp(chosen.frameRate, 1, 60));
            } else {
                chosenLayer->animating = 0;
            }
            chosenLayer->SetImage(chosen.filename.c_str());
            chosenLayer->ApplyEditPanel(panel);
            RefreshObjectPanel(object);
        }
    });
}

void OnConvert(Primitive* /*parent*/, Button* /*button*/)
{
    ConvertEditorSelection();
}

} // namespace

std::unique_ptr<LayoutPanel> BackgroundTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddSlider(TranslateText("Distance"), "z_dist", static_cast<float>(z_dist), 1024.0f, -256.0f,
                     TranslateText("Depth of background"), &OnDistanceMoved);
    panel->AddCheckBox(TranslateText("Circle Rotate"), "circle_rotate", circle_rotate != 0,
                       TranslateText("Position tiling in a circle instead of square"));
    panel->AddTextField(TranslateText("Tile X"), "tile_x", "%d", tile_x, std::string());
    panel->AddTextField(TranslateText("Tile Y"), "tile_y", "%d", tile_y, std::string());
    panel->AddTextField(TranslateText("Blur"), "blur_sigma", "%0.2f", blur_sigma, std::string());
    panel->AddCheckBox(TranslateText("Bleed"), "blur_bleed", blur_bleed != 0, std::string());
    panel->AddLabel(TranslateText("Clip Margin"));
    panel->AddTextField(TranslateText("Left"), "margin_left", "%d", margin_left, std::string());
    panel->AddTextField(TranslateText("Right"), "margin_right", "%d", margin_right, std::string());
    panel->AddTextField(TranslateText("Top"), "margin_top", "%d", margin_top, std::string());
    panel->AddTextField(TranslateText("Bottom"), "margin_bottom", "%d", margin_bottom, std::string());
    panel->AddCheckBox(TranslateText("Animated"), "animated", animating != 0,
                       TranslateText("The image is an animation with multiple frames"));
    panel->AddCheckBox(TranslateText("Minimap"), "minimap", minimap != 0,
                       TranslateText("Show this image on the minimap"));
    panel->AddTextField(TranslateText("Frame Size"), "frame_x", "%d", frame_x, std::string());
    panel->AddTextField(std::string(), "frame_y", "%d", frame_y, std::string());
    panel->AddTextField(TranslateText("FPS"), "fps", "%d", fps, TranslateText("Frames per second"));
    panel->AddTextField(TranslateText("Frame"), "start_frame", "%d", start_frame,
                        TranslateText("Starting frame for this animation"));
    panel->AddCheckBox(TranslateText("Play on load"), "play_on_load", play_on_load != 0,
                       TranslateText("Should this animation start playing when the level loads"));
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    panel->AddCheckBox(TranslateText("Hint"), "hint", hint != 0, std::string());
    panel->AddCheckBox(TranslateText("Always Show"), "always_render", always_render != 0,
                       TranslateText("Show even if background images are turned off"));
    panel->AddButton(TranslateText("Set Image"), "Set Image", &OnSetImage);
    panel->AddButton(TranslateText("Convert"), "Convert", &OnConvert);
    return panel;
}

bool BackgroundTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("z_dist", z_dist);
    const float oldSigma = blur_sigma;
    const uint8_t oldBleed = blur_bleed;
    // An animated layer loses the bleed.
    if (panel->ReadChecked("animated", animating) && animating) {
        panel->SetChecked("blur_bleed", false);
        blur_bleed = 0;
    }
    if (panel->ReadFloat("blur_sigma", blur_sigma, 0.0f, 20.0f))
        blur_sigma = std::clamp(blur_sigma, 0.0f, 20.0f);
    panel->ReadChecked("blur_bleed", blur_bleed);
    const auto readClamped = [panel](const char* key, int32_t& field, int32_t lowest, int32_t highest) {
        if (panel->ReadInt(key, field))
            field = std::clamp(field, lowest, highest);
    };
    readClamped("tile_x", tile_x, 1, kMostTiles);
    readClamped("tile_y", tile_y, 1, kMostTiles);
    readClamped("frame_x", frame_x, 8, 256);
    readClamped("frame_y", frame_y, 8, 256);
    readClamped("margin_left", margin_left, 0, kMostMargin);
    readClamped("margin_right", margin_right, 0, kMostMargin);
    readClamped("margin_top", margin_top, 0, kMostMargin);
    readClamped("margin_bottom", margin_bottom, 0, kMostMargin);
    int32_t rate = fps;
    if (panel->ReadInt("fps", rate))
        fps = static_cast<uint8_t>(std::clamp(rate, 1, 60));
    panel->ReadChecked("play_on_load", play_on_load);
    panel->ReadChecked("circle_rotate", circle_rotate);
    panel->ReadInt("start_frame", start_frame);
    panel->ReadChecked("hint", hint);
    panel->ReadChecked("always_render", always_render);
    panel->ReadChecked("minimap", minimap);
    frame = static_cast<uint8_t>(std::clamp(start_frame, 0, 255));
    playing = animating && play_on_load ? 1 : 0;
    if (blur_sigma != oldSigma || blur_bleed != oldBleed)
        SetImage(nullptr);
    else
        ApplyFrameSize();
    return true;
}
