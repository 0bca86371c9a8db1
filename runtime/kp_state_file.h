// What keeps the state file safe beyond its atomic save: writing every byte of it, one game
// per player folder (an exclusive lock on a file beside the state file, which the kernel lets
// go when the process ends however it ends), and a damaged file kept aside, byte for byte,
// before a save can replace it. POSIX calls only; the hosts decide when each is used.
#pragma once

#include <ctime>
#include <string>
#include <sys/types.h>
#include <unistd.h>

// The system's write, or a test's stand-in for it.
using KpWriteCall = ssize_t (*)(int fd, const void* bytes, size_t count);

// Writes every byte to fd, resuming after interruptions (EINTR) and partial writes. On a
// failure returns false with the system's error number in error (ENOSPC for a write of
// nothing). A file-size limit makes the write fail with EFBIG instead of ending the process.
bool kpWriteAll(int fd, const std::string& bytes, int& error, KpWriteCall write = ::write);

// The outcome of asking for the folder's lock.
enum class KpFolderLock {
    Taken,       // this process holds it until it ends
    HeldByOther, // another running game holds it
    Unavailable, // no lock file could be made or opened (a read-only folder): play goes on
};

// Takes the lock on lockFile (made when missing) without waiting. ranBefore tells whether
// the lock file was there already, that is whether a game has run with this folder before.
KpFolderLock kpLockFolder(const std::string& lockFile, bool& ranBefore);

// Copies file to file + ".damaged-YYYYMMDD-HHMMSS" (the local time when), or with "-2", "-3"
// and so on after it when that name is taken, so an earlier copy is never replaced. The copy
// is synced before it counts. Returns the copy's path, or empty when no copy could be made.
std::string kpKeepDamagedCopy(const std::string& file, const std::tm& when);
