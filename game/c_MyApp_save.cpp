// c_MyApp save data: the save string (settings, badge words and per-level records, every number
// followed by "|", each block closed by a 32-bit wrapping checksum), written with the host's
// SaveState and read back once at creation. A block whose checksum fails is reset
// on its own; the blocks after it are still read from their fixed places. A file that is not
// a whole, valid save is copied aside unchanged before any save may replace it, and the
// player is told of that and of every failed save in the window as well as on standard error.
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/kp_error.h"

namespace {
constexpr int kSettingFields = kSettingCount + 1;
constexpr int kBadgeWords = 8;
constexpr int kBitsPerWord = 32;
constexpr int kBadgeFields = kBadgeWords + 1;
constexpr int kLevelFields = kRecordSlots * 3 + 1;
// Every field the loader can read; a longer text is never looked at past these.
constexpr size_t kReadableFields =
    kSettingFields + kBadgeFields + static_cast<size_t>(kRecordLevels) * kLevelFields;
// A field is converted from no more than its first 63 characters, as the C buffer of old.
constexpr size_t kFieldChars = 63;
constexpr char16_t kSeparator = u'|';

// Setting indexes with a rule of their own.
constexpr int kLayoutA = 10;
constexpr int kLayoutB = 11;
constexpr int kLayoutC = 12;
constexpr int kLayoutMin = 64;
constexpr int kLayoutCMin = 8;
constexpr int kLayoutCReset = 10;
constexpr int kOverscanReset = 64;

// Checksums add and multiply in 32-bit two's complement that wraps on overflow.
using Sum = std::uint32_t;
Sum wrap(int value) {
    return static_cast<Sum>(value);
}
int asInt(Sum sum) {
    return static_cast<int>(sum);
}

Sum levelChecksumTerm(int k, int r, int best, int last, int stat) {
    return wrap(r + 4) * wrap(best) + wrap(k + 3 + r) * wrap(last) + wrap(k + 7 + r) * wrap(stat);
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// A field as a decimal integer the way atoi reads it (leading blanks, an optional sign, digits
// up to the first non-digit, none giving 0), over at most its first 63 characters; a number
// beyond the 32-bit range saturates instead of being undefined, so a damaged field can only
// fail its block's checksum. Every number a save writes reads back unchanged.
int parseField(std::u16string_view field) {
    field = field.substr(0, std::min(field.size(), kFieldChars));
    size_t i = 0;
    while (i < field.size() && isBlank(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
        negative = field[i] == u'-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{1} << 31; // magnitude of INT_MIN
    std::int64_t magnitude = 0;
    for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
        magnitude = std::min(magnitude * 10 + (field[i] - u'0'), kLimit);
    }
    if (negative) return static_cast<int>(-magnitude);
    return static_cast<int>(std::min(magnitude, kLimit - 1));
}

// The fields of the save string: the text split at "|", with a final empty field after a
// closing "|". Only the first fields the loader can read are kept (plus one, so that the
// count still says "more"); a huge text costs no more memory than a full save.
class Fields {
  public:
    explicit Fields(const String& text) {
        std::u16string_view rest(text);
        for (;;) {
            if (fields_.size() > kReadableFields) break;
            size_t bar = rest.find(kSeparator);
            if (bar == std::u16string_view::npos) {
                fields_.push_back(rest);
                break;
            }
            fields_.push_back(rest.substr(0, bar));
            rest.remove_prefix(bar + 1);
        }
    }
    size_t count() const { return fields_.size(); }
    // Whether the text is exactly one whole save: every field, then the empty one after the
    // closing "|", and nothing more.
    bool whole() const { return count() == kReadableFields + 1 && fields_.back().empty(); }
    int at(size_t i) const { return parseField(fields_[i]); }

  private:
    std::vector<std::u16string_view> fields_;
};

void appendNumber(String& out, int value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    for (const char* p = digits; p < result.ptr; ++p) out.push_back(static_cast<char16_t>(*p));
    out.push_back(kSeparator);
}

void resetSettings(std::array<int, 25>& settings) {
    settings.fill(0);
    settings[kSoundSetting] = kSoundAll;
}
} // namespace

int c_MyApp::p_Save() {
    String text;
    text.reserve(kReadableFields * 8);

    Sum settingsSum = 0;
    for (int i = 0; i < kSettingCount; ++i) {
        appendNumber(text, m_settings[i]);
        settingsSum += wrap(m_settings[i]) * wrap(i);
    }
    appendNumber(text, asInt(settingsSum));

    Sum badgeSum = 0;
    for (int g = 0; g < kBadgeWords; ++g) {
        Sum word = 0;
        for (int b = 0; b < kBitsPerWord; ++b) {
            if (m_badges[g * kBitsPerWord + b]) word |= Sum{1} << b;
        }
        appendNumber(text, asInt(word));
        badgeSum += word;
    }
    appendNumber(text, asInt(badgeSum));

    for (int k = 0; k < kRecordLevels; ++k) {
        Sum levelSum = 0;
        for (int r = 0; r < kRecordSlots; ++r) {
            const int at = k * kRecordSlots + r;
            const int best = m_records[kRecordBest + at];
            const int last = m_records[kRecordLast + at];
            const int stat = m_records[kRecordStats + at];
            appendNumber(text, best);
            appendNumber(text, last);
            appendNumber(text, stat);
            levelSum += levelChecksumTerm(k, r, best, last, stat);
        }
        appendNumber(text, asInt(levelSum));
    }

    if (kp_BT3_DebugMode == 1) kpPrint(text);
    // A damaged file is never saved over before its copy is kept.
    if (m_damagedCopyOwed != 0 && !keepDamagedState()) return 0;
    if (kp_app_SaveState(text) < 0) noticeSaveFailed();
    return 0;
}

void c_MyApp::noticeSaveFailed() {
    p_Notice(u"Your progress could not be saved to", kpS(kp_app__game->StateStoreName()),
             kpS(kp_app__game->SaveProblem()) + u": kept in memory, the next save tries again.");
}

bool c_MyApp::keepDamagedState() {
    const std::string copy = kp_app__game->KeepDamagedState();
    if (copy.empty()) {
        const std::string file = kp_app__game->StateFilePath();
        kpPrintError("your progress file " + file +
                     " is damaged and no copy of it could be kept: it is not saved over until "
                     "one is");
        p_Notice(u"Your progress file is damaged and no copy of it could be kept:", kpS(file),
                 u"the game saves nothing over it until a copy is kept.");
        m_damagedCopyOwed = 1;
        return false;
    }
    kpPrintError("your progress file was damaged: a copy is kept as " + copy);
    p_Notice(u"Your progress file was damaged: a copy is kept as", kpS(copy),
             u"What could be read is loaded; the rest starts afresh.");
    m_damagedCopyOwed = 0;
    return true;
}

int c_MyApp::p_Load() {
    const String text = kp_app_LoadState();
    if (kp_BT3_DebugMode == 1) kpPrint(text);
    const Fields fields(text);
    size_t pos = 0;
    // Anything but a whole save with every checksum right is damage, and so is an empty file
    // where a game has run before (the game never writes an empty file).
    bool damaged = !text.empty() && !fields.whole();
    if (text.empty() && kp_app__game->StateFileExists() && kp_app__game->StateFolderUsedBefore()) {
        damaged = true;
    }

    // Settings.
    if (fields.count() >= static_cast<size_t>(kSettingFields)) {
        Sum sum = 0;
        for (int i = 0; i < kSettingCount; ++i) {
            m_settings[i] = fields.at(static_cast<size_t>(i));
            sum += wrap(m_settings[i]) * wrap(i);
        }
        const int stored = fields.at(kSettingCount);
        pos = kSettingFields;
        if (asInt(sum) == stored) {
            kpPrint(kpS("Settings Loaded"));
        } else {
            kpPrint(kpS("Settings Checksum Invalid"));
            resetSettings(m_settings);
            damaged = true;
        }
    }

    if (m_settings[kSoundSetting] == kSoundAll || m_settings[kSoundSetting] == kMusicOnly) {
        p_PlayTune(kpS("title_full"), 0);
    }

    if (m_settings[kLayoutA] < kLayoutMin) m_settings[kLayoutA] = kLayoutMin;
    if (m_settings[kLayoutB] < kLayoutMin) m_settings[kLayoutB] = kLayoutMin;
    if (m_settings[kLayoutC] < kLayoutCMin) m_settings[kLayoutC] = kLayoutCReset;
    if (m_settings[kOverscanSetting] < 1) m_settings[kOverscanSetting] = kOverscanReset;
    if (kp_BT3_isOuya == 0) {
        m_settings[kOverscanSetting] = 1;
        kp_BT3_overscan = 0.0f;
    } else {
        kp_BT3_overscan = static_cast<float>(m_settings[kOverscanSetting]);
    }

    // Badges: eight words of 32 flags.
    if (pos + kBadgeWords < fields.count()) {
        Sum sum = 0;
        for (int g = 0; g < kBadgeWords; ++g) {
            const Sum word = wrap(fields.at(pos + static_cast<size_t>(g)));
            for (int b = 0; b < kBitsPerWord; ++b) {
                m_badges[g * kBitsPerWord + b] = ((word >> b) & 1u) != 0;
            }
            sum += word;
        }
        const int stored = fields.at(pos + kBadgeWords);
        pos += kBadgeFields;
        if (asInt(sum) == stored) {
            kpPrint(kpS("Badges Loaded"));
        } else {
            kpPrint(kpS("Badge Checksum Invalid"));
            m_badges.fill(false);
            damaged = true;
        }
    }

    // Records, level by level while a level's fields are all there.
    for (int k = 0; k < kRecordLevels && pos + (kLevelFields - 1) < fields.count(); ++k) {
        Sum sum = 0;
        size_t field = pos;
        for (int r = 0; r < kRecordSlots; ++r) {
            const int at = k * kRecordSlots + r;
            const int best = fields.at(field++);
            const int last = fields.at(field++);
            const int stat = fields.at(field++);
            m_records[kRecordBest + at] = best;
            m_records[kRecordLast + at] = last;
            m_records[kRecordStats + at] = stat;
            sum += levelChecksumTerm(k, r, best, last, stat);
        }
        const int stored = fields.at(field);
        pos += kLevelFields;
        if (asInt(sum) != stored) {
            kpPrint(kpS("Highscore ") + kpIntToString(k) + kpS(" Checksum Invalid"));
            damaged = true;
            for (int r = 0; r < kRecordSlots; ++r) {
                const int at = k * kRecordSlots + r;
                m_records[kRecordBest + at] = 0;
                m_records[kRecordLast + at] = 0;
                m_records[kRecordStats + at] = 0;
            }
        }
    }

    if (damaged) keepDamagedState();

    // The menu selection, at most the last level (and never below the first).
    m_menuLevel = std::max(0, std::min(m_settings[kSelectedLevelSetting], kp_BT3_MaxGamesB));
    m_menuY = static_cast<float>(p_FindSpot(m_menuLevel));
    m_menuYTarget = m_menuY;
    return 0;
}
