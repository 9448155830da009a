#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A wave file's sound, as the sound server takes it.
struct WaveSound {
    enum Encoding { Unsigned8, Signed16, Signed32, Float32 };
    Encoding encoding = Signed16;
    int channels = 1;
    quint32 rate = 0;
    QByteArray samples; // little-endian frames, as they lie in the file
    long lengthMs = 0;
};

// The sound of a wave file that can be played: PCM of 8, 16 or 32 bits or 32-bit floats, its
// sound data wholly there and of a reasonable size, found among the file's first chunks.
// Anything else gives nothing; what is read is bounded, whatever the file's size or content.
std::optional<WaveSound> readWave(const QString& path);
