#include "tools/assetgen/images.h"
#include "tools/assetgen/audio.h"
namespace assetgen {
void paintMenu(Pen&, int) {}
void paintRecord(Pen&, int) {}
void paintBadge(Pen&, int) {}
void paintButtons(Pen&, int) {}
void paintIcons(Pen&, int) {}
void paintDpad(Pen&, int) {}
void paintCircle(Pen&, int) {}
void paintLight(Pen&, int) {}
void paintTestcard(Pen&, int) {}
void paintStudioLogo(Pen&, int) {}
void paintLogo(Pen&, int) {}
void paintLogoHeart(Pen&, int) {}
void paintParts(Pen&, int) {}
void paintBobs(Pen&, int) {}
std::vector<SfxSpec> allEffects() { return {}; }
std::vector<TuneSpec> allTunes() { return {}; }
}
