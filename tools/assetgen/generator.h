// Entry points of the asset generator library: the whole data folder, and the contact sheets
// a person reviews the art with. Both are deterministic; work is spread over a few threads,
// each file written by exactly one of them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace assetgen {

struct GenerateReport {
    bool ok = true;
    int files = 0;
    std::vector<std::string> failures; // paths that could not be written
};

// Told when a stage of generateData ends: its name ("tunes", "images", "sound effects"), the
// files it wrote and its wall time in seconds.
using StageDone = std::function<void(const char* stage, int files, double seconds)>;

// Writes every image (three resolution sets), font, sound effect and tune under outDir, one
// stage after the other, calling onStage (when given) as each stage ends.
GenerateReport generateData(const std::string& outDir, const StageDone& onStage = nullptr);

// Writes one PNG per image at 1x with frame numbers, plus the font's glyph table.
GenerateReport generateSheets(const std::string& outDir);

} // namespace assetgen
