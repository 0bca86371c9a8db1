// The app, random and math modules, the key tables, display modes, and how the process ends:
// runtime errors, the quit keys, a second application, fatal signals and uncaught throws.
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include "runtime/kp_app.h"
#include "runtime/kp_error.h"
#include "runtime/kp_glfw_game.h"
#include "runtime/kp_joystick_layout.h"
#include "runtime/kp_headless_game.h"
#include "runtime/kp_keymap.h"
#include "runtime/kp_math.h"
#include "runtime/kp_random.h"
#include <GLFW/glfw3.h>

using ::testing::ExitedWithCode;

namespace {

// Death tests match what the child wrote to standard error; our reports go to standard output.
void stdoutToStderr() {
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

class TestApp : public c_App {
  public:
    TestApp() { m_new(); }
    int p_OnCreate() override {
        ++creates;
        return 0;
    }
    int p_OnUpdate() override {
        ++updates;
        return 0;
    }
    int creates = 0;
    int updates = 0;
};

// A started game on the headless host with the real delegate and devices.
struct StartedGame {
    StartedGame() {
        kpInit(); // every module global, with this host as the process's host
        app = new TestApp();
        host.StartGame();
    }
    KpHeadlessGame host;
    TestApp* app;
};

} // namespace

TEST(Random, FirstValuesFollowTheGeneratorFromSeed1234) {
    kp_random_Seed = 1234;
    uint32_t seed = 1234;
    for (int i = 0; i < 5; ++i) {
        seed = seed * 1664525u + 1013904223u;
        EXPECT_FLOAT_EQ(kp_random_Rnd(), static_cast<float>((seed >> 8) / 16777216.0));
    }
    EXPECT_EQ(static_cast<uint32_t>(kp_random_Seed), seed);
    // 1234 * 1664525 + 1013904223 mod 2^32, worked out by hand.
    kp_random_Seed = 1234;
    kp_random_Rnd();
    EXPECT_EQ(static_cast<uint32_t>(kp_random_Seed), 3067928073u);
}

TEST(Random, RangesAndRepeatability) {
    kp_random_Seed = 42;
    float a = kp_random_Rnd3(10.0f);
    kp_random_Seed = 42;
    EXPECT_EQ(kp_random_Rnd3(10.0f), a);
    EXPECT_EQ(kp_random_Rnd2(5.0f, 5.0f), 5.0f);
    for (int i = 0; i < 1000; ++i) {
        float r = kp_random_Rnd();
        EXPECT_GE(r, 0.0f);
        EXPECT_LT(r, 1.0f);
        float reversed = kp_random_Rnd2(8.0f, 2.0f);
        EXPECT_GT(reversed, 2.0f);
        EXPECT_LE(reversed, 8.0f);
    }
}

TEST(MathModule, MaxPrefersTheFirstOnTies) {
    EXPECT_EQ(kp_math_Abs(-3), 3);
    EXPECT_EQ(kp_math_Abs2(-2.5f), 2.5f);
    EXPECT_EQ(kp_math_Max(2, 7), 7);
    EXPECT_EQ(kp_math_Max2(-0.0f, 0.0f), -0.0f);
    EXPECT_TRUE(std::signbit(kp_math_Max2(-0.0f, 0.0f)));
}

TEST(KeyTable, TranslatesTheDesktopKeysAndIgnoresTheRest) {
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_A), 65);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_Z), 90);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_0), 48);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_ESCAPE), 27);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_F1), 112);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_F12), 123);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_KP_0), 96);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_KP_9), 105);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_KP_DECIMAL), 110);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_RIGHT_SHIFT), 16);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_RIGHT_CONTROL), 17);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_RIGHT), 39);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_APOSTROPHE), 222);
    EXPECT_EQ(kpTranslateGlfwKey(GLFW_KEY_GRAVE_ACCENT), 192);
    for (int ignored :
         {GLFW_KEY_F13, GLFW_KEY_LEFT_ALT, GLFW_KEY_RIGHT_ALT, GLFW_KEY_KP_EQUAL, GLFW_KEY_KP_ENTER,
          GLFW_KEY_NUM_LOCK, GLFW_KEY_CAPS_LOCK, GLFW_KEY_SCROLL_LOCK, GLFW_KEY_PAUSE,
          GLFW_KEY_LEFT_SUPER, GLFW_KEY_MENU, GLFW_KEY_WORLD_1}) {
        EXPECT_EQ(kpTranslateGlfwKey(ignored), 0) << ignored;
    }
}

