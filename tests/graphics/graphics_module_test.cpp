// The graphics module without a window: images cut from PNGs the tests write, flags and
// handles, the memory images let go of, the matrix and its stack, state forwarding, and the
// vertices the device receives.
// With no OpenGL context the device batches without drawing, so its buffer can be inspected.
#include <gtest/gtest.h>
#include <unistd.h>

#include "graphics/kp_graphics.h"
#include "png_writer.h"
#include "runtime/kp_app.h"
#include "runtime/kp_headless_game.h"
#include "support/test_support.h"

namespace {

// A device that records what the module forwards to it.
class RecordingGraphics : public gxtkGraphics {
  public:
    void SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) override {
        ++matrixSends;
        gxtkGraphics::SetMatrix(ix, iy, jx, jy, tx, ty);
    }
    void SetScissor(int x, int y, int w, int h) override {
        scissor = {x, y, w, h};
        gxtkGraphics::SetScissor(x, y, w, h);
    }
    int matrixSends = 0;
    std::array<int, 4> scissor = {};
};

class GraphicsModule : public ::testing::Test {
  protected:
    GraphicsModule() {
        kp_app_Init(&host);
        kp_app_ValidateDeviceWindow(false);
        kp_graphics_Init();
        kp_graphics_SetGraphicsDevice(&device);
    }

    // The pixel copy of a loaded image's surface.
    static const unsigned char* pixels(const c_Image& image) { return image.surface->data.get(); }

    TempDir dir;
    KpHeadlessGame host{640, 480};
    RecordingGraphics device;
};

void expectVertex(const KpVertex& v, float x, float y) {
    EXPECT_NEAR(v.x, x, 1e-3) << "y " << v.y;
    EXPECT_NEAR(v.y, y, 1e-3) << "x " << v.x;
}

} // namespace

// --- Images ---------------------------------------------------------------------------------

TEST_F(GraphicsModule, StripFramesSitSideBySide) {
    writeSolidPng("data/strip.png", 640, 64, 255, 255, 255, 255);
    auto image = kp_graphics_LoadImage(u"strip.png", 10, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 64);
    EXPECT_EQ(image->height, 64);
    ASSERT_EQ(image->frames.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(image->frames[i].x, i * 64);
        EXPECT_EQ(image->frames[i].y, 0);
    }
    EXPECT_EQ(image->flags & c_Image::m_WholeSurfaceFlag, 0);
}

TEST_F(GraphicsModule, StripOfNoFramesIsTheWholeSurface) {
    writeSolidPng("data/none.png", 64, 32, 255, 255, 255, 255);
    auto image = kp_graphics_LoadImage(u"none.png", 0, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->frames.size(), 1u);
    EXPECT_EQ(image->width, 64);
}

TEST_F(GraphicsModule, GridFramesWrapToTheNextRow) {
    writeSolidPng("data/grid.png", 130, 128, 255, 255, 255, 255);
    auto image = kp_graphics_LoadImage2(u"grid.png", 64, 64, 4, 0);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->frames.size(), 4u);
    int expected[4][2] = {{0, 0}, {64, 0}, {0, 64}, {64, 64}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(image->frames[i].x, expected[i][0]);
        EXPECT_EQ(image->frames[i].y, expected[i][1]);
    }
}

TEST_F(GraphicsModule, GridFrameOutsideTheSurfaceIsFatal) {
    writeSolidPng("data/row.png", 256, 64, 255, 255, 255, 255);
    // The runtime error goes to standard output; send it where the death test looks.
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            kp_graphics_LoadImage2(u"row.png", 64, 64, 8, 0);
        },
        ::testing::ExitedWithCode(255), "Zembra Runtime Error : Image frame outside surface");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            kp_graphics_LoadImage2(u"row.png", 300, 64, 2, 0);
        },
        ::testing::ExitedWithCode(255), "Image frame outside surface");
}

TEST_F(GraphicsModule, PaddingShrinksFramesAndTheCentreHandleUsesThePaddedSize) {
    writeSolidPng("data/pad.png", 68, 20, 255, 255, 255, 255);
    auto image =
        kp_graphics_LoadImage(u"pad.png", 2, c_Image::m_CentreHandleFlag | c_Image::m_PadXFlag);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 20);
    EXPECT_EQ(image->frames[0].x, 1);
    EXPECT_EQ(image->frames[1].x, 35);
    EXPECT_FLOAT_EQ(image->tx, 16.0f);
    EXPECT_FLOAT_EQ(image->ty, 10.0f);
    EXPECT_EQ(image->flags, c_Image::m_PadXFlag); // centre bit cleared, not whole-surface

    auto tall = kp_graphics_LoadImage2(u"pad.png", 34, 20, 2, c_Image::m_PadYFlag);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->height, 18);
    EXPECT_EQ(tall->frames[1].x, 34);
    EXPECT_EQ(tall->frames[1].y, 1);
}

