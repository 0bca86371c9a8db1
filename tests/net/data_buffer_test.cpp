// Byte buffers: clipping at both ends, signed reads, the two string encodings with the UTF-8
// fallback, loading through the host, and the fatal cases.
#include <climits>
#include <gtest/gtest.h>
#include <unistd.h>

#include "net/c_DataBuffer.h"
#include "runtime/kp_headless_game.h"
#include "support/test_support.h"

namespace {

std::unique_ptr<c_DataBuffer> bufferOf(std::vector<int> bytes) {
    auto buffer = std::make_unique<c_DataBuffer>();
    buffer->m_new(static_cast<int>(bytes.size()));
    buffer->p_PokeBytes(0, bytes, 0, static_cast<int>(bytes.size()));
    return buffer;
}

std::unique_ptr<c_DataBuffer> filled(int length, int value) {
    return bufferOf(std::vector<int>(static_cast<size_t>(length), value));
}

// Fatal reports go to standard output; death tests read standard error.
void reportOnStderr() {
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

} // namespace

TEST(DataBufferBytes, PokeIsCutToTheEndOfTheBuffer) {
    auto buffer = filled(8, 0);
    buffer->p_PokeBytes(6, {1, 2, 3, 4, 5}, 0, 5);
    EXPECT_EQ(buffer->p_PeekBytes2(0, 8), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 2}));
    buffer->p_PokeBytes(8, {9, 9}, 0, 2);        // at the length: nothing
    buffer->p_PokeBytes(-2, {9, 9, 9, 9}, 0, 4); // before the start: nothing
    EXPECT_EQ(buffer->p_PeekBytes2(0, 8), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 2}));
}

TEST(DataBufferBytes, PokeIsCutToTheSourceArrayAndKeepsLowBytes) {
    auto buffer = filled(6, 7);
    buffer->p_PokeBytes(0, {0x1FF, 0x100, 0x41}, 1, 10);
    EXPECT_EQ(buffer->p_PeekBytes2(0, 6), (std::vector<int>{0, 0x41, 7, 7, 7, 7}));
}

TEST(DataBufferBytes, PeeksAreSigned) {
    auto buffer = bufferOf({0xFF, 0x80, 0x7F, 0x00});
    EXPECT_EQ(buffer->p_PeekBytes2(0, 4), (std::vector<int>{-1, -128, 127, 0}));
    std::vector<int> out(3, 55);
    buffer->p_PeekBytes(2, out, 1, 9);
    EXPECT_EQ(out, (std::vector<int>{55, 127, 0}));
    EXPECT_TRUE(buffer->p_PeekBytes2(4, 3).empty());
    EXPECT_TRUE(buffer->p_PeekBytes2(9, 3).empty());
}

TEST(DataBufferBytes, OverlappingCopiesWithinOneBufferKeepTheSource) {
    auto forward = bufferOf({1, 2, 3, 4, 5, 6});
    forward->p_CopyBytes(0, forward.get(), 2, 10); // cut to 4 bytes, copied last byte first
    EXPECT_EQ(forward->p_PeekBytes2(0, 6), (std::vector<int>{1, 2, 1, 2, 3, 4}));
    auto backward = bufferOf({1, 2, 3, 4, 5, 6});
    backward->p_CopyBytes(2, backward.get(), 0, 4);
    EXPECT_EQ(backward->p_PeekBytes2(0, 6), (std::vector<int>{3, 4, 5, 6, 5, 6}));
    auto small = filled(2, 0);
    backward->p_CopyBytes(0, small.get(), 1, 5);
    EXPECT_EQ(small->p_PeekBytes2(0, 2), (std::vector<int>{0, 3}));
}

TEST(DataBufferStrings, Utf8EncodesEachUnitInOneToThreeBytes) {
    auto buffer = filled(8, 0);
    EXPECT_EQ(buffer->p_PokeString(0, u"A\u00E9\u20AC", u"utf8"), 6);
    EXPECT_EQ(buffer->p_PeekBytes2(0, 6),
              (std::vector<int>{0x41, -61, -87, -30, -126, -84})); // 41 C3 A9 E2 82 AC
    EXPECT_EQ(buffer->p_PeekString(0, 6, u"utf8"), u"A\u00E9\u20AC");
    // A lone surrogate is encoded by itself and read back unchanged.
    String surrogate(1, static_cast<char16_t>(0xD800));
    EXPECT_EQ(buffer->p_PokeString(0, surrogate, u"utf8"), 3);
    EXPECT_EQ(buffer->p_PeekString(0, 3, u"utf8"), surrogate);
}

TEST(DataBufferStrings, PokeReturnsTheEncodedLengthEvenWhenCut) {
    auto buffer = filled(2, 0);
    EXPECT_EQ(buffer->p_PokeString(0, u"\u20AC", u"utf8"), 3);
    EXPECT_EQ(buffer->p_PeekBytes2(0, 2), (std::vector<int>{-30, -126})); // E2 82
    EXPECT_EQ(buffer->p_PokeString(2, u"xyz", u"ascii"), 3);
}

