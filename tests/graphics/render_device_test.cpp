// The render device drawing real frames in a GLFW window (Xvfb, Mesa llvmpipe): pixels read
// back after blending, tinting, scissoring, transforming and re-opening the window, the
// number of draw calls the batching rule makes, and the shortcuts that keep the picture
// (covering batches drawn without blending, what covering bands across the clip box hide
// dropped).
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

#include "graphics/kp_graphics.h"
#include "png_writer.h"
#include "runtime/kp_app.h"
#include "runtime/kp_glfw_game.h"
#include "support/pixels.h"
#include "support/test_support.h"
#include "support/test_window.h"

namespace {

constexpr int kWidth = KpGlfwGame::kInitialWidth;
constexpr int kHeight = KpGlfwGame::kInitialHeight;

// One window for the whole binary, as the game has.
KpGlfwGame* host = nullptr;

class RenderDevice : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (host) return;
        host = sharedTestWindow();
        ASSERT_NE(host, nullptr);
    }

    RenderDevice() {
        kp_app_Init(host);
        kp_app_ValidateDeviceWindow(false);
        kp_graphics_Init();
        device = std::make_unique<gxtkGraphics>();
        kp_graphics_SetGraphicsDevice(device.get());
        device->BeginRender();
        device->SetColor(255, 255, 255);
        device->SetAlpha(1);
        device->SetBlend(0);
        device->SetScissor(0, 0, kWidth, kHeight);
        device->Cls(0, 0, 0);
    }

    Rgb pixel(int x, int y) { return readRgb(*device, x, y); }

    TempDir dir;
    std::unique_ptr<gxtkGraphics> device;
};

} // namespace

// --- Blending and colour --------------------------------------------------------------------

TEST_F(RenderDevice, TranslucentColourBlendsOverTheBackground) {
    device->Cls(0, 0, 200);
    device->SetColor(255, 0, 0);
    device->SetAlpha(0.5f);
    device->DrawRect(10, 10, 50, 50);
    device->EndRender();
    // Red 127 (premultiplied) plus 200 · (1 − 127/255) of the blue.
    EXPECT_RGB(pixel(20, 20), 127, 0, 100);
    EXPECT_RGB(pixel(100, 100), 0, 0, 200);
}

TEST_F(RenderDevice, AdditiveBlendAddsToTheBackground) {
    device->Cls(100, 20, 0);
    device->SetBlend(gxtkGraphics::kBlendAdditive);
    device->SetColor(100, 50, 0);
    device->DrawRect(0, 0, 40, 40);
    device->SetBlend(gxtkGraphics::kBlendAlpha);
    device->SetAlpha(0.5f);
    device->DrawRect(40, 0, 40, 40);
    device->EndRender();
    EXPECT_RGB(pixel(10, 10), 200, 70, 0);
    EXPECT_RGB(pixel(50, 10), 100, 35, 0);
}

TEST_F(RenderDevice, TexturesArePremultipliedAndTintedByTheColour) {
    writePng("tex.png", 2, 1, 4, {255, 255, 255, 255, 200, 100, 50, 128});
    std::unique_ptr<gxtkSurface> surface = device->LoadSurface(u"tex.png");
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->seq, glfwGraphicsSeq); // made at once under a live context

    device->SetMatrix(20, 0, 0, 20, 0, 0);
    device->SetColor(255, 128, 0);
    device->DrawSurface(surface.get(), 0, 0);
    device->EndRender();
    EXPECT_RGB(pixel(10, 10), 255, 128, 0);
    // Texel (100, 50, 25, 128) tinted by (255, 128, 0) over black.
    EXPECT_RGB(pixel(30, 10), 100, 25, 0);
    EXPECT_RGB(pixel(50, 10), 0, 0, 0);
}

// --- Scissor and transforms -----------------------------------------------------------------

