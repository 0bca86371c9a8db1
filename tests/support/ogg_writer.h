// OGG Vorbis files for tests: a 440 Hz sine tone (half scale unless asked), encoded with
// libvorbisenc.
#pragma once

#include <functional>
#include <string>

// Changes one of the three header packets (0 identification, 1 comments, 2 codebooks) before
// it is paged, so the pages' checksums still hold and the decoder sees the damage.
using OggHeaderEdit = std::function<void(int index, std::string& packet)>;

// The bytes of an OGG Vorbis stream of frames samples per channel, the tone at the given
// amplitude (0 for silence) and encoder quality (-0.1 to 1); empty if encoding fails.
std::string encodeOgg(int channels, int rate, int frames, const OggHeaderEdit& edit = {},
                      float amplitude = 0.5f, float quality = 0.4f);
