#pragma once

#include "datetime.h"
#include "windowdisplay.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The runtime services the windows call. Each has a real implementation (platform/qt) and a
// test fake (tests/fakes). Errors come as RuntimeError; End() never returns.

class QObject;

using HWND = uint32_t;

// What the program's parent sees when it ends: a start that was refused for a fault is a
// failure, so that a script starting the pet can tell it from an ordinary end.
enum class EndStatus { Done = 0, Failed = 1 };

// The primary monitor as the display sees it. Left and Top count from its top-left corner,
// given in the display's own pixels; each pixel of the screen the windows measure (the one
// that twips per pixel describe) is drawn as devicePixelRatio display pixels: 2 on a screen
// drawn at twice the size, 1.25 at 120 dots per inch.
struct ScreenPlacement {
    int x = 0;
    int y = 0;
    double devicePixelRatio = 1.0;
};

// A monitor's area in twips, counted from the primary monitor's top-left corner as the windows'
// Left and Top are.
struct ScreenArea {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

class Runtime {
  public:
    virtual ~Runtime() = default;
    // The folder that holds the program, without a trailing separator.
    virtual std::string AppPath() const = 0;
    virtual std::string Title() const = 0;
    virtual int Major() const = 0;
    virtual int Minor() const = 0;
    // True when another copy of the program is already running for this user.
    virtual bool PrevInstance() = 0;
    virtual float ScreenWidth() const = 0;  // twips
    virtual float ScreenHeight() const = 0; // twips
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
    virtual ScreenPlacement PrimaryScreen() const = 0;
    // Every monitor's area, the primary one's (0, 0, ScreenWidth, ScreenHeight) among them.
    virtual std::vector<ScreenArea> Screens() const = 0;
    // Calls `changed` each time the monitors have changed (one came or went, one took another
    // size or place, another one became the primary), for as long as `watcher` lives.
    virtual void WatchScreens(QObject& watcher, std::function<void()> changed) = 0;
    // The program-wide mouse pointer: 0 default, 11 hourglass.
    virtual void SetMousePointer(int pointer) = 0;
    // Lets the events that are waiting run once.
    virtual void DoEvents() = 0;
    // Ends the program at once: no window is unloaded, nothing more runs.
    [[noreturn]] virtual void End(EndStatus status) = 0;
    // The maker's web host, with a ":port" when it has one.
    virtual std::string WebHost() const = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual Date Now() = 0; // to the second
};

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual float Rnd() = 0; // uniform in [0, 1)
    virtual void Randomize() = 0;
    // What the coming calls of Rnd() will give, without drawing them: up to `count` values,
    // fewer (or none) past what the source can tell.
    virtual std::vector<float> Upcoming(int count) const {
        (void)count;
        return {};
    }
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // A normal file (not a folder, not hidden) at this path. Backslashes count as separators.
    virtual bool Exists(const std::string& path) = 0;
    virtual void Kill(const std::string& path) = 0;
    virtual void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
    // Lines end at CR or CR LF; a lone LF is no end mark; a last line without an end mark counts.
    virtual std::vector<std::string> ReadLines(const std::string& path) = 0;
};

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // An absent key, section or store gives the default; a store that is there but cannot be
    // read is an error, never taken for an empty one.
    virtual std::string GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& def) = 0;
    // Reaches the disk at once and whole: a save is never left half-written.
    virtual void SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

namespace mb {
constexpr int OKOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int Yes = 6;
constexpr int No = 7;
constexpr int OK = 1;
} // namespace mb

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // An empty caption means the application title.
    virtual int MsgBox(const std::string& prompt, int style, const std::string& caption) = 0;
};

// The multimedia control: one wave file at a time.
class MultimediaDevice {
  public:
    virtual ~MultimediaDevice() = default;
    virtual std::string FileName() const = 0;
    virtual void SetFileName(const std::string& name) = 0;
    // "Open", "Play" or "Close".
    virtual void Command(const std::string& command) = 0;
    virtual long Length() const = 0;   // 0 while no file is open
    virtual long Position() const = 0; // equals Length once the file has played to its end
};

class InternetTransfer {
  public:
    virtual ~InternetTransfer() = default;
    // The whole body of the URL, or a RuntimeError.
    virtual std::vector<uint8_t> OpenURL(const std::string& url) = 0;
};

class WebBrowserObject {
  public:
    virtual ~WebBrowserObject() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual void Navigate(const std::string& url) = 0;
};

class WebBrowserFactory {
  public:
    virtual ~WebBrowserFactory() = default;
    virtual std::unique_ptr<WebBrowserObject> CreateInternetExplorer() = 0;
};

// The notification-icon record, first form.
struct NotifyIconData {
    uint32_t cbSize = 0;
    HWND hWnd = 0;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    uint32_t hIcon = 0;
    std::string szTip; // 64 characters: the tip, a NUL, spaces

    // The 88-byte form handed to the shell.
    std::array<uint8_t, 88> Bytes() const;
};

namespace nim {
constexpr uint32_t Add = 0;
constexpr uint32_t Delete = 2;
} // namespace nim

// The mouse messages a tray icon sends its window: a mouse move whose X, in pixels, is the
// message's number.
namespace trayclick {
constexpr uint32_t LeftDown = 0x201;
constexpr uint32_t RightDown = 0x204;
} // namespace trayclick

class ShellTray {
  public:
    virtual ~ShellTray() = default;
    virtual bool Shell_NotifyIcon(uint32_t message, const std::array<uint8_t, 88>& record) = 0;
};

namespace swp {
constexpr HWND Topmost = static_cast<HWND>(-1);
constexpr HWND NoTopmost = static_cast<HWND>(-2);
constexpr uint32_t NoSizeNoMove = 3;
} // namespace swp

class WindowStacking {
  public:
    virtual ~WindowStacking() = default;
    virtual long SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                              uint32_t flags) = 0;
};

// Everything a window may call, handed in by main() or by a test.
struct Services {
    Runtime& runtime;
    Clock& clock;
    RandomSource& random;
    FileSystem& files;
    SettingsStore& settings;
    MessageBoxes& msgbox;
    MultimediaDevice& sound;
    InternetTransfer& inet;
    WebBrowserFactory& browser;
    ShellTray& tray;
    WindowStacking& stacking;
    WindowDisplay& display;
};
