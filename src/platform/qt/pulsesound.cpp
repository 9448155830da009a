#include "pulsesound.h"

#include "qtimpl.h"
#include "wavefile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

#include <pulse/pulseaudio.h>
#include <pulse/thread-mainloop.h>

struct PulseSound::Sample {
    QString name; // in the server's cache
    WaveFile wave;
    pa_sample_spec spec{};
    int generation = -1; // the connection that holds it
    bool uploading = false;
    PulseSound* owner = nullptr;
};

namespace {
pa_sample_format_t formatOf(WaveFile::Format f) {
    switch (f) {
    case WaveFile::Format::U8:
        return PA_SAMPLE_U8;
    case WaveFile::Format::S16:
        return PA_SAMPLE_S16LE;
    case WaveFile::Format::S24:
        return PA_SAMPLE_S24LE;
    case WaveFile::Format::S32:
        return PA_SAMPLE_S32LE;
    case WaveFile::Format::Float32:
        break;
    }
    return PA_SAMPLE_FLOAT32LE;
}

// Names the file's present contents: a file replaced under the same name is sent anew.
QString contentsKey(const QString& path) {
    const QFileInfo info(path);
    return info.canonicalFilePath() + QLatin1Char('|') + QString::number(info.size()) +
           QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch());
}

// The name in the server's cache, the same for the same file from one run to the next, so
// the cache holds one entry per file however often the pet is started.
QString cacheName(const QString& path, const QString& key) {
    QString base = QFileInfo(path).completeBaseName();
    base.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
    return QStringLiteral("pimbolet-%1-%2")
        .arg(base.left(32))
        .arg(qHash(key), 8, 16, QLatin1Char('0'));
}

// A sound asked for while the server was not ready yet is still played if it is ready soon.
constexpr qint64 kStillWanted = 1000;
// The server is looked for again at most this often.
constexpr qint64 kReconnectEvery = 1000;

class Locked {
  public:
    explicit Locked(pa_threaded_mainloop* loop) : m_loop(loop) {
        pa_threaded_mainloop_lock(m_loop);
    }
    ~Locked() { pa_threaded_mainloop_unlock(m_loop); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    pa_threaded_mainloop* m_loop;
};
} // namespace

PulseSound::PulseSound() = default;

PulseSound::~PulseSound() {
    if (!m_loop) return;
    {
        Locked lock(m_loop);
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseSound::Command(const std::string& command) {
    if (command == "Open") {
        m_current = nullptr;
        m_length = 0;
        m_playing = false;
        const QString path = nativePath(m_fileName);
        const QString key = contentsKey(path);
        std::shared_ptr<Sample>& sample = m_samples[key];
        if (!sample) {
            // A file that cannot be read or played leaves nothing open (and is looked at
            // again next time): the pet goes on and the next sound is not held up.
            std::optional<WaveFile> wave = WaveFile::Read(path);
            if (!wave) {
                m_samples.remove(key);
                return;
            }
            sample = std::make_shared<Sample>();
            sample->name = cacheName(path, key);
            sample->spec = {formatOf(wave->format), wave->rate,
                            static_cast<uint8_t>(wave->channels)};
            sample->wave = std::move(*wave);
            sample->owner = this;
        }
        m_current = sample.get();
        m_length = std::max(1L, m_current->wave.ms);
    } else if (command == "Play") {
        if (!m_current) return;
        m_clock.start();
        m_playing = true;
        play();
    } else if (command == "Close") {
        // What the server plays runs to its end; the device forgets it.
        m_current = nullptr;
        m_length = 0;
        m_playing = false;
    }
}

long PulseSound::Position() const {
    if (!m_current || !m_playing) return 0;
    return std::min(m_length, static_cast<long>(m_clock.elapsed()));
}

void PulseSound::play() {
    if (!m_loop) {
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
            if (m_loop) pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            return;
        }
    }
    Locked lock(m_loop);
    const pa_context_state_t state =
        m_context ? pa_context_get_state(m_context) : PA_CONTEXT_TERMINATED;
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
        if (m_lastConnect.isValid() && m_lastConnect.elapsed() < kReconnectEvery) return;
        connect();
    }
    if (pa_context_get_state(m_context) == PA_CONTEXT_READY &&
        m_current->generation == m_generation) {
        playNow(*m_current);
        return;
    }
    // Played as soon as the server is there and holds it.
    m_pending = m_current;
    m_pendingSince.start();
    if (pa_context_get_state(m_context) == PA_CONTEXT_READY) upload(*m_current);
}

void PulseSound::connect() {
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    ++m_generation;
    m_lastConnect.start();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Pimbolet");
    pa_context_set_state_callback(m_context, &PulseSound::onContextState, this);
    pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr);
}

void PulseSound::onContextState(pa_context* context, void* self) {
    auto* s = static_cast<PulseSound*>(self);
    if (context != s->m_context || pa_context_get_state(context) != PA_CONTEXT_READY) return;
    if (s->m_pending && s->m_pendingSince.elapsed() < kStillWanted) s->upload(*s->m_pending);
}

void PulseSound::upload(Sample& sample) {
    if (sample.uploading) return;
    pa_stream* stream =
        pa_stream_new(m_context, sample.name.toLatin1().constData(), &sample.spec, nullptr);
    if (!stream) return;
    sample.uploading = true;
    pa_stream_set_state_callback(stream, &PulseSound::onUploadState, &sample);
    if (pa_stream_connect_upload(stream, static_cast<size_t>(sample.wave.samples.size())) < 0) {
        sample.uploading = false;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_unref(stream);
    }
}

void PulseSound::onUploadState(pa_stream* stream, void* data) {
    auto& sample = *static_cast<Sample*>(data);
    PulseSound& s = *sample.owner;
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        pa_stream_write(stream, sample.wave.samples.constData(),
                        static_cast<size_t>(sample.wave.samples.size()), nullptr, 0,
                        PA_SEEK_RELATIVE);
        pa_stream_finish_upload(stream);
        break;
    case PA_STREAM_TERMINATED:
        // Finished: the server holds the sound now.
        if (pa_stream_get_context(stream) == s.m_context) sample.generation = s.m_generation;
        [[fallthrough]];
    case PA_STREAM_FAILED:
        sample.uploading = false;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_unref(stream);
        if (s.m_pending == &sample && sample.generation == s.m_generation &&
            s.m_pendingSince.elapsed() < kStillWanted)
            s.playNow(sample);
        if (s.m_pending == &sample) s.m_pending = nullptr;
        break;
    default:
        break;
    }
}

void PulseSound::playNow(const Sample& sample) {
    if (pa_operation* op = pa_context_play_sample(m_context, sample.name.toLatin1().constData(),
                                                  nullptr, PA_VOLUME_NORM, nullptr, nullptr))
        pa_operation_unref(op);
}

bool PulseSound::Uploaded(const QString& name) const {
    if (!m_loop) return false;
    Locked lock(m_loop);
    for (const auto& sample : m_samples)
        if (sample->name == name)
            return m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY &&
                   sample->generation == m_generation;
    return false;
}
