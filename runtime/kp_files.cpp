// File services of the host: logical path mapping, opening files, the state file (written
// atomically through a synced temporary file, a rename and a synced folder; a symbolic link
// is written through to its target, whose mode is kept; a save that fails says so on standard
// error with the file and the system's reason), and whole-file text and byte loading.
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/kp_error.h"
#include "runtime/kp_game.h"
#include "runtime/kp_image_prefetch.h"
#include "runtime/kp_state_file.h"

namespace {

constexpr const char* kStateFile = "./.zembrastate";
constexpr const char* kStateTempSuffix = ".tmp";
constexpr const char* kLockSuffix = ".lock";
constexpr int kMaxLinkHops = 40; // as the kernel's own limit on symbolic links in a path
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

// The folder part of a path ("." when it has none).
std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a chain of symbolic links ends at (the path itself when it is no link), so a save
// replaces the linked file and keeps the link; a dangling link names the file to create.
std::string followLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string link(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return path;
        link.resize(static_cast<size_t>(n));
        path = link[0] == '/' ? link : folderOf(path) + "/" + link;
    }
    return path;
}

// Makes a rename durable: the folder's entry is synced too (a failure here is not reported,
// some file systems cannot sync folders).
void syncFolderOf(const std::string& path) {
    int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes a temporary file beside the state file (or beside the file a symbolic link names),
// syncs it, renames it over the old one and syncs the folder, so a failed or interrupted save
// never leaves a truncated state file behind and a power cut cannot lose the new name.
// Returns 0, -1 (not opened or not renamed) or -2 (not fully written), with the system's
// error number of the step that failed in error.
int writeStateFile(const std::string& target, const std::string& bytes, int& error) {
    const std::string temp = target + kStateTempSuffix;

    // An existing file keeps its permission bits; a new one gets the usual 0666 less umask.
    struct stat old {};
    const bool existing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = existing ? (old.st_mode & 07777) : 0666;

    // A temporary file left by a killed save goes first, so the new one starts empty and
    // with our mode; a folder in its place makes the open fail.
    ::unlink(temp.c_str());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    bool complete = (!existing || ::fchmod(fd, mode) == 0) && kpWriteAll(fd, bytes, error);
    if (complete && ::fsync(fd) != 0) {
        error = errno;
        complete = false;
    }
    if (::close(fd) != 0 && complete) {
        error = errno;
        complete = false;
    }
    if (!complete) {
        if (error == 0) error = errno;
        ::unlink(temp.c_str());
        return -2;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        return -1;
    }
    syncFolderOf(target);
    return 0;
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
    String mapped = PathToFilePath(kpS(kStateFile));
    if (mapped.empty()) return -1;
    const std::string target = followLinks(kpToUtf8(mapped));
    int error = 0;
    const int result = writeStateFile(target, kpToUtf8(state), error);
    saveProblem_.clear();
    if (result != 0) {
        // The player must know: the progress stays in memory and the next save tries again.
        saveProblem_ = std::strerror(error);
        kpPrintError("could not save your progress to " + StateFilePath() + ": " + saveProblem_ +
                     " (kept in memory; the next save tries again)");
    }
    return result;
}

void KpGame::LateSaveFailed(const std::string& why) {
    saveProblem_ = why;
    lateSaveFailure_ = true;
}

bool KpGame::TakeLateSaveFailure() {
    const bool failed = lateSaveFailure_;
    lateSaveFailure_ = false;
    return failed;
}

std::string KpGame::stateTarget() {
    return followLinks(kpToUtf8(PathToFilePath(kpS(kStateFile))));
}

std::string KpGame::StateFilePath() {
    return std::filesystem::absolute(stateTarget()).lexically_normal().string();
}

// The file operations below use the path as mapped (relative to the working folder), which
// needs no search permission on the folders above it; only what the player reads is absolute.
bool KpGame::StateFileExists() {
    struct stat info {};
    return ::stat(stateTarget().c_str(), &info) == 0;
}

KpFolderLock KpGame::LockStateFolder() {
    bool before = false;
    const KpFolderLock lock = kpLockFolder(stateTarget() + kLockSuffix, before);
    folderUsedBefore_ = before;
    return lock;
}

bool KpGame::StateFolderUsedBefore() {
    if (folderUsedBefore_) return *folderUsedBefore_;
    struct stat info {};
    return ::stat((stateTarget() + kLockSuffix).c_str(), &info) == 0;
}

std::string KpGame::KeepDamagedState() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string copy = kpKeepDamagedCopy(stateTarget(), local);
    if (copy.empty()) return copy;
    return std::filesystem::absolute(copy).lexically_normal().string();
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
    KpBytes prefetched;
    if (imagePrefetch_ && imagePrefetch_->Take(path, prefetched, width, height, depth)) {
        return prefetched;
    }
    FileHandle file(OpenFile(path, u"rb"));
    if (!file) return nullptr;
    return kpDecodeImageFile(file.get(), width, height, depth);
}

void KpGame::prefetchImageAt(const String& path) {
    if (!imagePrefetch_) imagePrefetch_ = std::make_unique<KpImagePrefetch>();
    if (imagePrefetch_->Waiting(path)) return; // already asked for: no second open
    // A file that is not there yet is left to the load itself, which may find it by then.
    if (FILE* file = OpenFile(path, u"rb")) imagePrefetch_->Request(path, file);
}

KpBytes KpGame::decodeAudioAt(const String& path, int* length, int* channels, int* format,
                              int* hertz) {
    FileHandle file(OpenFile(path, u"rb"));
    if (!file) return nullptr;
    return kpDecodeAudioFile(path, file.get(), length, channels, format, hertz);
}
