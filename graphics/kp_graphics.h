// The graphics module: the drawing context, matrix stack, colour state and images.
#pragma once

class gxtkGraphics;
class c_Image;

extern gxtkGraphics* kp_graphics_device;

// Resets the module's globals and creates the drawing context.
void kp_graphics_Init();
void kp_graphics_SetGraphicsDevice(gxtkGraphics* device);
int kp_graphics_BeginRender();
int kp_graphics_EndRender();
int kp_graphics_SetFont(c_Image* font, int firstChar);
