#include "qtruntime.h"

#include "atomicfile.h"
#include "qtsettings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

std::string QtRuntime::AppPath() const {
    return QCoreApplication::applicationDirPath().toStdString();
}

QtRuntime::~QtRuntime() {
    if (m_instanceLock >= 0) ::close(m_instanceLock);
    if (m_fallbackLock >= 0) ::close(m_fallbackLock);
}

QString QtRuntime::instanceLockPath() {
    return QFile::decodeName(markBeside(followLinks(QtSettings::filePath(kTitle))));
}

QByteArray QtRuntime::markBeside(const QByteArray& settings) {
    // Two pets on one settings file would overwrite each other's: the mark lies beside the
    // file the settings are really kept in, where its links lead, so there is one copy per
    // settings file whatever folder, link or name the program was started by and whatever the
    // session's runtime folder is.
    return settings + ".lock";
}

QByteArray QtRuntime::markInRuntimeFolder(const QByteArray& settings) {
    // Only a folder of this user's alone, as the runtime folder should be: in one that others
    // may write (/tmp), another user could make the mark and hold it to keep the pet out.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!runtime.startsWith('/') || ::stat(runtime.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
        return {};
    return runtime + "/pimbolet-" +
           QCryptographicHash::hash(settings, QCryptographicHash::Sha1).toHex().left(20) + ".lock";
}

namespace {
enum class Lock { Taken, Held, Failed };

// Takes the advisory lock on the file at the path, made if need be but never through a link
// or on anything but a plain file of this user's: another's lock says nothing of this user's
// pets. On failure errno says why.
Lock takeLock(const QByteArray& path, int& fd) {
    fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return Lock::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        const bool others = S_ISREG(st.st_mode);
        ::close(fd);
        fd = -1;
        errno = others ? EPERM : EINVAL;
        return Lock::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return Lock::Taken;
    const int err = errno;
    ::close(fd);
    fd = -1;
    errno = err;
    return err == EWOULDBLOCK ? Lock::Held : Lock::Failed;
}
} // namespace

bool QtRuntime::PrevInstance() {
    if (m_instanceLock >= 0 || m_fallbackLock >= 0) return false;
    // A running copy holds an advisory lock on the mark beside its settings, and one on its
    // second mark in a private runtime folder, which is where the lock is found when the first
    // mark cannot be opened (something else in its place, a folder that cannot be written). The
    // kernel drops the locks when the holder dies, however it dies, so a crashed copy never
    // blocks the next start and no stale-lock guessing is needed. Close-on-exec keeps a
    // browser started by the program from inheriting the lock and outliving it. The settings'
    // folder is made as a save would make it.
    const QByteArray settings = QtSettings::filePath(kTitle);
    makePrivateFolders(settings.left(settings.lastIndexOf('/')));
    const QByteArray real = followLinks(settings);
    const QByteArray mark = markBeside(real);
    const Lock first = takeLock(mark, m_instanceLock);
    if (first == Lock::Held) return true;
    const int firstError = errno;
    const QByteArray second = markInRuntimeFolder(real);
    const Lock fallback = second.isEmpty() ? Lock::Failed : takeLock(second, m_fallbackLock);
    const int secondError = errno;
    if (first == Lock::Failed) {
        // Without the mark beside the settings, a copy started with another runtime folder (or
        // none) is not noticed: better two pets than none, but not without a word.
        std::string where = mark.toStdString() + " (" + std::strerror(firstError) + ")";
        if (fallback == Lock::Failed && !second.isEmpty())
            where += " or " + second.toStdString() + " (" + std::strerror(secondError) + ")";
        const std::string noticed = fallback == Lock::Failed
                                        ? std::string("would not be noticed")
                                        : "is noticed only through " + second.toStdString();
        std::fprintf(stderr, "pimbolet: cannot lock %s; another copy on the same settings %s\n",
                     where.c_str(), noticed.c_str());
    }
    if (fallback == Lock::Held) {
        if (m_instanceLock >= 0) ::close(m_instanceLock);
        m_instanceLock = -1;
        return true;
    }
    if (first == Lock::Failed && fallback == Lock::Failed) return false;
    // Saves that were cut short left their temporary files: the settings' (no other copy is
    // saving them now) and the update file's in the program's data folder.
    removeTemporaryFilesOf(real);
    removeTemporaryFilesIn(QFile::encodeName(QCoreApplication::applicationDirPath()) + "/cdata");
    return false;
}

