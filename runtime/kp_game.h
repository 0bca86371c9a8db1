// The host contract: KpGame is the platform-neutral base that owns the delegate, guards and
// forwards every lifecycle and input event, and answers the platform services with defaults.
// The desktop host (KpGlfwGame) and the headless host (KpHeadlessGame) are its two backends.
// File services (paths, state file, decoding) are declared here and built in kp_files.cpp.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/kp_memory_return.h"
#include "runtime/kp_object.h"
#include "runtime/kp_state_file.h"
#include "runtime/kp_string.h"

class KpImagePrefetch;

// Receiver of every host event (the application's delegate); the base versions do nothing.
class KpGameDelegate : public Object {
  public:
    virtual void StartGame() {}
    virtual void SuspendGame() {}
    virtual void ResumeGame() {}
    virtual void UpdateGame() {}
    virtual void RenderGame() {}
    virtual void KeyEvent(int /*event*/, int /*data*/) {}
    virtual void MouseEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/) {}
    virtual void TouchEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/) {}
    virtual void MotionEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/, float /*z*/) {}
    virtual void DiscardGraphics() {}
};

struct KpDisplayMode {
    int width = 0;
    int height = 0;
};

// Bytes handed from the loaders to their callers, released with free().
struct KpFree {
    void operator()(void* p) const { std::free(p); }
};
using KpBytes = std::unique_ptr<unsigned char[], KpFree>;

// Event codes shared by the host, the delegate and the input device.
enum KpEvent {
    kEventKeyDown = 1,
    kEventKeyUp = 2,
    kEventKeyChar = 3,
    kEventMouseDown = 4,
    kEventMouseUp = 5,
    kEventMouseMove = 6,
    kEventTouchDown = 7,
    kEventTouchUp = 8,
    kEventTouchMove = 9,
    kEventMotionAccel = 10,
};

constexpr int kKeyBack = 416;
constexpr int kKeyClose = 432;
constexpr int kJoyButtons = 32;
constexpr int kJoyAxes = 2; // two sticks of x, y and z

class KpGame : public Object {
  public:
    static KpGame* _game; // the one host of the process

    KpGame();
    ~KpGame() override;

