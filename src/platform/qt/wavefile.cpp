#include "wavefile.h"

#include <QFile>
#include <QtEndian>

namespace {
// Minutes of sound: far beyond any remark, a bound on what a stray file can cost, and the most
// that the sound server's sample cache takes for one sound.
constexpr quint32 kLargestData = 16u << 20;
// Wave files hold a handful of chunks before their sound: a file that has not come to its
// sound after this many is no wave file this program can play, whatever its size.
constexpr int kMostChunks = 64;

quint16 u16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 u32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

std::optional<WaveSound::Encoding> encodingOf(const QByteArray& fmt) {
    quint16 format = u16(fmt, 0);
    const quint16 bits = u16(fmt, 14);
    if (format == 0xFFFE && fmt.size() >= 26) format = u16(fmt, 24); // extensible: sub-format
    if (format == 1 && bits == 8) return WaveSound::Unsigned8;
    if (format == 1 && bits == 16) return WaveSound::Signed16;
    if (format == 1 && bits == 32) return WaveSound::Signed32;
    if (format == 3 && bits == 32) return WaveSound::Float32;
    return std::nullopt;
}
} // namespace

std::optional<WaveSound> readWave(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    QByteArray fmt;
    for (int chunks = 0; chunks < kMostChunks && !f.atEnd(); ++chunks) {
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8) return std::nullopt;
        const quint32 size = u32(chunk, 4);
        if (chunk.startsWith("fmt ")) {
            fmt = f.read(std::min<quint32>(size, 64));
            if (fmt.size() < 16 || !encodingOf(fmt)) return std::nullopt;
            f.seek(f.pos() - fmt.size() + size + (size & 1));
        } else if (chunk.startsWith("data")) {
            if (fmt.isEmpty()) return std::nullopt;
            WaveSound sound;
            sound.encoding = *encodingOf(fmt);
            sound.channels = u16(fmt, 2);
            sound.rate = u32(fmt, 4);
            const quint16 blockAlign = u16(fmt, 12);
            const int bytesPerSample = sound.encoding == WaveSound::Unsigned8  ? 1
                                       : sound.encoding == WaveSound::Signed16 ? 2
                                                                               : 4;
            if (sound.rate == 0 || sound.channels == 0 ||
                blockAlign != sound.channels * bytesPerSample)
                return std::nullopt;
            // A header that promises more sound than the file holds is a damaged file.
            if (size > kLargestData || f.size() - f.pos() < static_cast<qint64>(size))
                return std::nullopt;
            sound.samples = f.read(size - size % blockAlign);
            sound.lengthMs = static_cast<long>(
                static_cast<qint64>(sound.samples.size() / blockAlign) * 1000 / sound.rate);
            return sound;
        } else {
            f.seek(f.pos() + size + (size & 1));
        }
    }
    return std::nullopt;
}
