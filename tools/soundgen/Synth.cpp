#include "tools/soundgen/Synth.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

constexpr float kTwoPi = 6.28318530718f;

float Oscillator(Wave wave, float phase)
{
    switch (wave) {
    case Wave::Sine:
        return std::sin(phase);
    case Wave::Triangle: {
        const float t = phase / kTwoPi;
        return 4.0f * std::fabs(t - std::floor(t + 0.5f)) - 1.0f;
    }
    case Wave::Soft: // a rounded square: the first three odd harmonics
        return 0.8f * (std::sin(phase) + std::sin(3.0f * phase) / 3.0f + std::sin(5.0f * phase) / 5.0f);
    case Wave::Noise:
        break;
    }
    return 0.0f;
}

float Envelope(float u, float lengthSeconds)
{
    const float attack = std::min(0.006f / std::max(lengthSeconds, 0.001f), 0.3f);
    if (u < attack)
        return u / attack;
    const float d = (u - attack) / (1.0f - attack);
    return (1.0f - d) * (1.0f - d);
}

} // namespace

void RenderTones(const std::vector<Tone>& tones, std::vector<float>& out, uint32_t noiseSeed)
{
    uint32_t state = noiseSeed ? noiseSeed : 1u;
    for (const Tone& tone : tones) {
        const int first = static_cast<int>(tone.start * kSampleRate);
        const int count = std::max(1, static_cast<int>(tone.length * kSampleRate));
        if (out.size() < static_cast<size_t>(first + count))
            out.resize(first + count, 0.0f);
        const float ratio = tone.to / tone.from;
        float phase = 0.0f;
        float low = 0.0f;
        for (int i = 0; i < count; ++i) {
            const float u = static_cast<float>(i) / count;
            const float freq = tone.from * std::pow(ratio, u);
            float value;
            if (tone.wave == Wave::Noise) {
                state = state * 1664525u + 1013904223u;
                const float white = static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
                const float alpha = 1.0f - std::exp(-kTwoPi * freq / kSampleRate);
                low += alpha * (white - low);
                value = low * 1.5f;
            } else {
                phase += kTwoPi * freq / kSampleRate;
                if (phase > kTwoPi)
                    phase -= kTwoPi;
                value = Oscillator(tone.wave, phase);
            }
            out[first + i] += tone.gain * Envelope(u, tone.length) * value;
        }
    }
}

void Normalise(std::vector<float>& samples, float peak, float fadeSeconds)
{
    float loudest = 0.0f;
    for (float s : samples)
        loudest = std::max(loudest, std::fabs(s));
    const float scale = loudest > 0.0f ? peak / loudest : 0.0f;
    const size_t fade = std::min(samples.size() / 2, static_cast<size_t>(fadeSeconds * kSampleRate));
    for (size_t i = 0; i < samples.size(); ++i) {
        float gain = scale;
        if (i < fade)
            gain *= static_cast<float>(i) / fade;
        else if (samples.size() - i <= fade)
            gain *= static_cast<float>(samples.size() - i - 1) / fade;
        samples[i] *= gain;
    }
}

float NoteFrequency(int midiNote)
{
    return 440.0f * std::pow(2.0f, (midiNote - 69) / 12.0f);
}

} // namespace soundgen
