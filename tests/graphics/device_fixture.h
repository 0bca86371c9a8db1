// A render device on the binary's shared test window, for tests that draw frames with the
// shortcuts off and on and compare them: the device set up as the game has it, a frame begun
// in a known state, the whole window read back, and a count of the pixels that differ.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/kp_graphics.h"
#include "runtime/kp_app.h"
#include "runtime/kp_glfw_game.h"
#include "support/test_window.h"

class DeviceFixture : public ::testing::Test {
  protected:
    static constexpr int kWidth = KpGlfwGame::kInitialWidth;
    static constexpr int kHeight = KpGlfwGame::kInitialHeight;

    DeviceFixture() {
        host = sharedTestWindow();
        kp_app_Init(host);
        kp_app_ValidateDeviceWindow(false);
        kp_graphics_Init();
        device = std::make_unique<gxtkGraphics>();
        kp_graphics_SetGraphicsDevice(device.get());
    }

    // A surface of w x h texels holding the ARGB ints argb, rows top to bottom.
    std::unique_ptr<gxtkSurface> surfaceOf(const std::vector<int>& argb, int w, int h) {
        std::unique_ptr<gxtkSurface> surface = device->CreateSurface(w, h);
        device->WritePixels2(surface.get(), argb, 0, 0, w, h, 0, w);
        return surface;
    }

    // Begins a frame: white, opaque, alpha blended, no scissor, cleared to (30, 60, 90).
    void begin() {
        device->BeginRender();
        device->SetColor(255, 255, 255);
        device->SetAlpha(1);
        device->SetBlend(0);
        device->SetScissor(0, 0, kWidth, kHeight);
        device->Cls(30, 60, 90);
    }

    std::vector<int> frame() {
        std::vector<int> pixels(static_cast<size_t>(kWidth) * kHeight);
        device->ReadPixels(pixels, 0, 0, kWidth, kHeight, 0, kWidth);
        return pixels;
    }

    static int differing(const std::vector<int>& a, const std::vector<int>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
        return n;
    }

    KpGlfwGame* host = nullptr;
    std::unique_ptr<gxtkGraphics> device;
};
