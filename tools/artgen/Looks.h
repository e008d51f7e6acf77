#pragma once
// The looks of the art generator: how one frame of an image is drawn.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

typedef struct _cairo cairo_t;

namespace artgen {

struct ImageSpec {
    std::string name;
    int width = 0, height = 0;
    int frameWidth = 0, frameHeight = 0;
    int frames = 1;
    std::string look;
    // Which piece of a sliced look (e.g. "top-left", "mid", "on"); empty for whole looks.
    std::string part;
    uint32_t colour = 0x808080; // 0xRRGGBB
};

// False when the look has no such part.
using Look = std::function<bool(cairo_t*, const ImageSpec&, int frame)>;
using LookTable = std::map<std::string, Look>;

// Each family of looks adds its entries to the table.
void AddBasicLooks(LookTable& table);
void AddFrameLooks(LookTable& table);
void AddStripLooks(LookTable& table);
void AddControlLooks(LookTable& table);
void AddHudLooks(LookTable& table);
void AddStatLooks(LookTable& table);
void AddMenuLooks(LookTable& table);
void AddFlimbLooks(LookTable& table);
void AddModeLooks(LookTable& table);
void AddMaskLooks(LookTable& table);
void AddParticleLooks(LookTable& table);
void AddHudShareLooks(LookTable& table);
void AddLevelLooks(LookTable& table);
void AddFlowTrapLooks(LookTable& table);
void AddTrapLooks(LookTable& table);
void AddHudWindowLooks(LookTable& table);
void AddViewLooks(LookTable& table);
void AddHazardTrapLooks(LookTable& table);
void AddPlaybackLooks(LookTable& table);
void AddScriptTrapLooks(LookTable& table);
void AddCreatureTrapLooks(LookTable& table);
void AddDeviceTrapLooks(LookTable& table);
void AddScenicTrapLooks(LookTable& table);

// Draws frame `frame` into the frame-sized area at the origin (already clipped). False for
// an unknown look or a part the look does not have.
bool DrawFrame(cairo_t* cr, const ImageSpec& spec, int frame);

} // namespace artgen
