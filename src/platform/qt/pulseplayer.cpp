#include "pulseplayer.h"

#include "wavefile.h"

#include <pulse/pulseaudio.h>

// The sound server is reached through libpulse's threaded main loop: its thread waits on the
// connection's socket and runs the callbacks below; the program's thread takes the loop's lock
// before it touches anything here. Qt Multimedia cannot serve: once its own connection has
// failed to come back a single time, it stays silent for the rest of the program's life.

struct PulsePlayer::Connection {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    // The sound that plays, or waits for the connection to be ready.
    QByteArray samples;
    pa_sample_spec sampleFormat{};
    qsizetype written = 0;
    bool waiting = false;

    bool startLoop() {
        if (loop) return true;
        loop = pa_threaded_mainloop_new();
        if (loop && pa_threaded_mainloop_start(loop) == 0) return true;
        if (loop) pa_threaded_mainloop_free(loop);
        loop = nullptr;
        return false;
    }

    // The functions below run with the loop's lock held.

    // Starts a connection unless one is up or on its way. A connection that failed (the
    // server went away) is put aside first: it is only now that another is tried.
    void connect() {
        if (context && PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) return;
        dropStream();
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_unref(context);
        }
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "Pimbolet");
        if (!context) return;
        pa_context_set_state_callback(context, onContextState, this);
        // Where the server is, and whether a client may start one, is the user's client.conf's
        // to say, as for every other program.
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_unref(context);
            context = nullptr;
        }
    }

    void startStream() {
        waiting = false;
        dropStream();
        stream = pa_stream_new(context, "Pimbolet", &sampleFormat, nullptr);
        if (!stream) return;
        written = 0;
        pa_stream_set_write_callback(stream, onWritable, this);
        if (pa_stream_connect_playback(stream, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr,
                                       nullptr) < 0)
            dropStream();
    }

    void dropStream() {
        if (!stream) return;
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }

    static void onContextState(pa_context* c, void* self) {
        auto* d = static_cast<Connection*>(self);
        if (c == d->context && d->waiting && pa_context_get_state(c) == PA_CONTEXT_READY)
            d->startStream();
    }

    // The server has room for more of the sound.
    static void onWritable(pa_stream* s, size_t room, void* self) {
        auto* d = static_cast<Connection*>(self);
        if (s != d->stream) return;
        const size_t n = std::min(room, static_cast<size_t>(d->samples.size() - d->written));
        if (n > 0 && pa_stream_write(s, d->samples.constData() + d->written, n, nullptr, 0,
                                     PA_SEEK_RELATIVE) == 0)
            d->written += static_cast<qsizetype>(n);
        if (d->written < d->samples.size()) return;
        // All of it is there: a sound shorter than the server's buffer starts only when
        // drained, and once played the stream goes, so that the sound device may rest.
        pa_stream_set_write_callback(s, nullptr, nullptr);
        if (pa_operation* o = pa_stream_drain(s, onDrained, d)) pa_operation_unref(o);
    }

    static void onDrained(pa_stream* s, int, void* self) {
        auto* d = static_cast<Connection*>(self);
        if (s == d->stream) pa_stream_disconnect(s);
    }
};

PulsePlayer::PulsePlayer() : d(std::make_unique<Connection>()) {}

PulsePlayer::~PulsePlayer() {
    if (!d->loop) return;
    pa_threaded_mainloop_stop(d->loop);
    d->dropStream();
    if (d->context) {
        pa_context_set_state_callback(d->context, nullptr, nullptr);
        pa_context_disconnect(d->context);
        pa_context_unref(d->context);
    }
    pa_threaded_mainloop_free(d->loop);
}

void PulsePlayer::play(const WaveSound& sound) {
    if (!d->startLoop()) return;
    static constexpr pa_sample_format_t kFormats[] = {PA_SAMPLE_U8, PA_SAMPLE_S16LE,
                                                      PA_SAMPLE_S32LE, PA_SAMPLE_FLOAT32LE};
    pa_threaded_mainloop_lock(d->loop);
    d->dropStream();
    d->samples = sound.samples;
    d->sampleFormat.format = kFormats[sound.encoding];
    d->sampleFormat.rate = sound.rate;
    d->sampleFormat.channels = static_cast<uint8_t>(std::min(sound.channels, 255));
    d->waiting = pa_sample_spec_valid(&d->sampleFormat) != 0;
    if (d->waiting) d->connect();
    if (!d->context)
        d->waiting = false; // no server: the sound is passed over
    else if (pa_context_get_state(d->context) == PA_CONTEXT_READY)
        d->startStream();
    pa_threaded_mainloop_unlock(d->loop);
}

void PulsePlayer::stop() {
    if (!d->loop) return;
    pa_threaded_mainloop_lock(d->loop);
    d->waiting = false;
    d->dropStream();
    pa_threaded_mainloop_unlock(d->loop);
}
