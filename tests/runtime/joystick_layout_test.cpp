// Joysticks as the input device receives them. Common pads, each given by the raw button, hat
// and axis arrays its Linux driver reports and by its mapping line in the community format
// the window library reads: every control pressed on its own must light the one framework
// button the game's table expects of it, whatever the driver's order, and a stick pushed up
// must read positive. A small model of how the window library applies a mapping line stands
// in for a real device. Devices without a mapping keep the raw numbering. The mapping files a
// player adds are found beside the data folder and in the working folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/kp_gamepad_mappings.h"
#include "runtime/kp_joystick_layout.h"
#include "support/test_support.h"

namespace {

// ---- the window library's mapping lines, modelled ----

const char* const kPadButtonNames[kPadButtons] = {
    "a",     "b",         "x",          "y",    "leftshoulder", "rightshoulder", "back",  "start",
    "guide", "leftstick", "rightstick", "dpup", "dpright",      "dpdown",        "dpleft"};
const char* const kPadAxisNames[kPadAxes] = {"leftx",  "lefty",       "rightx",
                                             "righty", "lefttrigger", "righttrigger"};

struct RawState {
    std::vector<unsigned char> buttons;
    std::vector<unsigned char> hats;
    std::vector<float> axes;
};

// One element of a mapping line: bN, hH.M, or aN with an optional + or - half and ~ inverted.
struct Source {
    char kind = 0;
    int index = 0;
    int hatBit = 0;
    float scale = 1.0f;
    float offset = 0.0f;
};

Source parseSource(const std::string& text) {
    Source s;
    // The axis range the element covers: whole, or only its upper or lower half.
    const bool upper = text[0] == '+';
    const bool lower = text[0] == '-';
    const float low = upper ? 0.0f : -1.0f;
    const float high = lower ? 0.0f : 1.0f;
    const size_t at = upper || lower ? 1 : 0;
    s.kind = text[at];
    s.index = std::stoi(text.substr(at + 1));
    if (s.kind == 'h') s.hatBit = std::stoi(text.substr(text.find('.') + 1));
    s.scale = 2.0f / (high - low);
    s.offset = -(high + low);
    if (text.back() == '~') {
        s.scale = -s.scale;
        s.offset = -s.offset;
    }
    return s;
}

float axisValue(const Source& s, const RawState& raw) {
    switch (s.kind) {
    case 'a': {
        float v = raw.axes[s.index] * s.scale + s.offset;
        return v < -1.0f ? -1.0f : (v > 1.0f ? 1.0f : v);
    }
    case 'b':
        return raw.buttons[s.index] ? 1.0f : -1.0f;
    case 'h':
        return (raw.hats[s.index] & s.hatBit) ? 1.0f : -1.0f;
    }
    return 0.0f;
}

bool buttonValue(const Source& s, const RawState& raw) {
    switch (s.kind) {
    case 'a': {
        float v = raw.axes[s.index] * s.scale + s.offset;
        return (s.offset < 0 || (s.offset == 0 && s.scale > 0)) ? v >= 0.0f : v <= 0.0f;
    }
    case 'b':
        return raw.buttons[s.index] != 0;
    case 'h':
        return (raw.hats[s.index] & s.hatBit) != 0;
    }
    return false;
}

// The gamepad state a mapping line gives for the raw state (unmapped elements read 0).
void applyMapping(const std::string& line, const RawState& raw, unsigned char* buttons,
                  float* axes) {
    std::memset(buttons, 0, kPadButtons);
    for (int i = 0; i < kPadAxes; ++i) axes[i] = 0.0f;
    std::stringstream fields(line);
    std::string field;
    while (std::getline(fields, field, ',')) {
        size_t colon = field.find(':');
        if (colon == std::string::npos) continue;
        std::string name = field.substr(0, colon);
        Source source = parseSource(field.substr(colon + 1));
        for (int b = 0; b < kPadButtons; ++b) {
            if (name == kPadButtonNames[b]) buttons[b] = buttonValue(source, raw) ? 1 : 0;
        }
        for (int a = 0; a < kPadAxes; ++a) {
            if (name == kPadAxisNames[a]) axes[a] = axisValue(source, raw);
        }
    }
}

// ---- the pads ----

// One control pressed on its own: a raw button, a hat direction or an axis pushed fully.
struct Press {
    const char* label;
    char kind; // 'b' button, 'h' hat 0 direction bit, 'a' axis
    int index;
    float value;   // the axis value pushed to
    int framework; // the framework button that must light, or -1 for none
};

struct Pad {
    const char* name;
    const char* mapping;
    int buttons, hats, axes;
    std::vector<float> restAxes; // triggers rest at -1
    std::vector<Press> presses;
    int leftY, rightY; // raw axes of the sticks' vertical, -1 when the pad has none
};

constexpr int kNone = -1;
constexpr int kUp = 1, kRight = 2, kDown = 4, kLeft = 8; // hat bits

// clang-format off
const std::vector<Pad> kPads = {
    {"Xbox 360 pad (xpad)",
     "x360,Xbox 360 Controller,a:b0,b:b1,x:b2,y:b3,leftshoulder:b4,rightshoulder:b5,back:b6,"
     "start:b7,guide:b8,leftstick:b9,rightstick:b10,dpup:h0.1,dpright:h0.2,dpdown:h0.4,"
     "dpleft:h0.8,leftx:a0,lefty:a1,lefttrigger:a2,rightx:a3,righty:a4,righttrigger:a5",
     11, 1, 6, {0, 0, -1, 0, 0, -1},
     {{"A", 'b', 0, 0, 0}, {"B", 'b', 1, 0, 1}, {"X", 'b', 2, 0, 2}, {"Y", 'b', 3, 0, 3},
      {"LB", 'b', 4, 0, 4}, {"RB", 'b', 5, 0, 5}, {"Back", 'b', 6, 0, 6},
      {"Start", 'b', 7, 0, 7}, {"Guide", 'b', 8, 0, 14}, {"L3", 'b', 9, 0, 12},
      {"R3", 'b', 10, 0, 13}, {"left", 'h', 0, kLeft, 8}, {"up", 'h', 0, kUp, 9},
      {"right", 'h', 0, kRight, 10}, {"down", 'h', 0, kDown, 11},
      {"LT", 'a', 2, 1, kNone}, {"RT", 'a', 5, 1, kNone}},
     1, 4},
    {"DualShock 4 (current kernel driver)",
     "ds4,PS4 Controller,a:b0,b:b1,y:b2,x:b3,leftshoulder:b4,rightshoulder:b5,lefttrigger:a2,"
     "righttrigger:a5,back:b8,start:b9,guide:b10,leftstick:b11,rightstick:b12,dpup:h0.1,"
     "dpright:h0.2,dpdown:h0.4,dpleft:h0.8,leftx:a0,lefty:a1,rightx:a3,righty:a4",
     13, 1, 6, {0, 0, -1, 0, 0, -1},
     {{"Cross", 'b', 0, 0, 0}, {"Circle", 'b', 1, 0, 1}, {"Triangle", 'b', 2, 0, 3},
      {"Square", 'b', 3, 0, 2}, {"L1", 'b', 4, 0, 4}, {"R1", 'b', 5, 0, 5},
      {"L2", 'b', 6, 0, kNone}, {"R2", 'b', 7, 0, kNone}, {"Share", 'b', 8, 0, 6},
      {"Options", 'b', 9, 0, 7}, {"PS", 'b', 10, 0, 14}, {"L3", 'b', 11, 0, 12},
      {"R3", 'b', 12, 0, 13}, {"left", 'h', 0, kLeft, 8}, {"up", 'h', 0, kUp, 9},
      {"right", 'h', 0, kRight, 10}, {"down", 'h', 0, kDown, 11}},
     1, 4},
    {"DualShock 4 (older driver order)",
     "ds4old,PS4 Controller,x:b0,a:b1,b:b2,y:b3,leftshoulder:b4,rightshoulder:b5,"
     "lefttrigger:a3,righttrigger:a4,back:b8,start:b9,leftstick:b10,rightstick:b11,guide:b12,"
     "dpup:h0.1,dpright:h0.2,dpdown:h0.4,dpleft:h0.8,leftx:a0,lefty:a1,rightx:a2,righty:a5",
     14, 1, 6, {0, 0, 0, -1, -1, 0},
     {{"Square", 'b', 0, 0, 2}, {"Cross", 'b', 1, 0, 0}, {"Circle", 'b', 2, 0, 1},
      {"Triangle", 'b', 3, 0, 3}, {"L2", 'b', 6, 0, kNone}, {"Share", 'b', 8, 0, 6},
      {"Options", 'b', 9, 0, 7}, {"L3", 'b', 10, 0, 12}, {"PS", 'b', 12, 0, 14},
      {"Touchpad", 'b', 13, 0, kNone}, {"up", 'h', 0, kUp, 9}, {"left", 'h', 0, kLeft, 8}},
     1, 5},
    {"Switch Pro pad",
     "pro,Switch Pro Controller,a:b1,b:b0,x:b2,y:b3,leftshoulder:b5,rightshoulder:b6,"
     "lefttrigger:b7,righttrigger:b8,back:b9,start:b10,guide:b11,leftstick:b12,rightstick:b13,"
     "dpup:b14,dpdown:b15,dpleft:b16,dpright:b17,leftx:a0,lefty:a1,rightx:a2,righty:a3",
     18, 0, 4, {0, 0, 0, 0},
     {{"B", 'b', 0, 0, 1}, {"A", 'b', 1, 0, 0}, {"X", 'b', 2, 0, 2}, {"Y", 'b', 3, 0, 3},
      {"Capture", 'b', 4, 0, kNone}, {"L", 'b', 5, 0, 4}, {"R", 'b', 6, 0, 5},
      {"ZL", 'b', 7, 0, kNone}, {"ZR", 'b', 8, 0, kNone}, {"Minus", 'b', 9, 0, 6},
      {"Plus", 'b', 10, 0, 7}, {"Home", 'b', 11, 0, 14}, {"up", 'b', 14, 0, 9},
      {"down", 'b', 15, 0, 11}, {"left", 'b', 16, 0, 8}, {"right", 'b', 17, 0, 10}},
     1, 3},
    {"SNES-style USB pad",
     "snes,USB Gamepad,a:b1,b:b2,x:b0,y:b3,leftshoulder:b4,rightshoulder:b5,back:b8,start:b9,"
     "dpleft:-a0,dpright:+a0,dpup:-a1,dpdown:+a1",
     10, 0, 2, {0, 0},
     {{"X", 'b', 0, 0, 2}, {"A", 'b', 1, 0, 0}, {"B", 'b', 2, 0, 1}, {"Y", 'b', 3, 0, 3},
      {"Select", 'b', 8, 0, 6}, {"Start", 'b', 9, 0, 7}, {"left", 'a', 0, -1, 8},
      {"up", 'a', 1, -1, 9}, {"right", 'a', 0, 1, 10}, {"down", 'a', 1, 1, 11}},
     kNone, kNone},
};
// clang-format on

RawState restOf(const Pad& pad) {
    RawState raw;
    raw.buttons.assign(static_cast<size_t>(pad.buttons), 0);
    raw.hats.assign(static_cast<size_t>(pad.hats), 0);
    raw.axes = pad.restAxes;
    return raw;
}

struct Presented {
    float joyx[kJoyAxes] = {};
    float joyy[kJoyAxes] = {};
    float joyz[kJoyAxes] = {};
    bool buttons[kJoyButtons] = {};

