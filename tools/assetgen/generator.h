// Entry points of the asset generator library: the whole data folder, and the contact sheets
// a person reviews the art with. Both are deterministic; work is spread over a few threads,
// each file written by exactly one of them.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

struct GenerateReport {
    bool ok = true;
    int files = 0;
    std::vector<std::string> failures; // paths that could not be written
};

// Writes every image (three resolution sets), font, sound effect and tune under outDir.
GenerateReport generateData(const std::string& outDir);

// Writes one PNG per image at 1x with frame numbers, plus the font's glyph table.
GenerateReport generateSheets(const std::string& outDir);

} // namespace assetgen
