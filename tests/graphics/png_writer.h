// PNG files written by the graphics tests, so every image they load is made by the test itself.
#pragma once

#include <string>
#include <vector>

// Writes w x h pixels of depth bytes each (rows top to bottom) as a PNG, making folders.
void writePng(const std::string& path, int w, int h, int depth,
              const std::vector<unsigned char>& pixels);
// An RGBA image of one colour.
void writeSolidPng(const std::string& path, int w, int h, unsigned char r, unsigned char g,
                   unsigned char b, unsigned char a);
