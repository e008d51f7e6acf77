#include "tools/soundgen/Recipes.h"

#include <algorithm>
#include <map>

namespace soundgen {

namespace {

using W = Wave;

// Notes played one after another with the same voice.
std::vector<Tone> Arpeggio(W wave, std::initializer_list<float> freqs, float step, float length, float gain)
{
    std::vector<Tone> tones;
    float start = 0.0f;
    for (float f : freqs) {
        tones.push_back({wave, start, length, f, f, gain});
        start += step;
    }
    return tones;
}

std::vector<Tone> Join(std::vector<Tone> a, const std::vector<Tone>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::map<int, std::vector<Tone>>& EffectTable()
{
    static const std::map<int, std::vector<Tone>> table = {
        {0, {{W::Noise, 0, 0.6f, 3000, 800, 0.8f}, {W::Sine, 0, 0.5f, 180, 90, 0.4f}}},
        {1, Arpeggio(W::Sine, {660, 990}, 0.12f, 0.25f, 0.7f)},
        {2, Arpeggio(W::Triangle, {880, 1109, 1319}, 0.07f, 0.18f, 0.7f)},
        {3, {{W::Noise, 0, 0.3f, 2200, 300, 0.9f}, {W::Soft, 0, 0.25f, 120, 60, 0.5f}}},
        {6, {{W::Soft, 0, 0.25f, 1400, 1300, 0.4f}, {W::Noise, 0, 0.2f, 6000, 2000, 0.4f}}},
        {7, {{W::Noise, 0, 0.45f, 4000, 600, 0.9f}, {W::Sine, 0.02f, 0.2f, 500, 250, 0.3f}}},
        {8, {{W::Sine, 0, 0.4f, 300, 1200, 0.6f}, {W::Sine, 0.05f, 0.35f, 600, 2400, 0.25f}}},
        {12, Arpeggio(W::Sine, {784, 1175}, 0.12f, 0.3f, 0.7f)},
        {13, {{W::Sine, 0, 0.04f, 1500, 1200, 0.8f}}},
        {14, {{W::Sine, 0, 0.025f, 2000, 2000, 0.6f}}},
        {15, {{W::Sine, 0, 0.08f, 880, 1320, 0.7f}}},
        {16, {{W::Sine, 0, 0.08f, 1320, 880, 0.7f}}},
        {19, Arpeggio(W::Triangle, {523, 659, 784}, 0.1f, 0.25f, 0.6f)},
        {21, {{W::Noise, 0, 0.7f, 1800, 120, 1.0f}, {W::Sine, 0, 0.6f, 110, 45, 0.7f}}},
        {23, Arpeggio(W::Soft, {220, 185}, 0.11f, 0.1f, 0.5f)},
        {24, {{W::Triangle, 0, 0.12f, 660, 990, 0.7f}}},
        {25, {{W::Triangle, 0, 0.15f, 660, 330, 0.7f}}},
        {26, Arpeggio(W::Sine, {523, 784, 1047}, 0.12f, 0.3f, 0.6f)},
        {28, {{W::Sine, 0, 0.3f, 400, 1600, 0.6f}, {W::Triangle, 0, 0.3f, 800, 3200, 0.2f}}},
        {29, {{W::Triangle, 0, 0.25f, 784, 1568, 0.7f}}},
        {30, {{W::Noise, 0, 0.25f, 800, 5000, 0.6f}, {W::Sine, 0, 0.25f, 200, 800, 0.5f}}},
        {32, {{W::Noise, 0, 0.3f, 1200, 200, 0.9f}, {W::Soft, 0, 0.25f, 90, 50, 0.5f}}},
        {33, {{W::Sine, 0, 0.15f, 300, 600, 0.8f}}},
        {35, Join({{W::Sine, 0, 0.15f, 600, 1200, 0.6f}}, {{W::Sine, 0.15f, 0.15f, 1200, 600, 0.6f}})},
        {36, {{W::Sine, 0, 0.35f, 200, 2000, 0.5f}, {W::Triangle, 0, 0.35f, 2000, 200, 0.3f}}},
        {37, Arpeggio(W::Soft, {440, 330}, 0.15f, 0.18f, 0.5f)},
        {41, {{W::Noise, 0, 0.3f, 5000, 5000, 0.5f}, {W::Sine, 0, 0.1f, 1800, 1800, 0.3f}}},
        {49, {{W::Triangle, 0, 0.4f, 800, 200, 0.6f}, {W::Sine, 0.1f, 0.3f, 400, 1600, 0.3f}}},
        {50, {{W::Triangle, 0, 0.3f, 2000, 2600, 0.5f}, {W::Sine, 0.05f, 0.25f, 3000, 3000, 0.3f}}},
        {51, {{W::Soft, 0, 0.3f, 1000, 1000, 0.4f}, {W::Noise, 0, 0.3f, 7000, 3000, 0.3f}}},
        {52, {{W::Sine, 0, 0.5f, 800, 80, 0.8f}}},
        {53, {{W::Sine, 0, 0.2f, 1047, 1047, 0.5f}, {W::Sine, 0, 0.2f, 1568, 1568, 0.2f}}},
        {55, {{W::Noise, 0, 0.5f, 1500, 400, 0.9f}, {W::Soft, 0, 0.45f, 110, 90, 0.4f}}},
        {56, Arpeggio(W::Triangle, {440, 880}, 0.1f, 0.12f, 0.6f)},
        {57, {{W::Noise, 0, 0.45f, 7000, 3000, 0.8f}}},
        {59, Arpeggio(W::Triangle, {2637, 3136}, 0.08f, 0.17f, 0.5f)},
        {60, {{W::Sine, 0, 0.2f, 300, 150, 0.7f}, {W::Noise, 0, 0.15f, 900, 300, 0.4f}}},
        {61, {{W::Sine, 0, 0.05f, 1000, 1000, 0.7f}, {W::Sine, 0.02f, 0.05f, 1500, 1500, 0.4f}}},
        {64, Arpeggio(W::Triangle, {784, 988, 1175, 1568}, 0.07f, 0.18f, 0.6f)},
        {65, Arpeggio(W::Triangle, {523, 659, 784, 1047}, 0.12f, 0.35f, 0.6f)},
        {66, {{W::Noise, 0, 0.35f, 3000, 8000, 0.6f}, {W::Sine, 0, 0.35f, 1500, 3000, 0.3f}}},
        {67, Arpeggio(W::Soft, {660, 440, 660, 440}, 0.12f, 0.12f, 0.5f)},
        // The flimbs' voices and tools.
        {80, Arpeggio(W::Soft, {330, 262}, 0.08f, 0.1f, 0.5f)},
        {81, {{W::Triangle, 0, 0.35f, 1400, 500, 0.6f}}},
        {82, {{W::Sine, 0, 0.3f, 900, 300, 0.5f}}},
        {83, {{W::Noise, 0, 0.2f, 1400, 200, 0.9f}, {W::Soft, 0, 0.18f, 160, 70, 0.6f}}},
        {84, {{W::Noise, 0, 0.12f, 3000, 1500, 0.7f}, {W::Triangle, 0, 0.1f, 500, 700, 0.4f}}},
        {85, Arpeggio(W::Triangle, {523, 659}, 0.08f, 0.1f, 0.5f)},
        {86, {{W::Soft, 0, 0.3f, 220, 260, 0.5f}, {W::Noise, 0, 0.3f, 5000, 5000, 0.3f}}},
        {87, {{W::Soft, 0, 0.2f, 180, 180, 0.6f}}},
        {88, {{W::Noise, 0, 0.3f, 600, 1800, 0.5f}}},
        {89, {{W::Triangle, 0, 0.3f, 400, 1200, 0.5f}}},
        {90, {{W::Noise, 0, 0.4f, 8000, 2000, 0.5f}, {W::Sine, 0, 0.4f, 2000, 3500, 0.3f}}},
        {91, {{W::Noise, 0, 0.1f, 6000, 6000, 0.8f}, {W::Sine, 0, 0.08f, 1800, 1700, 0.4f}}},
        {92, Arpeggio(W::Sine, {880, 880}, 0.12f, 0.06f, 0.5f)},
        {93, Arpeggio(W::Triangle, {659, 494}, 0.08f, 0.1f, 0.5f)},
        {94, {{W::Noise, 0, 0.8f, 2500, 100, 1.0f}, {W::Sine, 0, 0.7f, 90, 40, 0.8f}}},
        {95, {{W::Noise, 0, 0.15f, 900, 3000, 0.5f}, {W::Triangle, 0, 0.15f, 300, 600, 0.4f}}},
        {96, {{W::Soft, 0, 0.15f, 300, 90, 0.7f}, {W::Noise, 0, 0.12f, 1500, 300, 0.5f}}},
        {97, Arpeggio(W::Sine, {1568, 1319, 1568}, 0.07f, 0.1f, 0.4f)},
    };
    return table;
}

} // namespace

std::vector<Tone> EffectTones(int id)
{
    const auto& table = EffectTable();
    const auto it = table.find(id);
    return it == table.end() ? std::vector<Tone>{} : it->second;
}

const std::vector<MusicTrack>& MusicTracks()
{
    static const std::vector<MusicTrack> tracks = {
        {"intro", 12.0f, 100, 60, false, {0, 4, 5, 3}, 11},
        {"planet01", 12.0f, 84, 57, true, {0, 5, 2, 6}, 23},
        {"boss_intro", 6.0f, 132, 62, true, {0, 0, 5, 6}, 37},
        {"single_vic01", 3.0f, 120, 67, false, {0, 3, 4, 0}, 41},
        {"single_lose01", 3.0f, 70, 64, true, {0, 3, 4, 0}, 53},
        {"multi_vic01", 3.0f, 126, 65, false, {0, 4, 3, 0}, 67},
        {"multi_lose00", 3.0f, 66, 59, true, {0, 6, 5, 4}, 71},
        {"multi_tie01", 2.0f, 96, 62, false, {0, 3, 0, 3}, 89},
    };
    return tracks;
}

std::vector<float> ComposeMusic(const MusicTrack& track)
{
    static const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
    static const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
    const int* scale = track.minor ? kMinor : kMajor;
    auto degreeNote = [&](int degree, int octaveShift) {
        const int octave = degree / 7 + octaveShift;
        return track.rootNote + scale[degree % 7] + 12 * octave;
    };

    const float beat = 60.0f / track.beatsPerMinute;
    const int beats = static_cast<int>(track.seconds / beat);
    std::vector<Tone> tones;
    uint32_t state = track.seed;
    auto next = [&state]() {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };

    int melodyDegree = 7;
    for (int b = 0; b < beats; ++b) {
        const int chord = track.chords[(b / 4) % 4];
        const float t = b * beat;
        if (b % 2 == 0) // bass on every other beat
            tones.push_back({W::Triangle, t, beat * 1.8f, NoteFrequency(degreeNote(chord, -2)),
                             NoteFrequency(degreeNote(chord, -2)), 0.5f});
        if (b % 4 == 0) // pad: the chord's three notes for the bar
            for (int k = 0; k < 3; ++k) {
                const float f = NoteFrequency(degreeNote(chord + 2 * k, -1));
                tones.push_back({W::Sine, t, beat * 4.0f, f, f, 0.12f});
            }
        for (int half = 0; half < 2; ++half) { // arpeggio in eighths
            const float f = NoteFrequency(degreeNote(chord + 2 * ((b * 2 + half) % 3), 0));
            tones.push_back({W::Triangle, t + half * beat / 2, beat * 0.45f, f, f, 0.15f});
        }
        if (next() % 4 != 0) { // melody: steps of the scale around the chord
            const int step = static_cast<int>(next() % 5) - 2;
            melodyDegree = std::clamp(melodyDegree + step, 4, 12);
            const float f = NoteFrequency(degreeNote(melodyDegree, 1));
            tones.push_back({W::Sine, t, beat * 0.9f, f, f, 0.3f});
        }
    }
    std::vector<float> samples(static_cast<size_t>(track.seconds * kSampleRate), 0.0f);
    RenderTones(tones, samples, track.seed);
    samples.resize(static_cast<size_t>(track.seconds * kSampleRate));
    Normalise(samples, 0.7f, 0.03f);
    return samples;
}

} // namespace soundgen