    std::vector<int> down() const {
        std::vector<int> out;
        for (int b = 0; b < kJoyButtons; ++b) {
            if (buttons[b]) out.push_back(b);
        }
        return out;
    }
};

Presented present(const Pad& pad, const RawState& raw) {
    unsigned char buttons[kPadButtons];
    float axes[kPadAxes];
    applyMapping(pad.mapping, raw, buttons, axes);
    Presented p;
    for (bool& b : p.buttons) b = true; // stale values from an earlier device must go
    kpPresentGamepad(buttons, axes, p.joyx, p.joyy, p.joyz, p.buttons);
    return p;
}

} // namespace

TEST(MappedPads, EveryControlLightsTheButtonTheGameExpectsOfIt) {
    for (const Pad& pad : kPads) {
        SCOPED_TRACE(pad.name);
        EXPECT_EQ(present(pad, restOf(pad)).down(), std::vector<int>{}) << "at rest";
        for (const Press& press : pad.presses) {
            RawState raw = restOf(pad);
            if (press.kind == 'b') raw.buttons[press.index] = 1;
            if (press.kind == 'h') raw.hats[press.index] = static_cast<unsigned char>(press.value);
            if (press.kind == 'a') raw.axes[press.index] = press.value;
            std::vector<int> expected;
            if (press.framework != kNone) expected.push_back(press.framework);
            EXPECT_EQ(present(pad, raw).down(), expected) << press.label;
        }
    }
}

