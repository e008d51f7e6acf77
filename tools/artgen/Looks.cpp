// Basic looks: placeholders and plain game images (missing-image checker, shaded disc,
// spinner, ring band, plain panel), and the table that finds a look by name.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include "tools/artgen/CursorLooks.h"
#include "tools/artgen/MarkerLooks.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

void SetColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0, double lighten = 0.0)
{
    auto channel = [&](int shift) {
        const double v = double((rgb >> shift) & 0xFF) / 255.0;
        return v + (1.0 - v) * lighten;
    };
    cairo_set_source_rgba(cr, channel(16), channel(8), channel(0), alpha);
}

// The stand-in for a missing image: a magenta and charcoal checker in a white frame with a
// bold question mark, unmistakable at any size.
bool Missing(cairo_t* cr, const ImageSpec& s, int)
{
    const int cells = 4;
    const double cw = double(s.frameWidth) / cells, ch = double(s.frameHeight) / cells;
    for (int y = 0; y < cells; ++y)
        for (int x = 0; x < cells; ++x) {
            SetColour(cr, (x + y) % 2 ? 0x2b2b33 : 0xd0309a);
            cairo_rectangle(cr, x * cw, y * ch, cw, ch);
            cairo_fill(cr);
        }
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, 1, 1, s.frameWidth - 2, s.frameHeight - 2);
    cairo_stroke(cr);
    // Question mark: a hook and a dot.
    const double cx = s.frameWidth / 2.0, size = std::min(s.frameWidth, s.frameHeight);
    cairo_set_line_width(cr, size * 0.11);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_arc(cr, cx, size * 0.36, size * 0.15, -kPi, kPi * 0.45);
    cairo_line_to(cr, cx, size * 0.62);
    cairo_stroke(cr);
    cairo_arc(cr, cx, size * 0.78, size * 0.06, 0, 2 * kPi);
    cairo_fill(cr);
    return true;
}

// A shaded ball with a highlight.
bool Disc(cairo_t* cr, const ImageSpec& s, int)
{
    const double r = std::min(s.frameWidth, s.frameHeight) / 2.0 - 1.5;
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    cairo_pattern_t* shade = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 8, cx, cy, r);
    const auto c = s.colour;
    auto ch = [&](int shift, double lighten) {
        const double v = double((c >> shift) & 0xFF) / 255.0;
        return v + (1.0 - v) * lighten;
    };
    cairo_pattern_add_color_stop_rgb(shade, 0, ch(16, 0.6), ch(8, 0.6), ch(0, 0.6));
    cairo_pattern_add_color_stop_rgb(shade, 1, ch(16, 0) * 0.6, ch(8, 0) * 0.6, ch(0, 0) * 0.6);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    return true;
}

// A busy indicator: twelve dots round a circle, the bright one moving on each frame.
bool Spinner(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    const double size = std::min(s.frameWidth, s.frameHeight);
    const double orbit = size * 0.36, dot = size * 0.08;
    const int dots = 12;
    const double lead = double(frame) * dots / std::max(1, s.frames);
    for (int i = 0; i < dots; ++i) {
        double age = std::fmod(lead - i + dots, double(dots)) / dots; // 0 = brightest
        const double a = 2 * kPi * i / dots - kPi / 2;
        SetColour(cr, s.colour, 1.0 - 0.8 * age);
        cairo_arc(cr, cx + orbit * std::cos(a), cy + orbit * std::sin(a), dot * (1.0 - 0.4 * age), 0, 2 * kPi);
        cairo_fill(cr);
    }
    return true;
}

// A band for textured rings: bright in the middle, fading to both edges (v runs across).
bool Ring(cairo_t* cr, const ImageSpec& s, int)
{
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, s.frameHeight);
    const auto c = s.colour;
    auto stop = [&](double at, double alpha, double lighten) {
        auto ch = [&](int shift) {
            const double v = double((c >> shift) & 0xFF) / 255.0;
            return v + (1.0 - v) * lighten;
        };
        cairo_pattern_add_color_stop_rgba(band, at, ch(16), ch(8), ch(0), alpha);
    };
    stop(0.0, 0.0, 0.0);
    stop(0.5, 1.0, 0.5);
    stop(1.0, 0.0, 0.0);
    cairo_rectangle(cr, 0, 0, s.frameWidth, s.frameHeight);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    return true;
}

// A window panel: rounded, filled, with a light rim.
bool Panel(cairo_t* cr, const ImageSpec& s, int)
{
    RoundedRect(cr, 1.5, 1.5, s.frameWidth - 3, s.frameHeight - 3, std::min(s.frameWidth, s.frameHeight) / 6.0);
    SetColour(cr, s.colour, 0.92);
    cairo_fill_preserve(cr);
    SetColour(cr, s.colour, 1.0, 0.55);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    return true;
}

} // namespace

void AddBasicLooks(LookTable& table)
{
    table["missing"] = Missing;
    table["disc"] = Disc;
    table["spinner"] = Spinner;
    table["ring"] = Ring;
    table["panel"] = Panel;
}

bool DrawFrame(cairo_t* cr, const ImageSpec& spec, int frame)
{
    static const LookTable looks = [] {
        LookTable table;
        AddBasicLooks(table);
        AddFrameLooks(table);
        AddStripLooks(table);
        AddControlLooks(table);
        AddHudLooks(table);
        AddStatLooks(table);
        AddMenuLooks(table);
        AddFlimbLooks(table);
        AddModeLooks(table);
        AddMaskLooks(table);
        AddParticleLooks(table);
        AddHudShareLooks(table);
        AddLevelLooks(table);
        AddFlowTrapLooks(table);
        AddTrapLooks(table);
        AddHudWindowLooks(table);
        AddViewLooks(table);
        AddHazardTrapLooks(table);
        AddPlaybackLooks(table);
        AddScriptTrapLooks(table);
        AddCreatureTrapLooks(table);
        AddDeviceTrapLooks(table);
        AddScenicTrapLooks(table);
        return table;
    }();
    const auto look = looks.find(spec.look);
    if (look == looks.end())
        return DrawCursorFrame(cr, spec, frame) || DrawMarkerFrame(cr, spec, frame);
    return look->second(cr, spec, frame);
}

} // namespace artgen
