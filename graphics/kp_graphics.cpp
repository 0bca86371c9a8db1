// The graphics module: frame bracketing, state forwarding, the matrix and its stack, drawing
// of shapes and image frames, image loading and the font selection.
#include "graphics/kp_graphics.h"

#include <cmath>

#include "runtime/kp_data.h"
#include "runtime/kp_game.h"

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------
namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kWhite = 255.0f;
constexpr int kDefaultFirstChar = 32;
constexpr int kDefaultFontGlyphs = 96; // character codes 32 to 127
constexpr const char* kDefaultFontFile = "vexa_font.png";

} // namespace

// ---------------------------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------------------------
gxtkGraphics* kp_graphics_device = nullptr;
gxtkGraphics* kp_graphics_renderDevice = nullptr;
std::unique_ptr<c_GraphicsContext> kp_graphics_context;

// ---------------------------------------------------------------------------------------------
// Internal functions
// ---------------------------------------------------------------------------------------------
namespace {

c_GraphicsContext& ctx() {
    return *kp_graphics_context;
}

// Recomputes tformed and marks the matrix for sending after any change.
void matrixChanged() {
    c_GraphicsContext& c = ctx();
    c.tformed = (c.ix == 1.0f && c.iy == 0.0f && c.jx == 0.0f && c.jy == 1.0f && c.tx == 0.0f &&
                 c.ty == 0.0f)
                    ? 0
                    : 1;
    c.matDirty = 1;
}

// A matrix as six floats: ix, iy, jx, jy, tx, ty.
struct Matrix {
    float ix, iy, jx, jy, tx, ty;
};

// m multiplied by the transform (a, b, c, d, e, f), which applies first.
Matrix compose(const Matrix& m, float a, float b, float c, float d, float e, float f) {
    return {a * m.ix + b * m.jx, a * m.iy + b * m.jy,        c * m.ix + d * m.jx,
            c * m.iy + d * m.jy, e * m.ix + f * m.jx + m.tx, e * m.iy + f * m.jy + m.ty};
}

Matrix rotated(const Matrix& m, float degrees) {
    float a = degrees * kDegreesToRadians;
    float cs = std::cos(a), sn = std::sin(a);
    return compose(m, cs, -sn, sn, cs, 0, 0);
}

// The frame's device after the matrix has been sent; none outside a frame.
gxtkGraphics* drawDevice() {
    if (!kp_graphics_renderDevice) return nullptr;
    ctx().p_Validate();
    return kp_graphics_renderDevice;
}

// Draws a frame with its top-left corner at (x, y) under the current (already sent) matrix.
void drawFrame(gxtkGraphics* device, c_Image* image, float x, float y, int frame) {
    // A frame index outside the image would read past its frame list: draw nothing.
    if (frame < 0 || frame >= static_cast<int>(image->frames.size())) return;
    if (image->flags & c_Image::m_WholeSurfaceFlag) {
        device->DrawSurface(image->surface.get(), x, y);
        return;
    }
    const c_Frame& f = image->frames[static_cast<size_t>(frame)];
    device->DrawSurface2(image->surface.get(), x, y, f.x, f.y, image->width, image->height);
}

std::unique_ptr<gxtkSurface> loadSurface(const String& path) {
    if (!kp_graphics_device) return nullptr;
    return kp_graphics_device->LoadSurface(kp_data_FixDataPath(path));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Context and frames
// ---------------------------------------------------------------------------------------------
c_GraphicsContext::c_GraphicsContext()
    : matrixStack(static_cast<size_t>(kInitialMatrices * kMatrixFloats)) {}

int c_GraphicsContext::p_Validate() {
    if (matDirty) {
        kp_graphics_renderDevice->SetMatrix(ix, iy, jx, jy, tx, ty);
        matDirty = 0;
    }
    return 0;
}

void kp_graphics_Init() {
    kp_graphics_device = nullptr;
    kp_graphics_renderDevice = nullptr;
    kp_graphics_context = std::make_unique<c_GraphicsContext>();
    c_Image::m_DefaultFlags = 0;
}

int kp_graphics_SetGraphicsDevice(gxtkGraphics* device) {
    kp_graphics_device = device;
    return 0;
}

int kp_graphics_BeginRender() {
    kp_graphics_renderDevice = kp_graphics_device;
    if (!kp_graphics_renderDevice) return 0;
    c_GraphicsContext& c = ctx();
    c.matrixSp = 0;
    kp_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
    kp_graphics_SetColor(kWhite, kWhite, kWhite);
    kp_graphics_SetAlpha(1);
    kp_graphics_SetBlend(0);
    kp_graphics_SetScissor(0, 0, static_cast<float>(kp_app__devWidth),
                           static_cast<float>(kp_app__devHeight));
    return 0;
}

int kp_graphics_EndRender() {
    kp_graphics_renderDevice = nullptr;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Colour, blend and scissor: stored, and forwarded at once inside a frame
// ---------------------------------------------------------------------------------------------
int kp_graphics_SetColor(float r, float g, float b) {
    c_GraphicsContext& c = ctx();
    c.color_r = r;
    c.color_g = g;
    c.color_b = b;
    if (kp_graphics_renderDevice) kp_graphics_renderDevice->SetColor(r, g, b);
    return 0;
}

int kp_graphics_SetAlpha(float alpha) {
    ctx().alpha = alpha;
    if (kp_graphics_renderDevice) kp_graphics_renderDevice->SetAlpha(alpha);
    return 0;
}

int kp_graphics_SetBlend(int mode) {
    ctx().blend = mode;
    if (kp_graphics_renderDevice) kp_graphics_renderDevice->SetBlend(mode);
    return 0;
}

int kp_graphics_SetScissor(float x, float y, float w, float h) {
    c_GraphicsContext& c = ctx();
    c.scissor_x = x;
    c.scissor_y = y;
    c.scissor_w = w;
    c.scissor_h = h;
    if (kp_graphics_renderDevice) {
        kp_graphics_renderDevice->SetScissor(static_cast<int>(x), static_cast<int>(y),
                                             static_cast<int>(w), static_cast<int>(h));
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Matrix
// ---------------------------------------------------------------------------------------------
int kp_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
    c_GraphicsContext& c = ctx();
    c.ix = ix;
    c.iy = iy;
    c.jx = jx;
    c.jy = jy;
    c.tx = tx;
    c.ty = ty;
    matrixChanged();
    return 0;
}

int kp_graphics_SetMatrix2(const KpMatrix& m) {
    return kp_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int kp_graphics_Transform(float a, float b, float c, float d, float e, float f) {
    c_GraphicsContext& m = ctx();
    Matrix r = compose({m.ix, m.iy, m.jx, m.jy, m.tx, m.ty}, a, b, c, d, e, f);
    return kp_graphics_SetMatrix(r.ix, r.iy, r.jx, r.jy, r.tx, r.ty);
}

int kp_graphics_Transform2(const KpMatrix& m) {
    return kp_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int kp_graphics_Translate(float x, float y) {
    return kp_graphics_Transform(1, 0, 0, 1, x, y);
}

int kp_graphics_Rotate(float degrees) {
    c_GraphicsContext& m = ctx();
    Matrix r = rotated({m.ix, m.iy, m.jx, m.jy, m.tx, m.ty}, degrees);
    return kp_graphics_SetMatrix(r.ix, r.iy, r.jx, r.jy, r.tx, r.ty);
}

int kp_graphics_Scale(float x, float y) {
    return kp_graphics_Transform(x, 0, 0, y, 0, 0);
}

int kp_graphics_PushMatrix() {
    c_GraphicsContext& c = ctx();
    if (c.matrixSp == static_cast<int>(c.matrixStack.size())) {
        c.matrixStack.resize(c.matrixStack.size() * 2);
    }
    float* top = c.matrixStack.data() + c.matrixSp;
    top[0] = c.ix;
    top[1] = c.iy;
    top[2] = c.jx;
    top[3] = c.jy;
    top[4] = c.tx;
    top[5] = c.ty;
    c.matrixSp += c_GraphicsContext::kMatrixFloats;
    return 0;
}

int kp_graphics_PopMatrix() {
    c_GraphicsContext& c = ctx();
    // An unmatched pop would read below the stack: keep the current matrix instead.
    if (c.matrixSp < c_GraphicsContext::kMatrixFloats) return 0;
    c.matrixSp -= c_GraphicsContext::kMatrixFloats;
    const float* top = c.matrixStack.data() + c.matrixSp;
    return kp_graphics_SetMatrix(top[0], top[1], top[2], top[3], top[4], top[5]);
}

// ---------------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------------
int kp_graphics_DrawRect(float x, float y, float w, float h) {
    if (gxtkGraphics* device = drawDevice()) device->DrawRect(x, y, w, h);
    return 0;
}

int kp_graphics_DrawLine(float x1, float y1, float x2, float y2) {
    if (gxtkGraphics* device = drawDevice()) device->DrawLine(x1, y1, x2, y2);
    return 0;
}

int kp_graphics_DrawEllipse(float x, float y, float xr, float yr) {
    if (gxtkGraphics* device = drawDevice()) device->DrawOval(x - xr, y - yr, 2 * xr, 2 * yr);
    return 0;
}

int kp_graphics_DrawOval(float x, float y, float w, float h) {
    if (gxtkGraphics* device = drawDevice()) device->DrawOval(x, y, w, h);
    return 0;
}

int kp_graphics_Cls(float r, float g, float b) {
    if (kp_graphics_renderDevice) kp_graphics_renderDevice->Cls(r, g, b);
    return 0;
}

int kp_graphics_DrawImage(c_Image* image, float x, float y, int frame) {
    if (!image) return 0;
    if (gxtkGraphics* device = drawDevice()) {
        drawFrame(device, image, x - image->tx, y - image->ty, frame);
    }
    return 0;
}

int kp_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame) {
    if (!image || !kp_graphics_renderDevice) return 0;
    // The products a push, translation, rotation, scale and translation by the handle make,
    // in the same order, composed here without touching the context's matrix; the device
    // gets the result and, as after the pop, the context's own matrix before the next draw.
    c_GraphicsContext& c = ctx();
    Matrix m = compose({c.ix, c.iy, c.jx, c.jy, c.tx, c.ty}, 1, 0, 0, 1, x, y);
    m = rotated(m, rotation);
    m = compose(m, scaleX, 0, 0, scaleY, 0, 0);
    m = compose(m, 1, 0, 0, 1, -image->tx, -image->ty);
    gxtkGraphics* device = kp_graphics_renderDevice;
    device->SetMatrix(m.ix, m.iy, m.jx, m.jy, m.tx, m.ty);
    c.matDirty = 1;
    // The handle offset is already in the matrix: the frame's corner goes at the origin.
    drawFrame(device, image, 0, 0, frame);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Images and font
// ---------------------------------------------------------------------------------------------
std::unique_ptr<c_Image> kp_graphics_LoadImage(const String& path, int frameCount, int flags) {
    std::unique_ptr<gxtkSurface> surface = loadSurface(path);
    if (!surface) return nullptr;
    auto image = std::make_unique<c_Image>();
    image->p_Init(std::move(surface), frameCount, flags);
    return image;
}

std::unique_ptr<c_Image> kp_graphics_LoadImage2(const String& path, int frameWidth, int frameHeight,
                                                int frameCount, int flags) {
    std::unique_ptr<gxtkSurface> surface = loadSurface(path);
    if (!surface) return nullptr;
    int w = surface->Width(), h = surface->Height();
    auto image = std::make_unique<c_Image>();
    image->p_Init2(std::move(surface), 0, 0, frameWidth, frameHeight, frameCount, flags, nullptr, 0,
                   0, w, h);
    return image;
}

void kp_graphics_PrefetchImage(const String& path) {
    if (kp_graphics_device && KpGame::_game)
        KpGame::_game->PrefetchImage(kp_data_FixDataPath(path));
}

int kp_graphics_SetFont(c_Image* font, int firstChar) {
    c_GraphicsContext& c = ctx();
    if (!font) {
        if (!c.defaultFont) {
            c.defaultFont = kp_graphics_LoadImage(kpS(kDefaultFontFile), kDefaultFontGlyphs,
                                                  c_Image::m_PadXFlag);
        }
        font = c.defaultFont.get();
        firstChar = kDefaultFirstChar;
    }
    c.font = font;
    c.firstChar = firstChar;
    return 0;
}
