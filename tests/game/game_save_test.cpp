// Save data: the save string's three blocks and their checksums round trip every
// value exactly; damage and truncation reset only the blocks they touch, with the exact console
// lines; the loader's clamps and the restored menu selection; state files from newer or
// damaged runs load without a crash; and the whole save path survives being killed at random
// moments, a full disk and an unwritable folder; a damaged file is kept aside byte for byte
// before any save replaces it.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game_fixture.h"

namespace {

constexpr int kRecordsSaved = 15000;
constexpr size_t kSaveFields = 26 + 9 + 500 * 31;

// Everything a save keeps.
struct Saved {
    std::array<int, 25> settings{};
    std::array<bool, 256> badges{};
    std::vector<int> records = std::vector<int>(kRecordsSaved, 0);
};

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        if (bar == std::string::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

std::string joinFields(const std::vector<std::string>& fields) {
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) text += '|';
        text += fields[i];
    }
    return text;
}

// One digit of a number changed, keeping it within 32 bits: the last non-zero digit goes down
// by one (a 0 becomes 1).
void changeDigit(std::string& field) {
    size_t digit = field.find_last_of("123456789");
    if (digit == std::string::npos) {
        digit = field.find_last_of('0');
        field[digit] = '1';
    } else {
        --field[digit];
    }
}

// Index in the save string of level k's field r (0..29 the numbers, 30 the checksum).
size_t levelField(int k, int r) {
    return 35 + static_cast<size_t>(k) * 31 + static_cast<size_t>(r);
}

// Settings that survive the loader's clamps on the desktop unchanged.
void keepClampsQuiet(Saved& s) {
    s.settings[10] = std::max(s.settings[10], 64);
    s.settings[11] = std::max(s.settings[11], 64);
    if (s.settings[12] < 8) s.settings[12] = 8;
    s.settings[14] = 1;
}

Saved randomSaved(unsigned seed) {
    std::mt19937 rng(seed);
    Saved s;
    const int edges[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX, 1 << 30, -(1 << 30)};
    auto value = [&]() -> int {
        switch (rng() % 4) {
        case 0:
            return edges[rng() % std::size(edges)];
        case 1:
            return static_cast<int>(rng()); // any 32-bit value
        case 2:
            return static_cast<int>(rng() % 2001) - 1000;
        default:
            return 0;
        }
    };
    for (int& v : s.settings) v = value();
    for (size_t i = 0; i < s.badges.size(); ++i) s.badges[i] = (i % 32 == 31) || rng() % 2;
    for (int& v : s.records) v = value();
    keepClampsQuiet(s);
    return s;
}

