#pragma once

// Test doubles of every platform service: deterministic, in memory, recording what the
// windows asked of them.

#include "platform/errors.h"
#include "platform/nodisplay.h"
#include "platform/services.h"

#include <QPointer>

#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class FakeRuntime : public Runtime {
  public:
    std::string AppPath() const override { return appPath; }
    std::string Title() const override { return "virtual pet Pimbolet"; }
    int Major() const override { return 4; }
    int Minor() const override { return 1; }
    bool PrevInstance() override {
        ++prevInstanceCalls;
        return otherCopyRunning;
    }
    float ScreenWidth() const override { return screenWidth; }
    float ScreenHeight() const override { return screenHeight; }
    float TwipsPerPixelX() const override { return 15; }
    float TwipsPerPixelY() const override { return 15; }
    ScreenPlacement PrimaryScreen() const override { return primary; }
    // The monitors set in `screens`, or the primary one alone.
    std::vector<ScreenArea> Screens() const override {
        return screens.empty() ? std::vector<ScreenArea>{{0, 0, screenWidth, screenHeight}}
                               : screens;
    }
    void WatchScreens(QObject& watcher, std::function<void()> changed) override {
        watchers.push_back({&watcher, std::move(changed)});
    }
    // The monitors are now `now` (the primary one first), as the watchers hear.
    void ChangeScreens(std::vector<ScreenArea> now) {
        screens = std::move(now);
        screenWidth = screens.front().width;
        screenHeight = screens.front().height;
        for (const auto& [watcher, changed] : watchers)
            if (watcher) changed();
    }
    void SetMousePointer(int pointer) override { pointers.push_back(pointer); }
    void DoEvents() override { ++doEvents; }
    [[noreturn]] void End(EndStatus status) override {
        ended = true;
        endStatus = static_cast<int>(status);
        throw ProgramEnded{endStatus};
    }
    std::string WebHost() const override { return webHost; }

    std::string appPath = "/opt/pimbolet";
    bool otherCopyRunning = false;
    int prevInstanceCalls = 0;
    float screenWidth = 1024 * 15;
    float screenHeight = 768 * 15;
    ScreenPlacement primary;
    std::vector<ScreenArea> screens;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> watchers;
    std::vector<int> pointers;
    int doEvents = 0;
    bool ended = false;
    int endStatus = -1; // what the program's parent would see
    std::string webHost = "maker.test";
};

class FakeClock : public Clock {
  public:
    Date Now() override { return now; }
    Date now = 46000.5;
};

// Hands out scripted numbers in order, then `fallback` for ever.
class FakeRandom : public RandomSource {
  public:
    float Rnd() override {
        ++draws;
        if (script.empty()) return fallback;
        const float r = script.front();
        script.pop_front();
        return r;
    }
    void Randomize() override { ++seeded; }
    std::vector<float> Upcoming(int count) const override {
        std::vector<float> values(
            script.begin(),
            script.begin() +
                std::min<std::ptrdiff_t>(count, static_cast<std::ptrdiff_t>(script.size())));
        values.resize(static_cast<size_t>(std::max(count, 0)), fallback);
        return values;
    }

    // The number that makes a draw from 0..n-1 give k.
    static float For(int k, int n) {
        return (static_cast<float>(k) + 0.5f) / static_cast<float>(n);
    }
    void Push(int k, int n) { script.push_back(For(k, n)); }

    std::deque<float> script;
    float fallback = 0.0f;
    int draws = 0;
    int seeded = 0;
};

class FakeFiles : public FileSystem {
  public:
    static std::string Normal(const std::string& path);
    bool Exists(const std::string& path) override;
    void Kill(const std::string& path) override;
    void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) override;
    std::vector<std::string> ReadLines(const std::string& path) override;

    // Adds the nine wave files under a program folder.
    void AddWaves(const std::string& folder);

    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> lookedUp;
    std::set<std::string> failingLookups;
    bool failWrites = false;
};

