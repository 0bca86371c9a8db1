// The render device's hidden rows: a surface knows which boxes of its texels have full alpha,
// a row of quads side by side that replace what lies under them across the clip box drops the
// quads its batch held before it within its rows, and the picture stays the same as without
// the shortcut, pixel for pixel, with tiles at fractional places, scales and mirrored; also
// with a quad outside the window in the batch.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "device_fixture.h"

namespace {

// A 16x24 sheet: rows 0 to 7 translucent, the rest with full alpha but for column 3 and one
// texel on the right edge in the lower rows.
constexpr int kSheetW = 16, kSheetH = 24;
constexpr int kSolidTop = 8, kLowerTop = 16;
constexpr int kStripeX = 3;
constexpr int kHoleX = kSheetW - 1, kHoleY = 20;

class DeviceRows : public DeviceFixture {
  protected:
    DeviceRows() {
        std::vector<int> argb(static_cast<size_t>(kSheetW) * kSheetH);
        for (int y = 0; y < kSheetH; ++y) {
            for (int x = 0; x < kSheetW; ++x) {
                // Every texel its own colour, so a sample from the wrong texel shows.
                const unsigned rgb = static_cast<unsigned>(x * 16) << 16 |
                                     static_cast<unsigned>(y * 10) << 8 |
                                     static_cast<unsigned>((x + y) * 5);
                const bool translucent =
                    y < kSolidTop || x == kStripeX || (x == kHoleX && y == kHoleY);
                argb[static_cast<size_t>(y) * kSheetW + x] =
                    static_cast<int>((translucent ? 0x80000000u : 0xff000000u) | rgb);
            }
        }
        sheet = surfaceOf(argb, kSheetW, kSheetH);
    }

    // Untextured tiles from left to right across the window at rows y to y + h, each w wide
    // and starting gap pixels after the last one ended; answers the vertices left in the batch.
    int tiles(float y, float h, float w, float gap = 0) {
        for (float x = -3; x < kWidth; x += w + gap) device->DrawRect(x, y, w, h);
        return device->VertexCount();
    }

    std::unique_ptr<gxtkSurface> sheet;
};

} // namespace

TEST_F(DeviceRows, ASurfaceKnowsWhichBoxesOfTexelsHaveFullAlpha) {
    EXPECT_TRUE(sheet->SolidBox(kStripeX + 1, kSolidTop, kSheetW, kLowerTop));
    EXPECT_FALSE(sheet->SolidBox(0, kSolidTop, kSheetW, kLowerTop));                // the stripe
    EXPECT_FALSE(sheet->SolidBox(kStripeX + 1, kSolidTop - 1, kSheetW, kLowerTop)); // a row
    EXPECT_FALSE(sheet->SolidBox(kStripeX + 1, kLowerTop, kSheetW, kSheetH));       // the hole
    // Past an edge the texture repeats the edge texel.
    EXPECT_TRUE(sheet->SolidBox(kSheetW, kSolidTop, kSheetW + 2, kLowerTop));
    EXPECT_FALSE(sheet->SolidBox(kSheetW, kHoleY, kSheetW + 2, kHoleY + 1));
    EXPECT_TRUE(sheet->SolidBox(4, kSheetH, 8, kSheetH + 3));
    EXPECT_FALSE(sheet->SolidBox(kStripeX, kSheetH, kStripeX + 1, kSheetH + 3));
    EXPECT_FALSE(sheet->SolidBox(4, 10, 4, 12)); // no texels

    // Written pixels update the record.
    const int clear = 0x40ffffff, solid = static_cast<int>(0xff102030u);
    device->WritePixels2(sheet.get(), std::vector<int>{clear}, 5, 10, 1, 1, 0, 1);
    EXPECT_FALSE(sheet->SolidBox(kStripeX + 1, kSolidTop, kSheetW, kLowerTop));
    device->WritePixels2(sheet.get(), std::vector<int>{solid}, 5, 10, 1, 1, 0, 1);
    EXPECT_TRUE(sheet->SolidBox(kStripeX + 1, kSolidTop, kSheetW, kLowerTop));
}

