#include "tools/assetgen/images.h"
#include "tools/assetgen/audio.h"
namespace assetgen {
std::vector<SfxSpec> allEffects() { return {}; }
std::vector<TuneSpec> allTunes() { return {}; }
}
