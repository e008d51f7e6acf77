#pragma once
// A tiny additive synthesiser for the game's placeholder sounds: enveloped tones with a
// frequency glide, and filtered noise. Output is mono float samples in [-1, 1].

#include <cstdint>
#include <vector>

namespace soundgen {

constexpr int kSampleRate = 22050;

enum class Wave { Sine, Triangle, Soft, Noise };

// One voice. Frequencies glide exponentially from `from` to `to` (Hz); for noise they are
// the cutoff of a low-pass filter. Times are in seconds.
struct Tone {
    Wave wave;
    float start;
    float length;
    float from;
    float to;
    float gain;
};

// Mixes the tones into `out` (grown as needed) with a short attack and a smooth decay.
void RenderTones(const std::vector<Tone>& tones, std::vector<float>& out, uint32_t noiseSeed);

// Scales the samples so that the loudest one reaches `peak`, and fades both ends over
// `fadeSeconds` so that the sound starts and ends (or loops) without a click.
void Normalise(std::vector<float>& samples, float peak, float fadeSeconds);

// Frequency of a MIDI note number.
float NoteFrequency(int midiNote);

} // namespace soundgen
