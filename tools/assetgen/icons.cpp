// Paints the desktop icons from the game's own painters: a tile of the first theme's sky with
// its floor, a spike of the lowest height class and the ball above it. The icon is drawn in a
// 36-unit frame (the size of one world block) scaled to each icon size, so every size shows
// the same picture without resampling.
#include "tools/assetgen/icons.h"

#include <algorithm>

#include "tools/assetgen/images.h"
#include "tools/assetgen/writers.h"

namespace assetgen {

namespace {

constexpr float kFrame = 36.0f;     // icon frame in world-block units
constexpr float kCorner = 7.0f;     // tile corner radius
constexpr float kFloorTop = 28.0f;  // top of the floor band
constexpr float kBallScale = 0.6f;  // the ball block drawn at 60 %
constexpr float kSpikeScale = 0.5f; // the spike block drawn at 50 %
constexpr int kLowSpike = 1;        // height class of the spike

Canvas paintIcon(int size) {
    const Theme& theme = themeByNumber(1);
    Canvas canvas(size, size);
    float scale = size / kFrame;
    Pen tile(canvas, 0, 0, static_cast<int>(kFrame), static_cast<int>(kFrame), scale);
    tile.roundRect(0.5f, 0.5f, kFrame - 1, kFrame - 1, kCorner, theme.bg);
    tile.fill(
        0, kFloorTop, kFrame, kFrame,
        [](float x, float y) {
            float inside =
                sdBox(x, y, kFrame / 2, kFrame / 2, kFrame / 2 - 0.5f, kFrame / 2 - 0.5f, kCorner);
            return std::max(inside, kFloorTop - y);
        },
        theme.ground);
    tile.rect(0.5f, kFloorTop, kFrame - 1, 1.5f, theme.top);

    // Sub-pens place the spike on the floor to the right and the ball above its tip.
    int spikeX = static_cast<int>(size * 0.46f), spikeY = static_cast<int>(size * 0.36f);
    Pen spike(canvas, spikeX, spikeY, static_cast<int>(kFrame), static_cast<int>(kFrame),
              scale * kSpikeScale);
    paintSpike(spike, theme, kLowSpike);
    int ballX = static_cast<int>(size * 0.08f), ballY = static_cast<int>(size * 0.06f);
    Pen ball(canvas, ballX, ballY, static_cast<int>(kFrame), static_cast<int>(kFrame),
             scale * kBallScale);
    paintBall(ball, theme, 0);
    return canvas;
}

} // namespace

GenerateReport generateIcons(const std::string& outDir) {
    GenerateReport report;
    for (int size : kIconSizes) {
        std::string edge = std::to_string(size);
        std::string path = outDir + "/" + edge + "x" + edge + "/apps/brambolt3.png";
        ++report.files;
        if (!writePng(path, paintIcon(size))) {
            report.ok = false;
            report.failures.push_back(path);
        }
    }
    return report;
}

bool writeWindowIcon(const std::string& dataDir, int size, std::string& path) {
    path = dataDir + "/icons/brambolt3-" + std::to_string(size) + ".png";
    return writePng(path, paintIcon(size));
}

} // namespace assetgen