TEST_F(DeviceRows, ARowAcrossTheWindowDropsWhatLiesWithinItsRows) {
    // The background, then a translucent quad within rows 200 to 239, then a row of tiles.
    auto before = [&](float top, float height) {
        begin();
        device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
        device->SetAlpha(0.5f);
        device->DrawRect(100, top, 50, height);
        device->SetAlpha(1);
    };
    before(200, 40);
    EXPECT_EQ(tiles(190, 60, 250), 4 + 12); // dropped once the row spans the window
    before(200, 40);
    EXPECT_EQ(tiles(190, 60, 250, 0.6f), 20); // a pixel centre between two tiles
    before(200, 40);
    EXPECT_EQ(tiles(190, 60, 250, 0.05f), 4 + 12); // a gap that holds no pixel centre
    before(189, 40);
    EXPECT_EQ(tiles(190, 60, 250), 20); // the quad reaches a row above the tiles
    before(200, 50.5f);
    EXPECT_EQ(tiles(190, 60, 250), 20); // and one below them
    before(200, 40);
    device->SetAlpha(0.99f);
    EXPECT_EQ(tiles(190, 60, 250), 20); // translucent tiles
    // Added light hides nothing.
    begin();
    device->SetBlend(gxtkGraphics::kBlendAdditive);
    device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
    device->DrawRect(100, 200, 50, 40);
    EXPECT_EQ(tiles(190, 60, 250), 20);
    device->SetBlend(gxtkGraphics::kBlendAlpha);

    // Tiles of different heights, and a row that stops short of the last column.
    before(200, 40);
    device->DrawRect(-3, 190, 250, 60);
    device->DrawRect(247, 190, 250, 61);
    device->DrawRect(497, 190, 250, 60);
    EXPECT_EQ(device->VertexCount(), 20);
    before(200, 40);
    device->DrawRect(-3, 190, 250, 60);
    device->DrawRect(247, 190, kWidth - 247.6f, 60);
    EXPECT_EQ(device->VertexCount(), 16);

    // A rectangle over the whole window after a tile of the same rows: the run of covering
    // bands drops the tile with everything else, and the row starts again at the rectangle.
    begin();
    device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
    device->DrawRect(-3, 0, 250, kHeight);
    device->DrawRect(0, 0, kWidth, kHeight);
    EXPECT_EQ(device->VertexCount(), 4);

    // A row drawn from right to left, as in a mirrored world.
    before(200, 40);
    device->DrawRect(400, 190, 250, 60);
    device->DrawRect(150, 190, 250, 60);
    device->DrawRect(-100, 190, 250, 60);
    EXPECT_EQ(device->VertexCount(), 4 + 12);

    // Without the shortcuts nothing is dropped.
    device->SetShortcuts(false);
    before(200, 40);
    EXPECT_EQ(tiles(190, 60, 250), 20);
    device->SetShortcuts(true);
    device->EndRender();
}

