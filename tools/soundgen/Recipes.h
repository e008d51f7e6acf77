#pragma once
// What each generated sound is made of: the effects by id, and the music tracks.

#include "tools/soundgen/Synth.h"

#include <vector>

namespace soundgen {

// The tones of effect `id`; empty when no recipe exists for it.
std::vector<Tone> EffectTones(int id);

struct MusicTrack {
    const char* name;   // file title under Sounds\Music (".ogg" is added)
    float seconds;
    int beatsPerMinute;
    int rootNote;       // MIDI note of the key's tonic
    bool minor;
    int chords[4];      // scale degrees (0-based) of the four-bar progression
    uint32_t seed;      // melody choices
};

const std::vector<MusicTrack>& MusicTracks();

// Renders a track: bass, soft chord pad, arpeggio and a pentatonic melody.
std::vector<float> ComposeMusic(const MusicTrack& track);

} // namespace soundgen
