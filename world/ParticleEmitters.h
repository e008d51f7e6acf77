#pragma once
// Emitters: the small functions that turn one pixel or one event into a particle. Bashes
// and image break-ups call them with an area-effect record, the pixel's world point and
// its colour; each makes one particle of kind 0 at the point and books it.
//
// A record says which generator its emitter draws from: the emitters whose particles are
// the drawing's own (everything but a persistent EmitSpray, which keeps its particles and
// stamps them) mark it visual, so a bash reseeds DrawRandom for them and SimRandom stays
// as it would be without them.
#include "world/BashTypes.h"
#include "world/ParticleManager.h"
#include "world/TileStore.h"

#include <cstdint>
#include <string>

class AnimSurface;
struct Flimb;

// The area-effect record: the emitter and what it reads.
struct AreaEffectParams : BashEmitter {
    float x = 0.0f, y = 0.0f;            // the effect's point
    float vx = 0.0f, vy = 0.0f, vz = 0.0f; // the velocity handed on
    uint8_t gravity = 0;
    uint8_t persistent = 0; // persistent particles (EmitSpray: kept and stamped)
    uint8_t delay = 1;      // updates before the particles move
    uint32_t word = 1;      // carried for other callbacks; no emitter here reads it
    uint8_t burstPattern = 0; // EmitBurst: 0 cloud, 1 ring, 2 five-pointed star
    uint8_t bridge = 0;       // EmitSpray, persistent: the particles stamp bridge material (17)

    AreaEffectParams() = default;
    // The record of an emitter; steps of 0 are taken as 1.
    AreaEffectParams(Callback emitter, float px, float py, float velocityX, float velocityY, float velocityZ,
                     uint8_t gravityDirection, int32_t stepsX, int32_t stepsY, bool persistentParticles = false);

    // The role of the particles the emitter makes with this record.
    ParticleRole Role() const { return visual ? ParticleRole::Visual : ParticleRole::Simulation; }
};

// The emitters (BashEmitter callbacks that expect an AreaEffectParams).
void EmitSpray(BashEmitter& record, int x, int y, uint32_t colour);
void EmitTowards(BashEmitter& record, int x, int y, uint32_t colour);
void EmitScatter(BashEmitter& record, int x, int y, uint32_t colour);
void EmitShard(BashEmitter& record, int x, int y, uint32_t colour);
// The Nova's sprite burst around the record's point, in the record's pattern.
void EmitBurst(BashEmitter& record, int x, int y, uint32_t colour);
// The receptacle's burst (the receptacle trap and a fireball's end): outwards from the
// record's point at 12 pixels a update (a random way from the point itself), fading.
void EmitReceptacle(BashEmitter& record, int x, int y, uint32_t colour);
// Whether the emitter's particles are the drawing's own with the record's persistence.
bool EmitsVisualParticles(BashEmitter::Callback emitter, bool persistent);

// An image (or a frame of a sprite sheet, or a brush mask) broken into particles: the
// image's hot spot lands on (x, y).
struct ImageBreakUp {
    const BashMask* image = nullptr;
    const BashRect* frame = nullptr; // null: the whole image
    int32_t hotX = 0, hotY = 0;       // within the frame
    float x = 0.0f, y = 0.0f;
    float scale = 1.0f;
    float scaleY = 0.0f;   // the vertical scale; 0: scale
    float rotation = 0.0f; // degrees
    bool mirror = false;   // mirrored horizontally first
    uint8_t delay = 1;
    uint32_t tint = 0x7F7F7F; // each channel shifts the pixel's by (tint channel - 127)
};

// Every pixel with alpha above 128, every step-x-th pixel of every step-y-th row (the
// record's steps; 1 and 1 without a record), goes to the record's callback; without one
// it becomes a falling particle of kind 12 (a visual particle; persistent on every other
// pixel of a checker pattern when the record asks for persistent ones). Seeded from the
// update counter. A step below 1 is refused with a log line.
void SpawnFromImage(const ImageBreakUp& breakUp, AreaEffectParams* record);
// The same for an image file below "Graphics\" (path relative to it), centred on (x, y).
// A name outside the folder is refused; a missing or undecodable file logs "Failed to
// load Liqufiy image [%s]\n", an image whose pixels cannot be had "Cannot lock the Liqufiy
// pixel buffer\n"; nothing is made then. False when nothing was broken up.
bool SpawnFromFile(const std::string& path, float x, float y, AreaEffectParams* record, float scale = 1.0f);
// A flimb's current sprite frame broken into particles (ParticleManager::AtomizeLand).
// Nothing without a flimb or for one with the quiet-end attribute. With evenFrames a
// 26-frame animation is put back to its even frame. The frame is tinted (white; the group
// colour for steered flimbs, a darker one for sure-footed ones), scaled by the flimb's
// scale, mirrored by its walking direction and turned by its gravity; part (frame pixels)
// limits it. Seeded from the update counter, every pixel with alpha above 128 of every
// stepX-th column and stepY-th row goes to the record's callback, or becomes a falling
// particle of kind 12 (persistent when asked: life 250, else 25). The overlay the flimb
// wears is broken up too. A persistent particle that cannot be made logs "Error: Failed to
// create landscape atomize particle\n" (once per break-up).
void AtomizeLand(const Flimb* flimb, bool evenFrames, bool persistent, BashEmitter* record, int stepX, int stepY,
                 const BashRect* part = nullptr);
// The current frame of an animated surface (an overlay) broken up at (x, y) through the
// record (SpawnFromImage), scaled, turned (degrees) and mirrored.
void SpawnFromAnimation(const AnimSurface& image, float x, float y, float scale, float rotation, bool mirror,
                        AreaEffectParams* record);
// One frame of a sprite sheet (clamped to the sheet) broken up at (x, y) through the record,
// scaled by scaleX and scaleY (a negative one mirrors), tinted, turned by `rotation` degrees.
void SpawnFromFrame(const AnimSurface& image, int frame, float x, float y, float scaleX, float scaleY,
                    uint32_t tint, AreaEffectParams* record, float rotation = 0.0f);

// The pixels of a particle kind's sprite sheet (loaded once per manager); null when missing.
const BashMask* ParticleSpritePixels(int kind);
