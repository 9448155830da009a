#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// A wave file read whole, as the sound server takes it: PCM of 8, 16, 24 or 32 bits, or 32-bit
// float, little-endian, any rate and up to eight channels.
struct WaveFile {
    enum class Format { U8, S16, S24, S32, Float32 };
    Format format = Format::S16;
    int channels = 1;
    uint32_t rate = 0;
    QByteArray samples; // whole frames only
    long ms = 0;        // playing time

    // The file at `path`, or nothing when it cannot be read or played: a damaged header, an
    // unknown format, sound that the header promises and the file does not hold, more than
    // `maxBytes` of sound.
    static std::optional<WaveFile> Read(const QString& path, qint64 maxBytes = 16 << 20);
};