class SaveTest : public GameTest {
  protected:
    void put(const Saved& s) {
        app->m_settings = s.settings;
        app->m_badges = s.badges;
        std::copy(s.records.begin(), s.records.end(), app->m_records.begin());
    }
    Saved taken() const {
        Saved s;
        s.settings = app->m_settings;
        s.badges = app->m_badges;
        std::copy(app->m_records.begin(), app->m_records.begin() + kRecordsSaved,
                  s.records.begin());
        return s;
    }
    // The arrays as p_OnCreate leaves them before it calls p_Load.
    void fresh() {
        app->m_settings.fill(0);
        app->m_settings[5] = 1;
        app->m_badges.fill(false);
        app->m_records.fill(0);
    }
    std::string saveText(const Saved& s) {
        put(s);
        app->p_Save();
        return readFile(".zembrastate");
    }
    // Loads text as a fresh start would; returns p_Load's own console lines (the block
    // messages and, in debug mode, the text), without what the music start logs.
    std::vector<std::string> load(const std::string& text) {
        writeFile(".zembrastate", text);
        return loadFile();
    }
    std::vector<std::string> loadFile() {
        fresh();
        testing::internal::CaptureStdout();
        app->p_Load();
        std::vector<std::string> lines;
        for (const std::string& line : splitLines(testing::internal::GetCapturedStdout())) {
            if (line.find(" Loaded") != std::string::npos ||
                line.find("Checksum Invalid") != std::string::npos ||
                line.find('|') != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    }
    static Saved freshSaved() {
        Saved s;
        s.settings[5] = 1;
        s.settings[10] = 64;
        s.settings[11] = 64;
        s.settings[12] = 10;
        s.settings[14] = 1;
        return s;
    }
    void expectSettings(const std::array<int, 25>& want) {
        for (int i = 0; i < 25; ++i) EXPECT_EQ(app->m_settings[i], want[i]) << "setting " << i;
    }
    void expectBadges(const std::array<bool, 256>& want) {
        for (int i = 0; i < 256; ++i) EXPECT_EQ(app->m_badges[i], want[i]) << "badge " << i;
    }
    // Level k's 30 entries as saved in s, or zero.
    void expectLevel(const Saved& s, int k, bool kept) {
        for (int section = 0; section < 3; ++section) {
            for (int r = 0; r < 10; ++r) {
                int at = section * 5000 + k * 10 + r;
                ASSERT_EQ(app->m_records[at], kept ? s.records[at] : 0)
                    << "level index " << k << " section " << section << " slot " << r;
            }
        }
    }
};

const std::vector<std::string> kBothLoaded = {"Settings Loaded", "Badges Loaded"};

// The bytes of every copy of the state file kept aside, in any order.
std::multiset<std::string> keptCopies() {
    std::multiset<std::string> copies;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".zembrastate.damaged-", 0) == 0) copies.insert(readFile(name));
    }
    return copies;
}

} // namespace

// ---- Round trip

TEST_F(SaveTest, RandomStatesWithExtremeValuesRoundTripExactly) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        Saved s = randomSaved(seed);
        std::string text = saveText(s);
        EXPECT_EQ(splitFields(text).size(), kSaveFields + 1) << "a final empty field";
        EXPECT_EQ(text.back(), '|');
        EXPECT_EQ(load(text), kBothLoaded) << "seed " << seed;
        Saved back = taken();
        EXPECT_EQ(back.settings, s.settings) << "seed " << seed;
        EXPECT_EQ(back.badges, s.badges) << "seed " << seed;
        EXPECT_EQ(back.records, s.records) << "seed " << seed;
    }
}

TEST_F(SaveTest, SettingsBadgeWordsAndLevelRowsSitInTheirFieldsWithTheirSums) {
    Saved s;
    for (int i = 0; i < 25; ++i) s.settings[i] = i + 100;
    s.badges[0] = true;
    s.badges[31] = true; // bit 31 of word 0
    s.badges[33] = true;
    s.badges[255] = true;
    s.records[0] = 7;         // best of level index 0, slot 0
    s.records[5000 + 1] = -3; // last of level index 0, slot 1
    s.records[10000 + 10 * 17 + 9] = 11;
    std::vector<std::string> f = splitFields(saveText(s));
    for (int i = 0; i < 25; ++i) EXPECT_EQ(f[i], std::to_string(i + 100));
    int settingsSum = 0;
    for (int i = 0; i < 25; ++i) settingsSum += (i + 100) * i;
    EXPECT_EQ(f[25], std::to_string(settingsSum));
    EXPECT_EQ(f[26], std::to_string(static_cast<int>(0x80000001u)));
    EXPECT_EQ(f[26], "-2147483647") << "bit 31 is written as a negative number";
    EXPECT_EQ(f[27], "2");
    EXPECT_EQ(f[33], "-2147483648");
    int badgeSum = static_cast<int>(0x80000001u + 2u + 0x80000000u);
    EXPECT_EQ(f[34], std::to_string(badgeSum));
    EXPECT_EQ(f[levelField(0, 0)], "7");
    EXPECT_EQ(f[levelField(0, 4)], "-3");
    EXPECT_EQ(f[levelField(0, 30)], std::to_string(4 * 7 + (0 + 3 + 1) * -3));
    EXPECT_EQ(f[levelField(17, 29)], "11");
    EXPECT_EQ(f[levelField(17, 30)], std::to_string((17 + 7 + 9) * 11));
    EXPECT_EQ(f[levelField(499, 30)], "0");
    EXPECT_EQ(f.back(), "");
}

