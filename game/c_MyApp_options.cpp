// The options panel (p_OptionBox): a brown frame that drops from the top over any screen, the
// turning cog with "<[BACK]", and the option lines (sound, score popups, the four-stage
// re-lock, iCade, window mode, credits; an overscan slider on the television build). Lines
// act once per press, by touch or by the action buttons on the keyboard cursor's line.
// Input is read only while the panel is open; while it slides away it is only drawn. Closing
// saves. Leans on p_PlayKey, p_Touch, p_PlaySFX, p_iCade, p_FullscreenFlip and p_Save.
#include <iterator>

#include "audio/kp_audio.h"
#include "game/bt3_numbers.h"
#include "game/c_MyApp.h"

namespace {

// The kinds of line, in the order they stand.
enum OptionLine {
    kLineOverscan,
    kLineSound,
    kLinePopups,
    kLineRelock,
    kLineICade,
    kLineScreen,
    kLineCredits
};
constexpr int kMaxLines = 7;

constexpr int kSlideFull = 30;
constexpr float kSlideStep = 24.0f; // frame drop per missing slide step
constexpr float kFrameX = 50.0f;
constexpr float kFrameMargin = 100.0f; // frame width is the screen less this
constexpr float kFrameAlpha = 0.85f;

// The back button: the cog's place as the panel slides, its three layers and its label.
constexpr float kCogY = 60.0f;
constexpr float kCogScaleChosen = 2.0f;
constexpr float kBackLabelDX = 76.0f;
constexpr float kTextScale = 2.0f;

// Lines: the first one's offset below the frame top, the step between lines, the extra gap
// before the credits line, the highlight boxes and the text column.
constexpr float kFirstLineDY = 130.0f;
constexpr float kLineStep = 40.0f;
constexpr float kCreditsStep = 50.0f;
constexpr float kBoxHalfH = 12.0f;
constexpr float kBoxInset = 84.0f; // p_Touch2's x; the box spans the panel less this each side
constexpr float kTextX = 100.0f;
constexpr float kCreditsFromRight = 264.0f;
constexpr float kCreditsBoxLead = 16.0f;
constexpr float kCreditsBoxW = 180.0f;
constexpr float kCreditsBoxH = 24.0f;
constexpr float kBoxAlpha = 0.5f;

// Buttons: directions, the action buttons, back; the ones that count as "a key is down".
constexpr int kFirstAction = 10;
constexpr int kLastAction = 15;
constexpr int kCloseButtons[] = {kButtonA, kButtonB, kButtonRB};

// Settings and records touched here.
constexpr int kOverscanStep = 16;
constexpr int kOverscanMin = 1;
constexpr int kOverscanMax = 96;
constexpr int kRelockConfirmations = 3; // stages before the re-lock itself

// Line texts, made once so that drawing them allocates nothing.
const String kSoundWithMusic[] = {u"Sound : Off", u"Sound : SFX + Music", u"Sound : SFX",
                                  u"Sound : Music"};
const String kSoundWithoutMusic[] = {u"Sound : Off", u"Sound : On"};
const String kPopupTexts[] = {u"Score Popups : On", u"Score Popups : Off"};
const String kRelockTexts[] = {u"Re-lock All Levels", u"Are you sure?", u"Really!?!", u"LOCKED!"};
const String kICadeTexts[] = {u"iCade : Off", u"iCade : On"};
const String kFullscreenText = u"Fullscreen";
const String kWindowedText = u"Windowed";
const String kCreditsText = u"Credits";
const String kOverscanText = u"L1 <      Overscan      > R1";
const String kBackText = u"<[BACK]";

void playSfx(c_MyApp& app, int n) {
    app.p_PlaySFX(n, 1, 1, 0);
}

bool anyPressed(c_MyApp& app, const int* buttons, int count) {
    for (int i = 0; i < count; ++i) {
        if (app.p_PlayKeyAll(buttons[i], 1) != 0) return true;
    }
    return false;
}

bool actionPressed(c_MyApp& app, int first, int last) {
    for (int b = first; b <= last; ++b) {
        if (app.p_PlayKeyAll(b, 1) != 0) return true;
    }
    return false;
}

// The sound setting's number of values: four with a music stream, two without.
int soundValues() {
    return kp_BT3_HasMusicStream == 1 ? 4 : 2;
}

// A sound setting outside its range reads as off and is put back to off.
int soundSetting(c_MyApp& app) {
    int& value = app.m_settings[kSoundSetting];
    if (value < 0 || value >= soundValues()) value = 0;
    return value;
}

// The lines shown now, top to bottom; returns how many. The cursor's last value is the count.
int shownLines(const c_MyApp& app, OptionLine* lines) {
    int n = 0;
    if (kp_BT3_isOuya == 1) lines[n++] = kLineOverscan;
    lines[n++] = kLineSound;
    lines[n++] = kLinePopups;
    lines[n++] = kLineRelock;
    if (kp_BT3_isOuya != 1) lines[n++] = kLineICade;
    lines[n++] = kLineScreen;
    if (app.m_paused == 0) lines[n++] = kLineCredits;
    return n;
}

const String& lineText(c_MyApp& app, OptionLine line) {
    switch (line) {
    case kLineOverscan:
        return kOverscanText;
    case kLineSound:
        return kp_BT3_HasMusicStream == 1 ? kSoundWithMusic[soundSetting(app)]
                                          : kSoundWithoutMusic[soundSetting(app)];
    case kLinePopups:
        return kPopupTexts[app.m_settings[kScorePopupsSetting] == 0 ? 0 : 1];
    case kLineRelock:
        return kRelockTexts[app.m_relockStage < kRelockConfirmations ? app.m_relockStage
                                                                     : kRelockConfirmations];
    case kLineICade:
        return kICadeTexts[kp_BT3_iCadeControls == 1 ? 1 : 0];
    case kLineScreen:
        return app.m_fullscreen == 1 ? kWindowedText : kFullscreenText;
    case kLineCredits:
        break;
    }
    return kCreditsText;
}

// Every level but the first locked again; scores and the other statistics stay.
void relockAllLevels(c_MyApp& app) {
    for (int k = 0; k < kp_BT3_MaxGamesB; ++k) {
        app.m_records[kRecordStats + k * kRecordSlots + kStatMarker] = 0;
    }
    app.m_menuLevel = 0;
    app.m_menuYTarget = static_cast<float>(app.p_FindSpot(0));
}

// The sound line answers with no sound of its own (only the popups and re-lock lines do).
void nextSoundSetting(c_MyApp& app) {
    int& value = app.m_settings[kSoundSetting];
    value = (soundSetting(app) + 1) % soundValues();
    // Only music-free settings stop the tune; the other two leave it to the next one started.
    if (kp_BT3_HasMusicStream == 1 && (value == 0 || value == 2)) {
        kp_audio_StopMusic();
        app.m_musicPlaying = 0;
    }
}

// Closing saves the settings (and a re-lock) at once; the latches keep the press that closed
// the panel from reaching the screen below.
void closeOptions(c_MyApp& app) {
    app.m_optionsOpen = 0;
    playSfx(app, kSfxMove);
    app.p_Save();
    app.m_pointerLatch = 1;
    app.m_backLatch = 1;
}

void activate(c_MyApp& app, OptionLine line) {
    switch (line) {
    case kLineOverscan:
        break; // a slider, moved by the shoulder buttons while the cursor is on it
    case kLineSound:
        nextSoundSetting(app);
        break;
    case kLinePopups:
        app.m_settings[kScorePopupsSetting] = (app.m_settings[kScorePopupsSetting] + 1) % 2;
        playSfx(app, kSfxMove);
        playSfx(app, kSfxConfirm);
        break;
    case kLineRelock:
        if (app.m_relockStage < kRelockConfirmations) {
            playSfx(app, kSfxMove);
            playSfx(app, kSfxSuperPass);
        } else {
            playSfx(app, kSfxLost);
            relockAllLevels(app);
        }
        ++app.m_relockStage;
        break;
    case kLineICade:
        app.p_iCade(kp_BT3_iCadeControls == 1 ? 0 : 1);
        app.m_buttons.fill(0);
        break;
    case kLineScreen:
        app.p_FullscreenFlip();
        break;
    case kLineCredits:
        // The credits roll in the menu's level detail panel; this closes the options, and
        // what was changed here is saved as on any other close.
        app.m_detailSlide = 1;
        app.m_optionsOpen = 0;
        app.m_optKeyDone = 0;
        app.m_optTouchDone = 0;
        app.p_Save();
        break;
    }
}

// The overscan slider of the television build; true when a shoulder button moved it.
bool moveOverscan(c_MyApp& app) {
    int step = 0;
    if (app.p_PlayKeyAll(kButtonLB, 1) != 0) step = -kOverscanStep;
    if (app.p_PlayKeyAll(kButtonRB, 1) != 0) step = kOverscanStep;
    if (step == 0) return false;
    int value = app.m_settings[kOverscanSetting] + step;
    value = value < kOverscanMin ? kOverscanMin : (value > kOverscanMax ? kOverscanMax : value);
    app.m_settings[kOverscanSetting] = value;
    kp_BT3_overscan = static_cast<float>(value);
    playSfx(app, kSfxMove);
    return true;
}

} // namespace

