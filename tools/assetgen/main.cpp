// assetgen: writes the game's data folder ("assetgen OUTDIR"), contact sheets and play-frame
// mock-ups for review ("assetgen --sheet DIR"), the desktop icons of an installed game
// ("assetgen --icons DIR"), or measures a written data folder ("assetgen --report DIR").
// Writing the data folder prints one line per stage (tunes, images, sound effects) as it ends,
// with the files it wrote and the seconds it took, then the total.
// Exit status 0 when every file was written or read, 1 otherwise.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "tools/assetgen/generator.h"
#include "tools/assetgen/icons.h"
#include "tools/assetgen/report.h"

int main(int argc, char** argv) {
    bool sheets = argc == 3 && std::strcmp(argv[1], "--sheet") == 0;
    bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    bool report = argc == 3 && std::strcmp(argv[1], "--report") == 0;
    if (!(argc == 2 && argv[1][0] != '-') && !sheets && !icons && !report) {
        std::fprintf(stderr, "usage: assetgen OUTDIR | assetgen --sheet DIR | assetgen --icons DIR "
                             "| assetgen --report DIR\n");
        return 2;
    }
    if (report) {
        assetgen::DataReport rep = assetgen::reportData(argv[2]);
        assetgen::printReport(rep, stdout);
        return rep.missing.empty() && !rep.themes.empty() ? 0 : 1;
    }
    auto start = std::chrono::steady_clock::now();
    auto stageDone = [](const char* stage, int files, double seconds) {
        std::printf("assetgen: %s: %d files in %.1f s\n", stage, files, seconds);
        std::fflush(stdout);
    };
    assetgen::GenerateReport result = sheets  ? assetgen::generateSheets(argv[2])
                                      : icons ? assetgen::generateIcons(argv[2])
                                              : assetgen::generateData(argv[1], stageDone);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const std::string& path : result.failures)
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    std::printf("assetgen: %d files into %s in %.1f s\n", result.files,
                argv[sheets || icons ? 2 : 1], seconds);
    return result.ok ? 0 : 1;
}
