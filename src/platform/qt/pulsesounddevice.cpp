#include "pulsesounddevice.h"

#include "nativepath.h"
#include "pulseplayer.h"
#include "wavefile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>

// A sound device gives no reliable end: a sound server may take a sound late, drop it, or be
// away altogether. So the position is the time since "Play", up to the length read from the
// file's header: it reaches the length when the sound has had its time, whatever the server
// did, and the next sound is never held up for good. A file that cannot be played opens
// nothing.

namespace {
// The sound's name in the sound server's cache: the same samples in the same format always
// get the same name, so the cache holds one entry per sound however often the pet starts.
QByteArray cacheName(const WaveSound& sound) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const quint32 format[] = {static_cast<quint32>(sound.encoding),
                              static_cast<quint32>(sound.channels), sound.rate};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(format), sizeof format));
    hash.addData(sound.samples);
    return "pimbolet-" + hash.result().toHex().left(24);
}
} // namespace

// A sound read from a file, or the failure to read one, with the file's size and time of
// change when it was read: a file replaced under the same name is read anew, one left alone is
// not read again, whether it played or not.
struct PulseSoundDevice::Kept {
    qint64 size;
    QDateTime modified;
    std::optional<WaveSound> sound;
    QByteArray name;
};

PulseSoundDevice::PulseSoundDevice() : m_player(std::make_unique<PulsePlayer>()) {}

PulseSoundDevice::~PulseSoundDevice() = default;

void PulseSoundDevice::Command(const std::string& command) {
    if (command == "Open") {
        close();
        const QString path = nativePath(m_fileName);
        const QFileInfo info(path);
        if (!info.isFile()) return;
        std::shared_ptr<const Kept>& kept = m_kept[info.absoluteFilePath()];
        if (!kept || kept->size != info.size() || kept->modified != info.lastModified()) {
            std::optional<WaveSound> sound = readWave(path);
            const QByteArray name = sound ? cacheName(*sound) : QByteArray();
            kept = std::make_shared<const Kept>(
                Kept{info.size(), info.lastModified(), std::move(sound), name});
        }
        if (!kept->sound) return;
        m_sound = kept;
        m_length = std::max(1L, m_sound->sound->lengthMs);
    } else if (command == "Play") {
        if (!m_sound) return;
        m_player->play(m_sound->name, *m_sound->sound);
        m_clock.start();
        m_playing = true;
    } else if (command == "Close") {
        close();
    }
}

void PulseSoundDevice::close() {
    if (m_playing) m_player->stop();
    m_sound.reset();
    m_length = 0;
    m_playing = false;
}

long PulseSoundDevice::Position() const {
    if (!m_sound || !m_playing) return 0;
    return std::min(m_length, static_cast<long>(m_clock.elapsed()));
}