TEST_F(SaveTest, FreshStartSavedAndLoadedPrintsTwoLinesAndRestoresEverything) {
    Start();
    Saved before = taken();
    app->p_Save();
    EXPECT_EQ(loadFile(), kBothLoaded) << "no level line";
    Saved after = taken();
    EXPECT_EQ(after.settings, before.settings);
    EXPECT_EQ(after.badges, before.badges);
    EXPECT_EQ(after.records, before.records);
}

TEST_F(SaveTest, CreationLoadsTheStateFile) {
    Saved s = randomSaved(42);
    s.settings[4] = 36;
    std::string text = saveText(s);
    app->m_settings.fill(0);
    testing::internal::CaptureStdout();
    Start();
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Settings Loaded\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Badges Loaded\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("Checksum Invalid"), std::string::npos) << printed;
    EXPECT_EQ(taken().records, s.records);
    EXPECT_EQ(app->m_menuLevel, 36);
    EXPECT_EQ(app->m_menuY, static_cast<float>(app->p_FindSpot(36)));
    EXPECT_EQ(app->m_menuYTarget, app->m_menuY);
}

TEST_F(SaveTest, AnEmptyOrMissingFilePrintsNothingAndKeepsTheFreshValues) {
    EXPECT_TRUE(loadFile().empty());
    expectSettings(freshSaved().settings);
    EXPECT_TRUE(load("").empty());
    expectSettings(freshSaved().settings);
    EXPECT_EQ(app->m_menuLevel, 0);
    EXPECT_EQ(app->m_menuY, static_cast<float>(app->p_FindSpot(0)));
}

TEST_F(SaveTest, ADamagedFileIsKeptByteForByteBeforeASaveCanReplaceIt) {
    const std::string whole = saveText(randomSaved(61));
    std::mt19937 rng(61);
    std::string noise(4000, '\0');
    for (char& c : noise) c = static_cast<char>(rng());
    std::vector<std::string> fields = splitFields(whole);
    changeDigit(fields[levelField(20, 0)]);
    const std::string damaged[] = {noise, whole.substr(0, 1500), joinFields(fields), whole + "7|"};
    std::multiset<std::string> expected;
    for (const std::string& text : damaged) {
        testing::internal::CaptureStderr();
        load(text);
        const std::string said = testing::internal::GetCapturedStderr();
        expected.insert(text);
        // One copy more, made within the same second as the others and replacing none.
        EXPECT_EQ(keptCopies(), expected);
        EXPECT_EQ(said.rfind("Brambolt3: your progress file was damaged: a copy is kept as " +
                                 std::filesystem::current_path().string() +
                                 "/.zembrastate.damaged-",
                             0),
                  0u)
            << said;
        EXPECT_EQ(app->m_noticeShown, 1);
        EXPECT_EQ(app->m_noticeLines[0], u"Your progress file was damaged: a copy is kept as");
        app->m_noticeShown = 0;
        app->p_Save();
        EXPECT_EQ(loadFile(), kBothLoaded);
        EXPECT_EQ(app->m_noticeShown, 0) << "a whole file is no damage";
    }
    EXPECT_EQ(keptCopies(), expected);
}

TEST_F(SaveTest, AnEmptyFileIsDamageOnlyWhereAGameHasRunBefore) {
    load("");
    EXPECT_TRUE(keptCopies().empty()) << "a fresh folder";
    EXPECT_EQ(app->m_noticeShown, 0);
    writeFile(".zembrastate.lock", ""); // left by every game that ran here
    load("");
    EXPECT_EQ(keptCopies(), std::multiset<std::string>{""});
    EXPECT_EQ(app->m_noticeShown, 1);
}