TEST_F(RenderDevice, ScissorBoxCountsFromTheTopLeft) {
    device->SetScissor(100, 50, 20, 10);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    device->DrawRect(0, 0, kWidth, kHeight);
    device->EndRender();
    EXPECT_RGB(pixel(105, 55), 255, 255, 255);
    EXPECT_RGB(pixel(105, 45), 0, 0, 0);
    EXPECT_RGB(pixel(95, 55), 0, 0, 0);
    EXPECT_RGB(pixel(105, 62), 0, 0, 0);
    EXPECT_RGB(pixel(105, kHeight - 55), 0, 0, 0); // not mirrored

    device->SetScissor(0, 0, kWidth, kHeight);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    device->DrawRect(0, 0, kWidth, kHeight);
    device->EndRender();
    EXPECT_RGB(pixel(0, 0), 255, 255, 255);
    EXPECT_RGB(pixel(kWidth - 1, kHeight - 1), 255, 255, 255);
}

TEST_F(RenderDevice, RotatedMatrixTurnsARectangle) {
    kp_graphics_BeginRender();
    kp_graphics_Translate(320, 240);
    kp_graphics_Rotate(90);
    // Along +x before the turn; a positive angle turns it to point up the screen.
    kp_graphics_DrawRect(0, -5, 100, 10);
    kp_graphics_EndRender();
    device->EndRender();
    EXPECT_RGB(pixel(320, 200), 255, 255, 255);
    EXPECT_RGB(pixel(320, 150), 255, 255, 255);
    EXPECT_RGB(pixel(370, 240), 0, 0, 0);
    EXPECT_RGB(pixel(320, 280), 0, 0, 0);
}

TEST_F(RenderDevice, OvalCoversItsEllipse) {
    device->DrawOval(100, 100, 200, 100);
    device->EndRender();
    std::vector<int> frame(static_cast<size_t>(kWidth) * kHeight);
    device->ReadPixels(frame, 0, 0, kWidth, kHeight, 0, kWidth);
    int covered = 0;
    for (int p : frame) covered += (p & 0xffffff) == 0xffffff;
    const double area = 3.14159265 * 100 * 50;
    EXPECT_NEAR(covered, area, area * 0.02);
    EXPECT_RGB(pixel(200, 150), 255, 255, 255);
    EXPECT_RGB(pixel(296, 150), 255, 255, 255);
    EXPECT_RGB(pixel(103, 103), 0, 0, 0);
    EXPECT_RGB(pixel(200, 98), 0, 0, 0);
}

// --- Surfaces and pixels --------------------------------------------------------------------

TEST_F(RenderDevice, WrittenPixelsReadBackUnchanged) {
    std::unique_ptr<gxtkSurface> surface = device->CreateSurface(4, 4);
    std::vector<int> argb(16);
    for (int i = 0; i < 16; ++i)
        argb[i] = static_cast<int>(0xff000000u | (i * 16) << 16 | 0x40 << 8 | (255 - i * 16));
    device->WritePixels2(surface.get(), argb, 0, 0, 4, 4, 0, 4);
    // A narrower box goes up row by row; it lands inside, leaving the rest as it was.
    std::vector<int> patch = {0, static_cast<int>(0xff00ff00u), static_cast<int>(0xff00ff00u)};
    device->WritePixels2(surface.get(), patch, 2, 3, 2, 1, 1, 2);

    device->SetMatrix(10, 0, 0, 10, 0, 0);
    device->DrawSurface(surface.get(), 0, 0);
    device->EndRender();
    std::vector<int> back(16);
    for (int i = 0; i < 16; ++i) {
        int x = i % 4, y = i / 4;
        std::array<int, 1> p = {};
        device->ReadPixels(p, x * 10 + 5, y * 10 + 5, 1, 1, 0, 1);
        back[i] = p[0] & 0xffffff;
    }
    for (int i = 0; i < 16; ++i) {
        int expected = (i == 14 || i == 15) ? 0x00ff00 : argb[i] & 0xffffff;
        EXPECT_EQ(back[i], expected) << "pixel " << i;
    }
}

