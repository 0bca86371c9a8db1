// The software replay of a draw command list. It follows the render path of the game: the
// command's colour tints the texel, alpha scales it, blend 3 adds, anything else blends over;
// image commands turn about their frame's centre; a mirror or shear command replaces the one
// before it for the rest of the list. Texels are sampled bilinearly, as the device's textures.
#include "tools/assetgen/playframe.h"

#include <cmath>
#include <cstdio>

#include "game/bt3_numbers.h"
#include "tools/assetgen/report.h"

namespace assetgen {

using namespace bt3;

namespace {

constexpr int kLevel = 2; // 640x480 loads the "-hd" images
constexpr const char* kLevelSuffix = "-hd";

// Slot, file (without level suffix), frame size at level 1; "%s" is the theme's suffix.
struct SlotFile {
    int slot;
    const char* name;
    int frameW;
    int frameH;
};
constexpr SlotFile kSlotFiles[] = {
    {kImgBlocks, "blocks_world%s", 36, 36},
    {kImgStrips, "strips_world%s", 512, 36},
    {kImgMenu, "menu", 64, 64},
    {kImgRecord, "record", 128, 128},
    {kImgLogoHeart, "logo_heart", 256, 128},
    {kImgBadges, "BadgesA", 64, 64},
    {kImgCircle, "common/circle", 256, 256},
    {kImgLight, "common/light", 32, 32},
    {kImgFont, "fonts/shadow_editundo", 16, 16},
    {kImgDpad, "common/dpad", 32, 32},
    {kImgButtons, "common/Buttons", 64, 64},
    {kImgParts, "parts", 8, 8},
    {kImgIcons, "common/icons", 32, 32},
    {kImgLogo, "logo", 256, 128},
    {kImgBobs, "bobs", 32, 32},
};

bool loadPng(const std::string& path, SlotImage* image) {
    Canvas canvas(1, 1);
    if (!readPng(path, canvas)) return false;
    image->width = canvas.width();
    image->height = canvas.height();
    image->rgba = canvas.toRgba8();
    return true;
}

// The texel at (u, v) of a frame whose corner is (fx, fy), premultiplied, bilinear, clamped
// to the frame so neighbouring frames never bleed in.
Rgba sample(const SlotImage& img, int fx, int fy, float u, float v) {
    u -= 0.5f;
    v -= 0.5f;
    const int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
    const float tu = u - static_cast<float>(iu), tv = v - static_cast<float>(iv);
    Rgba out;
    for (int k = 0; k < 4; ++k) {
        const int su = std::clamp(iu + (k & 1), 0, img.frameW - 1);
        const int sv = std::clamp(iv + (k >> 1), 0, img.frameH - 1);
        const float wgt = ((k & 1) ? tu : 1 - tu) * ((k >> 1) ? tv : 1 - tv);
        const int x = fx + su, y = fy + sv;
        if (x >= img.width || y >= img.height) continue;
        const uint8_t* p = &img.rgba[(static_cast<size_t>(y) * img.width + x) * 4];
        const float a = p[3] / 255.0f * wgt;
        out.r += p[0] / 255.0f * a;
        out.g += p[1] / 255.0f * a;
        out.b += p[2] / 255.0f * a;
        out.a += a;
    }
    return out;
}

// The screen pixels, clipped to the frame, that the map takes the box (u0, v0)-(u1, v1) to.
struct ScreenBox {
    int x0, y0, x1, y1; // inclusive
};
ScreenBox screenBox(const Affine& map, float u0, float v0, float u1, float v1) {
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (int k = 0; k < 4; ++k) {
        float x, y;
        map.apply((k & 1) ? u1 : u0, (k >> 1) ? v1 : v0, &x, &y);
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    return ScreenBox{std::max(0, static_cast<int>(std::floor(minX))),
                     std::max(0, static_cast<int>(std::floor(minY))),
                     std::min(PlayFrame::kWidth - 1, static_cast<int>(std::ceil(maxX))),
                     std::min(PlayFrame::kHeight - 1, static_cast<int>(std::ceil(maxY)))};
}

bool frameCorner(const SlotImage& img, int frame, int* fx, int* fy) {
    const int perRow = img.width / img.frameW;
    if (perRow <= 0 || frame < 0) return false;
    *fx = (frame % perRow) * img.frameW;
    *fy = (frame / perRow) * img.frameH;
    return *fy + img.frameH <= img.height;
}

} // namespace

Affine Affine::then(const Affine& o) const {
    return Affine{o.a * a + o.c * b, o.b * a + o.d * b,       o.a * c + o.c * d,
                  o.b * c + o.d * d, o.a * e + o.c * f + o.e, o.b * e + o.d * f + o.f};
}

bool Affine::invert(Affine* out) const {
    const float det = a * d - b * c;
    if (std::fabs(det) < 1e-9f) return false;
    const float ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    *out = Affine{ia, ib, ic, id, -(ia * e + ic * f), -(ib * e + id * f)};
    return true;
}

void Affine::apply(float u, float v, float* x, float* y) const {
    *x = a * u + c * v + e;
    *y = b * u + d * v + f;
}

bool PlayFrame::loadSlots(const std::string& dataDir, int theme, int variant,
                          std::string* missing) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "%03d%s", theme,
                  theme == kThemeWoolly && variant == 1
                      ? "b"
                      : (theme == kThemeWoolly && variant == 2 ? "c" : ""));
    bool ok = true;
    for (const SlotFile& f : kSlotFiles) {
        char name[96];
        std::snprintf(name, sizeof name, f.name, suffix);
        const std::string path = dataDir + "/" + name + kLevelSuffix + ".png";
        SlotImage image;
        if (!loadPng(path, &image)) {
            if (missing) *missing += path + " ";
            ok = false;
            continue;
        }
        image.frameW = f.frameW * kLevel;
        image.frameH = f.frameH * kLevel;
        setSlot(f.slot, std::move(image));
    }
    return ok;
}