TEST_F(SaveTest, DebugModePrintsTheSaveStringOnSaveAndLoad) {
    kp_BT3_DebugMode = 1;
    Saved s = randomSaved(3);
    put(s);
    testing::internal::CaptureStdout();
    app->p_Save();
    std::string printed = testing::internal::GetCapturedStdout();
    std::string text = readFile(".zembrastate");
    EXPECT_EQ(printed, text + "\n");
    std::vector<std::string> lines = loadFile();
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0], text);
}

// ---- Damage

TEST_F(SaveTest, ADamagedSettingsBlockResetsTheSettingsOnly) {
    Saved s = randomSaved(5);
    std::string text = saveText(s);
    std::vector<std::string> f = splitFields(text);
    // Setting 0 is weighted 0 in its checksum, so damage starts at setting 1.
    for (size_t i = 1; i <= 25; ++i) {
        std::vector<std::string> damaged = f;
        changeDigit(damaged[i]);
        ASSERT_EQ(load(joinFields(damaged)),
                  (std::vector<std::string>{"Settings Checksum Invalid", "Badges Loaded"}))
            << "field " << i;
        expectSettings(freshSaved().settings);
        expectBadges(s.badges);
        ASSERT_EQ(taken().records, s.records);
    }
}

TEST_F(SaveTest, ADamagedBadgeBlockClearsTheBadgesOnly) {
    Saved s = randomSaved(6);
    std::string text = saveText(s);
    std::vector<std::string> f = splitFields(text);
    for (size_t i = 26; i <= 34; ++i) {
        std::vector<std::string> damaged = f;
        changeDigit(damaged[i]);
        ASSERT_EQ(load(joinFields(damaged)),
                  (std::vector<std::string>{"Settings Loaded", "Badge Checksum Invalid"}))
            << "field " << i;
        expectSettings(s.settings);
        expectBadges({});
        ASSERT_EQ(taken().records, s.records);
    }
}

TEST_F(SaveTest, ADamagedLevelResetsThatLevelOnlyWithItsOwnMessage) {
    Saved s = randomSaved(7);
    std::string text = saveText(s);
    std::vector<std::string> f = splitFields(text);
    for (int r = 0; r <= 30; ++r) {
        std::vector<std::string> damaged = f;
        changeDigit(damaged[levelField(17, r)]);
        std::vector<std::string> want = kBothLoaded;
        want.push_back("Highscore 17 Checksum Invalid");
        ASSERT_EQ(load(joinFields(damaged)), want) << "field " << r;
        expectSettings(s.settings);
        expectBadges(s.badges);
        for (int k = 0; k < 500; ++k) expectLevel(s, k, k != 17);
    }
}

