#include "pulseplayer.h"

#include "wavefile.h"

#include <pulse/pulseaudio.h>

#include <set>

// The sound server is reached through libpulse's threaded main loop: its thread waits on the
// connection's socket and runs the callbacks below; the program's thread takes the loop's lock
// before it touches anything here. Qt Multimedia cannot serve: once its own connection has
// failed to come back a single time, it stays silent for the rest of the program's life.

namespace {
struct Sound {
    QByteArray name;
    QByteArray samples;
    pa_sample_spec format{};
};
} // namespace

struct PulsePlayer::Connection {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    // The names the server's cache holds, as far as this connection knows (a server that came
    // back has lost them).
    std::set<QByteArray> cached;
    // The sound that waits for the connection, or for its upload, to be ready.
    Sound wanted;
    // The sound on its way into the server's cache.
    pa_stream* upload = nullptr;
    Sound uploading;
    // The sounds started and the server's answers, which come in the same order; the latest
    // answered sound's place in the server, and the sounds stopped before their answer came.
    unsigned started = 0;
    unsigned answered = 0;
    unsigned stoppedUpTo = 0;
    uint32_t playing = PA_INVALID_INDEX;

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
        dropUpload();
        cached.clear();
        started = answered = stoppedUpTo = 0;
        playing = PA_INVALID_INDEX;
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

    bool ready() const { return context && pa_context_get_state(context) == PA_CONTEXT_READY; }

    // Plays the wanted sound if the server holds it, or sends it there first.
    void playWanted() {
        if (wanted.name.isEmpty() || !ready()) return;
        if (cached.count(wanted.name)) {
            ++started;
            if (pa_operation* o =
                    pa_context_play_sample_with_proplist(context, wanted.name.constData(), nullptr,
                                                         PA_VOLUME_NORM, nullptr, onStarted, this))
                pa_operation_unref(o);
            else
                ++answered; // no answer will come
            wanted = Sound();
            return;
        }
        if (upload && uploading.name == wanted.name) return; // on its way
        dropUpload();
        uploading = wanted;
        upload = pa_stream_new(context, uploading.name.constData(), &uploading.format, nullptr);
        if (!upload) return;
        pa_stream_set_state_callback(upload, onUploadState, this);
        if (pa_stream_connect_upload(upload, static_cast<size_t>(uploading.samples.size())) < 0)
            dropUpload();
    }

    void dropUpload() {
        if (!upload) return;
        pa_stream_set_state_callback(upload, nullptr, nullptr);
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(upload))) pa_stream_disconnect(upload);
        pa_stream_unref(upload);
        upload = nullptr;
        uploading = Sound();
    }

    void stopPlaying() {
        wanted = Sound();
        stoppedUpTo = started;
        if (playing != PA_INVALID_INDEX && ready())
            if (pa_operation* o = pa_context_kill_sink_input(context, playing, nullptr, nullptr))
                pa_operation_unref(o);
        playing = PA_INVALID_INDEX;
    }

    static void onContextState(pa_context* c, void* self) {
        auto* d = static_cast<Connection*>(self);
        if (c == d->context && pa_context_get_state(c) == PA_CONTEXT_READY) d->playWanted();
    }

    static void onUploadState(pa_stream* s, void* self) {
        auto* d = static_cast<Connection*>(self);
        if (s != d->upload) return;
        switch (pa_stream_get_state(s)) {
        case PA_STREAM_READY:
            // A whole sound fits the upload at once.
            if (pa_stream_write(s, d->uploading.samples.constData(),
                                static_cast<size_t>(d->uploading.samples.size()), nullptr, 0,
                                PA_SEEK_RELATIVE) != 0 ||
                pa_stream_finish_upload(s) != 0)
                d->dropUpload();
            break;
        case PA_STREAM_TERMINATED: // the server holds it now
            d->cached.insert(d->uploading.name);
            d->dropUpload();
            d->playWanted();
            break;
        case PA_STREAM_FAILED:
            if (d->wanted.name == d->uploading.name) d->wanted = Sound();
            d->dropUpload();
            break;
        default:
            break;
        }
    }

    static void onStarted(pa_context* c, uint32_t index, void* self) {
        auto* d = static_cast<Connection*>(self);
        if (c != d->context) return;
        const unsigned answer = ++d->answered;
        if (index == PA_INVALID_INDEX) {
            // The server no longer holds it (its cache was emptied): sent again next time.
            d->cached.clear();
            return;
        }
        if (answer <= d->stoppedUpTo) {
            if (pa_operation* o = pa_context_kill_sink_input(c, index, nullptr, nullptr))
                pa_operation_unref(o);
        } else if (answer == d->started) {
            d->playing = index;
        }
    }
};

PulsePlayer::PulsePlayer() : d(std::make_unique<Connection>()) {}

PulsePlayer::~PulsePlayer() {
    if (!d->loop) return;
    pa_threaded_mainloop_stop(d->loop);
    d->dropUpload();
    if (d->context) {
        pa_context_set_state_callback(d->context, nullptr, nullptr);
        pa_context_disconnect(d->context);
        pa_context_unref(d->context);
    }
    pa_threaded_mainloop_free(d->loop);
}

void PulsePlayer::play(const QByteArray& name, const WaveSound& sound) {
    if (name.isEmpty() || !d->startLoop()) return;
    static constexpr pa_sample_format_t kFormats[] = {PA_SAMPLE_U8, PA_SAMPLE_S16LE,
                                                      PA_SAMPLE_S32LE, PA_SAMPLE_FLOAT32LE};
    pa_threaded_mainloop_lock(d->loop);
    d->stopPlaying();
    Sound wanted{name, sound.samples, {}};
    wanted.format.format = kFormats[sound.encoding];
    wanted.format.rate = sound.rate;
    wanted.format.channels = static_cast<uint8_t>(std::min(sound.channels, 255));
    if (pa_sample_spec_valid(&wanted.format) && !wanted.samples.isEmpty()) {
        d->wanted = std::move(wanted);
        d->connect();
        if (!d->context)
            d->wanted = Sound(); // no server: the sound is passed over
        else
            d->playWanted();
    }
    pa_threaded_mainloop_unlock(d->loop);
}

void PulsePlayer::stop() {
    if (!d->loop) return;
    pa_threaded_mainloop_lock(d->loop);
    d->stopPlaying();
    pa_threaded_mainloop_unlock(d->loop);
}