TEST_F(DeviceRows, TexturedTilesHideOnlyWhereTheirTexelsHaveFullAlpha) {
    // A translucent quad from the sheet in rows top to top + 15, drawn as it is.
    auto before = [&](float top) {
        begin();
        device->SetAlpha(0.5f);
        device->DrawSurface2(sheet.get(), 100, top, 0, 0, 8, 16);
        device->SetAlpha(1);
    };
    // Tiles showing texel columns sx to sx + sw - 1 and rows top to bottom - 1, 8 pixels a
    // texel across and 60 pixels high at row y, side by side from x; answers the vertices
    // left in the batch.
    auto tilesOf = [&](int sx, int sw, int top, int bottom, float y, float x) {
        device->SetMatrix(8, 0, 0, 60.0f / static_cast<float>(bottom - top), x, y);
        for (int k = 0; x + static_cast<float>(k * sw * 8) < kWidth; ++k) {
            device->DrawSurface2(sheet.get(), static_cast<float>(k * sw), 0, sx, top, sw,
                                 bottom - top);
        }
        device->SetMatrix(1, 0, 0, 1, 0, 0);
        return device->VertexCount();
    };
    // Columns 5 to 14: the texels just past both sides have full alpha too. Nine tiles.
    constexpr int kInner = 5, kInnerW = 10;
    before(200);
    EXPECT_EQ(tilesOf(kInner, kInnerW, kSolidTop, kLowerTop, 190, -3.5f), 36);
    before(200);
    EXPECT_EQ(tilesOf(kInner, kInnerW, kSolidTop - 1, kLowerTop, 190, -3.5f), 40); // a row
    before(200);
    EXPECT_EQ(tilesOf(kInner, kInnerW, kLowerTop, kSheetH, 190, -3.5f), 40); // the hole

    // Columns 4 to 15: past the left side lies the translucent stripe. Where the seams fall on
    // pixel centres, a sample there may come from the stripe; elsewhere the tiles join.
    before(200);
    EXPECT_EQ(tilesOf(kStripeX + 1, kSheetW - kStripeX - 1, kSolidTop, kLowerTop, 190, -3.5f), 32);
    before(200);
    EXPECT_EQ(tilesOf(kStripeX + 1, kSheetW - kStripeX - 1, kSolidTop, kLowerTop, 190, -3.25f), 28);
    // A centre a tenth of a pixel past each seam is only an eightieth of a texel inside.
    before(200);
    EXPECT_EQ(tilesOf(kStripeX + 1, kSheetW - kStripeX - 1, kSolidTop, kLowerTop, 190, -3.6f), 32);

    // Mirrored, from right to left: each tile shows its right-hand texels on its left. Tiles
    // of columns 4 to 15 meet on pixel centres with the stripe past their right-hand sides;
    // after one of those, tiles of columns 5 to 14 join, with full alpha past both sides.
    auto mirrored = [&](int sx, int sw, float first, float right = kWidth + 3.5f) {
        device->SetMatrix(-8, 0, 0, 60.0f / (kLowerTop - kSolidTop), right, 190);
        for (float x = first; right - 8 * x > 0; x += static_cast<float>(sw)) {
            device->DrawSurface2(sheet.get(), x, 0, sx, kSolidTop, sw, kLowerTop - kSolidTop);
        }
        device->SetMatrix(1, 0, 0, 1, 0, 0);
        return device->VertexCount();
    };
    before(200);
    EXPECT_EQ(mirrored(kStripeX + 1, kSheetW - kStripeX - 1, 0), 32);
    before(200);
    EXPECT_EQ(mirrored(kStripeX + 1, kSheetW - kStripeX - 1, 0, kWidth + 3.75f), 28);
    before(200);
    device->SetMatrix(-8, 0, 0, 60.0f / (kLowerTop - kSolidTop), kWidth + 3.5f, 190);
    device->DrawSurface2(sheet.get(), 0, 0, kStripeX + 1, kSolidTop, kSheetW - kStripeX - 1,
                         kLowerTop - kSolidTop);
    EXPECT_EQ(mirrored(kInner, kInnerW, kSheetW - kStripeX - 1), 32);

    // Tiles whose top edge lies just above a pixel centre: that centre may fall outside them,
    // or its sample round into the translucent row above, 7.5 pixels a texel away.
    before(190);
    EXPECT_EQ(tilesOf(kInner, kInnerW, kSolidTop, kLowerTop, 190, -3.5f), 36);
    before(190.45f);
    EXPECT_EQ(tilesOf(kInner, kInnerW, kSolidTop, kLowerTop, 190.45f, -3.5f), 40);
    before(190.42f);
    EXPECT_EQ(tilesOf(kInner, kInnerW, kSolidTop, kLowerTop, 190.42f, -3.5f), 40);
    device->EndRender();
}