TEST_F(SaveTest, TruncationLosesOnlyTheBlocksNoLongerHeldInFull) {
    Saved s = randomSaved(9);
    s.settings[4] = 12;
    const std::string text = saveText(s);
    std::vector<size_t> bars; // position just after each "|"
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|') bars.push_back(i + 1);
    }
    ASSERT_EQ(bars.size(), kSaveFields);
    Saved none = freshSaved();
    // A cut just after a bar leaves an empty field behind it: a block that lost only its
    // checksum is still there in full count and fails with its message.
    auto check = [&](size_t length, bool settingsKept, bool badgesKept, int levelsKept,
                     const std::string& failed, const std::string& why) {
        SCOPED_TRACE(why + " at " + std::to_string(length));
        std::vector<std::string> want;
        if (settingsKept) want.push_back("Settings Loaded");
        if (badgesKept) want.push_back("Badges Loaded");
        if (!failed.empty()) want.push_back(failed);
        ASSERT_EQ(load(text.substr(0, length)), want);
        expectSettings(settingsKept ? s.settings : none.settings);
        expectBadges(badgesKept ? s.badges : none.badges);
        for (int k = 0; k < 500; ++k) expectLevel(s, k, k < levelsKept);
    };
    check(0, false, false, 0, "", "empty");
    check(bars[6], false, false, 0, "", "inside the settings block");
    // With no settings block the badge block is read from the read position, field 0, so a
    // text of 9 to 25 fields fails it there.
    check(bars[23], false, false, 0, "Badge Checksum Invalid", "deeper in the settings block");
    check(bars[24], false, false, 0, "Settings Checksum Invalid", "the settings checksum cut");
    check(bars[25] - 1, true, false, 0, "", "settings without the final bar");
    check(bars[25], true, false, 0, "", "after the settings");
    check(bars[32], true, false, 0, "", "inside the badge block");
    check(bars[33], true, false, 0, "Badge Checksum Invalid", "the badge checksum cut");
    check(bars[34] - 1, true, true, 0, "", "badges without the final bar");
    check(bars[34], true, true, 0, "", "after the badges");
    for (int k : {1, 17, 250, 499}) {
        const std::string lost = "Highscore " + std::to_string(k) + " Checksum Invalid";
        check(bars[levelField(k - 1, 30)], true, true, k, "", "after a level");
        check(bars[levelField(k, 14)], true, true, k, "", "in the middle of a level");
        check(bars[levelField(k, 29)], true, true, k, lost, "a level's checksum cut");
        check(bars[levelField(k, 30)] - 1, true, true, k + 1, "", "a level without its bar");
    }
    check(text.size() - 1, true, true, 500, "", "without the final bar");
    check(text.size(), true, true, 500, "", "whole");
}

TEST_F(SaveTest, ChecksumsWrapPastTheLargestInt) {
    Saved s;
    s.settings[24] = INT_MAX;
    s.settings[23] = INT_MAX;
    keepClampsQuiet(s);
    s.badges.fill(true); // eight words of -1
    s.records[10 * 3] = INT_MAX;
    s.records[5000 + 10 * 3 + 9] = INT_MAX;
    std::vector<std::string> f = splitFields(saveText(s));
    std::uint32_t settingsSum = 0;
    for (int i = 0; i < 25; ++i) settingsSum += static_cast<std::uint32_t>(s.settings[i]) * i;
    EXPECT_EQ(f[25], std::to_string(static_cast<int>(settingsSum)));
    EXPECT_EQ(f[34], "-8");
    std::uint32_t levelSum = 4u * INT_MAX + static_cast<std::uint32_t>(3 + 3 + 9) * INT_MAX;
    EXPECT_EQ(f[levelField(3, 30)], std::to_string(static_cast<int>(levelSum)));
    EXPECT_EQ(load(joinFields(f)), kBothLoaded);
    EXPECT_EQ(taken().records, s.records);
}

TEST_F(SaveTest, ASelectedLevelAboveTheLastLoadsAsTheLast) {
    Saved s = freshSaved();
    s.settings[4] = 400;
    EXPECT_EQ(load(saveText(s)), kBothLoaded);
    EXPECT_EQ(app->m_menuLevel, 150);
    EXPECT_EQ(app->m_menuY, static_cast<float>(app->p_FindSpot(150)));
    EXPECT_EQ(app->m_menuYTarget, app->m_menuY);
    EXPECT_EQ(app->m_settings[4], 400) << "the setting itself is kept";
    s.settings[4] = 150;
    load(saveText(s));
    EXPECT_EQ(app->m_menuLevel, 150);
    s.settings[4] = 36;
    load(saveText(s));
    EXPECT_EQ(app->m_menuLevel, 36);
}

