// How long the sound device takes over wave files that cannot be played, however large: a
// header followed by nothing but zeros, as a damaged or planted file may be. Each is opened
// twice: the first look reads it, the second finds it remembered. Prints its figures; it
// asserts nothing. Runs without a sound server.

#include "platform/qt/pulsesounddevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {
double openMs(PulseSoundDevice& sound, const QString& path) {
    QElapsedTimer clock;
    clock.start();
    sound.SetFileName(path.toStdString());
    sound.Command("Open");
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    sound.Command("Close");
    return ms;
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/pimbolet-no-sound");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    PulseSoundDevice sound;
    std::printf("wave files of zeros after a header: ms to open (first look, then again)\n");
    for (const qint64 mib : {16, 256, 2048}) {
        const QString path = dir.filePath(QStringLiteral("zeros-%1.wav").arg(mib));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write("RIFF\xff\xff\xff\x7fWAVE", 12) != 12 ||
            !f.resize(mib << 20)) {
            std::printf("%6lld MiB: cannot be made here\n", static_cast<long long>(mib));
            continue;
        }
        f.close();
        const double first = openMs(sound, path);
        const double again = openMs(sound, path);
        std::printf("%6lld MiB: %8.2f %8.2f\n", static_cast<long long>(mib), first, again);
    }
    return 0;
}