TEST_F(DeviceRows, PicturesAreTheSameWithHiddenRowsDropped) {
    struct Placement {
        float ix, jy, tx, ty;
    };
    // Half scale lands samples on the edges between texels; the last two are mirrored, as the
    // game mirrors a world. Not upside down: there a sample on a texel's edge can come out one
    // texel apart with or without the shortcuts, as the quads before it in the draw call
    // change (the driver takes groups of vertices that reach outside the window through its
    // clipping code), and the game never draws upside down.
    const Placement placements[] = {{1, 1, 0, 0},
                                    {0.5f, 0.5f, 0.5f, 0.25f},
                                    {1.37f, 1.2f, 0.3f, 0.7f},
                                    {-0.75f, 1.5f, kWidth - 0.4f, 3.3f},
                                    {-1, 1, kWidth, 0.5f}};
    for (const Placement& p : placements) {
        std::vector<int> pictures[2];
        int left[2] = {};
        for (int shortcuts = 0; shortcuts < 2; ++shortcuts) {
            device->SetShortcuts(shortcuts == 1);
            begin();
            // Tiles 8 texel rows high, scaled 8 across and 5 down: a farther layer at half
            // alpha, then a nearer one at full alpha with its tiles at other columns.
            device->SetMatrix(p.ix * 8, 0, 0, p.jy * 5, p.tx, p.ty);
            for (int layer = 0; layer < 2; ++layer) {
                device->SetAlpha(layer == 0 ? 0.5f : 1.0f);
                for (int r = 0; r < 8; ++r) {
                    // Translucent texels, the lower rows with the hole, then rows of tiles
                    // whose sides border texels with full alpha, or the stripe.
                    const int top = r == 0 ? 0 : (r == 1 ? kLowerTop : kSolidTop);
                    const int sx = r < 2 ? 0 : (r % 2 == 0 ? 5 : kStripeX + 1);
                    const int sw = r < 2 ? kSheetW : (r % 2 == 0 ? 10 : kSheetW - sx);
                    const float y = static_cast<float>(r) * 8.05f + (r == 5 ? 0.1f : 0.0f);
                    const float step = static_cast<float>(sw) + (r == 6 ? 0.02f : 0.0f);
                    for (float x = layer == 0 ? -5.3f : -11.7f; x * std::abs(p.ix) * 8 < kWidth;
                         x += step) {
                        device->DrawSurface2(sheet.get(), x, y, sx, top, sw, 8);
                    }
                }
            }
            left[shortcuts] = device->VertexCount();
            device->EndRender();
            pictures[shortcuts] = frame();
        }
        device->SetShortcuts(true);
        EXPECT_EQ(differing(pictures[0], pictures[1]), 0) << "scale " << p.ix << ", " << p.jy;
        EXPECT_LT(left[1], left[0]) << "scale " << p.ix << ", " << p.jy; // some were dropped
    }
}

// A quad wholly outside the window is still sent: it takes its batch through the driver's
// clipping code, which rounds samples on texel edges its own way (at 1.5 times the size, some
// hundred pixels of these sprites move when it is left out).
TEST_F(DeviceRows, AQuadOutsideTheWindowKeepsThePictureOfItsBatch) {
    const float scales[] = {0.5f, 1.5f, 2.5f, 0.75f, 3.0f, 1.25f};
    for (int variant = 0; variant < 6; ++variant) {
        std::vector<int> pictures[2];
        for (int shortcuts = 0; shortcuts < 2; ++shortcuts) {
            device->SetShortcuts(shortcuts == 1);
            begin();
            device->DrawSurface2(sheet.get(), -900, -900, 0, kSolidTop, kSheetW, 8);
            const float scale = scales[variant];
            for (int i = 0; i < 40; ++i) {
                const float x = 10.0f + static_cast<float>(i % 8 * 70) + variant % 2 * 0.25f;
                const float y = 50.0f + static_cast<float>(i / 8 * 80) + variant / 2 * 0.125f;
                // Every third upside down.
                device->SetMatrix(scale, 0, 0, i % 3 == 0 ? -scale : scale, x, y);
                device->DrawSurface2(sheet.get(), 0, 0, 0, 0, kSheetW, kSheetH);
            }
            device->SetMatrix(1, 0, 0, 1, 0, 0);
            device->EndRender();
            pictures[shortcuts] = frame();
        }
        device->SetShortcuts(true);
        EXPECT_EQ(differing(pictures[0], pictures[1]), 0) << "scale " << scales[variant];
    }
}
