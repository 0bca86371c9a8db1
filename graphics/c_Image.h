// c_Image and c_Frame: a device surface cut into equally sized frames, with a handle (the
// point of a frame placed at the drawing position) and flags for padding and centring.
// Images own their surface; frames are rectangles' top-left corners in it.
#pragma once

#include <memory>
#include <vector>

#include "graphics/gxtkSurface.h"
#include "runtime/kp_object.h"

class c_Frame : public Object {
  public:
    c_Frame() = default;
    c_Frame(int fx, int fy) : x(fx), y(fy) {}
    static c_Frame m_new(int x, int y) { return c_Frame(x, y); }

    int x = 0;
    int y = 0;
};

class c_Image : public Object {
  public:
    static constexpr int m_CentreHandleFlag = 1;
    static constexpr int m_PadXFlag = 2;
    static constexpr int m_PadYFlag = 4;
    static constexpr int m_WholeSurfaceFlag = 65536;
    static int m_DefaultFlags;

    // frameCount frames side by side in one row, each surface width / frameCount wide.
    int p_Init(std::unique_ptr<gxtkSurface> surface, int frameCount, int flags);
    // frameCount frames of frameWidth x frameHeight read row by row from (x, y) inside the
    // box (srcx, srcy, srcw, srch); frames that do not fit are a fatal error.
    int p_Init2(std::unique_ptr<gxtkSurface> surface, int x, int y, int frameWidth, int frameHeight,
                int frameCount, int flags, c_Image* source, int srcx, int srcy, int srcw, int srch);
    int p_ApplyFlags(int flags);
    // Stores the handle and drops the centre-handle flag.
    int p_SetHandle(float tx, float ty);

    std::unique_ptr<gxtkSurface> surface;
    int width = 0;
    int height = 0;
    std::vector<c_Frame> frames;
    int flags = 0;
    float tx = 0.0f;
    float ty = 0.0f;
    c_Image* source = nullptr;
};