TEST_F(GraphicsModule, OnlyAnUnpaddedSingleFrameCoversTheWholeSurface) {
    writeSolidPng("data/one.png", 16, 8, 255, 255, 255, 255);
    auto whole = kp_graphics_LoadImage(u"one.png", 1, 0);
    auto padded = kp_graphics_LoadImage(u"one.png", 1, c_Image::m_PadXFlag);
    auto twoFrames = kp_graphics_LoadImage(u"one.png", 2, 0);
    ASSERT_TRUE(whole && padded && twoFrames);
    EXPECT_NE(whole->flags & c_Image::m_WholeSurfaceFlag, 0);
    EXPECT_EQ(padded->flags & c_Image::m_WholeSurfaceFlag, 0);
    EXPECT_EQ(twoFrames->flags & c_Image::m_WholeSurfaceFlag, 0);

    // The padded frame starts one texel in; the whole surface maps from texel 0 to the edge.
    kp_graphics_BeginRender();
    kp_graphics_DrawImage(whole.get(), 0, 0, 0);
    EXPECT_FLOAT_EQ(device.vertices[0].u, 0.0f);
    EXPECT_FLOAT_EQ(device.vertices[2].u, 1.0f);
    kp_graphics_DrawImage(padded.get(), 0, 0, 0); // another surface: a new batch
    EXPECT_EQ(device.VertexCount(), 4);
    EXPECT_FLOAT_EQ(device.vertices[0].u, 1.0f / 16);
    EXPECT_FLOAT_EQ(device.vertices[2].u, 15.0f / 16);
}

TEST_F(GraphicsModule, MissingFilesGiveNoImage) {
    EXPECT_FALSE(kp_graphics_LoadImage(u"absent.png", 1, 0));
    EXPECT_FALSE(kp_graphics_LoadImage2(u"absent.png", 8, 8, 1, 0));
    writeFile("data/broken.png", "not an image");
    EXPECT_FALSE(kp_graphics_LoadImage(u"broken.png", 1, 0));
}

TEST_F(GraphicsModule, LettingGoOfLargeImagesIsNotedForTheFrameLoop) {
    // 2 MB of pixels each: the first alone is not worth giving memory back for, both are.
    writeSolidPng("data/large.png", 1024, 512, 255, 255, 255, 255);
    auto first = kp_graphics_LoadImage(u"large.png", 1, 0);
    auto second = kp_graphics_LoadImage(u"large.png", 1, 0);
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(host.MemoryReturn().Due(0.0));
    first.reset();
    EXPECT_FALSE(host.MemoryReturn().Due(0.0));
    EXPECT_FALSE(host.MemoryReturn().Due(5.0));
    second->surface->Discard();
    second.reset(); // already discarded: nothing more to note
    EXPECT_FALSE(host.MemoryReturn().Due(5.0));
    EXPECT_TRUE(host.MemoryReturn().Due(6.0));
    EXPECT_FALSE(host.MemoryReturn().Due(10.0));
}

TEST_F(GraphicsModule, LoadedPixelsArePremultipliedByAlpha) {
    writePng("data/rgba.png", 1, 1, 4, {200, 100, 50, 128});
    writePng("data/la.png", 1, 1, 2, {200, 128});
    writePng("data/rgb.png", 1, 1, 3, {200, 100, 50});
    auto rgba = kp_graphics_LoadImage(u"rgba.png", 1, 0);
    auto la = kp_graphics_LoadImage(u"la.png", 1, 0);
    auto rgb = kp_graphics_LoadImage(u"rgb.png", 1, 0);
    ASSERT_TRUE(rgba && la && rgb);
    const unsigned char* p = pixels(*rgba);
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{100, 50, 25, 128}));
    p = pixels(*la);
    EXPECT_EQ((std::vector<int>{p[0], p[1]}), (std::vector<int>{100, 128}));
    p = pixels(*rgb);
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{200, 100, 50}));

    // Clear pixels lose their colour, opaque ones keep it, and the faintest still scales.
    writePng("data/edges.png", 3, 1, 4, {200, 100, 50, 0, 200, 100, 50, 255, 255, 255, 128, 1});
    auto edges = kp_graphics_LoadImage(u"edges.png", 1, 0);
    ASSERT_TRUE(edges);
    p = pixels(*edges);
    EXPECT_EQ(std::vector<int>(p, p + 12),
              (std::vector<int>{0, 0, 0, 0, 200, 100, 50, 255, 1, 1, 0, 1}));
}