TEST_F(RenderDevice, AFrameFromALowerRowOfATallSheetShowsItsOwnTexels) {
    // A font-like sheet 4 wide and 8 tall: four rows of 4 x 2 cells, one colour per row, so
    // the texture's u and v scales differ and a row read with the wrong one shows another.
    const unsigned rowColours[4] = {0xffff0000u, 0xff00ff00u, 0xff0000ffu, 0xffffff00u};
    std::unique_ptr<gxtkSurface> surface = device->CreateSurface(4, 8);
    std::vector<int> argb(32);
    for (int i = 0; i < 32; ++i) argb[i] = static_cast<int>(rowColours[i / 8]);
    device->WritePixels2(surface.get(), argb, 0, 0, 4, 8, 0, 4);

    device->SetMatrix(10, 0, 0, 10, 0, 0);
    device->DrawSurface2(surface.get(), 0, 0, 0, 4, 4, 2); // the third row
    device->DrawSurface2(surface.get(), 5, 0, 0, 2, 4, 2); // the second row
    device->EndRender();
    for (int y : {1, 10, 18}) {
        SCOPED_TRACE(y);
        EXPECT_RGB(pixel(5, y), 0, 0, 255); // the third row's blue, top to bottom
        EXPECT_RGB(pixel(35, y), 0, 0, 255);
        EXPECT_RGB(pixel(55, y), 0, 255, 0); // the second row's green
    }
    EXPECT_RGB(pixel(45, 10), 0, 0, 0); // nothing between the two
}

TEST_F(RenderDevice, SurfaceDrawnAfterTheWindowReopensKeepsItsPixels) {
    writePng("tex.png", 2, 2, 4,
             {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128});
    std::unique_ptr<gxtkSurface> surface = device->LoadSurface(u"tex.png");
    ASSERT_TRUE(surface);
    auto draw = [&] {
        device->SetMatrix(16, 0, 0, 16, 0, 0);
        device->DrawSurface(surface.get(), 0, 0);
        device->EndRender();
        std::array<Rgb, 4> texels;
        for (int i = 0; i < 4; ++i) texels[i] = pixel(8 + 16 * (i % 2), 8 + 16 * (i / 2));
        return texels;
    };
    std::array<Rgb, 4> before = draw();
    int oldSeq = surface->seq;

    host->SetGlfwWindow(kWidth, kHeight, 8, 8, 8, 0, 0, 0, false);
    ASSERT_NE(host->Window(), nullptr);
    ASSERT_EQ(glfwGraphicsSeq, oldSeq + 1);
    device->BeginRender();
    device->Cls(0, 0, 0);
    std::array<Rgb, 4> after = draw();
    EXPECT_EQ(surface->seq, glfwGraphicsSeq);
    for (int i = 0; i < 4; ++i) {
        EXPECT_RGB(after[i], before[i].r, before[i].g, before[i].b);
    }
    EXPECT_RGB(after[0], 255, 0, 0);
    EXPECT_RGB(after[3], 128, 128, 128);
}

// --- Batching -------------------------------------------------------------------------------

TEST_F(RenderDevice, TwoHundredFiftySevenRectanglesTakeTwoDrawCalls) {
    for (int i = 0; i < 257; ++i) device->DrawRect(static_cast<float>(i * 2), 0, 2, 2);
    EXPECT_EQ(device->DrawCalls(), 1); // the 257th started a new batch
    EXPECT_EQ(device->VertexCount(), 4);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 2);
    EXPECT_RGB(pixel(513, 1), 255, 255, 255);
}

TEST_F(RenderDevice, RectangleLineRectangleTakeThreeDrawCalls) {
    device->DrawRect(0, 0, 10, 10);
    device->DrawLine(0, 20.5f, 100, 20.5f);
    device->DrawRect(20, 0, 10, 10);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 3);
    EXPECT_RGB(pixel(50, 20), 255, 255, 255);
}

TEST_F(RenderDevice, ColourAndMatrixChangesShareOneDrawCall) {
    device->SetColor(255, 0, 0);
    device->DrawRect(0, 0, 10, 10);
    device->SetColor(0, 255, 0);
    device->SetMatrix(1, 0, 0, 1, 100, 0);
    device->DrawRect(0, 0, 10, 10);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 1);
    EXPECT_RGB(pixel(5, 5), 255, 0, 0);
    EXPECT_RGB(pixel(105, 5), 0, 255, 0);
}

