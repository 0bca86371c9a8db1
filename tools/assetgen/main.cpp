// assetgen: writes the game's data folder ("assetgen OUTDIR"), contact sheets for review
// ("assetgen --sheet DIR") or the desktop icons of an installed game ("assetgen --icons DIR"). Exit
// status 0 when every file was written, 1 otherwise.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "tools/assetgen/generator.h"
#include "tools/assetgen/icons.h"

int main(int argc, char** argv) {
    bool sheets = argc == 3 && std::strcmp(argv[1], "--sheet") == 0;
    bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    if (!(argc == 2 && argv[1][0] != '-') && !sheets && !icons) {
        std::fprintf(stderr,
                     "usage: assetgen OUTDIR | assetgen --sheet DIR | assetgen --icons DIR\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    assetgen::GenerateReport report = sheets  ? assetgen::generateSheets(argv[2])
                                      : icons ? assetgen::generateIcons(argv[2])
                                              : assetgen::generateData(argv[1]);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const std::string& path : report.failures)
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    std::printf("assetgen: %d files into %s in %.1f s\n", report.files,
                argv[sheets || icons ? 2 : 1], seconds);
    return report.ok ? 0 : 1;
}
