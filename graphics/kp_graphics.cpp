// The graphics module (being built): device installation and frame bracketing.
#include "graphics/kp_graphics.h"

gxtkGraphics* kp_graphics_device = nullptr;

void kp_graphics_Init() { kp_graphics_device = nullptr; }
void kp_graphics_SetGraphicsDevice(gxtkGraphics* device) { kp_graphics_device = device; }
int kp_graphics_BeginRender() { return 0; }
int kp_graphics_EndRender() { return 0; }
int kp_graphics_SetFont(c_Image*, int) { return 0; }
