// The game object c_MyApp: every piece of game state as a field, and the one class
// declaration whose methods are spread over the files of game/ by concern (state and
// creation, draw list, text, replay, sound, player keys, controls, ...). Records live in
// fixed arrays sized once here and never resized; the draw list is replayed by p_OnRender.
// Leans on the app module (runtime/kp_app.h) and the kp_BT3_* globals (game/kp_bt3_globals.h).
#pragma once

#include <array>
#include <memory>

#include "audio/kp_audio.h"
#include "game/c_MyApp_commands.h"
#include "game/kp_bt3_globals.h"
#include "graphics/c_Image.h"
#include "net/c_HttpRequest.h"
#include "runtime/kp_app.h"
#include "runtime/kp_string.h"

// Marker for an argument that is not given.
constexpr float kNotGiven = kCmdRect;

constexpr int kLevelSlots = 512;
constexpr int kLevelTableSize = 500;
constexpr int kSoundSlots = 100;
constexpr int kTouchSlots = 10;
constexpr int kButtonCount = 20;
constexpr int kSfxVoices = 24;
constexpr int kAudioChannels = 33;

// One rectangle in virtual units to device pixels: the scale, the overscan offsets and the
// virtual screen that a window of a given size gets.
struct KpScreenFit {
    float scale;
    int mode; // 1 fitted by width, 2 by height
    float virtualW;
    float virtualH;
    float offsetX;
    float offsetY;
    int landscape;
};

// The virtual screen for a device of devW by devH pixels with the designed size and overscan.
KpScreenFit kpFitScreen(int devW, int devH, float rawW, float rawH, float overscan);

class c_MyApp : public c_App, public c_IOnHttpRequestComplete {
  public:
    c_MyApp();

    // ---- State and creation
    int p_OnCreate() override;
    int p_Rand(float lo, float hi);
    int p_ResetPlayers();
    int p_FindSpot(int level);

    // ---- Draw list
    int p_ResetDraw();
    int p_SetCol(float r, float g, float b, float a);
    int p_Alpha(float a);
    int p_Blend(int mode);
    int p_SetSize(float sx, float sy);
    int p_SetRot(float degrees);
    int p_DrawImg(int slot, float x, float y, int frame);
    int p_Rect(float x, float y, float w, float h);
    int p_Oval(float cx, float cy, float rx, float ry);
    int p_Line(float x1, float y1, float x2, float y2);
    int p_FlipScreen();
    int p_Bend(float a, float b);
    int p_CLS2D(float r, float g, float b, float a);
    int p_DoBG(int r, int g, int b, float a);
    int p_GfxRules(int theme);

    // ---- Text
    int p_Text(float x, float y, const String& text, float alignX, float alignY, int fontOffset);
    String p_rstr(int value, int digits, const String& pad);
    String p_Nth(int n);

    // ---- Replay
    int p_OnRender() override;
    // Replays the draw list through the graphics module with the fit of this frame.
    int p_ReplayList(const KpScreenFit& fit);

    // ---- Sound effects and music
    int p_LoadSFX(int n, int theme);
    int p_PlaySFX(int n, float rate, float volume, float pan);
    int p_PlayTune(const String& name, int flags);
    int p_StopTune();

    // ---- Player keys and controls
    int p_PlayKey(int action, int axes, int player);
    int p_PlayKeyAll(int action, int axes);
    float p_StickX(int axis, int joystick);
    float p_StickY(int axis, int joystick);
    int p_AnalogueControl();
    int p_Touch(float x, float y, float w, float h);
    // p_Touch over an options row: x 84, height 24.
    int p_Touch2(float y, float w);
    int p_MouseIn(float x, float y, float w, float h);
    int p_MouseIn_Centered(float cx, float cy, float w, float h);
    int p_Button(int image, float x, float y, int frame);
    // p_Button with the pause icon (image 97).
    int p_Button2(float x, float y, int frame);
    int p_Button0(int image, float x, float y, int frame);
    int p_iCade(int on);