TEST_F(SaveTest, ClampsOfTheLayoutAndOverscanSettings) {
    Saved s = freshSaved();
    s.settings[10] = 63;
    s.settings[11] = -5;
    s.settings[12] = 7;
    s.settings[14] = 0;
    kp_BT3_overscan = 12.0f;
    EXPECT_EQ(load(saveText(s)), kBothLoaded);
    EXPECT_EQ(app->m_settings[10], 64);
    EXPECT_EQ(app->m_settings[11], 64);
    EXPECT_EQ(app->m_settings[12], 10);
    EXPECT_EQ(app->m_settings[14], 1) << "always 1 on the desktop";
    EXPECT_EQ(kp_BT3_overscan, 0.0f);

    s.settings[12] = 8;
    load(saveText(s));
    EXPECT_EQ(app->m_settings[12], 8);

    kp_BT3_isOuya = 1;
    s.settings[14] = 0;
    load(saveText(s));
    EXPECT_EQ(app->m_settings[14], 64);
    EXPECT_EQ(kp_BT3_overscan, 64.0f);
    s.settings[14] = 40;
    load(saveText(s));
    EXPECT_EQ(kp_BT3_overscan, 40.0f);
}

TEST_F(SaveTest, TheTitleTuneStartsWithSoundSettingsOneAndThree) {
    for (int mode : {0, 1, 2, 3}) {
        Saved s = freshSaved();
        s.settings[5] = mode;
        writeFile(".zembrastate", saveText(s));
        fresh();
        testing::internal::CaptureStdout();
        app->p_Load();
        std::string printed = testing::internal::GetCapturedStdout();
        bool tune = printed.find("sfx/title_full.ogg\n") != std::string::npos;
        EXPECT_EQ(tune, mode == 1 || mode == 3) << "mode " << mode;
    }
    fresh();
    testing::internal::CaptureStdout();
    app->p_Load(); // no file: sound on
    EXPECT_NE(testing::internal::GetCapturedStdout().find("sfx/title_full.ogg"), std::string::npos);
}

// ---- Files from newer or damaged runs

TEST_F(SaveTest, FieldsReadLikeAtoiAndSaturateBeyondThirtyTwoBits) {
    Saved s = freshSaved();
    std::vector<std::string> f = splitFields(saveText(s));
    auto settingsWith = [&](const std::string& field1, int checksum) {
        std::vector<std::string> g = f;
        g[1] = field1;
        std::uint32_t sum =
            static_cast<std::uint32_t>(checksum) + 5 * 1 + 10 * 64 + 11 * 64 + 12 * 10 + 14 * 1;
        g[25] = std::to_string(static_cast<int>(sum));
        return joinFields(g);
    };
    struct Case {
        std::string field;
        int value;
    };
    const Case cases[] = {
        {"  \t42", 42},
        {"+17", 17},
        {"-17", -17},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"--3", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},
        {"99999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999", INT_MIN},
        {std::string(62, ' ') + "7", 7},
        {std::string(63, ' ') + "7", 0},
        {std::string(62, '0') + "12", 1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(load(settingsWith(c.field, c.value)), kBothLoaded) << "[" << c.field << "]";
        EXPECT_EQ(app->m_settings[1], c.value) << "[" << c.field << "]";
    }
}

TEST_F(SaveTest, NonNumericEmptyAndBinaryFieldsFailOnlyTheirBlocks) {
    Saved s = randomSaved(12);
    for (int r = 0; r < 30; ++r) s.records[r % 10 + 5000 * (r / 10) + 10 * 20] = 1000 + r;
    s.records[10 * 30] = 5; // the binary field below reads as 0
    s.settings[3] = 5;      // the word below reads as 0
    std::vector<std::string> f = splitFields(saveText(s));
    f[3] = "three";                                                // settings
    f[levelField(20, 5)] = "";                                     // level 20
    f[levelField(30, 0)] = std::string("\x01\xff\0\x80", 4) + "9"; // level 30
    std::vector<std::string> want = {"Settings Checksum Invalid", "Badges Loaded",
                                     "Highscore 20 Checksum Invalid",
                                     "Highscore 30 Checksum Invalid"};
    EXPECT_EQ(load(joinFields(f)), want);
    expectSettings(freshSaved().settings);
    expectBadges(s.badges);
    for (int k = 0; k < 500; ++k) expectLevel(s, k, k != 20 && k != 30);
}

