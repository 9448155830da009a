#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QString>
#include <QTimer>

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
    std::vector<ScreenArea> Screens() const override;
    void WatchScreens(QObject& watcher, std::function<void()> changed) override;
    void SetMousePointer(int pointer) override;
    void DoEvents() override;
    [[noreturn]] void End(EndStatus status) override;
    std::string WebHost() const override;

    // The file whose lock marks a copy running on this user's settings.
    static QString instanceLockPath();

  private:
    // The marks of a copy running on the settings file `settings` (where its links lead):
    // beside it, and in the session's runtime folder, named after it, where the lock is taken
    // when the first cannot be opened (none without a runtime folder of this user's alone).
    static QByteArray markBeside(const QByteArray& settings);
    static QByteArray markInRuntimeFolder(const QByteArray& settings);

    static constexpr const char* kTitle = "virtual pet Pimbolet";
    // Runs out once the monitors' signals of one change have all come.
    QTimer m_screensSettled;
    bool m_followingScreens = false;
    int m_instanceLock = -1;
    int m_fallbackLock = -1;
};
