// The draw calls of the game's replay in a real window (Xvfb, Mesa), with the generated
// 640x480 art: a real menu frame, and lists of images, rectangles and text made through the
// game's own drawing calls, each at the batching floor. The floor is counted from the draw
// list: a new draw call wherever the primitive, the texture or the blend changes, or a batch
// of 1024 vertices is full; matrices (mirror, shear, rotation) never split one.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>

#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_commands.h"
#include "game/kp_bt3_globals.h"
#include "graphics/kp_graphics.h"
#include "runtime/kp_glfw_game.h"
#include "support/test_support.h"
#include "support/test_window.h"
#include "tools/assetgen/images.h"
#include "tools/assetgen/writers.h"

namespace {

constexpr int kBatchVertices = gxtkGraphics::kMaxVertices;
constexpr int kQuadVertices = 4;
constexpr int kGiveUpTicks = 2000;
constexpr int kNormalBlend = 1; // p_Blend's modes
constexpr int kAdditiveBlend = 3;
constexpr float kAdditive = 3.0f; // a command's blend slot when drawn additively

KpGlfwGame* host = nullptr;
c_MyApp* app = nullptr;
TempDir* data = nullptr;

// What a command asks of the device: primitive, texture and blend; vertices it adds.
struct Batch {
    int primitive = 0;
    const void* texture = nullptr;
    bool additive = false;
    float ovalW = 0, ovalH = 0; // ovals of one size have one vertex count, and share a batch
    bool operator==(const Batch&) const = default;
};

// Draw calls a perfect batcher needs for the clear rectangle and then the list.
int floorOfList() {
    int calls = 1; // the clear rectangle opens the first batch
    Batch open{kQuadVertices, nullptr, false};
    int vertices = kQuadVertices;
    for (int i = 0; i + bt3::kSlotBlend < app->m_drawCount; i += kDrawStride) {
        const float* c = &app->m_drawList[i];
        const float kind = c[bt3::kSlotKind];
        Batch next{kQuadVertices, nullptr, c[bt3::kSlotBlend] == kAdditive};
        int n = kQuadVertices;
        if (kind == kCmdLine) {
            next.primitive = n = 2;
        } else if (kind == kCmdOval) {
            next.primitive = -1;
            next.ovalW = c[bt3::kSlotW];
            next.ovalH = c[bt3::kSlotH];
            n = 1; // far below a batch for the small ovals of a frame
        } else if (kind == kCmdMirror || kind == kCmdShear) {
            continue;
        } else if (kind != kCmdRect) {
            const int slot = static_cast<int>(kind);
            const int frame = static_cast<int>(c[bt3::kSlotFrame]);
            const c_Image* image =
                slot >= 0 && slot < kImageSlots ? app->m_images[slot].get() : nullptr;
            if (!image || frame < 0 || frame >= static_cast<int>(image->frames.size())) continue;
            next.texture = image->surface.get();
        }
        if (!(next == open) || vertices + n > kBatchVertices) {
            ++calls;
            open = next;
            vertices = 0;
        }
        vertices += n;
    }
    return calls;
}

int commandsInList() {
    return app->m_drawCount / kDrawStride;
}

int renderedDrawCalls() {
    host->RenderGame();
    glfwSwapBuffers(host->Window());
    return kp_graphics_device->DrawCalls();
}

class Batching : public ::testing::Test {
  protected:
    // The whole 640x480 art set, the game started and driven through its loader and intro.
    static void SetUpTestSuite() {
        if (host) return;
        data = new TempDir();
        for (const assetgen::ImageDef& def : assetgen::allImages()) {
            ASSERT_TRUE(assetgen::writePng(data->file("data/" + def.name + ".png"),
                                           assetgen::renderImage(def, 1)));
        }
        host = sharedTestWindow();
        ASSERT_NE(host, nullptr);
        kpInit();
        app = new c_MyApp();
        kp_BT3_UseHDImages = 0; // the art written above, whatever the window's size
        host->StartGame();
        for (int t = 0; t < kGiveUpTicks; ++t) {
            if (app->m_loadStep == 0 && app->m_introFrames >= kIntroEnd) break;
            host->UpdateGame();
            host->RenderGame();
        }
        ASSERT_EQ(app->m_loadStep, 0);
        ASSERT_GE(app->m_introFrames, kIntroEnd);
    }

    void SetUp() override {
        ASSERT_NE(app, nullptr);
        ASSERT_TRUE(app->m_images[kImgParts])
            << "the art did not load: level " << app->m_hdLevel << " in " << data->path();
    }
};

} // namespace

TEST_F(Batching, TheMenuFrameDrawsAtTheFloorAndWithinSixtyCalls) {
    for (int t = 0; t < 30; ++t) host->UpdateGame();
    ASSERT_EQ(app->m_screen, kScreenMenu);
    ASSERT_GT(commandsInList(), 100);
    // Without the device's shortcuts every command is sent and the batches meet the floor;
    // with them, commands wholly off screen are dropped and can only save calls.
    kp_graphics_device->SetShortcuts(false);
    const int plain = renderedDrawCalls();
    kp_graphics_device->SetShortcuts(true);
    const int calls = renderedDrawCalls();
    EXPECT_EQ(plain, floorOfList()) << commandsInList() << " commands";
    EXPECT_LE(calls, plain);
    EXPECT_LE(calls, 60);
}

TEST_F(Batching, ReplayedImagesRectanglesAndTextShareTheirBatches) {
    app->p_CLS2D(0, 0, 0, 1);
    for (int i = 0; i < 600; ++i) {
        app->p_SetRot(static_cast<float>(i)); // rotation is a matrix: it never splits a batch
        app->p_DrawImg(kImgParts, static_cast<float>(i % 300), static_cast<float>(i / 3), i % 4);
    }
    app->p_ResetDraw();
    for (int i = 0; i < 300; ++i) {
        app->p_SetCol(static_cast<float>(i % 255), 10, 10, 0.5f);
        app->p_Rect(static_cast<float>(i), 5, 3, 3);
    }
    app->p_ResetDraw();
    const int beforeText = commandsInList();
    app->p_Text(10, 200, u"Batching keeps every glyph of one font in one call", 0, 0, 0);
    const int glyphs = commandsInList() - beforeText;
    ASSERT_GT(glyphs, 30);
    app->p_Blend(kAdditiveBlend);
    for (int i = 0; i < 100; ++i) app->p_DrawImg(kImgParts, static_cast<float>(i), 300, 0);

    // Clear rectangle 1, images 2400 vertices 3, rectangles 1200 vertices 2, the text, and
    // the additive images 1.
    const int textCalls = (glyphs * kQuadVertices + kBatchVertices - 1) / kBatchVertices;
    const int calls = renderedDrawCalls();
    EXPECT_EQ(calls, 1 + 3 + 2 + textCalls + 1);
    EXPECT_EQ(calls, floorOfList());
}

TEST_F(Batching, AlternatingBlendsSplitEveryCommandAndNoMore) {
    app->p_CLS2D(0, 0, 0, 1);
    for (int i = 0; i < 40; ++i) {
        app->p_Blend(i % 2 == 0 ? kAdditiveBlend : kNormalBlend);
        app->p_FlipScreen(); // a mirror between commands changes the matrix only
        app->p_DrawImg(kImgParts, static_cast<float>(i), 10, 0);
    }
    EXPECT_EQ(renderedDrawCalls(), 1 + 40);
    EXPECT_EQ(floorOfList(), 1 + 40);
}
