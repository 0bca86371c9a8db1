// Finding and applying the players' gamepad mapping files, line by line so that a line the
// window library rejects is named with its file and line number, and saying what each pad is
// when it connects (its name, its GUID and whether a mapping knows it), so a player can write
// the line their pad lacks.
#include "runtime/kp_gamepad_mappings.h"

#include <GLFW/glfw3.h>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/kp_error.h"

namespace {

constexpr const char* kMappingFile = "gamecontrollerdb.txt";
constexpr const char* kDataFolder = "./data";

// The window library's reason for the last rejected line, while the files are read.
std::string lastRejection;

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Hands one file's lines to the window library one at a time; returns the line numbers (from
// 1) of those it rejected, each named on standard error with its reason. Lines that do not
// start with a GUID (comments, blanks) are not mappings and are passed over, as the library
// itself passes them over.
int applyLines(const std::string& file, const std::string& text) {
    int rejected = 0;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || !isHexDigit(line[0])) continue;
        glfwGetError(nullptr);
        lastRejection.clear();
        glfwUpdateGamepadMappings(line.c_str());
        if (glfwGetError(nullptr) == GLFW_NO_ERROR) continue;
        ++rejected;
        kpPrintError("the gamepad mapping on line " + std::to_string(number) + " of " + file +
                     " was not taken" + (lastRejection.empty() ? "" : ": " + lastRejection));
    }
    return rejected;
}

// One line on standard output for a pad that is there: what a player needs to map it.
void reportPad(int joystick, int event) {
    if (event != GLFW_CONNECTED) return;
    const char* name = glfwGetJoystickName(joystick);
    const char* guid = glfwGetJoystickGUID(joystick);
    const bool mapped = glfwJoystickIsGamepad(joystick) == GLFW_TRUE;
    kpPrint("Gamepad " + std::to_string(joystick - GLFW_JOYSTICK_1 + 1) +
            " connected: " + (name ? name : "(no name)") + ", GUID " + (guid ? guid : "(none)") +
            (mapped ? ", mapped" : ", no mapping (add a gamecontrollerdb.txt line for this GUID)"));
}

} // namespace

std::vector<std::string> kpGamepadMappingFiles() {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> candidates;
    const fs::path data = fs::canonical(kDataFolder, error);
    if (!error) candidates.push_back(data.parent_path() / kMappingFile);
    candidates.push_back(fs::path(".") / kMappingFile);

    std::vector<std::string> files;
    std::vector<fs::path> seen;
    for (const fs::path& candidate : candidates) {
        const fs::path real = fs::canonical(candidate, error);
        if (error || !fs::is_regular_file(real, error)) continue;
        bool again = false;
        for (const fs::path& s : seen) again = again || s == real;
        if (again) continue;
        seen.push_back(real);
        files.push_back(real.string());
    }
    return files;
}

void kpLoadGamepadMappings() {
    // The library's reason for a rejected line is kept for the line's own message instead of
    // going out on a line of its own without the file and line number.
    GLFWerrorfun previous = glfwSetErrorCallback(
        [](int, const char* description) { lastRejection = description ? description : ""; });
    for (const std::string& file : kpGamepadMappingFiles()) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) {
            kpPrintError("the gamepad mappings in " + file + " could not be read");
            continue;
        }
        if (applyLines(file, text.str()) == 0) kpPrint("Gamepad mappings read from " + file);
    }
    glfwSetErrorCallback(previous);
}

void kpReportGamepads() {
    for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
        if (glfwJoystickPresent(joystick)) reportPad(joystick, GLFW_CONNECTED);
    }
    glfwSetJoystickCallback(reportPad);
}
