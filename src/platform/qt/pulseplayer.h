#pragma once

#include <QByteArray>

#include <memory>

struct WaveSound;

// Plays sounds through the user's PulseAudio server, on a connection of its own. Each sound is
// sent once into the server's sample cache, under a name that stands for its contents; from
// then on playing it is one small request, and nothing of this program runs while it plays.
//
// The connection is made when a sound is played and none is up: when the server goes away,
// nothing runs and nothing is retried until the next sound is asked for, and that sound, the
// first after the server's return, is heard. A sound that cannot be played is passed over.
class PulsePlayer {
  public:
    PulsePlayer();
    ~PulsePlayer();
    PulsePlayer(const PulsePlayer&) = delete;
    PulsePlayer& operator=(const PulsePlayer&) = delete;

    // Starts the sound, in place of any that still plays. `name` names its contents in the
    // server's cache: the same name must always come with the same samples.
    void play(const QByteArray& name, const WaveSound& sound);
    void stop();

  private:
    struct Connection;
    std::unique_ptr<Connection> d;
};