class FakeSettings : public SettingsStore {
  public:
    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& def) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;

    // Values by "app/section/key".
    std::map<std::string, std::string> values;
    std::vector<std::string> saved; // keys in the order of their saves
    std::string failSaves;          // when set, every save fails with this description
    std::string failReads;          // when set, every read fails with this description
    std::vector<std::string>* journal = nullptr;
    bool Has(const std::string& key) const { return values.count(Key(key)) != 0; }
    std::string Get(const std::string& key) const { return values.at(Key(key)); }
    void Set(const std::string& key, const std::string& value) { values[Key(key)] = value; }
    static std::string Key(const std::string& key) {
        return "virtual pet Pimbolet/Settings/" + key;
    }
};

class FakeMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        std::string prompt;
        int style;
        std::string caption;
    };
    int MsgBox(const std::string& prompt, int style, const std::string& caption) override {
        shown.push_back({prompt, style, caption});
        if (whileShown) whileShown();
        if (answers.empty()) return (style & 7) == mb::YesNo ? mb::No : mb::OK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Shown> shown;
    std::deque<int> answers;
    // Runs while a box waits for its answer, as other events may.
    std::function<void()> whileShown;
};

// A sound device whose playing position the test moves by hand.
class FakeMultimedia : public MultimediaDevice {
  public:
    std::string FileName() const override { return fileName; }
    void SetFileName(const std::string& name) override { fileName = name; }
    void Command(const std::string& command) override;
    long Length() const override { return length; }
    long Position() const override { return position; }

    // Lets the open sound play to its end.
    void Finish() { position = length; }

    std::string fileName;
    long length = 0;
    long position = 0;
    long lengthOnOpen = 1000;
    std::vector<std::string> commands; // "Open <file>", "Play", "Close"
    std::vector<std::string>* journal = nullptr;
    std::vector<std::string> played; // file names given "Play"
};

class FakeInternetTransfer : public InternetTransfer {
  public:
    std::vector<uint8_t> OpenURL(const std::string& url) override {
        urls.push_back(url);
        if (failWith) throw RuntimeError(failWith, failDescription);
        return body;
    }
    std::vector<uint8_t> body;
    int failWith = 0;
    std::string failDescription = "Unable to connect to remote host";
    std::vector<std::string> urls;
};

class FakeWebBrowserFactory : public WebBrowserFactory {
  public:
    std::unique_ptr<WebBrowserObject> CreateInternetExplorer() override;
    int created = 0;
    std::vector<std::string> navigated;
    int failCreateWith = 0;
    int failNavigateWith = 0;
};

class FakeShellTray : public ShellTray {
  public:
    bool Shell_NotifyIcon(uint32_t message, const std::array<uint8_t, 88>& record) override {
        calls.push_back({message, record});
        if (journal) journal->push_back(message == nim::Delete ? "tray delete" : "tray add");
        return true;
    }
    std::vector<std::string>* journal = nullptr;
    struct Call {
        uint32_t message;
        std::array<uint8_t, 88> record;
    };
    std::vector<Call> calls;
};

class FakeWindowStacking : public WindowStacking {
  public:
    struct Call {
        HWND hwnd;
        HWND insertAfter;
        int x, y, cx, cy;
        uint32_t flags;
    };
    long SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                      uint32_t flags) override {
        calls.push_back({hwnd, insertAfter, x, y, cx, cy, flags});
        return 1;
    }
    std::vector<Call> calls;
};

// Every fake, bundled as the windows expect them.
struct FakePlatform {
    FakePlatform();

    FakeRuntime runtime;
    FakeClock clock;
    FakeRandom random;
    FakeFiles files;
    FakeSettings settings;
    FakeMessageBoxes msgbox;
    FakeMultimedia sound;
    FakeInternetTransfer inet;
    FakeWebBrowserFactory browser;
    FakeShellTray tray;
    FakeWindowStacking stacking;
    NoDisplay display;
    Services services;
};
