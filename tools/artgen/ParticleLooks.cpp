// Particle sprites: their pixels are broken up into particles and stamped into the
// terrain, so they are written pixel by pixel (tools/artgen/PixelShapes.h), opaque or
// transparent. Shapes are tested in doubled integer coordinates (pixel centre 2x + 1).
//
// Parts: "dot" (a round dot), "pixel" (a plain splinter), "glib" (a lumpy blob), "drop" (a
// teardrop, tip up), "ice" (a cut crystal), "lop-head" (a flimb's head in the look's colour,
// eyes to the right, its neck on the hot spot) and "fireball" (a flickering ball of fire,
// one pose per frame). The tinted kinds are white and grey so that the particle colour
// shows; the ice, the heads and the fireball carry their own colours.
#include "tools/artgen/Looks.h"
#include "tools/artgen/PixelShapes.h"

#include <cstdint>

namespace artgen {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kLightGrey = 0xFFD8D8D8u;
constexpr uint32_t kGrey = 0xFFB0B0B0u;
constexpr uint32_t kInk = 0xFF1E1410u;

int64_t Sq(int64_t v)
{
    return v * v;
}

// Pixel centre in doubled units.
int64_t C(int v)
{
    return 2 * int64_t(v) + 1;
}

// Inside the circle of doubled centre (cx, cy) and doubled radius r.
bool InCircle(int x, int y, int64_t cx, int64_t cy, int64_t r)
{
    return Sq(C(x) - cx) + Sq(C(y) - cy) <= Sq(r);
}

uint32_t Dot(const ImageSpec& s, int x, int y)
{
    return InCircle(x, y, s.frameWidth, s.frameHeight, s.frameWidth) ? kWhite : 0u;
}

uint32_t Glib(int x, int y)
{
    // A round body with a lump to the upper right, shaded grey on its lower left.
    const bool body = InCircle(x, y, 7, 9, 6);
    const bool lump = InCircle(x, y, 11, 5, 3);
    if (!body && !lump)
        return 0u;
    return (C(x) + (15 - C(y)) < 10) ? kGrey : (C(x) > 10 && C(y) < 8) ? kWhite : kLightGrey;
}

uint32_t Drop(const ImageSpec& s, int x, int y)
{
    // A round bottom centred low, and a tip narrowing straight up to the top row.
    const int64_t w2 = 2 * s.frameWidth, h2 = 2 * s.frameHeight;
    const int64_t cx = w2 / 2, cy = h2 * 5 / 8, r = w2 * 5 / 16;
    const int64_t px = C(x), py = C(y);
    bool inside = Sq(px - cx) + Sq(py - cy) <= Sq(r);
    if (!inside && py < cy && py >= 2) {
        // The tip: the half-width grows linearly from the top to r at the centre row.
        const int64_t halfWidth = r * (py - 2) / (cy - 2);
        inside = Sq(px - cx) <= Sq(halfWidth);
    }
    if (!inside)
        return 0u;
    const bool highlight = Sq(px - (cx - r / 3)) + Sq(py - (cy - r / 3)) <= Sq(r / 3);
    return highlight ? kWhite : (px > cx + r / 2 ? kGrey : kLightGrey);
}

uint32_t Ice(const ImageSpec& s, int x, int y)
{
    // A diamond crystal: pale cyan, a darker rim, a white facet on its upper left.
    const int64_t cx = s.frameWidth, cy = s.frameHeight, r = s.frameWidth - 2;
    const int64_t d = (C(x) > cx ? C(x) - cx : cx - C(x)) + (C(y) > cy ? C(y) - cy : cy - C(y));
    if (d > r)
        return 0u;
    if (d > r - 4)
        return 0xFF4F9ED6u;
    if (C(x) < cx && C(y) < cy && d < r / 2)
        return kWhite;
    return (C(x) - cx) + (C(y) - cy) > 0 ? 0xFF8FCFF2u : 0xFFBFE9FFu;
}

uint32_t LopHead(const ImageSpec& s, int x, int y)
{
    const uint32_t skin = 0xFF000000u | (s.colour & 0xFFFFFFu);
    const uint32_t shade = 0xFF000000u | ScaledRgb(s.colour, 3, 5, 0);
    // Head: a circle of radius 10.5 centred at (12, 12); the neck: 5 pixels below it.
    const int64_t cx = 25, cy = 25, r = 21;
    const int64_t d2 = Sq(C(x) - cx) + Sq(C(y) - cy);
    const bool neck = x >= 9 && x <= 13 && y >= 20 && y <= 25;
    if (d2 > Sq(r) && !neck)
        return 0u;
    if (d2 > Sq(r) || d2 >= Sq(r - 3))
        return neck && d2 > Sq(r) ? shade : kInk; // outline, and the neck in shade
    // Eyes to the right (the way it flies when not mirrored), pupils looking ahead.
    for (const int64_t ex : {27, 37}) {
        if (Sq(C(x) - (ex + 2)) + Sq(C(y) - 19) <= Sq(3))
            return kInk;
        if (Sq(C(x) - ex) + Sq(C(y) - 19) <= Sq(5))
            return kWhite;
    }
    // A mouth, and shade over the lower back of the head.
    if (y == 17 && x >= 14 && x <= 19)
        return kInk;
    return (C(y) > cy && C(x) < cx) ? shade : skin;
}

uint32_t Fireball(const ImageSpec& s, int frame, int x, int y)
{
    const int64_t cx = s.frameWidth, cy = s.frameHeight;
    const int64_t dx = C(x) - cx, dy = C(y) - cy;
    const int64_t d2 = Sq(dx) + Sq(dy);
    // The edge flickers: a radius that breathes over the frames, jagged by position.
    const int phase = frame % 13;
    const int64_t breathe = phase < 7 ? phase : 13 - phase;
    const int64_t jag = int64_t((x * 7 + y * 11 + frame * 5) % 5) - 2;
    const int64_t edge = 2 * (s.frameWidth / 2 - 3) + breathe + jag;
    if (d2 > Sq(edge))
        return 0u;
    if (d2 > Sq(edge * 3 / 4))
        return 0xFFD8381Cu; // red rim
    if (d2 > Sq(edge / 2))
        return 0xFFF07C1Cu; // orange
    if (d2 > Sq(edge / 4))
        return 0xFFFFC83Cu; // yellow
    return 0xFFFFF4C8u;     // white-hot core
}

bool ParticleLook(cairo_t* cr, const ImageSpec& s, int frame)
{
    if (s.part == "dot")
        return WritePixels(cr, s, [&s](int x, int y) { return Dot(s, x, y); });
    if (s.part == "pixel")
        return WritePixels(cr, s, [](int, int) { return kWhite; });
    if (s.part == "glib")
        return WritePixels(cr, s, [](int x, int y) { return Glib(x, y); });
    if (s.part == "drop")
        return WritePixels(cr, s, [&s](int x, int y) { return Drop(s, x, y); });
    if (s.part == "ice")
        return WritePixels(cr, s, [&s](int x, int y) { return Ice(s, x, y); });
    if (s.part == "lop-head")
        return WritePixels(cr, s, [&s](int x, int y) { return LopHead(s, x, y); });
    if (s.part == "fireball")
        return WritePixels(cr, s, [&s, frame](int x, int y) { return Fireball(s, frame, x, y); });
    return false;
}

} // namespace

void AddParticleLooks(LookTable& table)
{
    table["particle"] = ParticleLook;
}

} // namespace artgen