    virtual void SetDelegate(KpGameDelegate* delegate) { delegate_ = delegate; }
    virtual KpGameDelegate* Delegate() { return delegate_; }
    virtual void SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }
    virtual bool KeyboardEnabled() { return keyboardEnabled_; }
    virtual void SetUpdateRate(int hertz) { updateRate_ = hertz; }
    virtual int UpdateRate() { return updateRate_; }
    virtual bool Started() { return started_; }
    virtual bool Suspended() { return suspended_; }
    virtual int Millisecs() { return 0; }
    // Fills up to count (at most 7) entries: year, month, day, hour, minute, second, 0.
    virtual void GetDate(int* date, int count);

    // State file and text (kp_files.cpp).
    virtual int SaveState(const String& state);
    virtual String LoadState();
    virtual String LoadString(const String& path);
    // The state file's safety (kp_files.cpp). Its path as the player finds it: absolute, at
    // the end of any symbolic links.
    std::string StateFilePath();
    bool StateFileExists();
    // Takes the player folder's lock for the life of the process; the desktop start does.
    KpFolderLock LockStateFolder();
    // Whether a game has run with this folder before (its lock file was there).
    bool StateFolderUsedBefore();
    // Copies the state file aside unchanged, before a save can replace it; returns the copy's
    // path, or empty when none could be made.
    std::string KeepDamagedState();
    // Why the last save failed, in the system's words; empty after a save that worked.
    const std::string& SaveProblem() const { return saveProblem_; }
    // Where the player's progress is kept, as the notice about a failed save names it: the
    // state file's path on the desktop.
    virtual std::string StateStoreName() { return StateFilePath(); }
    // A save that failed after SaveState had returned success, on a host that stores the file
    // later (the browser's sync to its storage): the host reports it with the reason, and the
    // game takes it once, at its next update, to tell the player as for a failed write.
    void LateSaveFailed(const std::string& why);
    bool TakeLateSaveFailure();

    // joyx, joyy, joyz hold kJoyAxes values each; buttons holds kJoyButtons flags.
    virtual bool PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons);
    virtual void OpenUrl(const String& /*url*/) {}
    virtual void SetMouseVisible(bool /*visible*/) {}
    virtual int GetDeviceWidth() { return 0; }
    virtual int GetDeviceHeight() { return 0; }
    virtual void SetDeviceWindow(int /*width*/, int /*height*/, int /*flags*/) {}
    virtual std::vector<KpDisplayMode> GetDisplayModes() { return {}; }
    virtual std::optional<KpDisplayMode> GetDesktopMode() { return std::nullopt; }
    virtual void SetSwapInterval(int /*interval*/) {}

    // Files (kp_files.cpp): the base maps no paths and decodes nothing.
    virtual String PathToFilePath(const String& path) { return path; }
    virtual FILE* OpenFile(const String& path, const String& mode);
    // Whether a data file can be read now or, on a host that fetches data as needed, later.
    virtual bool HasDataFile(const String& path);
    virtual KpBytes LoadData(const String& path, int* length);
    virtual KpBytes LoadImageData(const String& path, int* width, int* height, int* depth);
    // Starts decoding an image a later LoadImageData will ask for; the base decodes nothing.
    virtual void PrefetchImage(const String& /*path*/) {}
    // The prefetcher, once something was prefetched; none before.
    KpImagePrefetch* ImagePrefetch() { return imagePrefetch_.get(); }
    virtual KpBytes LoadAudioData(const String& path, int* length, int* channels, int* format,
                                  int* hertz);

    // The fatal report for a thrown object that escaped.
    [[noreturn]] virtual void Die(const ThrowableObject* thrown);
    // Run after every event wrapper's delegate call; nothing depends on it.
    virtual void Housekeeping() {}
    // Notes that bytes were released at once (an image's pixels and texture, a window's
    // buffers); the frame loop gives free memory back to the system once things settle.
    void NoteMemoryReleased(size_t bytes) { memoryReturn_.Note(bytes); }
    KpMemoryReturn& MemoryReturn() { return memoryReturn_; }

    // Event wrappers: check the guard, call the delegate, report escaped throws.
    void StartGame();
    void SuspendGame();
    void ResumeGame();
    void UpdateGame();
    void RenderGame();
    void KeyEvent(int event, int data);
    void MouseEvent(int event, int data, float x, float y);
    void TouchEvent(int event, int data, float x, float y);
    void MotionEvent(int event, int data, float x, float y, float z);
    void DiscardGraphics();

  protected:
    template <typename Call> void guarded(Call call);
    // The state file's path as mapped, at the end of any symbolic links (kp_files.cpp).
    std::string stateTarget();
    // The desktop decoders on a file opened through OpenFile; for the hosts that read files.
    // Takes the pixels from the prefetcher when the path was prefetched.
    KpBytes decodeImageAt(const String& path, int* width, int* height, int* depth);
    // Opens the file now and hands it to the prefetcher's workers.
    void prefetchImageAt(const String& path);
    KpBytes decodeAudioAt(const String& path, int* length, int* channels, int* format, int* hertz);

    KpGameDelegate* delegate_ = nullptr;
    bool keyboardEnabled_ = false;
    std::unique_ptr<KpImagePrefetch> imagePrefetch_; // made on the first prefetch
    KpMemoryReturn memoryReturn_;
    std::string saveProblem_;
    bool lateSaveFailure_ = false;         // reported by the host, not yet taken by the game
    std::optional<bool> folderUsedBefore_; // known once the lock was asked for
    int updateRate_ = 0;
    bool started_ = false;
    bool suspended_ = false;
};

// Incremented each time a window, and so a new OpenGL context, is opened.
extern int glfwGraphicsSeq;
// The device size in pixels as the app module last validated it (kp_app_ValidateDeviceWindow);
// the graphics module starts each frame with the scissor set to it.
extern int kp_app__devWidth;
extern int kp_app__devHeight;

// The desktop file services, shared by the desktop and headless hosts.
String kpDesktopPathToFilePath(const String& path);
KpBytes kpDecodeImageFile(FILE* file, int* width, int* height, int* depth);
KpBytes kpDecodeAudioFile(const String& path, FILE* file, int* length, int* channels, int* format,
                          int* hertz);
