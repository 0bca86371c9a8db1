// c_Image: cutting a surface into strips and grids, and the padding, centring and
// whole-surface flags.
#include "graphics/c_Image.h"

#include "runtime/kp_error.h"

int c_Image::m_DefaultFlags = 0;

int c_Image::p_Init(std::unique_ptr<gxtkSurface> surf, int frameCount, int fl) {
    surface = std::move(surf);
    // A strip of no frames would divide by zero: it is taken as the whole surface.
    if (frameCount < 1) frameCount = 1;
    width = surface->Width() / frameCount;
    height = surface->Height();
    frames.clear();
    frames.reserve(static_cast<size_t>(frameCount));
    for (int i = 0; i < frameCount; ++i) frames.push_back(c_Frame::m_new(i * width, 0));
    p_ApplyFlags(fl);
    return 0;
}

int c_Image::p_Init2(std::unique_ptr<gxtkSurface> surf, int x, int y, int frameWidth,
                     int frameHeight, int frameCount, int fl, c_Image* src, int srcx, int srcy,
                     int srcw, int srch) {
    surface = std::move(surf);
    width = frameWidth;
    height = frameHeight;
    source = src;
    frames.clear();
    frames.reserve(static_cast<size_t>(frameCount > 0 ? frameCount : 0));
    // Frames run left to right and wrap to the next row when the row is used up.
    for (int i = 0; i < frameCount; ++i) {
        if (x + width > srcw) {
            y += height;
            if (width > srcw) kpError(std::string_view("Image frame outside surface"));
            x = 0;
        }
        if (y + height > srch) kpError(std::string_view("Image frame outside surface"));
        frames.push_back(c_Frame::m_new(x + srcx, y + srcy));
        x += width;
    }
    p_ApplyFlags(fl);
    return 0;
}

int c_Image::p_ApplyFlags(int fl) {
    flags = fl;
    if (flags & m_PadXFlag) {
        for (c_Frame& f : frames) f.x += 1;
        width -= 2;
    }
    if (flags & m_PadYFlag) {
        for (c_Frame& f : frames) f.y += 1;
        height -= 2;
    }
    if (flags & m_CentreHandleFlag) p_SetHandle(0.5f * width, 0.5f * height);
    bool whole = frames.size() == 1 && frames[0].x == 0 && frames[0].y == 0 &&
                 width == surface->Width() && height == surface->Height();
    if (whole) flags |= m_WholeSurfaceFlag;
    return 0;
}

int c_Image::p_SetHandle(float htx, float hty) {
    tx = htx;
    ty = hty;
    flags &= ~m_CentreHandleFlag;
    return 0;
}
