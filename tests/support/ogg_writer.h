// OGG Vorbis files for tests: a half-scale 440 Hz sine tone, encoded with libvorbisenc.
#pragma once

#include <string>

// The bytes of an OGG Vorbis stream of frames samples per channel; empty if encoding fails.
std::string encodeOgg(int channels, int rate, int frames);