TEST_F(GraphicsModule, DefaultFontIsAPaddedStripOf96Glyphs) {
    kp_graphics_SetFont(nullptr, 65);
    EXPECT_EQ(kp_graphics_context->font, nullptr); // no font file yet

    writeSolidPng("data/vexa_font.png", 96 * 8, 10, 255, 255, 255, 255);
    kp_graphics_SetFont(nullptr, 65);
    c_Image* font = kp_graphics_context->font;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font, kp_graphics_context->defaultFont.get());
    EXPECT_EQ(kp_graphics_context->firstChar, 32);
    EXPECT_EQ(font->frames.size(), 96u);
    EXPECT_EQ(font->width, 6);
    EXPECT_EQ(font->frames[1].x, 9);

    auto own = kp_graphics_LoadImage(u"vexa_font.png", 96, 0);
    kp_graphics_SetFont(own.get(), 48);
    EXPECT_EQ(kp_graphics_context->font, own.get());
    EXPECT_EQ(kp_graphics_context->firstChar, 48);
}

// --- Matrix ---------------------------------------------------------------------------------

TEST_F(GraphicsModule, TransformAppliesTheGivenMatrixFirst) {
    kp_graphics_Translate(10, 0);
    kp_graphics_Scale(2, 3);
    c_GraphicsContext& c = *kp_graphics_context;
    // (1, 1) scales to (2, 3), then moves to (12, 3).
    EXPECT_FLOAT_EQ(1 * c.ix + 1 * c.jx + c.tx, 12.0f);
    EXPECT_FLOAT_EQ(1 * c.iy + 1 * c.jy + c.ty, 3.0f);
    EXPECT_EQ(c.tformed, 1);

    kp_graphics_SetMatrix2({1, 0, 0, 1, 0, 0});
    EXPECT_EQ(c.tformed, 0);
    kp_graphics_Rotate(90);
    EXPECT_NEAR(c.ix, 0.0f, 1e-6);
    EXPECT_NEAR(c.iy, -1.0f, 1e-6);
    EXPECT_NEAR(c.jx, 1.0f, 1e-6);
}

TEST_F(GraphicsModule, MatrixStackDoublesOnThe33rdPushAndPopsInOrder) {
    c_GraphicsContext& c = *kp_graphics_context;
    ASSERT_EQ(c.matrixStack.size(), 192u);
    for (int i = 0; i < 32; ++i) {
        kp_graphics_SetMatrix(1, 0, 0, 1, static_cast<float>(i), 0);
        kp_graphics_PushMatrix();
    }
    EXPECT_EQ(c.matrixStack.size(), 192u);
    kp_graphics_SetMatrix(1, 0, 0, 1, 32, 0);
    kp_graphics_PushMatrix();
    EXPECT_EQ(c.matrixStack.size(), 384u);
    EXPECT_EQ(c.matrixSp, 33 * 6);

    for (int i = 32; i >= 0; --i) {
        kp_graphics_PopMatrix();
        ASSERT_FLOAT_EQ(c.tx, static_cast<float>(i));
    }
    EXPECT_EQ(c.matrixSp, 0);
    kp_graphics_PopMatrix(); // unmatched: the matrix stays
    EXPECT_FLOAT_EQ(c.tx, 0.0f);
    EXPECT_EQ(c.matrixSp, 0);
}

TEST_F(GraphicsModule, MatrixIsSentOnceBeforeTheNextDraw) {
    kp_graphics_BeginRender();
    EXPECT_EQ(device.matrixSends, 0);
    kp_graphics_SetMatrix(2, 0, 0, 2, 5, 5);
    kp_graphics_SetMatrix(2, 0, 0, 2, 5, 5);
    EXPECT_EQ(device.matrixSends, 0);
    kp_graphics_DrawRect(0, 0, 1, 1);
    EXPECT_EQ(device.matrixSends, 1);
    kp_graphics_DrawLine(0, 0, 1, 1);
    EXPECT_EQ(device.matrixSends, 1);
    expectVertex(device.vertices[0], 5, 5);
    expectVertex(device.vertices[2], 7, 7);
}

TEST_F(GraphicsModule, ColourAlphaBlendAndScissorReachTheDeviceAtOnce) {
    kp_graphics_BeginRender();
    EXPECT_EQ(device.scissor, (std::array<int, 4>{0, 0, 640, 480}));
    kp_graphics_SetColor(255, 128, 0);
    kp_graphics_SetAlpha(0.5f);
    // Bytes red, green, blue, alpha, premultiplied: 127, 64, 0, 127.
    EXPECT_EQ(device.color, 127u << 24 | 0u << 16 | 64u << 8 | 127u);
    kp_graphics_SetScissor(0.9f, 0, 10.7f, 20);
    EXPECT_EQ(device.scissor, (std::array<int, 4>{0, 0, 10, 20}));
    EXPECT_EQ(device.VertexCount(), 0);
}

