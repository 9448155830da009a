// The cost of one behaviour tick, the show-cell included, and whether memory grows over a
// long life. Prints its figures; it asserts nothing.

#include "fakes/fakes.h"
#include "forms/forms.h"
#include "pet/Form1.h"
#include "platform/qt/x11display.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <QTimer>
#include <fstream>
#include <vector>

namespace {
// A real-looking random sequence, the same on every run.
class BenchRandom : public RandomSource {
  public:
    float Rnd() override {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<float>(m_state >> 40) * (1.0f / 16777216.0f);
    }
    void Randomize() override {}

  private:
    uint64_t m_state = 42;
};

// A sound device that plays every sound to its end at once and remembers nothing.
class InstantSound : public MultimediaDevice {
  public:
    std::string FileName() const override { return m_name; }
    void SetFileName(const std::string& name) override { m_name = name; }
    void Command(const std::string& command) override { m_open = command == "Open"; }
    long Length() const override { return m_open ? 500 : 0; }
    long Position() const override { return Length(); }

  private:
    std::string m_name;
    bool m_open = false;
};

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

long cpuMilliseconds() {
    long ns = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "schedstat");
        long running = 0;
        stat >> running;
        ns += running;
    }
    return ns / 1000000;
}

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// The pet lives on its own timer for a while, every thread's CPU time counted: with the same
// random numbers each run, a figure to compare changes of the drawing path by.
int pacedLife(Form1& pet, int seconds) {
    QTimer::singleShot(5000, [&pet, seconds] {
        const long before = cpuMilliseconds();
        QTimer::singleShot(seconds * 1000, [&pet, before, seconds] {
            const long used = cpuMilliseconds() - before;
            std::printf("paced life on the %s platform: %ld ms CPU in %d s (%ld ms per minute), "
                        "pet at %.0f, %.0f\n",
                        qPrintable(QGuiApplication::platformName()), used, seconds,
                        used * 60 / seconds, pet.Left(), pet.Top());
            QCoreApplication::quit();
        });
    });
    return QCoreApplication::exec();
}
// A Qt program that only wakes five times a second, measured like the pet: the floor under
// any figure for a pet that takes a step five times a second on this machine.
int idleFloor(int seconds) {
    QTimer tick;
    tick.start(200);
    QTimer::singleShot(5000, [seconds] {
        const long before = cpuMilliseconds();
        QTimer::singleShot(seconds * 1000, [before, seconds] {
            const long used = cpuMilliseconds() - before;
            std::printf("a Qt program that only wakes five times a second: %ld ms CPU per "
                        "minute\n",
                        used * 60 / seconds);
            QCoreApplication::quit();
        });
    });
    return QCoreApplication::exec();
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    QApplication app(argc, argv);
    if (argc > 2 && std::string(argv[1]) == "--idle") return idleFloor(std::atoi(argv[2]));
    const bool paced = argc > 2 && std::string(argv[1]) == "--paced";
    const long lifeTicks = argc > 1 && !paced ? std::atol(argv[1]) : 1000000;

    FakePlatform p;
    BenchRandom random;
    InstantSound sound;
    // On an X display the windows' moves, pictures and outlines take the real path.
    const std::unique_ptr<X11Display> x11(X11Display::available() ? new X11Display : nullptr);
    WindowDisplay& display = x11 ? static_cast<WindowDisplay&>(*x11) : p.display;
    Services services{p.runtime, p.clock, random,    p.files, p.settings, p.msgbox,
                      sound,     p.inet,  p.browser, p.tray,  p.stacking, display};
    p.settings.Set("birth", "2025-01-02 03:04:05");
    Forms forms(services);
    Form1& pet = forms.form1();
    if (paced) return pacedLife(pet, std::atoi(argv[2]));
    pet.Timer1.SetEnabled(false); // the bench drives the ticks itself

    // Touched up front, so that filling it does not count as growth of the pet's memory.
    std::vector<long> ns(100000, 0);
    size_t measured = 0;
    long rssAfter1000 = 0;
    for (long t = 1; t <= lifeTicks; ++t) {
        // Menus now and then: every path of the loop gets its turn.
        if (t % 997 == 0) pet.Interaction = static_cast<int16_t>(1 + t % 2);
        // Keep the pet on the screen so that it keeps walking rather than standing at an edge.
        if (pet.Left() < -3000 || pet.Left() > p.runtime.screenWidth + 3000 || pet.Top() < -3000 ||
            pet.Top() > p.runtime.screenHeight + 3000)
            pet.Move(p.runtime.screenWidth / 2, p.runtime.screenHeight / 2);
        const auto start = std::chrono::steady_clock::now();
        pet.Timer1_Timer();
        // The window repaints and the moves and outlines reach the display, as after every
        // tick of the real program.
        QCoreApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        if (measured < ns.size())
            ns[measured++] =
                std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count();
        if (t == 1000) rssAfter1000 = residentKiB();
    }
    const long rssAfterLife = residentKiB();
    ns.resize(measured);
    std::sort(ns.begin(), ns.end());
    const auto at = [&](double q) { return ns[static_cast<size_t>(q * (ns.size() - 1))]; };
    std::printf("behaviour tick (show-cell, repaint and window moves included) on the %s platform, "
                "over %zu ticks:\n",
                qPrintable(QGuiApplication::platformName()), ns.size());
    std::printf("  median %ld ns   p90 %ld ns   p99 %ld ns\n", at(0.5), at(0.9), at(0.99));
    std::printf("resident memory after 1000 ticks: %ld KiB\n", rssAfter1000);
    std::printf("resident memory after %ld ticks: %ld KiB (growth %ld KiB)\n", lifeTicks,
                rssAfterLife, rssAfterLife - rssAfter1000);
    return 0;
}