TEST(KeyTable, KeysThatTypeACharacterOnPress) {
    EXPECT_EQ(kpKeyToChar(27), 27);
    EXPECT_EQ(kpKeyToChar(8), 8);
    EXPECT_EQ(kpKeyToChar(13), 13);
    EXPECT_EQ(kpKeyToChar(37), 0x10025);
    EXPECT_EQ(kpKeyToChar(33), 0x10021);
    EXPECT_EQ(kpKeyToChar(45), 0x1002D);
    EXPECT_EQ(kpKeyToChar(46), 127);
    EXPECT_EQ(kpKeyToChar(65), 0); // letters type through the character callback
    EXPECT_EQ(kpKeyToChar(32), 0);
}

TEST(JoystickButtons, HatMovesToEightToElevenOnBigPads) {
    bool raw[16];
    for (int i = 0; i < 16; ++i) raw[i] = (i % 3) == 0;
    bool buttons[32] = {};
    buttons[20] = true;
    kpReorderJoyButtons(raw, 16, buttons);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(buttons[i], raw[i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(buttons[8 + i], raw[12 + i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(buttons[12 + i], raw[8 + i]);
    EXPECT_TRUE(buttons[20]); // entries past the reported count are left alone

    bool small[3] = {true, false, true};
    bool out[32] = {};
    kpReorderJoyButtons(small, 3, out);
    EXPECT_TRUE(out[0]);
    EXPECT_FALSE(out[1]);
    EXPECT_TRUE(out[2]);
}

TEST(DisplayModes, DuplicatesCollapseInFirstSeenOrder) {
    KpHeadlessGame host(800, 600);
    kp_app_Init(&host);
    host.SetDisplayModes({{640, 480}, {1024, 768}, {640, 480}, {800, 600}, {1024, 768}});
    host.SetDesktop(KpDisplayMode{1920, 1080});
    kp_app_EnumDisplayModes();
    ASSERT_EQ(kp_app__displayModes.size(), 3u);
    EXPECT_EQ(kp_app__displayModes[0].width, 640);
    EXPECT_EQ(kp_app__displayModes[1].width, 1024);
    EXPECT_EQ(kp_app__displayModes[2].height, 600);
    EXPECT_EQ(kp_app__desktopMode->width, 1920);

    // With no desktop mode the cached device size stands in.
    host.SetDesktop(std::nullopt);
    kp_app_ValidateDeviceWindow(false);
    kp_app_EnumDisplayModes();
    EXPECT_EQ(kp_app__desktopMode->width, 800);
    EXPECT_EQ(kp_app__desktopMode->height, 600);
}

TEST(AppModule, DeviceSizeIsCachedUntilValidated) {
    KpHeadlessGame host(640, 480);
    kp_app_Init(&host);
    kp_app_ValidateDeviceWindow(true);
    host.SetDeviceSize(1280, 720);
    EXPECT_EQ(kp_app_DeviceWidth(), 640);
    kp_app_ValidateDeviceWindow(true);
    EXPECT_EQ(kp_app_DeviceWidth(), 1280);
    EXPECT_EQ(kp_app_DeviceHeight(), 720);
    host.SetTime(2.5);
    EXPECT_EQ(kp_app_Millisecs(), 2500);
    kp_app_SetUpdateRate(60);
    EXPECT_EQ(kp_app__updateRate, 60);
    EXPECT_EQ(host.UpdateRate(), 60);
}

TEST(Diagnostics, PrintWritesUtf8Lines) {
    testing::internal::CaptureStdout();
    kpPrint(String(u"caf\u00E9"));
    kpPrint(String({char16_t(0xD83D)}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "caf\xC3\xA9\n\xED\xA0\xBD\n");
}

TEST(ProcessEndDeathTest, EmptyErrorIsTheNormalQuit) {
    EXPECT_EXIT(kpError(String()), ExitedWithCode(0), "");
    EXPECT_EXIT(kp_app_EndApp(), ExitedWithCode(0), "");
}

TEST(ProcessEndDeathTest, RuntimeErrorPrintsAndExitsWith255) {
    EXPECT_EXIT(
        {
            stdoutToStderr();
            kpError(std::string_view("Something broke"));
        },
        ExitedWithCode(255), "Zembra Runtime Error : Something broke\n\n");
}

TEST(ProcessEndDeathTest, SecondApplicationIsRefused) {
    EXPECT_EXIT(
        {
            stdoutToStderr();
            StartedGame game;
            new TestApp();
        },
        ExitedWithCode(255), "Zembra Runtime Error : App has already been created");
}

TEST(ProcessEndDeathTest, CloseAndBackKeysQuitBeforeTheGameUpdates) {
    EXPECT_EXIT(
        {
            StartedGame game;
            game.host.KeyEvent(kEventKeyDown, kKeyClose);
            std::exit(3);
        },
        ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            StartedGame game;
            game.host.KeyEvent(kEventKeyDown, kKeyBack);
            game.host.KeyEvent(kEventKeyDown, kKeyBack); // a repeat quits all the same
            std::exit(3);
        },
        ExitedWithCode(0), "");
}

TEST(ProcessEndDeathTest, KeyUpOfCloseAloneDoesNothing) {
    EXPECT_EXIT(
        {
            StartedGame game;
            game.host.KeyEvent(kEventKeyUp, kKeyClose);
            game.host.UpdateGame();
            std::exit(game.app->updates == 1 && game.app->creates == 1 ? 3 : 4);
        },
        ExitedWithCode(3), "");
}

TEST(ProcessEndDeathTest, FatalSignalsReportTheirNames) {
    EXPECT_EXIT(
        {
            stdoutToStderr();
            kpInstallSignalHandlers();
            std::raise(SIGSEGV);
        },
        ExitedWithCode(255), "Zembra Runtime Error : Memory access violation");
    EXPECT_EXIT(
        {
            stdoutToStderr();
            kpInstallSignalHandlers();
            std::raise(SIGFPE);
        },
        ExitedWithCode(255), "Zembra Runtime Error : Floating point exception");
    EXPECT_STREQ(kpSignalMessage(SIGILL), "Illegal instruction");
    EXPECT_STREQ(kpSignalMessage(SIGTERM), "Unknown signal");
}

// Recursion that cannot be turned into a loop: each frame keeps a buffer the next call reads.
volatile int recursionEnd = -1; // never reached: keeps the compiler from calling it endless

int recurseForever(int depth) {
    if (depth == recursionEnd) return 0;
    volatile char frame[256];
    frame[depth % sizeof frame] = static_cast<char>(depth);
    return recurseForever(depth + 1) + frame[(depth * 7) % sizeof frame];
}

TEST(ProcessEndDeathTest, StackOverflowIsReportedLikeOtherFaults) {
    EXPECT_EXIT(
        {
            stdoutToStderr();
            kpInstallSignalHandlers();
            std::exit(recurseForever(0) == 0 ? 3 : 4);
        },
        ExitedWithCode(255), "Zembra Runtime Error : Memory access violation");
}

TEST(ProcessEndDeathTest, ThrowEscapingAnEventReachesDie) {
    class Thrower : public KpGameDelegate {
        void UpdateGame() override { throw ThrowableObject(); }
    };
    EXPECT_EXIT(
        {
            stdoutToStderr();
            KpHeadlessGame host;
            Thrower thrower;
            host.SetDelegate(&thrower);
            host.StartGame();
            host.UpdateGame();
        },
        ExitedWithCode(255), "Zembra Runtime Error : Uncaught Zembra Exception");
}

TEST(HostServices, GetDateFillsOnlyTheEntriesItIsGiven) {
    KpHeadlessGame host;
    int date[4] = {-1, -1, -1, -1};
    host.GetDate(date, 3);
    EXPECT_GE(date[0], 2024);
    EXPECT_GE(date[1], 1);
    EXPECT_LE(date[1], 12);
    EXPECT_GE(date[2], 1);
    EXPECT_LE(date[2], 31);
    EXPECT_EQ(date[3], -1);
    int full[8] = {0, 0, 0, 0, 0, 0, -1, -1};
    host.GetDate(full, 8);
    EXPECT_EQ(full[6], 0) << "no milliseconds";
    EXPECT_EQ(full[7], -1) << "at most seven entries";
}
