// Temporary working folders and file helpers for the tests.
#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

// Folders whose owner has not been destroyed yet, with the process that made them. A process
// that ends through exit() (a death test's child, where the game quits the program) never
// runs its fixtures' destructors, so it removes the folders it made when it exits. A forked
// child inherits its parent's folders, still in use, and leaves them alone. The map is never
// destroyed: a folder held by a static object is let go after the statics made later are.
std::map<std::string, pid_t>& liveFolders() {
    static auto* folders = new std::map<std::string, pid_t>;
    return *folders;
}

void removeLiveFolders() {
    std::error_code ignored;
    for (const auto& [folder, maker] : liveFolders()) {
        if (maker == getpid()) std::filesystem::remove_all(folder, ignored);
    }
}

} // namespace

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bt3test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : "";
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
    static const bool registered = std::atexit(removeLiveFolders) == 0;
    (void)registered;
    if (!path_.empty()) liveFolders()[path_] = getpid();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
    liveFolders().erase(path_);
}

std::string buildDir() {
    const char* dir = std::getenv("KP_BINARY_DIR");
    return dir ? dir : ".";
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
