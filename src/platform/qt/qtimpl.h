#pragma once

// The real services, one class each; QtPlatform bundles them.

#include "platform/services.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMessageBox>
#include <QObject>

#include <memory>
#include <random>

class PulsePlayer;
class QSystemTrayIcon;
struct WaveSound;

// Windows name files with backslashes: in the part of the path after the program's folder,
// both kinds of separator, doubled or not, name one. The folder itself is taken as it stands,
// backslashes and all.
QString nativePath(const std::string& path, const std::string& programFolder);
QString nativePath(const std::string& path);

class QtRuntime : public Runtime {
  public:
    QtRuntime() = default;
    ~QtRuntime() override;
    QtRuntime(const QtRuntime&) = delete;
    QtRuntime& operator=(const QtRuntime&) = delete;
    std::string AppPath() const override;
    std::string Title() const override { return kTitle; }
    int Major() const override { return 4; }
    int Minor() const override { return 1; }
    bool PrevInstance() override;
    float ScreenWidth() const override;
    float ScreenHeight() const override;
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    ScreenPlacement PrimaryScreen() const override;
    void SetMousePointer(int pointer) override;
    void DoEvents() override;
    [[noreturn]] void End(EndStatus status) override;
    std::string WebHost() const override;

    // The file whose lock marks a copy running on this user's settings.
    static QString instanceLockPath();
    // Where the lock is taken when that file cannot be opened: in the session's runtime
    // folder, named after the settings file's real path. Empty without a runtime folder.
    static QByteArray fallbackLockPath();

  private:
    static constexpr const char* kTitle = "virtual pet Pimbolet";
    int m_instanceLock = -1;
    int m_fallbackLock = -1;
};

class QtClock : public Clock {
  public:
    Date Now() override;
};

class QtRandom : public RandomSource {
  public:
    float Rnd() override;
    void Randomize() override;
    std::vector<float> Upcoming(int count) const override;

  private:
    static float fromBits(std::mt19937::result_type bits);
    std::mt19937 m_engine{327680};
};

class QtFiles : public FileSystem {
  public:
    bool Exists(const std::string& path) override;
    void Kill(const std::string& path) override;
    void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) override;
    std::vector<std::string> ReadLines(const std::string& path) override;
};

class QtSettings : public SettingsStore {
  public:
    // The file that holds the settings of this application name, as the file system's bytes
    // and as text for showing.
    static QByteArray filePath(const std::string& app);
    static QString fileName(const std::string& app);
    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& def) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

class QtMessageBoxes : public MessageBoxes {
  public:
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };

    explicit QtMessageBoxes(Runtime& runtime) : m_runtime(runtime) {}
    int MsgBox(const std::string& prompt, int style, const std::string& caption) override;

    // The box for a style code, made but not shown; `choices` receives each button's answer.
    std::unique_ptr<QMessageBox> build(const std::string& prompt, int style,
                                       const std::string& caption,
                                       std::vector<Choice>& choices) const;
    // The answer for what exec() returned.
    static int answer(int clicked, const std::vector<Choice>& choices);

  private:
    Runtime& m_runtime;
};

// Wave files played on the PulseAudio server; see qtmedia.cpp for how the position is kept.
class QtMultimedia : public MultimediaDevice {
  public:
    QtMultimedia();
    ~QtMultimedia() override;
    std::string FileName() const override { return m_fileName; }
    void SetFileName(const std::string& name) override { m_fileName = name; }
    void Command(const std::string& command) override;
    long Length() const override { return m_length; }
    long Position() const override;

  private:
    void close();

    std::string m_fileName;
    long m_length = 0;
    bool m_playing = false;
    QElapsedTimer m_clock;
    // The sounds read so far, by file: each is read again only when its file changes.
    struct Kept;
    QHash<QString, std::shared_ptr<const Kept>> m_kept;
    std::shared_ptr<const Kept> m_sound;
    std::unique_ptr<PulsePlayer> m_player;
};

// HTTP GET with one deadline for the whole exchange; the body is bounded in size (the update
// file is a few lines). Error numbers are this program's own, in the transfer control's range.
class QtInternetTransfer : public InternetTransfer {
  public:
    enum ErrorNumber {
        CannotConnect = 35754,
        TimedOut = 35761,
        HttpError = 35762,
        TransferFailed = 35763,
        StillExecuting = 35764,
        BadAddress = 35765,
        TooLarge = 35766,
    };
    explicit QtInternetTransfer(int timeoutMs = 60000, qint64 maxBody = 1 << 20);
    std::vector<uint8_t> OpenURL(const std::string& url) override;

  private:
    int m_timeoutMs;
    qint64 m_maxBody;
    bool m_busy = false;
};

class QtWebBrowserFactory : public WebBrowserFactory {
  public:
    std::unique_ptr<WebBrowserObject> CreateInternetExplorer() override;
};

class QtShellTray : public QObject, public ShellTray {
    Q_OBJECT
  public:
    explicit QtShellTray(Runtime& runtime) : m_runtime(runtime) {}
    ~QtShellTray() override;
    bool Shell_NotifyIcon(uint32_t message, const std::array<uint8_t, 88>& record) override;
    // The icon added for this window and number, if any.
    QSystemTrayIcon* icon(HWND hwnd, uint32_t id) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Runtime& m_runtime;
    QHash<quint64, QSystemTrayIcon*> m_icons;
    bool m_watching = false;
};

class Window;
class X11Display;

class QtWindowStacking : public WindowStacking {
  public:
    // `x11` keeps topmost desktop windows above the managed ones; none without an X display.
    explicit QtWindowStacking(X11Display* x11) : m_x11(x11) {}
    long SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                      uint32_t flags) override;
    // Whether the window, standing outside the window manager, keeps itself on top now.
    static bool isKeptOnTop(Window* window);

  private:
    X11Display* m_x11;
};
