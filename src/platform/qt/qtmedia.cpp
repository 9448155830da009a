#include "qtimpl.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

namespace {
// The playing time of a PCM wave file in milliseconds, or -1 when it is not one.
long waveLength(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") return -1;
    quint32 byteRate = 0;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8) return -1;
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("fmt ")) {
            const QByteArray fmt = f.read(size);
            if (fmt.size() < 16) return -1;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
        } else if (chunk.startsWith("data")) {
            if (byteRate == 0) return -1;
            return static_cast<long>(static_cast<quint64>(size) * 1000 / byteRate);
        } else {
            f.skip(size + (size & 1));
        }
    }
    return -1;
}
} // namespace

QtMultimedia::QtMultimedia() = default;

QtMultimedia::~QtMultimedia() {
    qDeleteAll(m_effects);
}

void QtMultimedia::Command(const std::string& command) {
    if (command == "Open") {
        const QString path = nativePath(m_fileName);
        const long length = waveLength(path);
        m_playing = false;
        if (length < 0) {
            // A file that cannot be opened: nothing is open, so the next sound is not blocked.
            m_length = 0;
            m_effect = nullptr;
            return;
        }
        QSoundEffect*& effect = m_effects[path];
        if (!effect) {
            effect = new QSoundEffect;
            effect->setSource(QUrl::fromLocalFile(path));
        }
        m_effect = effect;
        m_length = std::max(1L, length);
    } else if (command == "Play") {
        if (!m_effect || m_length == 0) return;
        m_effect->play();
        m_clock.start();
        m_playing = true;
    } else if (command == "Close") {
        if (m_effect) m_effect->stop();
        m_effect = nullptr;
        m_length = 0;
        m_playing = false;
    }
}

long QtMultimedia::Position() const {
    if (m_length == 0 || !m_playing) return 0;
    if (m_effect && m_effect->status() == QSoundEffect::Error) return m_length;
    return std::min(m_length, static_cast<long>(m_clock.elapsed()));
}