TEST_F(SaveTest, NewerHugeAndBinaryFilesLoadWithoutACrash) {
    // One 10 MB field: no block is present.
    EXPECT_TRUE(load(std::string(10 * 1024 * 1024, '1')).empty());
    expectSettings(freshSaved().settings);
    // Ten million bars: every block is present and fails.
    std::vector<std::string> lines = load(std::string(10 * 1000 * 1000, '|'));
    ASSERT_EQ(lines.size(), 2u) << "empty fields sum to 0 and match a 0 checksum";
    EXPECT_EQ(lines, kBothLoaded);
    // Random bytes.
    std::mt19937 rng(14);
    for (int round = 0; round < 20; ++round) {
        std::string bytes(200000, '\0');
        for (char& c : bytes) c = static_cast<char>(rng() % 7 == 0 ? '|' : rng());
        load(bytes);
    }
    // Fields of a newer run after the records, one of them 10 MB long.
    Saved all = randomSaved(11);
    EXPECT_EQ(load(saveText(all) + "1|2|newer|" + std::string(10 * 1024 * 1024, '7') + "|"),
              kBothLoaded);
    EXPECT_EQ(taken().records, all.records);
    // A valid settings block followed by a 10 MB field in the badge block.
    Saved s = randomSaved(15);
    std::vector<std::string> f = splitFields(saveText(s));
    f[27] = std::string(10 * 1024 * 1024, '9');
    lines = load(joinFields(f));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Settings Loaded");
    EXPECT_EQ(lines[1], "Badge Checksum Invalid");
    EXPECT_EQ(taken().records, s.records);
}

// ---- The save path under kills, a full disk and an unwritable folder

namespace {
// 0 or 1 for the text that matches, -1 for neither.
int whichOf(const std::string& text, const std::string& a, const std::string& b) {
    if (text == a) return 0;
    if (text == b) return 1;
    return -1;
}
} // namespace

TEST_F(SaveTest, KilledSavesAlwaysLeaveOneOfTheTwoCompleteStates) {
    const Saved a = randomSaved(21);
    Saved b = randomSaved(22);
    b.settings[4] = 77;
    const std::string textB = saveText(b);
    const auto started = std::chrono::steady_clock::now();
    const std::string textA = saveText(a);
    const auto saveTime = std::chrono::steady_clock::now() - started;
    ASSERT_NE(textA, textB);
    // The file now holds state a. Each child saves b, a, b, ... until it is killed at a moment
    // spread over about two saves (at most 20 ms, so the test stays short), so kills land in
    // every step of the save path.
    const auto spread = std::chrono::duration_cast<std::chrono::microseconds>(saveTime * 2);
    unsigned spreadMicros = std::min(static_cast<unsigned>(spread.count()), 20000u) + 500;
    // On a loaded machine a child may never finish a save within that spread: from halfway on,
    // the spread doubles after each kill (up to a second) until some save has completed.
    const unsigned kMaxSpreadMicros = 1000000;
    std::mt19937 rng(23);
    const int kKills = 210;
    int seen[2] = {0, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (int kill = 0; kill < kKills; ++kill) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i) {
                put(i % 2 ? a : b);
                app->p_Save();
            }
        }
        usleep(static_cast<useconds_t>(rng() % spreadMicros));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        int which = whichOf(readFile(".zembrastate"), textA, textB);
        ASSERT_GE(which, 0) << "after kill " << kill;
        ++seen[which];
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        if (kill >= kKills / 2 && seen[1] == 0) {
            spreadMicros = std::min(spreadMicros * 2, kMaxSpreadMicros);
        }
    }
    EXPECT_GT(seen[0], 0) << "some kills come before a save's rename";
    EXPECT_GT(seen[1], 0) << "some saves complete";
    // The file as the game loads it: every checksum valid.
    EXPECT_EQ(loadFile(), kBothLoaded);
}