    // ---- Frame driver (c_MyApp_frame.cpp)
    int p_OnUpdate() override;
    int p_OnSuspend() override;
    int p_OnResume() override;
    int p_FullscreenFlip();

    // ---- Asset loading and loading screens (c_MyApp_assets.cpp)
    int p_LoadImg(int slot, const String& name, int w, int h, int frames, int flags);
    int p_LoadFont(int slot, const String& name, int advance, int lineHeight);
    int p_Loader();
    int p_MiniLoader();
    int p_Reload();
    int p_WaitStart(int mode);
    int p_FirstLoader();
    // The first image the start-up loader needs (at any of the three image levels) that the
    // data folder lacks or cannot give, as its name under the folder; empty when all are
    // there. Asked before the window opens, so a broken install is named, not shown empty.
    static String p_FirstMissingDataFile();

    // ---- Effects: particles, stars and decorations
    int p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed);
    int p_FreeParticle();
    int p_ResetParticles(int n);
    int p_DoParticles();
    int p_ResetStars(int n);
    int p_DoStars(float dx, float dy);
    int p_PutMisc(int i, int initial);
    int p_ResetMisc(int n);
    int p_DoMisc(float dx, float dy, int layers);
    int p_Ink(int colour, int brightness);

    // ---- Spike course, level set-up and win rules
    int p_AddSpike();
    int p_LoadGame_Ball();
    int p_DidIWin();

    // ---- Ball play
    int p_Game_Ball();
    int p_InGame();
    int p_FindFloor();

    // ---- Save data and badges
    int p_Load();
    int p_Save();
    String p_BadgeID(int n);
    String p_BadgeName(int n);
    int p_GiveBadge(int n);
    int p_ShowBadges();

    // ---- Menu, level select and the results panel
    int p_Menu();
    int p_LoadMenu();
    int p_UnlockAllTheLevels();
    int p_GameOver();
    String p_MyNth();

    // ---- Options, pause and quit panels; the online ping
    int p_OptionBox();
    int p_PauseMenu();
    int p_OuyaQuit();
    int p_GetURL(const String& url, const String& query);
    // The ping's completion; the request interface's callback forwards here.
    int p_OnHttpRequestComplete(c_HttpRequest* request);
    void OnHttpRequestComplete(c_HttpRequest* request) override {
        p_OnHttpRequestComplete(request);
    }

    // ======== Fields ========

    // Play core arrays.
    std::array<float, 5100> m_stars{};
    int m_i = 0;
    std::array<int, kLevelSlots> m_levelTheme{};
    std::array<int, kLevelSlots> m_levelTarget{};
    std::array<int, kLevelSlots> m_levelKind{};
    std::array<int, kLevelSlots> m_levelParam{};
    std::array<String, kLevelSlots> m_levelPattern{};
    std::array<std::unique_ptr<c_Image>, kImageSlots> m_images;
    std::array<int, kImageSlots * 3> m_fontMetrics{};
    std::array<int, 15> m_badgeQueue{};
    std::array<int, 15> m_badgeTimers{};
    std::array<bool, 256> m_badges{};
    std::array<int, kButtonCount> m_buttons{};
    std::array<int, 25> m_settings{};
    std::array<int, 25000> m_records{};
    std::array<int, kAudioChannels> m_sfxChannels{};
    std::array<float, kDrawFloats> m_drawList{};
    std::array<int, kTouchSlots> m_touchDown{};
    std::array<int, kTouchSlots> m_touchX{};
    std::array<int, kTouchSlots> m_touchY{};
    std::array<float, 512> m_ball{};
    std::array<std::unique_ptr<c_Sound>, kSoundSlots> m_sfx;
    std::array<float, 5100> m_misc{};
    std::array<float, 5100> m_particles{};
    std::array<float, 500> m_orbiters{};
    std::array<float, 52000> m_spikes{};
    std::array<float, 100> m_popups{};
    String m_pattern;
    std::array<float, 512> m_pausePanel{};

    // Play core scalars.
    int m_theme = 0;
    int m_level = 0;
    int m_paused = 0;
    int m_floorRows = 0;
    int m_goHeld = 0;
    float m_floorY = 0;
    int m_score = 0;
    int m_param = 0;
    int m_bestLeap = 0;
    int m_bestSuper = 0;
    int m_lost = 0;
    int m_won = 0;
    int m_kind = 0;
    int m_target = 0;
    int m_chaserAhead = 0;
    float m_analogX = 0;
    float m_rollSpeed = 0;
    int m_super = 0;
    int m_playFrames = 0;
    int m_roundOver = 0;
    float m_camX = 0;
    float m_camTargetX = 0;
    float m_camY = 0;
    float m_camTargetY = 0;
    int m_groundY = 0;
    float m_comboTimer = 0;
    float m_comboTimerPrev = 0;
    int m_leap = 0;
    int m_restY = 0;
    float m_gravity = 0;
    float m_bounceSpeed = 0;
    int m_goalFrames = 0;
    int m_popupIndex = 0;
    int m_chaserX = 0;
    int m_chaserFrame = 0;
    int m_chaserTilt = 0;
    int m_chaserBob = 0;
    int m_paramShown = 0;
    int m_paramReached = 0;
    int m_endSoundDone = 0;
    int m_scoreShown = 0;

    // Per-theme rules set by p_GfxRules.
    int m_trail = 0;
    int m_ballHalfW = 0;
    int m_ballHalfH = 0;
    int m_ballStyle = 0;
    float m_tilt = 0;
    int m_allowBack = 0;
    int m_themeKeys = 0;

    // Draw state and the frame background.
    int m_drawCount = 0;
    float m_drawScaleX = 0;
    float m_drawScaleY = 0;
    float m_drawRot = 0;
    float m_drawR = 0;
    float m_drawG = 0;
    float m_drawB = 0;
    float m_drawAlpha = 0;
    int m_drawBlend = 0;
    float m_clsR = 0;
    float m_clsG = 0;
    float m_clsB = 0;
    float m_clsAlpha = 0;
    float m_bgTargetR = 0;
    float m_bgTargetG = 0;
    float m_bgTargetB = 0;
    float m_bgR = 0;
    float m_bgG = 0;
    float m_bgB = 0;
    int m_font = 0;

    // Replay: the screen fit and the render rate.
    float m_imageScale = 0;
    float m_scaleX = 0;
    float m_scaleY = 0;
    int m_scaleMode = 0;
    int m_landscape = 0;
    int m_lastDevW = 0;
    int m_lastDevH = 0;
    int m_renderMillis = 0;
    int m_renderFpsNow = 0;
    int m_renderFps = 0;

    // Loaders.
    int m_loadStep = 0;
    int m_miniLoadStep = 0;
    int m_variant = 0;
    int m_hdLevel = 0;
    int m_loadedTheme = 0;
    float m_spin = 0;
    int m_ouyaLayout = 0;
    int m_iconStyle = 0;

    // Frame driver and screens.
    int m_screen = 0;
    int m_fullscreen = 0;
    int m_hideOverlay = 0;
    int m_introFrames = 0;
    int m_introShown = 0;
    float m_menuY = 0;
    float m_menuYTarget = 0;
    int m_updateMillis = 0;
    int m_updateFpsNow = 0;
    int m_updateFps = 0;

    // Pointer and touch, sampled each tick; the two input latches.
    int m_pointerX = 0;
    int m_pointerY = 0;
    int m_prevPointerX = 0;
    int m_prevPointerY = 0;
    int m_prevMouseDown = 0;
    int m_pointerDown = 0;
    int m_mouseHit = 0;
    int m_pointerLatch = 0;
    int m_backLatch = 0;

    // Controls.
    float m_analogY = 0;
    // No anchor until a pointer goes down (also before the first frame of play).
    int m_stickAnchorX = -1;
    int m_stickAnchorY = -1;
    float m_keyRampX = 0;
    float m_keyRampY = 0;

    // Sound.
    int m_sfxVoice = 0;
    int m_musicPlaying = 0;

    // Effects pools.
    int m_starCount = 100;
    int m_miscLast = 20;
    int m_particleLast = 250;

    // Pause and options panels.
    int m_pauseTop = 0;
    int m_pauseFade = 0;
    int m_pauseDir = 0;
    int m_pauseY = 0;
    float m_pauseGlowA = 25.0f;
    float m_pauseGlowB = 25.0f;
    int m_optionsOpen = 0;
    int m_optionsSlide = 0;
    int m_relockStage = 0;

    // Online ping.
    String m_pingText;
    // The request in flight; dropped once it has answered.
    std::unique_ptr<c_HttpRequest> m_pingRequest;
    int m_pingDone = 0;

    // Save data and badges.
    // The menu's selected tile (level number - 1), saved as setting 4 and restored by p_Load.
    int m_menuLevel = 0;

    // Spike course, level set-up and win rules.
    int m_num = 0;          // the head-up counter's value; play also sets it at each bounce
    int m_resultsTimer = 0; // ticks of the results panel, 0 when a level starts

    // Ball play.
    int m_spikeMillis = 0; // clock of the spike pass; frozen once the round is over

    // Menu, level select and results.
    std::array<int, 100> m_menuStats{}; // totals over all levels, recomputed each menu tick
    int m_menuOpenCount = 1;            // levels open (tiles 0 .. count - 1), each menu tick
    int m_detailSlide = 0;              // detail panel: 0 closed, 1..1280 open, < 0 closing
    int m_unlockStep = 0;               // progress in the hidden unlock codes
    int m_targetDiff = 0;               // score minus the level parameter (Target kind)
    float m_menuDragY = 0;              // pointer y the list last followed
    float m_menuBobAngle = 0;           // degrees; the highest open tile bobs with it
    float m_menuCogAngle = 0;           // degrees; the options button turns with it
    int m_menuRepeatDelay = 30;         // ticks before the next key repeat
    int m_menuRepeatWait = 0;           // ticks left until a held direction moves again
    int m_menuSideHeld = 0;             // left (1) and right (2) held at the previous tick
    float m_menuTicker = 0;             // credit ticker position in units

    // Options, pause and quit panels.
    int m_optionsCursor = 0; // 0 the back button, then the shown lines from 1
    int m_optKeyDone = 0;    // a key press was acted on; cleared once no button is down
    int m_optTouchDone = 0;  // a touch was acted on; cleared once no pointer is down
    float m_cogAngle = 0;
    int m_pauseChoice = 0; // -1 back to the menu, 0 resume, 1 options

    // The player's notice about their progress file (c_MyApp_notice.cpp): up to three lines,
    // shown at the bottom of the window over every screen.
    static constexpr int kNoticeLines = 3;
    // Shows a notice (empty lines are left out), replacing one already shown.
    int p_Notice(const String& first, const String& second, const String& third);
    std::array<String, kNoticeLines> m_noticeLines;
    std::array<String, kNoticeLines> m_noticeFitted; // cut to the screen's width
    int m_noticeFitWidth = 0;
    int m_noticeShown = 0;
    int m_noticeTicks = 0;     // updates it has been shown
    int m_damagedCopyOwed = 0; // a damaged state file could not be copied aside yet

  private:
    // The next free command of the draw list, or nullptr when the list is full.
    float* newCommand();
    // Appends a rectangle, oval or line command stamped with the current draw state.
    int appendShape(float kind, float a, float b, float w, float h);
    // Whether a touch slot in firstSlot..lastSlot lies within half the image's loaded size.
    bool touchOnImage(int image, float x, float y, int firstSlot, int lastSlot) const;
    // Fills the level table by the group rule, then writes the hand-made levels over it.
    void buildLevelTable();

    // Steps of one update tick, in the order p_OnUpdate runs them.
    void readBackKey();
    void showNotice();
    void fitNotice();
    // Keeps a damaged state file aside and tells the player; false when no copy could be made.
    bool keepDamagedState();
    // Tells the player their progress was not saved (the notice), for a save that failed.
    void noticeSaveFailed();
    void handleHotKeys();
    void musicFollowsPause();
    void measureUpdateRate();
    void samplePointer();
    void updateLatches();
    void dispatchScreen();
    void runPanels();
    void decodeICade();
    void drawDebugLine();
    // Suspend and resume share these two rules.
    void resetButtonsAndKeyboard();
    void pauseIfPlaying();

    // Loader helpers: the image level from the window size, file and world image names.
    void computeResolutionLevel();
    String imageFileName(const String& name) const;
    String worldName(const char* base, int theme);
    // A start-up loader world row's image name: base and the theme already loaded.
    String loaderWorldName(const char* base);
    void loadThemeSound3();
    void drawSpinner();
    // Starts decoding the images of start-up loader steps first to last ahead of their turn.
    void prefetchLoaderSteps(int first, int last);
    // Starts decoding the world images of m_theme (and m_variant) that the theme loader loads.
    void prefetchThemeImages();

    // Save data and badges.

    // Effects.

    // Spike course, level set-up and win rules.
    // Places the round's decorations: every placement up to the star count, per theme.
    void placeRoundDecorations();
    // The kind's head-up counter at the top right, with its icon row; in the Bounces kind a
    // count below 1 ends the round. The round's frame calls it in its kind-display step
    // (after the score popups), whether or not the overlay is hidden.
    void drawKindCounter();
    // The kind's icon and title, arriving from above and below and resting at m_playFrames
    // 60. The round's frame calls it while m_playFrames is below 120, after the title overlay.
    void drawStartTitle();
    // Tests reach the kind display through this probe.
    friend struct KindDisplayProbe;

    // Ball play: the steps of one frame of p_Game_Ball, in the order they run.
    bool roundRuns() const;
    float slopeFactor() const;
    void readPlayInput();
    void overrideSpeed();
    void easeCamera();
    float easeGlow();
    void beginWorld();
    void beginSlope();
    void endWorld();
    float miscSway() const;
    void drawBackdrop(float floorAlpha);
    void drawFloorLayer(float parallax, float alpha, float swayScale, float swayRate);
    void runComboTimer();
    void moveBall();
    void bounceBall();
    void burstBall();
    void recordBallHistory();
    void drawBall(float floorAlpha);
    void drawBallImage(float x, float y, float spin, float frame);
    void runOrbiters();
    void runSpikes(float floorAlpha);
    void spikeStep(int slot, float floorAlpha);
    float moveSpikeHead(float* spike, float sx, float sy, float& alpha);
    void runButtonWall(float* spike, float sx, float sy);
    void drawSpike(const float* spike, float sx, float sy, float alpha, int number);
    void passSpike(int number);
    void giveRoundBadges();
    void throwPopup();
    void listPassValue(int number, int value);
    bool spikeHitsBall(const float* spike, float sx, float sy) const;
    void crash();
    void drawPassValues();
    void runChasers();
    void runSheep();
    void runLava();
    void runStartSequence();
    void drawTitleOverlay();
    void runPopups();
    void drawPopup(const float* pop);
    void runEndChecks();
    void drawScoreLine();
    void drawComboBar(float cx);
    void drawRoundText(float x, float y, const String& text, float scale);

    // Menu, level select and results.
    // Totals, the open count and the badges they earn.
    void menuTotals();
    void menuBackdrop();
    void menuOptionsButton();
    // The tile snake: draws and tests every visible tile; returns the y below level 1.
    float menuTiles();
    void menuTile(int index, float x, float y);
    void menuTilePress(int index, float x, float y);
    void menuCorners();
    void menuDrag(float yBelowFirst);
    void menuKeys();
    void menuSideCode();
    void menuStartLevel();
    void menuDetailPanel();
    void resultsVerdict(float bar);

    // Options, pause and quit panels; the ping.
};
