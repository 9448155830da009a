#pragma once

#include "platform/services.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <memory>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

// Wave files played by the sound server itself, from its sample cache: each file is sent to the
// server once, and each "Play" is one small request. Nothing of the program runs while a sound
// plays, and no stream stays open between sounds.
//
// The position is the time since "Play", up to the length of the file: it reaches the length
// when the sound has had its time, whatever the server did, so the next sound is never held up.
// A server that goes away is looked for again at the next "Play" (at most once a second), so a
// server that comes back is heard again without any cost while it is away.
class PulseSound : public MultimediaDevice {
  public:
    PulseSound();
    ~PulseSound() override;
    PulseSound(const PulseSound&) = delete;
    PulseSound& operator=(const PulseSound&) = delete;

    std::string FileName() const override { return m_fileName; }
    void SetFileName(const std::string& name) override { m_fileName = name; }
    void Command(const std::string& command) override;
    long Length() const override { return m_length; }
    long Position() const override;

    // Whether the server has taken the sound of this name (for tests).
    bool Uploaded(const QString& name) const;

  private:
    struct Sample;

    void play();
    // With the loop locked:
    void connect();
    void upload(Sample& sample);
    void playNow(const Sample& sample);
    static void onContextState(pa_context* context, void* self);
    static void onUploadState(pa_stream* stream, void* self);

    std::string m_fileName;
    long m_length = 0;
    bool m_playing = false;
    QElapsedTimer m_clock;
    Sample* m_current = nullptr;
    QHash<QString, std::shared_ptr<Sample>> m_samples; // by file contents, never dropped

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    int m_generation = 0; // counts the connections made
    QElapsedTimer m_lastConnect;
    Sample* m_pending = nullptr; // asked to play while the server was not ready yet
    QElapsedTimer m_pendingSince;
};
