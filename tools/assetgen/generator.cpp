// Runs the generator's jobs: every image at its three levels, every effect and every tune, the
// window icons, spread over a few worker threads. Jobs share nothing but the read-only tables
// and each writes its own file, so the output does not depend on the scheduling.
#include "tools/assetgen/generator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "tools/assetgen/audio.h"
#include "tools/assetgen/icons.h"
#include "tools/assetgen/images.h"
#include "tools/assetgen/sheets.h"
#include "tools/assetgen/writers.h"

namespace assetgen {

namespace {

constexpr int kLevels[] = {1, 2, 4};
constexpr unsigned kMaxWorkers = 4;
constexpr float kOggQuality = 0.3f; // about 96 kbit/s stereo

const char* levelSuffix(int level) {
    return level == 4 ? "-hd2" : (level == 2 ? "-hd" : "");
}

using Job = std::function<bool(std::string& path)>;

GenerateReport runJobs(const std::vector<Job>& jobs) {
    GenerateReport report;
    std::atomic<size_t> next{0};
    std::mutex lock;
    auto worker = [&]() {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            std::string path;
            bool ok = jobs[i](path);
            std::lock_guard<std::mutex> guard(lock);
            ++report.files;
            if (!ok) {
                report.ok = false;
                report.failures.push_back(path);
            }
        }
    };
    unsigned n = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers);
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < n; ++i) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();
    std::sort(report.failures.begin(), report.failures.end());
    return report;
}

// Runs one stage's jobs, reports the stage and adds its counts to the whole run's report.
void runStage(const char* stage, const std::vector<Job>& jobs, const StageDone& onStage,
              GenerateReport& total) {
    auto start = std::chrono::steady_clock::now();
    GenerateReport report = runJobs(jobs);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (onStage) onStage(stage, report.files, seconds);
    total.ok = total.ok && report.ok;
    total.files += report.files;
    total.failures.insert(total.failures.end(), report.failures.begin(), report.failures.end());
}

} // namespace

GenerateReport generateData(const std::string& outDir, const StageDone& onStage) {
    static const std::vector<ImageDef> images = allImages();
    static const std::vector<SfxDef> effects = allEffects();
    static const std::vector<TuneDef> tunes = allTunes();
    GenerateReport total;
    // Each stage is a pool of its own so that it can be reported; tunes come first, as the
    // longest jobs they would otherwise leave one worker busy alone at the end.
    std::vector<Job> jobs;
    for (const TuneDef& tune : tunes) {
        jobs.push_back([&tune, outDir](std::string& path) {
            path = outDir + "/" + tune.name + ".ogg";
            return writeOgg(path, tune.make(), kOggQuality);
        });
    }
    runStage("tunes", jobs, onStage, total);
    jobs.clear();
    for (const ImageDef& image : images) {
        for (int level : kLevels) {
            if (level > 1 && !image.hdSets) continue;
            jobs.push_back([&image, level, outDir](std::string& path) {
                path = outDir + "/" + image.name + levelSuffix(level) + ".png";
                return writePng(path, renderImage(image, level));
            });
        }
    }
    runStage("images", jobs, onStage, total);
    jobs.clear();
    for (const SfxDef& effect : effects) {
        jobs.push_back([&effect, outDir](std::string& path) {
            path = outDir + "/" + effect.name + ".wav";
            return writeWav(path, effect.make());
        });
    }
    runStage("sound effects", jobs, onStage, total);
    jobs.clear();
    for (int size : kWindowIconSizes) {
        jobs.push_back(
            [size, outDir](std::string& path) { return writeWindowIcon(outDir, size, path); });
    }
    runStage("window icons", jobs, onStage, total);
    return total;
}

GenerateReport generateSheets(const std::string& outDir) {
    static const std::vector<ImageDef> images = allImages();
    std::vector<Job> jobs;
    for (const ImageDef& image : images) {
        jobs.push_back([&image, outDir](std::string& path) {
            std::string flat = image.name;
            std::replace(flat.begin(), flat.end(), '/', '_');
            path = outDir + "/" + flat + ".png";
            return writePng(path, contactSheet(image));
        });
    }
    for (const Theme& t : themes()) {
        const Theme* theme = &t;
        jobs.push_back([theme, outDir](std::string& path) {
            path = outDir + "/mockup_world" + theme->suffix + ".png";
            return writePng(path, playMockup(*theme));
        });
    }
    jobs.push_back([outDir](std::string& path) {
        path = outDir + "/font_sample.png";
        return writePng(path, fontSample());
    });
    return runJobs(jobs);
}

} // namespace assetgen
