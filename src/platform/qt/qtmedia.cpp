#include "qtimpl.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

// Each wave file gets one QSoundEffect, kept for the next time it is asked for (the pet plays
// the same nine files again and again). QSoundEffect gives no reliable end: it reports playing
// for a while past the end, and also when there is no sound device at all. So the position is
// the time since "Play", up to the length read from the file's header: it reaches the length
// when the sound has had its time, whatever the sound device did, and the next sound is never
// blocked for good.

namespace {
quint16 u16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 u32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// Whether Qt's wave reader plays this sample format.
bool playable(const QByteArray& fmt) {
    quint16 format = u16(fmt, 0);
    const quint16 bits = u16(fmt, 14);
    if (format == 0xFFFE && fmt.size() >= 26) format = u16(fmt, 24); // extensible: sub-format
    if (format == 1) return bits == 8 || bits == 16 || bits == 32;
    if (format == 3) return bits == 32;
    return false;
}

// The playing time in milliseconds of a wave file that can be played, or -1.
long waveLength(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") return -1;
    QByteArray fmt;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8) return -1;
        const quint32 size = u32(chunk, 4);
        if (chunk.startsWith("fmt ")) {
            fmt = f.read(std::min<quint32>(size, 64));
            if (fmt.size() < 16 || !playable(fmt)) return -1;
            f.seek(f.pos() - fmt.size() + size + (size & 1));
        } else if (chunk.startsWith("data")) {
            const quint32 sampleRate = fmt.isEmpty() ? 0 : u32(fmt, 4);
            const quint16 blockAlign = fmt.isEmpty() ? 0 : u16(fmt, 12);
            if (sampleRate == 0 || blockAlign == 0) return -1;
            // Qt's reader waits for ever for sound that a header promises and the file does
            // not hold; such a file cannot be played.
            if (f.size() - f.pos() < static_cast<qint64>(size)) return -1;
            const qint64 bytes = size;
            return static_cast<long>((bytes / blockAlign) * 1000 / sampleRate);
        } else {
            f.seek(f.pos() + size + (size & 1));
        }
    }
    return -1;
}

// Names the file's present contents: a file replaced under the same name is loaded anew.
QString cacheKey(const QString& path) {
    const QFileInfo info(path);
    return info.canonicalFilePath() + QLatin1Char('|') + QString::number(info.size()) +
           QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch());
}
} // namespace

QtMultimedia::QtMultimedia() = default;

// The effects are never deleted: Qt 6.4 waits, when one goes, until no sample at all is
// loading, and a sample that never finishes (a damaged file, a stalled device) would hang the
// program there. They are few, and go with the process.
QtMultimedia::~QtMultimedia() {
    for (QSoundEffect* e : std::as_const(m_effects))
        e->stop();
}

void QtMultimedia::Command(const std::string& command) {
    if (command == "Open") {
        close();
        const QString path = nativePath(m_fileName);
        const long length = waveLength(path);
        // A file that cannot be opened or played leaves nothing open: the pet goes on and the
        // next sound is not held up.
        if (length < 0) return;
        const QString key = cacheKey(path);
        QSoundEffect*& effect = m_effects[key];
        if (effect && effect->status() == QSoundEffect::Error && m_retired < kMaxRetries) {
            // The device may have been busy last time: try afresh, a bounded number of times
            // (the failed effect stays behind, see the destructor).
            ++m_retired;
            effect = nullptr;
        }
        if (!effect) {
            effect = new QSoundEffect;
            effect->setSource(QUrl::fromLocalFile(path));
        }
        m_effect = effect;
        m_length = std::max(1L, length);
    } else if (command == "Play") {
        if (!m_effect) return;
        m_effect->play();
        m_clock.start();
        m_playing = true;
    } else if (command == "Close") {
        close();
    }
}

void QtMultimedia::close() {
    if (m_effect) m_effect->stop();
    m_effect = nullptr;
    m_length = 0;
    m_playing = false;
}

long QtMultimedia::Position() const {
    if (!m_effect || !m_playing) return 0;
    // A sound the device refused counts as played to its end.
    if (m_effect->status() == QSoundEffect::Error) return m_length;
    return std::min(m_length, static_cast<long>(m_clock.elapsed()));
}