double PlayFrame::lum(int x, int y) const {
    const Rgba& p = pixel(x, y);
    return luminance(Rgba{p.r, p.g, p.b, 1});
}

void PlayFrame::replay(const float* list, int floats, const Rgba& background) {
    std::fill(px_.begin(), px_.end(), Rgba{background.r, background.g, background.b, 1});
    maps_.clear();
    Affine screen;
    for (int i = 0; i + kDrawStride <= floats; i += kDrawStride) {
        const float* rec = list + i;
        maps_.push_back(screen);
        if (rec[kSlotKind] == kCmdMirror) {
            screen = Affine{-1, 0, 0, 1, static_cast<float>(kWidth), 0};
        } else if (rec[kSlotKind] == kCmdShear) {
            screen = Affine{1, rec[kSlotX], rec[kSlotY], 1, 0, 0};
        } else if (rec[kSlotKind] > -1) {
            drawImage(rec, screen);
        } else {
            drawShape(rec, screen);
        }
    }
}

bool PlayFrame::imageMap(const float* rec, const Affine& screen, Affine* map) const {
    const int slot = static_cast<int>(rec[kSlotKind]);
    if (slot < 0 || slot >= kImageSlots || !slots_[slot].valid()) return false;
    const SlotImage& img = slots_[slot];
    const float rot = rec[kSlotRot] * kDegToRad;
    const float cs = std::cos(rot), sn = std::sin(rot);
    const float sx = rec[kSlotW] * imageScale_, sy = rec[kSlotH] * imageScale_;
    // Translate(x, y) · Rotate · Scale · Translate(-handle), as the graphics module builds it.
    Affine local{cs * sx, -sn * sx, sn * sy, cs * sy, 0, 0};
    const float hx = img.frameW / 2.0f, hy = img.frameH / 2.0f;
    local.e = rec[kSlotX] - (local.a * hx + local.c * hy);
    local.f = rec[kSlotY] - (local.b * hx + local.d * hy);
    *map = local.then(screen);
    return true;
}

void PlayFrame::put(int x, int y, const Rgba& c, float alpha, bool additive) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || alpha <= 0) return;
    Rgba& d = px_[static_cast<size_t>(y) * kWidth + x];
    const float keep = additive ? 1.0f : 1.0f - alpha;
    d.r = std::min(1.0f, c.r * alpha + d.r * keep);
    d.g = std::min(1.0f, c.g * alpha + d.g * keep);
    d.b = std::min(1.0f, c.b * alpha + d.b * keep);
}

void PlayFrame::drawImage(const float* rec, const Affine& screen) {
    Affine map, inv;
    if (!imageMap(rec, screen, &map) || !map.invert(&inv)) return;
    const SlotImage& img = slots_[static_cast<int>(rec[kSlotKind])];
    int fx = 0, fy = 0;
    if (!frameCorner(img, static_cast<int>(rec[kSlotFrame]), &fx, &fy)) return;
    const ScreenBox box = screenBox(map, 0, 0, img.frameW, img.frameH);
    const Rgba tint{rec[kSlotR] / 255.0f, rec[kSlotG] / 255.0f, rec[kSlotB] / 255.0f, 1};
    const float alpha = std::clamp(rec[kSlotAlpha], 0.0f, 1.0f);
    const bool additive = static_cast<int>(rec[kSlotBlend]) == 3;
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1; ++x) {
            float u, v;
            inv.apply(x + 0.5f, y + 0.5f, &u, &v);
            if (u < 0 || v < 0 || u >= img.frameW || v >= img.frameH) continue;
            const Rgba t = sample(img, fx, fy, u, v);
            if (t.a <= 0) continue;
            const Rgba straight{t.r / t.a * tint.r, t.g / t.a * tint.g, t.b / t.a * tint.b, 1};
            put(x, y, straight, t.a * alpha, additive);
        }
    }
}