TEST(MappedPads, BothSticksReadPositiveWhenPushedUp) {
    for (const Pad& pad : kPads) {
        if (pad.leftY == kNone) continue;
        SCOPED_TRACE(pad.name);
        RawState raw = restOf(pad);
        raw.axes[static_cast<size_t>(pad.leftY)] = -1.0f; // the library's "up"
        raw.axes[static_cast<size_t>(pad.rightY)] = -0.5f;
        const Presented p = present(pad, raw);
        EXPECT_EQ(p.joyy[0], 1.0f);
        EXPECT_EQ(p.joyy[1], 0.5f);
        EXPECT_EQ(p.joyx[0], 0.0f);
        EXPECT_EQ(p.joyx[1], 0.0f);
    }
}

TEST(MappedPads, SticksAndTriggersTakeTheirAxes) {
    unsigned char buttons[kPadButtons] = {};
    const float axes[kPadAxes] = {0.25f, 0.5f, -0.75f, 1.0f, -1.0f, 0.125f};
    Presented p;
    kpPresentGamepad(buttons, axes, p.joyx, p.joyy, p.joyz, p.buttons);
    EXPECT_EQ(p.joyx[0], 0.25f);
    EXPECT_EQ(p.joyy[0], -0.5f);
    EXPECT_EQ(p.joyz[0], -1.0f) << "left trigger";
    EXPECT_EQ(p.joyx[1], -0.75f);
    EXPECT_EQ(p.joyy[1], -1.0f);
    EXPECT_EQ(p.joyz[1], 0.125f) << "right trigger";
}

