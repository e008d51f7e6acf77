#pragma once
// What the HUD's pop-ups share: placing a bubble over the HUD, stacking rows centred in a
// bubble, the multi-line text and picture rows, and closing every pop-up of the HUD.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Label;
class PrimContainer;
class Primitive;
class VoiceBubble;

// Fade-in time of the pop-ups (milliseconds) and the room they keep free above the bottom
// of the screen (design pixels).
constexpr uint32_t kPopupFadeMs = 500;
constexpr float kPopupBottomRoom = 140.0f;
// Texts from levels, players and peers are cut to this many bytes before they are shown.
constexpr size_t kPopupTextLimit = 1000;

// True when the file manager has the image (a missing picture is left out, not replaced by
// the default one).
bool HudImageExists(const std::string& path);

// Wraps the bubble in an "ANIMATE_ALPHA" fade (fadeMs), centres it at x = 500 and the
// vertical centre of the HUD's game view, keeps it kPopupBottomRoom design pixels above the
// bottom and adds it to the HUD's upper layer. Null (the bubble deleted) without a HUD.
VoiceBubble* ShowBubbleOverHud(std::unique_ptr<VoiceBubble> bubble, uint32_t fadeMs);

// A text block wrapped at widthDesign design pixels (cut at kPopupTextLimit bytes), sized
// to its lines.
std::unique_ptr<Label> MakeTextBlock(const std::string& text, int fontId, uint32_t colour, float scale,
                                     float widthDesign);

// Places the rows (at their present sizes) one under another, gapDesign design pixels apart, each centred at half
// the box's width, inside margins of marginX / marginY design pixels plus the box's own
// margins; sizes the box round them.
void StackCentred(PrimContainer* box, const std::vector<Primitive*>& rows, float gapDesign, float marginX,
                  float marginY);

// The pop-up that holds `inside` fades out over fadeMs through its "ANIMATE_ALPHA" wrapper
// (ShowBubbleOverHud) and closes at the end; one without a wrapper closes at once.
void FadeOutHudPopup(Primitive* inside, uint32_t fadeMs);

// Every child of the HUD's two layers closes (containers through Close).
void CloseHudPopups();
