#pragma once
// Writes mono float samples as a 16-bit PCM WAV file or an Ogg Vorbis file.

#include <string>
#include <vector>

namespace soundgen {

bool WriteWav(const std::string& path, const std::vector<float>& samples, int sampleRate);

// `quality` is the Vorbis VBR quality (-0.1 .. 1.0). The stream serial number is fixed so
// that the same samples always give the same file.
bool WriteOggVorbis(const std::string& path, const std::vector<float>& samples, int sampleRate,
                    float quality);

} // namespace soundgen