TEST(RawJoysticks, KeepTheirNumberingWithTheStickUpPositive) {
    // A DualShock 4 with no mapping: its raw order, the hat moved to 8..11 on a big pad.
    const Pad& ds4 = kPads[1];
    RawState raw = restOf(ds4);
    raw.buttons[2] = 1;  // Triangle stays button 2
    raw.buttons[10] = 1; // PS lands on 14 behind the hat
    raw.hats[0] = kUp;
    raw.axes[1] = -1.0f; // left stick up
    raw.axes[4] = 0.5f;  // right stick half down
    KpRawJoystick device{raw.buttons.data(), ds4.buttons,     raw.hats.data(),
                         ds4.hats,           raw.axes.data(), ds4.axes};
    Presented p;
    p.buttons[30] = true;
    kpPresentRawJoystick(device, p.joyx, p.joyy, p.joyz, p.buttons);
    EXPECT_EQ(p.down(), (std::vector<int>{2, 9, 14, 30})) << "button 30 lies past the device";
    EXPECT_EQ(p.joyy[0], 1.0f);
    EXPECT_EQ(p.joyy[1], -0.5f);
    EXPECT_EQ(p.joyz[0], -1.0f);

    // The known pad whose second stick lies on axes 4 and 3: up is positive there too.
    unsigned char none[10] = {};
    const float axes[5] = {0, 0, 0, -1.0f, 0.5f};
    unsigned char hat = 0;
    KpRawJoystick fourteen{none, 10, &hat, 1, axes, 5};
    kpPresentRawJoystick(fourteen, p.joyx, p.joyy, p.joyz, p.buttons);
    EXPECT_EQ(p.joyx[1], 0.5f);
    EXPECT_EQ(p.joyy[1], 1.0f);
}

namespace {

// The process's working folder moved to a test folder for one test.
struct InFolder {
    explicit InFolder(const std::string& path) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~InFolder() { std::filesystem::current_path(previous); }
    std::filesystem::path previous;
};

} // namespace

TEST(GamepadMappingFiles, BesideTheDataFolderThenThePlayersOwnEachOnce) {
    TempDir root;
    namespace fs = std::filesystem;
    fs::create_directories(root.file("install/data"));
    fs::create_directories(root.file("player"));
    fs::create_directory_symlink(root.file("install/data"), root.file("player/data"));
    {
        InFolder in(root.file("player"));
        EXPECT_EQ(kpGamepadMappingFiles(), std::vector<std::string>{}) << "none yet";
    }
    writeFile(root.file("install/gamecontrollerdb.txt"), "");
    writeFile(root.file("player/gamecontrollerdb.txt"), "");
    const std::string beside = fs::canonical(root.file("install/gamecontrollerdb.txt")).string();
    const std::string own = fs::canonical(root.file("player/gamecontrollerdb.txt")).string();
    {
        InFolder in(root.file("player"));
        EXPECT_EQ(kpGamepadMappingFiles(), (std::vector<std::string>{beside, own}));
    }
    // Run where the data folder itself lies, both places are one file, read once.
    {
        InFolder in(root.file("install"));
        EXPECT_EQ(kpGamepadMappingFiles(), std::vector<std::string>{beside});
    }
}
