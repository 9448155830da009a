#include "wavefile.h"

#include <QFile>
#include <QtEndian>

namespace {
quint16 u16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 u32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

std::optional<WaveFile::Format> formatOf(const QByteArray& fmt) {
    quint16 tag = u16(fmt, 0);
    const quint16 bits = u16(fmt, 14);
    if (tag == 0xFFFE && fmt.size() >= 26) tag = u16(fmt, 24); // extensible: the sub-format
    if (tag == 1) {
        switch (bits) {
        case 8:
            return WaveFile::Format::U8;
        case 16:
            return WaveFile::Format::S16;
        case 24:
            return WaveFile::Format::S24;
        case 32:
            return WaveFile::Format::S32;
        default:
            return std::nullopt;
        }
    }
    if (tag == 3 && bits == 32) return WaveFile::Format::Float32;
    return std::nullopt;
}
} // namespace

std::optional<WaveFile> WaveFile::Read(const QString& path, qint64 maxBytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    WaveFile wave;
    std::optional<Format> format;
    int blockAlign = 0;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8) return std::nullopt;
        const quint32 size = u32(chunk, 4);
        if (chunk.startsWith("fmt ")) {
            const QByteArray fmt = f.read(std::min<quint32>(size, 64));
            if (fmt.size() < 16 || !(format = formatOf(fmt))) return std::nullopt;
            wave.format = *format;
            wave.channels = u16(fmt, 2);
            wave.rate = u32(fmt, 4);
            blockAlign = u16(fmt, 12);
            static constexpr int kBytes[] = {1, 2, 3, 4, 4};
            if (wave.channels < 1 || wave.channels > 8 || wave.rate == 0 || wave.rate > 384000 ||
                blockAlign != wave.channels * kBytes[static_cast<int>(wave.format)])
                return std::nullopt;
            f.seek(f.pos() - fmt.size() + size + (size & 1));
        } else if (chunk.startsWith("data")) {
            // Sound that the header promises and the file does not hold cannot be played.
            if (!format || f.size() - f.pos() < static_cast<qint64>(size) || size > maxBytes)
                return std::nullopt;
            const qint64 frames = size / blockAlign;
            wave.samples = f.read(frames * blockAlign);
            wave.ms = static_cast<long>(frames * 1000 / wave.rate);
            return wave;
        } else {
            f.seek(f.pos() + size + (size & 1));
        }
    }
    return std::nullopt;
}