static QScreen* screen() {
    return QGuiApplication::primaryScreen();
}

float QtRuntime::TwipsPerPixelX() const {
    QScreen* s = screen();
    return s ? static_cast<float>(1440.0 / s->logicalDotsPerInchX()) : 15.0f;
}

float QtRuntime::TwipsPerPixelY() const {
    QScreen* s = screen();
    return s ? static_cast<float>(1440.0 / s->logicalDotsPerInchY()) : 15.0f;
}

float QtRuntime::ScreenWidth() const {
    QScreen* s = screen();
    return s ? s->geometry().width() * TwipsPerPixelX() : 0.0f;
}

float QtRuntime::ScreenHeight() const {
    QScreen* s = screen();
    return s ? s->geometry().height() * TwipsPerPixelY() : 0.0f;
}

ScreenPlacement QtRuntime::PrimaryScreen() const {
    // A screen's top-left corner is the same in Qt's coordinates as in the display's: only
    // its size is scaled.
    QScreen* s = screen();
    if (!s) return {};
    return {s->geometry().x(), s->geometry().y(), s->devicePixelRatio()};
}

std::vector<ScreenArea> QtRuntime::Screens() const {
    // Qt gives a monitor's corner in the display's pixels and its size in its own, the display's
    // divided by the monitor's ratio; the windows count in the primary monitor's pixels from its
    // corner.
    QScreen* primary = screen();
    if (!primary) return {};
    const QPoint origin = primary->geometry().topLeft();
    const double ratio = primary->devicePixelRatio();
    const double twipsX = TwipsPerPixelX();
    const double twipsY = TwipsPerPixelY();
    std::vector<ScreenArea> areas;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const double size = s->devicePixelRatio() / ratio;
        areas.push_back({static_cast<float>((g.x() - origin.x()) / ratio * twipsX),
                         static_cast<float>((g.y() - origin.y()) / ratio * twipsY),
                         static_cast<float>(g.width() * size * twipsX),
                         static_cast<float>(g.height() * size * twipsY)});
    }
    return areas;
}

void QtRuntime::WatchScreens(QObject& watcher, std::function<void()> changed) {
    if (!qGuiApp) return;
    if (!m_followingScreens) {
        m_followingScreens = true;
        // One change comes as several signals, of each monitor and of the whole (a monitor
        // unplugged may first leave a stand-in and make another one the primary): the watchers
        // hear of it once, when they have stopped coming.
        m_screensSettled.setSingleShot(true);
        m_screensSettled.setInterval(100);
        QTimer* settled = &m_screensSettled;
        const auto restart = [settled] { settled->start(); };
        const auto follow = [settled, restart](QScreen* s) {
            QObject::connect(s, &QScreen::geometryChanged, settled, restart);
        };
        for (QScreen* s : QGuiApplication::screens())
            follow(s);
        QObject::connect(qGuiApp, &QGuiApplication::screenAdded, settled,
                         [follow, restart](QScreen* s) {
                             follow(s);
                             restart();
                         });
        QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, settled, restart);
        QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, settled, restart);
    }
    QObject::connect(&m_screensSettled, &QTimer::timeout, &watcher, std::move(changed));
}

void QtRuntime::SetMousePointer(int pointer) {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (pointer == 11) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

std::string QtRuntime::WebHost() const {
    // A host name or an address in brackets, then an optional port: nothing that could turn
    // the maker's addresses into other ones.
    static const QRegularExpression hostAndPort(QStringLiteral(
        R"(^([A-Za-z0-9-]+(\.[A-Za-z0-9-]+)*\.?|\[[0-9A-Fa-f:.]+\])(:[0-9]{1,5})?$)"));
    const QString chosen = qEnvironmentVariable("PIMBOLET_WEB_HOST");
    if (chosen.isEmpty()) return PIMBOLET_WEB_HOST;
    if (hostAndPort.match(chosen).hasMatch()) return chosen.toStdString();
    static bool warned = false;
    if (!warned)
        std::fprintf(stderr, "pimbolet: PIMBOLET_WEB_HOST \"%s\" is not a host[:port]; using %s\n",
                     qPrintable(chosen), PIMBOLET_WEB_HOST);
    warned = true;
    return PIMBOLET_WEB_HOST;
}

void QtRuntime::DoEvents() {
    QCoreApplication::processEvents();
}

void QtRuntime::End(EndStatus status) {
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(status));
}