TEST_F(RenderDevice, FramesOfOneSurfaceShareABatchButAlternatingSurfacesDoNot) {
    std::unique_ptr<gxtkSurface> a = device->CreateSurface(8, 8);
    std::unique_ptr<gxtkSurface> b = device->CreateSurface(8, 8);
    for (int i = 0; i < 100; ++i) device->DrawSurface2(a.get(), 0, 0, i % 2 * 4, 0, 4, 4);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 1);

    device->BeginRender();
    for (int i = 0; i < 4; ++i) device->DrawSurface(i % 2 ? b.get() : a.get(), 0, 0);
    device->DrawRect(0, 0, 1, 1);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 5);
}

TEST_F(RenderDevice, ClsDropsPendingVertices) {
    device->DrawRect(0, 0, 100, 100);
    device->Cls(0, 0, 64);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 0);
    EXPECT_RGB(pixel(50, 50), 0, 0, 64);
}

TEST_F(RenderDevice, BlendAndScissorChangesFlush) {
    device->DrawRect(0, 0, 10, 10);
    device->SetBlend(gxtkGraphics::kBlendAdditive);
    device->DrawRect(0, 0, 10, 10);
    device->SetScissor(0, 0, 5, 5);
    device->DrawRect(0, 0, 10, 10);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 3);
}

TEST_F(RenderDevice, SettingTheSameBlendAndScissorAgainKeepsTheBatch) {
    for (int i = 0; i < 500; ++i) {
        device->SetBlend(gxtkGraphics::kBlendAlpha);
        device->SetScissor(0, 0, kWidth, kHeight);
        device->DrawRect(static_cast<float>(i % 100), 0, 1, 1);
    }
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 2); // 256 quads a batch
}

TEST_F(RenderDevice, EachFrameStartsAlphaBlendedWhateverTheLastFrameLeft) {
    device->SetBlend(gxtkGraphics::kBlendAdditive);
    device->EndRender();
    device->BeginRender();
    device->SetScissor(0, 0, kWidth, kHeight);
    device->Cls(0, 0, 100);
    device->SetBlend(gxtkGraphics::kBlendAdditive); // must not be skipped as "already set"
    device->SetColor(100, 0, 0);
    device->DrawRect(0, 0, 10, 10);
    device->EndRender();
    EXPECT_RGB(pixel(5, 5), 100, 0, 100);
}

// --- Shortcuts that keep the picture ---------------------------------------------------------

TEST_F(RenderDevice, ABatchThatCoversBelowSkipsBlendingAndTheNextTranslucentOneBlends) {
    device->Cls(0, 0, 200);
    device->SetColor(255, 0, 0);
    device->DrawRect(0, 0, 20, 20);
    device->DrawLine(0, 30.5f, 10, 30.5f); // a new batch: the rectangle's is drawn
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    device->SetAlpha(0.5f);
    device->DrawRect(40, 0, 20, 20);
    device->EndRender();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_RGB(pixel(10, 10), 255, 0, 0);
    EXPECT_RGB(pixel(50, 10), 127, 0, 100);
}

