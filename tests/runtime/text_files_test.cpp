// Path mapping, text encoding and decoding, and the state file (including atomic saves).
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "runtime/kp_data.h"
#include "runtime/kp_headless_game.h"
#include "runtime/kp_state_file.h"
#include "support/test_support.h"

namespace {

String decode(const std::string& bytes) {
    return kpDecodeText(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// Every fsync of this process, with what the state file held when a folder was synced.
struct SyncRecord {
    bool folder;
    std::string path;
    std::string stateFile;
};
std::vector<SyncRecord>* syncLog = nullptr;

} // namespace

// Watches the save path's syncs; the host's static library resolves fsync to this one.
extern "C" int fsync(int fd) {
    if (syncLog) {
        struct stat info {};
        fstat(fd, &info);
        char target[4096] = {};
        std::string link = "/proc/self/fd/" + std::to_string(fd);
        ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        syncLog->push_back(
            {S_ISDIR(info.st_mode), n > 0 ? std::string(target, n) : "", readFile(".zembrastate")});
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}

TEST(DataPath, NamesGoUnderTheDataFolderUnlessTheyCarryASchemeOrRoot) {
    EXPECT_EQ(kp_data_FixDataPath(u"gfx/ball.png"), u"zembra://data/gfx/ball.png");
    EXPECT_EQ(kp_data_FixDataPath(u"C:/x.png"), u"C:/x.png");
    EXPECT_EQ(kp_data_FixDataPath(u"./x.png"), u"./x.png");
    EXPECT_EQ(kp_data_FixDataPath(u"/x.png"), u"/x.png");
    EXPECT_EQ(kp_data_FixDataPath(u"a/b:/c"), u"zembra://data/a/b:/c");
    EXPECT_EQ(kp_data_FixDataPath(u"zembra://data/y"), u"zembra://data/y");
}

TEST(DataPath, HostMapsKnownLocationsAndRejectsUnknownOnes) {
    KpHeadlessGame host;
    EXPECT_EQ(host.PathToFilePath(u"zembra://data/gfx/ball.png"), u"./data/gfx/ball.png");
    EXPECT_EQ(host.PathToFilePath(u"zembra://internal/a"), u"./internal/a");
    EXPECT_EQ(host.PathToFilePath(u"zembra://external/b"), u"./external/b");
    EXPECT_EQ(host.PathToFilePath(u"zembra://cache/x"), u"");
    EXPECT_EQ(host.OpenFile(u"zembra://cache/x", u"rb"), nullptr);
    // The prefix is case-sensitive: in capitals it is just a file name.
    EXPECT_EQ(host.PathToFilePath(u"ZEMBRA://data/x"), u"ZEMBRA://data/x");
}

TEST(TextDecoding, Utf8WithAndWithoutByteOrderMark) {
    EXPECT_EQ(decode("abc"), u"abc");
    EXPECT_EQ(decode("\xEF\xBB\xBFok"), u"ok");
    EXPECT_EQ(decode("\xC3\xA9"), u"\u00E9");
    EXPECT_EQ(decode("\xE2\x82\xAC"), u"\u20AC");
    // Surrogate halves written one by one come back unchanged.
    EXPECT_EQ(decode("\xED\xA0\xBD\xED\xB8\x80"), String({char16_t(0xD83D), char16_t(0xDE00)}));
}

TEST(TextDecoding, InvalidUtf8FallsBackToLatin1ForTheWholeText) {
    EXPECT_EQ(decode("\xE9"), u"\u00E9");
    EXPECT_EQ(decode("a\xC3\xA9\x80"),
              String({u'a', char16_t(0xC3), char16_t(0xA9), char16_t(0x80)}));
    EXPECT_EQ(decode("\xF0\x9F\x98\x80").size(), 4u); // four-byte forms are not accepted
    EXPECT_EQ(decode("x\xE2\x82"), String({u'x', char16_t(0xE2), char16_t(0x82)})); // cut off
}

TEST(TextDecoding, Utf16BothByteOrdersIgnoringAnOddByte) {
    EXPECT_EQ(decode(std::string("\xFF\xFE\x41\x00\x42", 5)), u"A");
    EXPECT_EQ(decode(std::string("\xFE\xFF\x00\x41\xD8\x3D", 6)), String({u'A', char16_t(0xD83D)}));
}

TEST(TextEncoding, EachUnitIsEncodedOnItsOwn) {
    EXPECT_EQ(kpToUtf8(u"abc"), "abc");
    EXPECT_EQ(kpToUtf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(kpToUtf8(String({char16_t(0xD83D)})), "\xED\xA0\xBD");
}

TEST(StateFile, RoundTripsTextExactly) {
    TempDir dir;
    KpHeadlessGame host;
    EXPECT_EQ(host.SaveState(u"abc"), 0);
    EXPECT_EQ(readFile(".zembrastate"), "abc");
    EXPECT_EQ(host.LoadState(), u"abc");

    EXPECT_EQ(host.SaveState(u"\u00E9"), 0);
    EXPECT_EQ(readFile(".zembrastate"), "\xC3\xA9");
    EXPECT_EQ(host.LoadState(), u"\u00E9");

    const String pair = {u'[', char16_t(0xD83D), char16_t(0xDE00), u']'};
    EXPECT_EQ(host.SaveState(pair), 0);
    EXPECT_EQ(host.LoadState(), pair);

    EXPECT_EQ(host.SaveState(String()), 0);
    EXPECT_TRUE(std::filesystem::exists(".zembrastate"));
    EXPECT_EQ(std::filesystem::file_size(".zembrastate"), 0u);
    EXPECT_EQ(host.LoadState(), u"");
}

TEST(StateFile, MissingFileLoadsAsEmptyText) {
    TempDir dir;
    KpHeadlessGame host;
    EXPECT_EQ(host.LoadState(), u"");
    EXPECT_EQ(host.LoadString(u"zembra://data/none.txt"), u"");
}

TEST(StateFile, SaveThatCannotOpenKeepsThePreviousFile) {
    TempDir dir;
    KpHeadlessGame host;
    ASSERT_EQ(host.SaveState(u"old"), 0);
    // A folder where the temporary file would go makes the open fail.
    std::filesystem::create_directory(".zembrastate.tmp");
    EXPECT_EQ(host.SaveState(u"new"), -1);
    EXPECT_EQ(readFile(".zembrastate"), "old");
}

TEST(StateFile, ShortWriteReportsMinusTwoAndKeepsThePreviousFile) {
    TempDir dir;
    KpHeadlessGame host;
    ASSERT_EQ(host.SaveState(u"previous save"), 0);

    // Limit the size of files this process may write, so the next save is cut short.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    int result = host.SaveState(String(10000, u'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, -2);
    EXPECT_EQ(readFile(".zembrastate"), "previous save");
    EXPECT_FALSE(std::filesystem::exists(".zembrastate.tmp"));
}

namespace {
// What the stand-ins for the system's write below were given.
std::string written;
int writeCalls = 0;
} // namespace

TEST(StateFile, WritesResumeAfterInterruptionsAndShortWritesAndStopAtAFailure) {
    // Every other call is interrupted before it writes; the others write at most 7 bytes.
    auto stutter = [](int, const void* bytes, size_t count) -> ssize_t {
        if (++writeCalls % 2 == 1) {
            errno = EINTR;
            return -1;
        }
        const size_t n = std::min<size_t>(count, 7);
        written.append(static_cast<const char*>(bytes), n);
        return static_cast<ssize_t>(n);
    };
    int error = 0;
    EXPECT_TRUE(kpWriteAll(-1, "every byte of the state string", error, stutter));
    EXPECT_EQ(written, "every byte of the state string");

    // A disk that fills part-way: the write stops there with the system's reason.
    written.clear();
    auto filling = [](int, const void* bytes, size_t count) -> ssize_t {
        if (written.size() >= 10) {
            errno = ENOSPC;
            return -1;
        }
        const size_t n = std::min<size_t>(count, 4);
        written.append(static_cast<const char*>(bytes), n);
        return static_cast<ssize_t>(n);
    };
    EXPECT_FALSE(kpWriteAll(-1, "every byte of the state string", error, filling));
    EXPECT_EQ(error, ENOSPC);
    EXPECT_EQ(written, "every byte o");
}

TEST(StateFile, TheFileIsSyncedAndThenItsFolderAfterTheRename) {
    TempDir dir;
    KpHeadlessGame host;
    ASSERT_EQ(host.SaveState(u"old"), 0);
    std::vector<SyncRecord> log;
    syncLog = &log;
    int result = host.SaveState(u"new");
    syncLog = nullptr;
    ASSERT_EQ(result, 0);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_FALSE(log[0].folder);
    EXPECT_EQ(log[0].stateFile, "old") << "the temporary file is synced before the rename";
    EXPECT_TRUE(log[1].folder);
    EXPECT_EQ(std::filesystem::canonical(log[1].path), std::filesystem::canonical(dir.path()));
    EXPECT_EQ(log[1].stateFile, "new") << "the folder is synced after the rename";
}

TEST(StateFile, ASymbolicLinkIsWrittenThroughToItsTarget) {
    TempDir dir;
    KpHeadlessGame host;
    writeFile("real/state", "old");
    std::filesystem::create_symlink("real/state", ".zembrastate");
    ASSERT_EQ(host.SaveState(u"new"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(".zembrastate"));
    EXPECT_EQ(readFile("real/state"), "new");
    EXPECT_EQ(host.LoadState(), u"new");
    EXPECT_FALSE(std::filesystem::exists(".zembrastate.tmp"));
    EXPECT_FALSE(std::filesystem::exists("real/state.tmp"));

    // A chain of links, one of them absolute, and one relative to its own folder.
    std::filesystem::remove(".zembrastate");
    std::filesystem::create_directories("links");
    std::filesystem::create_symlink("../real/state", "links/hop");
    std::filesystem::create_symlink(std::filesystem::absolute("links/hop"), ".zembrastate");
    ASSERT_EQ(host.SaveState(u"chained"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(".zembrastate"));
    EXPECT_TRUE(std::filesystem::is_symlink("links/hop"));
    EXPECT_EQ(readFile("real/state"), "chained");

    // A link to a file not there yet creates the file.
    std::filesystem::remove(".zembrastate");
    std::filesystem::create_symlink("real/later", ".zembrastate");
    ASSERT_EQ(host.SaveState(u"first"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(".zembrastate"));
    EXPECT_EQ(readFile("real/later"), "first");
}

TEST(StateFile, AnExistingFileKeepsItsMode) {
    TempDir dir;
    KpHeadlessGame host;
    mode_t oldMask = umask(022);
    ASSERT_EQ(host.SaveState(u"a"), 0);
    struct stat info {};
    ASSERT_EQ(stat(".zembrastate", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u) << "a new file: 0666 less the umask";

    for (mode_t mode : {0600u, 0640u, 0666u, 0400u}) {
        ASSERT_EQ(chmod(".zembrastate", mode), 0);
        // A temporary file left behind by a killed save, with a wider mode.
        writeFile(".zembrastate.tmp", "stale");
        chmod(".zembrastate.tmp", 0777);
        ASSERT_EQ(host.SaveState(u"b"), 0) << std::oct << mode;
        ASSERT_EQ(stat(".zembrastate", &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(readFile(".zembrastate"), "b");
    }

    // Through a link, the target's mode counts and the link stays a link.
    writeFile("target", "t");
    chmod("target", 0600);
    std::filesystem::remove(".zembrastate");
    std::filesystem::create_symlink("target", ".zembrastate");
    ASSERT_EQ(host.SaveState(u"c"), 0);
    ASSERT_EQ(stat("target", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    umask(oldMask);
}

TEST(Files, LoadDataReadsWholeFilesAcrossBlocks) {
    TempDir dir;
    KpHeadlessGame host;
    std::string bytes;
    for (int i = 0; i < 10000; ++i) bytes.push_back(static_cast<char>(i * 7));
    writeFile("data/blob.bin", bytes);
    int length = -5;
    KpBytes data = host.LoadData(u"zembra://data/blob.bin", &length);
    ASSERT_TRUE(data);
    ASSERT_EQ(length, 10000);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data.get()), 10000), bytes);

    length = -5;
    EXPECT_FALSE(host.LoadData(u"zembra://data/none.bin", &length));
    EXPECT_EQ(length, -5); // a missing file leaves the length alone
}
