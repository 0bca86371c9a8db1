// The state file's safety: writing every byte, the player folder's lock and the damaged file
// kept aside. See kp_state_file.h.
#include "runtime/kp_state_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

constexpr mode_t kNewFileMode = 0666; // less the umask, as the state file itself
constexpr size_t kCopyBlock = 64 * 1024;
constexpr int kMaxCopyNames = 1000; // copies of one second before giving up

// Copies every byte from one open file to another; false on a read or write failure.
bool copyBytes(int from, int to) {
    char block[kCopyBlock];
    for (;;) {
        ssize_t n = ::read(from, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        int error = 0;
        if (!kpWriteAll(to, std::string(block, static_cast<size_t>(n)), error)) return false;
    }
}

} // namespace

bool kpWriteAll(int fd, const std::string& bytes, int& error, KpWriteCall write) {
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previous);
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC; // a write of nothing: no room left
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::sigaction(SIGXFSZ, &previous, nullptr);
    return ok;
}

KpFolderLock kpLockFolder(const std::string& lockFile, bool& ranBefore) {
    struct stat info {};
    ranBefore = ::stat(lockFile.c_str(), &info) == 0;
    // The descriptor stays open for the life of the process: closing it would let go of the
    // lock. A read-only folder still lets an existing lock file be locked.
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (fd < 0) fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return KpFolderLock::Unavailable;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? KpFolderLock::HeldByOther : KpFolderLock::Unavailable;
    }
    return KpFolderLock::Taken;
}

std::string kpKeepDamagedCopy(const std::string& file, const std::tm& when) {
    int from = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return std::string();
    struct stat info {};
    const mode_t mode = ::fstat(from, &info) == 0 ? (info.st_mode & 0777) : kNewFileMode;

    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &when);
    const std::string base = file + ".damaged-" + stamp;
    std::string copy;
    int to = -1;
    for (int n = 1; n <= kMaxCopyNames && to < 0; ++n) {
        copy = n == 1 ? base : base + "-" + std::to_string(n);
        // O_EXCL: an earlier copy of the same second is never replaced.
        to = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (to < 0 && errno != EEXIST) break;
    }
    bool kept = to >= 0 && copyBytes(from, to) && ::fsync(to) == 0;
    if (to >= 0 && ::close(to) != 0) kept = false;
    ::close(from);
    if (!kept) {
        if (to >= 0) ::unlink(copy.c_str());
        return std::string();
    }
    return copy;
}
