// The graphics module: the drawing interface the game sees. One drawing context keeps the
// matrix (with its stack), colour, alpha, blend, scissor and font; colour, alpha, blend and
// scissor reach the render device at once, the matrix only before the next draw after it
// changed. Drawing happens between kp_graphics_BeginRender and kp_graphics_EndRender; outside
// a frame the drawing functions do nothing. The module draws no text: the font is state only.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "graphics/c_Image.h"
#include "graphics/gxtkGraphics.h"
#include "runtime/kp_string.h"

class c_GraphicsContext : public Object {
  public:
    static constexpr int kMatrixFloats = 6;
    static constexpr int kInitialMatrices = 32;

    c_GraphicsContext();
    // Sends the matrix to the render device if it changed since it was last sent.
    int p_Validate();

    std::unique_ptr<c_Image> defaultFont;
    c_Image* font = nullptr;
    int firstChar = 0;
    int matrixSp = 0;
    float ix = 1.0f;
    float iy = 0.0f;
    float jx = 0.0f;
    float jy = 1.0f;
    float tx = 0.0f;
    float ty = 0.0f;
    int tformed = 0;
    int matDirty = 0;
    float color_r = 0.0f;
    float color_g = 0.0f;
    float color_b = 0.0f;
    float alpha = 0.0f;
    int blend = 0;
    float scissor_x = 0.0f;
    float scissor_y = 0.0f;
    float scissor_w = 0.0f;
    float scissor_h = 0.0f;
    std::vector<float> matrixStack;
};

using KpMatrix = std::array<float, c_GraphicsContext::kMatrixFloats>;

extern gxtkGraphics* kp_graphics_device;
extern gxtkGraphics* kp_graphics_renderDevice;
extern std::unique_ptr<c_GraphicsContext> kp_graphics_context;

// Resets the module's globals and creates the drawing context.
void kp_graphics_Init();
int kp_graphics_SetGraphicsDevice(gxtkGraphics* device);
// Starts a frame: white, opaque, alpha blend, identity matrix, full-screen scissor.
int kp_graphics_BeginRender();
int kp_graphics_EndRender();

int kp_graphics_SetColor(float r, float g, float b);
int kp_graphics_SetAlpha(float alpha);
int kp_graphics_SetBlend(int mode);
int kp_graphics_SetScissor(float x, float y, float w, float h);

int kp_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int kp_graphics_SetMatrix2(const KpMatrix& m);
// Multiplies the current matrix by the given one, which applies first.
int kp_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty);
int kp_graphics_Transform2(const KpMatrix& m);
int kp_graphics_Translate(float x, float y);
int kp_graphics_Rotate(float degrees);
int kp_graphics_Scale(float x, float y);
int kp_graphics_PushMatrix();
int kp_graphics_PopMatrix();

int kp_graphics_DrawRect(float x, float y, float w, float h);
int kp_graphics_DrawLine(float x1, float y1, float x2, float y2);
// An ellipse by centre and radii.
int kp_graphics_DrawEllipse(float x, float y, float xr, float yr);
// An ellipse by its bounding box.
int kp_graphics_DrawOval(float x, float y, float w, float h);
// Clears the frame to (r, g, b), 0..255, dropping anything not yet drawn.
int kp_graphics_Cls(float r, float g, float b);
// Draws a frame with its handle at (x, y).
int kp_graphics_DrawImage(c_Image* image, float x, float y, int frame);
// Draws a frame rotated (degrees) and scaled about its handle placed at (x, y).
int kp_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame);

// A strip of frameCount frames side by side; none when the file is missing or unreadable.
std::unique_ptr<c_Image> kp_graphics_LoadImage(const String& path, int frameCount, int flags);
// A grid of frameWidth x frameHeight frames read row by row; none for a missing file.
std::unique_ptr<c_Image> kp_graphics_LoadImage2(const String& path, int frameWidth, int frameHeight,
                                                int frameCount, int flags);
// Starts decoding an image file that a later LoadImage or LoadImage2 of the same path will
// take, on the host's worker threads; nothing without a graphics device.
void kp_graphics_PrefetchImage(const String& path);
// Selects font (not owned) with its first character; none selects the built-in font.
int kp_graphics_SetFont(c_Image* font, int firstChar);
