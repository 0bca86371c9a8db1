// File writers of the generator: PNG through stb_image_write, 16-bit PCM WAV written by hand,
// and OGG Vorbis through libvorbisenc with a fixed stream serial so output is reproducible.
// Each writer creates the folders on the way and returns false when the file cannot be made.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"

namespace assetgen {

// Interleaved float samples in -1..1.
struct Sound {
    int rate = 44100;
    int channels = 1;
    std::vector<float> samples;
    size_t frames() const { return samples.size() / static_cast<size_t>(channels); }
};

bool writePng(const std::string& path, const Canvas& canvas);
bool writeWav(const std::string& path, const Sound& sound);
bool writeOgg(const std::string& path, const Sound& sound, float quality);

} // namespace assetgen