// A frame that starts with a plain opaque rectangle over the whole window starts with a clear
// to its colour: the clear colour tells which frames did.
TEST_F(RenderDevice, AFrameThatStartsWithAPlainRectangleOverTheWindowStartsWithAClear) {
    auto clearedTo = [&](auto draw) {
        device->BeginRender();
        device->SetColor(255, 255, 255);
        device->SetAlpha(1);
        device->SetBlend(gxtkGraphics::kBlendAlpha);
        device->SetScissor(0, 0, kWidth, kHeight);
        glClearColor(0, 0, 0, 0);
        draw();
        device->EndRender();
        std::array<float, 4> c = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, c.data());
        return std::array<int, 3>{static_cast<int>(c[0] * 255 + 0.5f),
                                  static_cast<int>(c[1] * 255 + 0.5f),
                                  static_cast<int>(c[2] * 255 + 0.5f)};
    };
    using Rgb3 = std::array<int, 3>;
    auto backdrop = [&](float x, float y, float w, float h) {
        device->SetColor(10, 120, 250);
        device->DrawRect(x, y, w, h);
    };
    EXPECT_EQ(clearedTo([&] { backdrop(-1, -1, kWidth + 2, kHeight + 2); }), (Rgb3{10, 120, 250}));
    EXPECT_EQ(clearedTo([&] { backdrop(0, 0, kWidth, kHeight); }), (Rgb3{10, 120, 250}));
    // Then the rest of its batch is drawn over the clear, and no more: a frame before leaves
    // a magenta square in the vertex slots past it.
    clearedTo([&] {
        device->DrawRect(0, 0, 1, 1);
        device->DrawRect(2, 0, 1, 1);
        device->SetColor(255, 0, 255);
        device->DrawRect(20, 20, 40, 40);
    });
    EXPECT_EQ(clearedTo([&] {
                  backdrop(0, 0, kWidth, kHeight);
                  device->SetColor(0, 255, 0);
                  device->DrawRect(5, 5, 10, 10);
              }),
              (Rgb3{10, 120, 250}));
    EXPECT_RGB(pixel(7, 7), 0, 255, 0);
    EXPECT_RGB(pixel(30, 30), 10, 120, 250);

    const Rgb3 none = {0, 0, 0};
    EXPECT_EQ(clearedTo([&] { backdrop(0.5f, 0, kWidth, kHeight); }), none);     // a column short
    EXPECT_EQ(clearedTo([&] { backdrop(0, 0, kWidth, kHeight - 0.5f); }), none); // a row short
    EXPECT_EQ(clearedTo([&] {
                  device->SetAlpha(0.99f);
                  backdrop(0, 0, kWidth, kHeight);
              }),
              none);
    EXPECT_EQ(clearedTo([&] {
                  device->SetBlend(gxtkGraphics::kBlendAdditive);
                  backdrop(0, 0, kWidth, kHeight);
              }),
              none);
    EXPECT_EQ(clearedTo([&] {
                  device->SetMatrix(0.9f, 0.1f, -0.1f, 0.9f, 0, 0); // turned
                  backdrop(-200, -200, kWidth + 400, kHeight + 400);
                  device->SetMatrix(1, 0, 0, 1, 0, 0);
              }),
              none);
    // Not after something else was drawn: the driver skips what such a rectangle hides on
    // its own, and a clear would make it draw that first.
    EXPECT_EQ(clearedTo([&] {
                  device->DrawLine(0, 0.5f, 10, 0.5f);
                  backdrop(0, 0, kWidth, kHeight);
              }),
              none);
    device->SetShortcuts(false);
    EXPECT_EQ(clearedTo([&] { backdrop(0, 0, kWidth, kHeight); }), none);
    device->SetShortcuts(true);
}

TEST_F(RenderDevice, ATranslucentPrimitiveMakesItsWholeBatchBlend) {
    device->Cls(0, 0, 200);
    device->SetColor(255, 0, 0);
    device->DrawRect(0, 0, 20, 20);
    device->SetAlpha(0.5f);
    device->DrawRect(40, 0, 20, 20); // joins the batch
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 1);
    EXPECT_RGB(pixel(10, 10), 255, 0, 0);
    EXPECT_RGB(pixel(50, 10), 127, 0, 100);
}

TEST_F(RenderDevice, SurfacesAreOpaqueOnlyWhenEveryPixelHasFullAlpha) {
    auto pixels = [](std::initializer_list<unsigned char> bytes) {
        KpBytes p(static_cast<unsigned char*>(std::malloc(bytes.size())));
        std::copy(bytes.begin(), bytes.end(), p.get());
        return p;
    };
    gxtkSurface opaque, translucent, rgb;
    opaque.SetData(pixels({1, 2, 3, 255, 4, 5, 6, 255}), 2, 1, 4);
    translucent.SetData(pixels({1, 2, 3, 255, 4, 5, 6, 254}), 2, 1, 4);
    rgb.SetData(pixels({1, 2, 3, 4, 5, 6}), 2, 1, 3);
    EXPECT_TRUE(opaque.Opaque());
    EXPECT_FALSE(translucent.Opaque());
    EXPECT_TRUE(rgb.Opaque());

    const int clear = 0x00ffffff, solid = static_cast<int>(0xff808080u);
    opaque.SetSubData(0, 0, 1, 1, &solid, 1);
    EXPECT_TRUE(opaque.Opaque());
    opaque.SetSubData(1, 0, 1, 1, &clear, 1);
    EXPECT_FALSE(opaque.Opaque());
    std::unique_ptr<gxtkSurface> empty = device->CreateSurface(4, 4);
    EXPECT_FALSE(empty->Opaque());
}