void PlayFrame::drawShape(const float* rec, const Affine& screen) {
    const float kind = rec[kSlotKind];
    if (kind != kCmdRect && kind != kCmdOval && kind != kCmdLine) return;
    Affine inv;
    if (!screen.invert(&inv)) return;
    float bx0, by0, bx1, by1; // the shape's box in list units
    if (kind == kCmdRect) {
        bx0 = rec[kSlotX], by0 = rec[kSlotY], bx1 = rec[kSlotX] + rec[kSlotW],
        by1 = rec[kSlotY] + rec[kSlotH];
    } else if (kind == kCmdOval) {
        bx0 = rec[kSlotX] - rec[kSlotW], by0 = rec[kSlotY] - rec[kSlotH],
        bx1 = rec[kSlotX] + rec[kSlotW], by1 = rec[kSlotY] + rec[kSlotH];
    } else {
        bx0 = std::min(rec[kSlotX], rec[kSlotW]) - 1, bx1 = std::max(rec[kSlotX], rec[kSlotW]) + 1;
        by0 = std::min(rec[kSlotY], rec[kSlotH]) - 1, by1 = std::max(rec[kSlotY], rec[kSlotH]) + 1;
    }
    const ScreenBox box = screenBox(screen, bx0, by0, bx1, by1);
    const Rgba colour{rec[kSlotR] / 255.0f, rec[kSlotG] / 255.0f, rec[kSlotB] / 255.0f, 1};
    const float alpha = std::clamp(rec[kSlotAlpha], 0.0f, 1.0f);
    const bool additive = static_cast<int>(rec[kSlotBlend]) == 3;
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1; ++x) {
            float u, v;
            inv.apply(x + 0.5f, y + 0.5f, &u, &v);
            bool in = false;
            if (kind == kCmdRect) {
                in = u >= bx0 && u < bx1 && v >= by0 && v < by1;
            } else if (kind == kCmdOval) {
                const float du = (u - rec[kSlotX]) / std::max(rec[kSlotW], 0.01f);
                const float dv = (v - rec[kSlotY]) / std::max(rec[kSlotH], 0.01f);
                in = du * du + dv * dv <= 1;
            } else {
                in = sdSegment(u, v, rec[kSlotX], rec[kSlotY], rec[kSlotW], rec[kSlotH], 0.5f) <= 0;
            }
            if (in) put(x, y, colour, alpha, additive);
        }
    }
}

SpriteMask PlayFrame::mask(const float* list, int index, float minAlpha) const {
    SpriteMask m;
    const float* rec = list + static_cast<size_t>(index) * kDrawStride;
    Affine map, inv;
    if (index < 0 || index >= static_cast<int>(maps_.size()) || rec[kSlotKind] <= -1 ||
        !imageMap(rec, maps_[index], &map) || !map.invert(&inv)) {
        return m;
    }
    const SlotImage& img = slots_[static_cast<int>(rec[kSlotKind])];
    int fx = 0, fy = 0;
    if (!frameCorner(img, static_cast<int>(rec[kSlotFrame]), &fx, &fy)) return m;
    const ScreenBox box = screenBox(map, 0, 0, img.frameW, img.frameH);
    m.x0 = box.x0;
    m.y0 = box.y0;
    m.w = box.x1 - box.x0 + 1;
    m.h = box.y1 - box.y0 + 1;
    if (m.w <= 0 || m.h <= 0) return SpriteMask{};
    m.inside.assign(static_cast<size_t>(m.w) * m.h, 0);
    m.texelLum.assign(static_cast<size_t>(m.w) * m.h, 0);
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) {
            float u, v;
            inv.apply(m.x0 + x + 0.5f, m.y0 + y + 0.5f, &u, &v);
            if (u < 0 || v < 0 || u >= img.frameW || v >= img.frameH) continue;
            const Rgba t = sample(img, fx, fy, u, v);
            if (t.a < minAlpha) continue;
            m.inside[static_cast<size_t>(y) * m.w + x] = 1;
            m.texelLum[static_cast<size_t>(y) * m.w + x] =
                static_cast<float>(luminance(Rgba{t.r / t.a, t.g / t.a, t.b / t.a, 1}));
        }
    }
    return m;
}

Canvas PlayFrame::toCanvas() const {
    Canvas canvas(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) canvas.set(x, y, pixel(x, y));
    }
    return canvas;
}

} // namespace assetgen
