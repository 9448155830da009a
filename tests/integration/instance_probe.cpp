#include "platform/qt/qtruntime.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <cstring>
#include <unistd.h>

// Asks the single-instance test once and prints "running" or "first", then the program folder. With
// "hold" it then keeps its place until killed; with "child" it first starts a long-lived child
// process, which must not inherit what marks this copy as running.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool hold = false, child = false;
    for (int i = 1; i < argc; ++i) {
        hold = hold || std::strcmp(argv[i], "hold") == 0;
        child = child || std::strcmp(argv[i], "child") == 0;
    }
    QtRuntime runtime;
    const bool running = runtime.PrevInstance();
    if (child) {
        QProcess sleeper;
        sleeper.setProgram(QStringLiteral("sleep"));
        sleeper.setArguments({QStringLiteral("3")});
        sleeper.setStandardOutputFile(QProcess::nullDevice());
        sleeper.setStandardErrorFile(QProcess::nullDevice());
        sleeper.startDetached();
    }
    std::printf("%s\n%s\n", running ? "running" : "first", runtime.AppPath().c_str());
    std::fflush(stdout);
    if (hold)
        for (;;)
            pause();
    return 0;
}
