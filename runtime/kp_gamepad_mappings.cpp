// Finding and applying the players' gamepad mapping files.
#include "runtime/kp_gamepad_mappings.h"

#include <GLFW/glfw3.h>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/kp_error.h"

namespace {

constexpr const char* kMappingFile = "gamecontrollerdb.txt";
constexpr const char* kDataFolder = "./data";

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
    for (const std::string& file : kpGamepadMappingFiles()) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in || !glfwUpdateGamepadMappings(text.str().c_str())) {
            kpPrintError("the gamepad mappings in " + file + " could not be read");
            continue;
        }
        kpPrint("Gamepad mappings read from " + file);
    }
}