TEST_F(SaveTest, AFullDiskKeepsTheOldFileAndTheGameRunning) {
    const std::string oldText = saveText(randomSaved(31));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int err = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (err < 0 || dup2(err, STDERR_FILENO) < 0) _exit(4);
        struct rlimit small {};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        put(randomSaved(32));
        app->p_Save();
        app->p_Save();
        int result = kp_app__game->SaveState(kpS(std::string(8000, '1')));
        app->p_ShowBadges(); // still going
        _exit(result == -2 ? 0 : 9);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "a full disk must not end the game (SIGXFSZ)";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(".zembrastate"), oldText);
    EXPECT_FALSE(std::filesystem::exists(".zembrastate.tmp"));
    // Each save stopped part-way by the limit is said, with the system's reason.
    const std::string line = "Brambolt3: could not save your progress to " +
                             std::filesystem::current_path().string() +
                             "/.zembrastate: File too large (kept in memory; the next save tries "
                             "again)\n";
    EXPECT_EQ(readFile("stderr.txt"), line + line + line);
}

TEST_F(SaveTest, FailedSavesAreSaidAndTheProgressIsWrittenOnceTheFolderIsWritable) {
    // A player's folder that is read-only for a while: the player owns it and makes it
    // writable again during the game.
    constexpr uid_t kPlayer = 65534;
    std::filesystem::create_directory("home");
    ASSERT_EQ(chown("home", kPlayer, kPlayer), 0);
    ASSERT_EQ(chdir("home"), 0);
    const std::string oldText = saveText(randomSaved(51));
    ASSERT_EQ(chown(".zembrastate", kPlayer, kPlayer), 0);
    const std::string folder = std::filesystem::current_path().string();
    ASSERT_EQ(chmod(".", 0555), 0);
    const Saved progress = randomSaved(52);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int err = ::open("../stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (err < 0 || dup2(err, STDERR_FILENO) < 0) _exit(4);
        // Root may write anywhere: the saves run as the folder's owner.
        if (setgid(kPlayer) != 0 || setuid(kPlayer) != 0) _exit(3);
        put(progress);
        app->p_Save(); // a round returns to the menu
        if (app->m_noticeShown != 1 || app->m_noticeLines[1] != kpS(folder + "/.zembrastate")) {
            _exit(7); // the player is told in the window, with the file's place
        }
        app->p_Save(); // the options panel closes
        if (readFile(".zembrastate") != oldText) _exit(5);
        if (chmod(".", 0755) != 0) _exit(6);
        app->p_Save(); // the window loses focus
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(".", 0755);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    const std::string line = "Brambolt3: could not save your progress to " + folder +
                             "/.zembrastate: Permission denied (kept in memory; the next save "
                             "tries again)\n";
    EXPECT_EQ(readFile("../stderr.txt"), line + line) << "one line for each failed save";
    const std::string written = readFile(".zembrastate");
    EXPECT_NE(written, oldText);
    EXPECT_EQ(written, saveText(progress)) << "the progress made while saves failed was kept";
    ASSERT_EQ(chdir(".."), 0);
}

TEST_F(SaveTest, AnUnwritableFolderKeepsTheOldFileAndTheGameRunning) {
    std::filesystem::create_directory("locked");
    ASSERT_EQ(chdir("locked"), 0);
    Saved old = randomSaved(41);
    const std::string oldText = saveText(old);
    ASSERT_EQ(chmod(".", 0555), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Root may write anywhere; drop to an ordinary user so the folder's mode counts.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        put(randomSaved(42));
        app->p_Save();
        int result = kp_app__game->SaveState(u"x");
        app->p_ShowBadges(); // still going
        _exit(result == -1 ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(".", 0755);
    ASSERT_EQ(chdir(".."), 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile("locked/.zembrastate"), oldText);
}
