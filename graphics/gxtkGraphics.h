// The render device: a batched OpenGL 1.x renderer with client-side vertex arrays.
#pragma once

#include "runtime/kp_object.h"

class gxtkGraphics : public Object {
  public:
    gxtkGraphics();
    // 0 = nothing to render, 1 = render, 2 = loading; the desktop device answers 1.
    int BeginRender();
    void EndRender();
    void DiscardGraphics();
};
