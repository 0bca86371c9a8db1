// File services of the host: logical path mapping, opening files, the state file (written
// atomically through a temporary file and a rename), and whole-file text and byte loading.
#include <cstring>
#include <string>
#include <unistd.h>

#include "runtime/kp_game.h"

namespace {

constexpr const char* kStateFile = "./.zembrastate";
constexpr const char* kStateTemp = "./.zembrastate.tmp";
constexpr size_t kReadBlock = 4096;

struct Location {
    const char16_t* prefix;
    const char16_t* folder;
};

// The three known locations under the "zembra:" scheme.
constexpr Location kLocations[] = {
    {u"zembra://data/", u"./data/"},
    {u"zembra://internal/", u"./internal/"},
    {u"zembra://external/", u"./external/"},
};

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// Reads the whole open file in blocks of kReadBlock bytes.
std::string readAll(FILE* file) {
    std::string bytes;
    char block[kReadBlock];
    for (;;) {
        size_t n = std::fread(block, 1, kReadBlock, file);
        bytes.append(block, n);
        if (n < kReadBlock) break;
    }
    return bytes;
}

} // namespace

String kpDesktopPathToFilePath(const String& path) {
    for (const Location& location : kLocations) {
        String prefix(location.prefix);
        if (path.compare(0, prefix.size(), prefix) == 0) {
            return String(location.folder) + path.substr(prefix.size());
        }
    }
    if (path.compare(0, 7, u"zembra:") == 0) return String();
    return path;
}

FILE* KpGame::OpenFile(const String& path, const String& mode) {
    String filePath = PathToFilePath(path);
    if (filePath.empty()) return nullptr;
    return std::fopen(kpToUtf8(filePath).c_str(), kpToUtf8(mode).c_str());
}

int KpGame::SaveState(const String& state) {
    // Write a temporary file beside the state file, sync it, then rename it over the old one,
    // so a failed or interrupted save never leaves a truncated state file behind.
    FILE* file = OpenFile(kpS(kStateTemp), u"wb");
    if (!file) return -1;
    std::string bytes = kpToUtf8(state);
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    bool complete = written == bytes.size() && std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
    complete = (std::fclose(file) == 0) && complete;
    String temp = PathToFilePath(kpS(kStateTemp));
    if (!complete) {
        std::remove(kpToUtf8(temp).c_str());
        return -2;
    }
    if (std::rename(kpToUtf8(temp).c_str(), kpToUtf8(PathToFilePath(kpS(kStateFile))).c_str()) !=
        0) {
        std::remove(kpToUtf8(temp).c_str());
        return -1;
    }
    return 0;
}

String KpGame::LoadState() {
    return LoadString(kpS(kStateFile));
}

String KpGame::LoadString(const String& path) {
    FileHandle file(OpenFile(path, u"rb"));
    if (!file) return String();
    std::string bytes = readAll(file.get());
    return kpDecodeText(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

KpBytes KpGame::LoadData(const String& path, int* length) {
    FileHandle file(OpenFile(path, u"rb"));
    if (!file) return nullptr;
    std::string bytes = readAll(file.get());
    KpBytes data(static_cast<unsigned char*>(std::malloc(bytes.size() ? bytes.size() : 1)));
    if (!data) return nullptr;
    std::memcpy(data.get(), bytes.data(), bytes.size());
    *length = static_cast<int>(bytes.size());
    return data;
}

KpBytes KpGame::LoadImageData(const String&, int*, int*, int*) {
    return nullptr;
}

KpBytes KpGame::LoadAudioData(const String&, int*, int*, int*, int*) {
    return nullptr;
}

KpBytes KpGame::decodeImageAt(const String& path, int* width, int* height, int* depth) {
    FileHandle file(OpenFile(path, u"rb"));
    if (!file) return nullptr;
    return kpDecodeImageFile(file.get(), width, height, depth);
}

KpBytes KpGame::decodeAudioAt(const String& path, int* length, int* channels, int* format,
                              int* hertz) {
    FileHandle file(OpenFile(path, u"rb"));
    if (!file) return nullptr;
    return kpDecodeAudioFile(path, file.get(), length, channels, format, hertz);
}
