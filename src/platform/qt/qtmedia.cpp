#include "pulseplayer.h"
#include "qtimpl.h"
#include "wavefile.h"

// A sound device gives no reliable end: a sound server may take a sound late, drop it, or be
// away altogether. So the position is the time since "Play", up to the length read from the
// file's header: it reaches the length when the sound has had its time, whatever the server
// did, and the next sound is never held up for good. A file that cannot be played opens
// nothing.

QtMultimedia::QtMultimedia() : m_player(std::make_unique<PulsePlayer>()) {}

QtMultimedia::~QtMultimedia() = default;

void QtMultimedia::Command(const std::string& command) {
    if (command == "Open") {
        close();
        // Read afresh each time: the files are small, and one replaced under the same name is
        // played as it now is.
        std::optional<WaveSound> sound = readWave(nativePath(m_fileName));
        if (!sound) return;
        m_sound = std::make_unique<WaveSound>(std::move(*sound));
        m_length = std::max(1L, m_sound->lengthMs);
    } else if (command == "Play") {
        if (!m_sound) return;
        m_player->play(*m_sound);
        m_clock.start();
        m_playing = true;
    } else if (command == "Close") {
        close();
    }
}

void QtMultimedia::close() {
    if (m_playing) m_player->stop();
    m_sound.reset();
    m_length = 0;
    m_playing = false;
}

long QtMultimedia::Position() const {
    if (!m_sound || !m_playing) return 0;
    return std::min(m_length, static_cast<long>(m_clock.elapsed()));
}
