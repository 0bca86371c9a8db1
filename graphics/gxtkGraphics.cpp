// The render device (being built): frames begin and end without drawing for now.
#include "graphics/gxtkGraphics.h"

gxtkGraphics::gxtkGraphics() = default;
int gxtkGraphics::BeginRender() { return 1; }
void gxtkGraphics::EndRender() {}
void gxtkGraphics::DiscardGraphics() {}