TEST(DataBufferStrings, AsciiKeepsTheLowByteAndReadsSigned) {
    auto buffer = filled(3, 0);
    EXPECT_EQ(buffer->p_PokeString(0, u"a\u0141\u00FF", u"ascii"), 3);
    EXPECT_EQ(buffer->p_PeekBytes2(0, 3), (std::vector<int>{0x61, 0x41, -1}));
    EXPECT_EQ(buffer->p_PeekString2(0, u"ascii"), String(u"aA\uFFFF"));
}

TEST(DataBufferStrings, BrokenUtf8FallsBackToOneUnitPerSignedByte) {
    EXPECT_EQ(bufferOf({0x48, 0x69})->p_PeekString(0, 2, u"utf8"), u"Hi");
    EXPECT_EQ(bufferOf({0x48, 0xE9})->p_PeekString(0, 2, u"utf8"), String(u"\u0048\uFFE9"));
    // A sequence cut by the count, a stray continuation byte, a five-byte lead.
    EXPECT_EQ(bufferOf({0xE2, 0x82, 0xAC})->p_PeekString(0, 2, u"utf8"), String(u"\uFFE2\uFF82"));
    EXPECT_EQ(bufferOf({0x41, 0x82})->p_PeekString2(0, u"utf8"), String(u"A\uFF82"));
    EXPECT_EQ(bufferOf({0xF8, 0x88, 0x80, 0x80, 0x80})->p_PeekString2(0, u"utf8").size(), 5u);
    // A four-byte character is read as its surrogate pair.
    EXPECT_EQ(bufferOf({0x41, 0xF0, 0x9F, 0x98, 0x80})->p_PeekString2(0, u"utf8"),
              String(u"A\U0001F600"));
    // The fallback covers the whole text, not just the broken sequence.
    EXPECT_EQ(bufferOf({0xC3, 0xA9, 0xC3})->p_PeekString2(0, u"utf8"),
              String(u"\uFFC3\uFFA9\uFFC3"));
}

TEST(DataBufferStrings, ReadsAreCutToTheBuffer) {
    auto buffer = bufferOf({0x61, 0x62, 0x63});
    EXPECT_EQ(buffer->p_PeekString(1, 50, u"utf8"), u"bc");
    EXPECT_EQ(buffer->p_PeekString2(3, u"utf8"), u"");
    EXPECT_EQ(buffer->p_PeekString(-1, 2, u"ascii"), u"");
    // Addresses far outside the buffer read nothing, without overflowing the count.
    EXPECT_EQ(buffer->p_PeekString2(INT_MIN, u"utf8"), u"");
    EXPECT_EQ(buffer->p_PeekString2(INT_MIN + 1, u"ascii"), u"");
    EXPECT_EQ(buffer->p_PeekString2(INT_MAX, u"utf8"), u"");
    EXPECT_EQ(buffer->p_PeekString2(-1, u"utf8"), u"");
    EXPECT_EQ(buffer->p_PeekString2(1, u"utf8"), u"bc");
}

TEST(DataBufferLoad, FillsAnEmptyBufferFromAFile) {
    TempDir dir;
    KpHeadlessGame host;
    writeFile(dir.file("blob.bin"), std::string("\x01\xFE\x03", 3));
    c_DataBuffer buffer;
    ASSERT_TRUE(buffer._Load(kpS(dir.file("blob.bin"))));
    EXPECT_EQ(buffer.p_PeekBytes2(0, 10), (std::vector<int>{1, -2, 3}));
    EXPECT_FALSE(buffer._Load(kpS(dir.file("blob.bin")))) << "a full buffer is not refilled";
    c_DataBuffer missing;
    EXPECT_FALSE(missing._Load(kpS(dir.file("nothing.bin"))));
    EXPECT_EQ(missing.p_Length(), 0);
}

using DataBufferDeathTest = ::testing::Test;

TEST_F(DataBufferDeathTest, EncodingNamesAreExactAndFatalOtherwise) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    c_DataBuffer buffer;
    buffer.m_new(4);
    EXPECT_EXIT((reportOnStderr(), buffer.p_PokeString(0, u"x", u"UTF8")),
                ::testing::ExitedWithCode(255),
                "Zembra Runtime Error : Invalid string encoding:UTF8\n");
    EXPECT_EXIT((reportOnStderr(), buffer.p_PeekString(0, 1, u"latin1")),
                ::testing::ExitedWithCode(255), "Invalid string encoding:latin1");
}

TEST_F(DataBufferDeathTest, AllocatingTwiceIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    c_DataBuffer buffer;
    buffer.m_new(4);
    EXPECT_EXIT((reportOnStderr(), buffer.m_new(4)), ::testing::ExitedWithCode(255),
                "Allocate DataBuffer failed");
}
