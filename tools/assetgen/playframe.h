// A software replay of the game's draw command list, for measuring what the player sees: the
// image commands of the loaded image slots (scaled, turned, tinted, blended), rectangles,
// ovals and lines, and the mirror and shear commands, drawn into a 640x480 frame as the
// render device draws them. The sprite masks it gives back say which pixels a command covers.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "game/c_MyApp_commands.h"
#include "tools/assetgen/canvas.h"

namespace assetgen {

// One loaded image slot: straight RGBA8 pixels cut into frames left to right, row by row.
struct SlotImage {
    int width = 0;
    int height = 0;
    int frameW = 0;
    int frameH = 0;
    std::vector<uint8_t> rgba;
    bool valid() const { return width > 0 && frameW > 0; }
};

// The affine map of a command from its frame's pixels (u, v) to the screen: x = a·u + c·v + e,
// y = b·u + d·v + f.
struct Affine {
    float a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    Affine then(const Affine& outer) const; // outer after this
    bool invert(Affine* out) const;
    void apply(float u, float v, float* x, float* y) const;
};

// Pixels of the screen a command covers (texel alpha at least one half), with its texels'
// luminance, in a box of the frame.
struct SpriteMask {
    int x0 = 0, y0 = 0, w = 0, h = 0;
    std::vector<uint8_t> inside; // 1 where covered
    std::vector<float> texelLum; // luminance of the untinted texel, where covered
    bool covers(int x, int y) const {
        return x >= x0 && y >= y0 && x < x0 + w && y < y0 + h && inside[(y - y0) * w + x - x0];
    }
};

class PlayFrame {
  public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    // Loads the image slots the round draws from the data folder at the 640x480 resolution
    // level ("-hd" files drawn at half size); false when a file is missing.
    bool loadSlots(const std::string& dataDir, int theme, int variant, std::string* missing);
    // Puts an image into a slot; it is drawn at half size, as the "-hd" files are.
    void setSlot(int slot, SlotImage image) { slots_[slot] = std::move(image); }

    // Draws the list: the background colour, then every whole command in order.
    void replay(const float* list, int floats, const Rgba& background);

    // The pixels image command `index` of the last list covers (empty for other commands):
    // those where its texels are at least `minAlpha` opaque (half, by default: the sprite's
    // own silhouette; less, for everything something drawn over another one changes).
    SpriteMask mask(const float* list, int index, float minAlpha = 0.5f) const;

    Rgba pixel(int x, int y) const { return px_[static_cast<size_t>(y) * kWidth + x]; }
    double lum(int x, int y) const;
    Canvas toCanvas() const;

  private:
    bool imageMap(const float* record, const Affine& screen, Affine* map) const;
    void drawImage(const float* record, const Affine& screen);
    void drawShape(const float* record, const Affine& screen);
    void put(int x, int y, const Rgba& c, float alpha, bool additive);

    std::array<SlotImage, kImageSlots> slots_;
    float imageScale_ = 0.5f;
    std::vector<Rgba> px_ = std::vector<Rgba>(static_cast<size_t>(kWidth) * kHeight);
    std::vector<Affine> maps_; // per command of the last list: the screen map in force
};

} // namespace assetgen