int c_MyApp::p_OptionBox() {
    const int sl = m_optionsSlide;
    const float top = (kSlideFull - sl) * kSlideStep;
    const bool open = m_optionsOpen == 1;
    OptionLine lines[kMaxLines];
    const int count = shownLines(*this, lines);
    if (m_optionsCursor > count) m_optionsCursor = count;
    if (m_optionsCursor < 0) m_optionsCursor = 0;

    // The press that opens the panel is not an answer to it: while closed (and on a first
    // opening) whatever is held counts as acted on, until it is released.
    if (!open || sl == 0) {
        m_optKeyDone = 1;
        m_optTouchDone = 1;
    } else {
        if (!anyPressed(*this, kLatchButtons, static_cast<int>(std::size(kLatchButtons)))) {
            m_optKeyDone = 0;
        }
        if (m_pointerDown == 0) m_optTouchDone = 0;
    }

    p_ResetDraw();
    p_SetCol(150, 75, 0, kFrameAlpha);
    p_Rect(kFrameX, top, kp_BT3_jscrw - kFrameMargin, kp_BT3_jscrh);

    // Back button.
    m_cogAngle += kCogSpin;
    const float cogX = (sl * 3 - 90) * 4 + 100.0f;
    const float cogScale = m_optionsCursor == 0 ? kCogScaleChosen : kCogScale;
    p_SetCol(255, 255, 255, 1);
    p_SetSize(cogScale, cogScale);
    for (int layer = 0; layer < 3; ++layer) {
        p_SetRot(kCogLayerTurn[layer] * m_cogAngle);
        p_DrawImg(kImgButtons, cogX, kCogY, kCogFrames[layer]);
    }
    const bool cogTouched =
        m_pointerDown >= 1 && touchOnImage(kImgButtons, cogX, kCogY, 0, kTouchSlots - 1);
    p_SetRot(0);
    p_SetSize(kTextScale, kTextScale);
    p_Text(cogX + kBackLabelDX, kCogY, kBackText, 0, 1, 0);

    if (open && m_optTouchDone == 0 && m_optKeyDone == 0 &&
        (cogTouched || p_PlayKeyAll(kButtonBack, 1) != 0)) {
        closeOptions(*this);
        m_optKeyDone = 1;
        m_optTouchDone = 1;
    }
    if (m_optionsOpen == 1 && m_optKeyDone == 0 && m_optionsCursor == 0) {
        for (int button : kCloseButtons) {
            if (m_optionsOpen == 1 && p_PlayKeyAll(button, 1) != 0) {
                closeOptions(*this);
                m_optKeyDone = 1;
            }
        }
    }

    // The lines, each with its highlight box, which is also its touch area.
    float y = top + kFirstLineDY;
    for (int i = 0; i < count; ++i) {
        const int cursor = i + 1;
        const bool credits = lines[i] == kLineCredits;
        if (i > 0) y += credits ? kCreditsStep : kLineStep;
        const float textX = credits ? kp_BT3_jscrw - kCreditsFromRight : kTextX;
        if (m_optionsCursor == cursor) {
            p_SetCol(0, 180, 255, kBoxAlpha);
        } else {
            p_SetCol(0, 0, 160, kBoxAlpha);
        }
        p_SetSize(1, 1);
        const bool touched =
            credits ? p_Touch(textX - kCreditsBoxLead, y - kBoxHalfH, kCreditsBoxW, kCreditsBoxH)
                    : p_Touch2(y - kBoxHalfH, kp_BT3_jscrw - 2 * kBoxInset);
        if (m_optionsOpen == 1 && touched && m_optTouchDone == 0) {
            m_optionsCursor = cursor;
            m_optTouchDone = 1;
            m_optKeyDone = 1;
            activate(*this, lines[i]);
        }
        p_SetCol(255, 255, 255, 1);
        p_SetSize(kTextScale, kTextScale);
        p_Text(textX, y, lineText(*this, lines[i]), 0, 1, 0);
    }

    // Keys: on the overscan line the shoulder buttons move the slider; elsewhere the action
    // buttons act on the cursor's line; the directions move the cursor.
    const bool onSlider = m_optionsCursor >= 1 && lines[m_optionsCursor - 1] == kLineOverscan;
    if (m_optionsOpen == 1 && m_optKeyDone == 0 && onSlider && moveOverscan(*this)) {
        m_optKeyDone = 1;
    }
    if (m_optionsOpen == 1 && m_optKeyDone == 0 && m_optionsCursor >= 1 && !onSlider &&
        actionPressed(*this, kFirstAction, kLastAction)) {
        m_optKeyDone = 1;
        m_optTouchDone = 1;
        activate(*this, lines[m_optionsCursor - 1]);
    }
    if (m_optionsOpen == 1 && m_optKeyDone == 0) {
        if ((p_PlayKeyAll(kButtonUp, 1) != 0 || p_PlayKeyAll(kButtonLeft, 1) != 0) &&
            m_optionsCursor > 0) {
            --m_optionsCursor;
            playSfx(*this, kSfxMove);
            m_optKeyDone = 1;
        } else if ((p_PlayKeyAll(kButtonDown, 1) != 0 || p_PlayKeyAll(kButtonRight, 1) != 0) &&
                   m_optionsCursor < count) {
            ++m_optionsCursor;
            playSfx(*this, kSfxMove);
            m_optKeyDone = 1;
        }
    }

    p_ResetDraw();
    return 0;
}
