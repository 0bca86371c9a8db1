// The desktop icons of an installed game: the first theme's ball leaping a spike on a rounded
// tile of that theme's sky, written as DIR/SIZExSIZE/apps/brambolt3.png for each icon size,
// and the same picture in the data folder's window icons, icons/brambolt3-SIZE.png.
#pragma once

#include <string>

#include "tools/assetgen/generator.h"

namespace assetgen {

// Icon edge lengths in pixels, as desktop menus and launchers ask for them.
constexpr int kIconSizes[] = {48, 64, 128, 256};

// Writes one PNG per icon size under outDir in the hicolor theme's layout.
GenerateReport generateIcons(const std::string& outDir);

// Window icon edge lengths, the sizes window managers pick from for title bars and switchers.
constexpr int kWindowIconSizes[] = {16, 32, 48, 64};

// Writes the window icon of one size under a data folder; false when it cannot be written.
bool writeWindowIcon(const std::string& dataDir, int size, std::string& path);

} // namespace assetgen