TEST_F(RenderDevice, BandsThatSpanTheWindowDropWhatTheBatchHeldBelowThem) {
    const int bands = 15, step = kHeight / bands;
    auto drawBands = [&](int held) {
        for (int i = 0; i < bands; ++i) {
            device->SetColor(0, static_cast<float>(i * 10), 100);
            device->DrawRect(-1, static_cast<float>(i * step), kWidth + 2,
                             static_cast<float>(step));
            // Until the last band reaches the bottom, everything stays.
            EXPECT_EQ(device->VertexCount(), i + 1 < bands ? held + 4 * (i + 1) : 4 * bands) << i;
        }
    };
    // The background straight under the bands (a covering rectangle itself).
    device->SetColor(200, 0, 0);
    device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
    drawBands(4);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 1);

    device->BeginRender();
    device->SetColor(200, 0, 0);
    device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
    device->SetAlpha(0.5f);
    device->DrawRect(10, 10, 20, 20); // translucent, hidden by the first band
    device->SetAlpha(1);
    drawBands(4);
    device->EndRender();
    EXPECT_EQ(device->DrawCalls(), 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)); // only covering rectangles were left
    EXPECT_RGB(pixel(15, 15), 0, 0, 100);
    EXPECT_RGB(pixel(15, kHeight - 1), 0, 140, 100);
}

TEST_F(RenderDevice, BandsKeepWhatTheyDoNotWhollyHide) {
    auto drawBands = [&](float left, float right, float gapAt) {
        device->BeginRender();
        device->SetColor(200, 0, 0);
        device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
        device->SetColor(0, 0, 100);
        device->DrawRect(left, 0, right - left, gapAt);
        device->DrawRect(left, gapAt + 1, right - left, kHeight - gapAt - 1);
        return device->VertexCount();
    };
    EXPECT_EQ(drawBands(0, kWidth, 100), 12);    // a row between the bands stays uncovered
    EXPECT_EQ(drawBands(1, kWidth, 99), 12);     // the first column stays uncovered
    EXPECT_EQ(drawBands(0, kWidth - 1, 99), 12); // so does the last
    device->EndRender();
    EXPECT_RGB(pixel(kWidth - 1, 50), 200, 0, 0);

    // A translucent band, a band drawn between the others and a scissored one.
    device->BeginRender();
    device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
    device->SetAlpha(0.5f);
    device->DrawRect(0, 0, kWidth, kHeight);
    EXPECT_EQ(device->VertexCount(), 8);
    device->SetAlpha(1);
    device->DrawRect(0, 0, kWidth, 100);
    device->DrawRect(5, 5, 5, 5); // not a band: the run ends here
    device->DrawRect(0, 100, kWidth, kHeight - 100);
    EXPECT_EQ(device->VertexCount(), 20);
    device->DrawRect(0, 0, kWidth, 100); // with the band before the small one, a whole run
    EXPECT_EQ(device->VertexCount(), 8);

    device->BeginRender();
    device->DrawRect(-1, -1, kWidth + 2, kHeight + 2);
    device->DrawRect(0, 0, kWidth, 100);
    const float square[] = {0, 0, 10, 0, 10, 10, 0, 10};
    device->SetAlpha(0.5f);
    device->DrawPoly(square); // a four-cornered polygon joins the batch of rectangles
    device->SetAlpha(1);
    device->DrawRect(0, 100, kWidth, kHeight - 100);
    EXPECT_EQ(device->VertexCount(), 16);
    device->SetScissor(0, 0, kWidth, 50); // a band as wide as the box covers it
    device->DrawRect(10, 10, 10, 10);
    device->DrawRect(0, 0, kWidth, 50);
    EXPECT_EQ(device->VertexCount(), 4);

    // Without the shortcuts nothing is dropped.
    device->SetShortcuts(false);
    device->DrawRect(10, 10, 10, 10);
    device->DrawRect(0, 0, kWidth, 50);
    EXPECT_EQ(device->VertexCount(), 12);
    device->EndRender();
}
