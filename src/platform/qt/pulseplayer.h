#pragma once

#include <memory>

struct WaveSound;

// Plays one sound at a time through the user's PulseAudio server, on a connection of its own.
// The connection is made when a sound is played and none is up: when the server goes away,
// nothing runs and nothing is retried until the next sound is asked for, and that sound,
// the first after the server's return, is heard. A sound that cannot be played is passed over.
class PulsePlayer {
  public:
    PulsePlayer();
    ~PulsePlayer();
    PulsePlayer(const PulsePlayer&) = delete;
    PulsePlayer& operator=(const PulsePlayer&) = delete;

    // Starts the sound, in place of any that still plays.
    void play(const WaveSound& sound);
    void stop();

  private:
    struct Connection;
    std::unique_ptr<Connection> d;
};
