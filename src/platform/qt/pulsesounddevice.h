#pragma once

#include "platform/services.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <memory>

class PulsePlayer;

// Wave files played through the user's PulseAudio server from its sample cache; see
// pulsesounddevice.cpp for how the position is kept.
class PulseSoundDevice : public MultimediaDevice {
  public:
    PulseSoundDevice();
    ~PulseSoundDevice() override;
    std::string FileName() const override { return m_fileName; }
    void SetFileName(const std::string& name) override { m_fileName = name; }
    void Command(const std::string& command) override;
    long Length() const override { return m_length; }
    long Position() const override;

  private:
    void close();

    std::string m_fileName;
    long m_length = 0;
    bool m_playing = false;
    QElapsedTimer m_clock;
    // The sounds read so far, by file: each is read again only when its file changes.
    struct Kept;
    QHash<QString, std::shared_ptr<const Kept>> m_kept;
    std::shared_ptr<const Kept> m_sound;
    std::unique_ptr<PulsePlayer> m_player;
};