TEST_F(GraphicsModule, NothingIsDrawnOutsideAFrame) {
    kp_graphics_DrawRect(0, 0, 10, 10);
    EXPECT_EQ(device.VertexCount(), 0);
    kp_graphics_BeginRender();
    kp_graphics_EndRender();
    kp_graphics_DrawEllipse(0, 0, 10, 10);
    EXPECT_EQ(device.VertexCount(), 0);
}

// --- What the device receives ---------------------------------------------------------------

TEST_F(GraphicsModule, DrawImagePlacesTheHandleAtThePosition) {
    writeSolidPng("data/box.png", 40, 10, 255, 255, 255, 255);
    auto image = kp_graphics_LoadImage(u"box.png", 2, c_Image::m_CentreHandleFlag);
    ASSERT_TRUE(image);
    kp_graphics_BeginRender();

    kp_graphics_DrawImage(image.get(), 100, 50, 1);
    expectVertex(device.vertices[0], 90, 45);
    expectVertex(device.vertices[2], 110, 55);
    EXPECT_FLOAT_EQ(device.vertices[0].u, 0.5f); // frame 1 starts half way across

    // Scaled by 2 and turned a quarter about the handle, which stays at (100, 50).
    kp_graphics_DrawImage2(image.get(), 100, 50, 90, 2, 2, 0);
    expectVertex(device.vertices[4], 90, 70);
    expectVertex(device.vertices[6], 110, 30);
    EXPECT_EQ(kp_graphics_context->matrixSp, 0);
    EXPECT_EQ(kp_graphics_context->tformed, 0);
}

TEST_F(GraphicsModule, OvalSegmentsFollowTheRadiiOnScreen) {
    struct Case {
        float w, h, scale;
        int segments;
    } cases[] = {{10, 10, 1, 12}, {200, 100, 1, 148}, {3000, 3000, 1, 1024},
                 {24, 24, 1, 24}, {10, 10, 2, 20},    {-40, -40, 1, 40}};
    for (const Case& k : cases) {
        device.SetMatrix(k.scale, 0, 0, k.scale, 0, 0);
        device.Cls(0, 0, 0);
        device.DrawOval(0, 0, k.w, k.h);
        EXPECT_EQ(device.VertexCount(), k.segments) << k.w << "x" << k.h << " scale " << k.scale;
        EXPECT_EQ(device.PrimType(), k.segments);
    }
    // The first vertex sits on the right end of the horizontal axis.
    device.SetMatrix(1, 0, 0, 1, 0, 0);
    device.Cls(0, 0, 0);
    kp_graphics_BeginRender();
    kp_graphics_DrawEllipse(100, 50, 30, 20);
    expectVertex(device.vertices[0], 130, 50);
}

TEST_F(GraphicsModule, WithoutAWindowTexturesWaitAndBatchesAreOnlyCounted) {
    writeSolidPng("data/one.png", 16, 8, 255, 255, 255, 255);
    auto image = kp_graphics_LoadImage(u"one.png", 1, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->surface->seq, 0); // no texture until a context exists
    EXPECT_FLOAT_EQ(image->surface->uscale, 1.0f / 16);

    EXPECT_EQ(device.BeginRender(), 1);
    for (int i = 0; i < 257; ++i) device.DrawRect(0, 0, 1, 1);
    device.DrawSurface(image->surface.get(), 0, 0);
    device.EndRender();
    EXPECT_EQ(device.DrawCalls(), 3);
    EXPECT_EQ(device.VertexCount(), 0);
}

TEST_F(GraphicsModule, PolygonsShareTheBatchKindOfTheirVertexCount) {
    device.BeginRender();
    const float triangle[] = {0, 0, 10, 0, 0, 10};
    device.DrawPoly(triangle);
    EXPECT_EQ(device.PrimType(), gxtkGraphics::kTriangles);
    device.DrawPoly(std::span<const float>());
    std::vector<float> tooMany((gxtkGraphics::kMaxVertices + 1) * 2);
    device.DrawPoly(tooMany);
    EXPECT_EQ(device.VertexCount(), 3);

    auto surface = device.CreateSurface(10, 20);
    const float quad[] = {0, 0, 0, 0, 5, 0, 5, 0, 5, 5, 5, 5, 0, 5, 0, 5};
    device.DrawPoly2(quad, surface.get(), 2, 4);
    EXPECT_EQ(device.PrimType(), gxtkGraphics::kQuads);
    EXPECT_EQ(device.DrawCalls(), 1);
    EXPECT_FLOAT_EQ(device.vertices[0].u, 0.2f);
    EXPECT_FLOAT_EQ(device.vertices[2].u, 0.7f);
    EXPECT_FLOAT_EQ(device.vertices[2].v, 0.45f);
}
