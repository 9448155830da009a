#include "qtimpl.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QCursor>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

QString nativePath(const std::string& path) {
    QString p = QString::fromStdString(path);
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (p.contains(QLatin1String("//"))) p.replace(QLatin1String("//"), QLatin1String("/"));
    return p;
}

std::string QtRuntime::AppPath() const {
    return QCoreApplication::applicationDirPath().toStdString();
}

bool QtRuntime::PrevInstance() {
    if (m_lock) return false;
    // One lock per user, wherever the program was started from. QLockFile records the
    // holder's process id, so a lock left by a copy that crashed is found stale and taken over.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(
        dir + QStringLiteral("/pimbolet-%1.lock").arg(static_cast<qulonglong>(getuid())));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return true;
    m_lock = std::move(lock);
    return false;
}

static QScreen* screen() { return QGuiApplication::primaryScreen(); }

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

void QtRuntime::SetMousePointer(int pointer) {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    if (pointer == 11) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtRuntime::DoEvents() { QCoreApplication::processEvents(); }

void QtRuntime::End() {
    std::fflush(nullptr);
    std::_Exit(0);
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

float QtRandom::Rnd() {
    // 24 random bits: every value is exactly representable and below 1.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

void QtRandom::Randomize() {
    m_engine.seed(static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ getpid()));
}
