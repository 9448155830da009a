#include "atomicfile.h"
#include "qtimpl.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString nativePath(const std::string& path) {
    QString p = QString::fromStdString(path);
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (p.contains(QLatin1String("//")))
        p.replace(QLatin1String("//"), QLatin1String("/"));
    return p;
}

std::string QtRuntime::AppPath() const {
    return QCoreApplication::applicationDirPath().toStdString();
}

QtRuntime::~QtRuntime() {
    if (m_instanceLock >= 0) ::close(m_instanceLock);
}

QString QtRuntime::instanceLockPath() {
    // Two pets on one settings file would overwrite each other's: the mark lies beside the
    // file the settings are really kept in, where its links lead, so there is one copy per
    // settings file whatever folder, link or name the program was started by and whatever the
    // session's runtime folder is.
    return followLinks(QtSettings::fileName(kTitle)) + QStringLiteral(".lock");
}

bool QtRuntime::PrevInstance() {
    if (m_instanceLock >= 0) return false;
    // A running copy holds an advisory lock on the mark beside its settings. The kernel drops
    // the lock when the holder dies, however it dies, so a crashed copy never blocks the next
    // start and no stale-lock guessing is needed. Close-on-exec keeps a browser started by the
    // program from inheriting the lock and outliving it. The settings' folder is made as a
    // save would make it.
    QDir().mkpath(QFileInfo(QtSettings::fileName(kTitle)).absolutePath());
    const QByteArray path = QFile::encodeName(instanceLockPath());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false; // no place for the mark: better two pets than none
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }
    m_instanceLock = fd;
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

Date QtClock::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    datetime::Parts p;
    p.year = now.date().year();
    p.month = now.date().month();
    p.day = now.date().day();
    p.hour = now.time().hour();
    p.minute = now.time().minute();
    p.second = now.time().second();
    return datetime::FromParts(p);
}

float QtRandom::fromBits(std::mt19937::result_type bits) {
    // 24 random bits: every value is exactly representable and below 1.
    return static_cast<float>(bits >> 8) * (1.0f / 16777216.0f);
}

float QtRandom::Rnd() {
    return fromBits(m_engine());
}

std::vector<float> QtRandom::Upcoming(int count) const {
    std::mt19937 ahead = m_engine;
    std::vector<float> values;
    for (int i = 0; i < count; ++i)
        values.push_back(fromBits(ahead()));
    return values;
}

void QtRandom::Randomize() {
    // A test hook: benchmarks and tests that must see the same life every time name the seed.
    bool fixed = false;
    const unsigned seed = qEnvironmentVariableIntValue("PIMBOLET_SEED", &fixed);
    m_engine.seed(
        fixed ? seed
              : static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                      getpid()));
}
