#include "companions/popmenus.h"
#include "forms/forms.h"
#include "platform/qt/displayopening.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/sessionend.h"
#include "platform/screenratio.h"

#include <QApplication>

#include <signal.h>

namespace {
void writeToAClosedPipe(int) {}

// A closed pipe on stderr or anywhere else must not end the pet: a write to it then fails like
// any other, and everything that writes takes that in its stride. A handler that does nothing
// rather than ignoring the signal, so that a program the pet starts (the browser) gets the
// usual behaviour back when it is executed.
void surviveClosedPipes() {
    struct sigaction action {};
    action.sa_handler = writeToAClosedPipe;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}
} // namespace

int main(int argc, char* argv[]) {
    surviveClosedPipes();
    // The pet places its own windows, which a Wayland client may not do: run through XWayland
    // unless the user has chosen a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    // Each repaint through shared memory waits for the display to finish with it; the pet's
    // pictures are small, and sending them plainly costs far less over a long life.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // A screen ratio Qt cannot draw at would leave the pet without a window, or end it.
    screenratio::IgnoreUnusable();

    DisplayOpening opening;
    QApplication app(argc, argv);
    opening.opened();
    QApplication::setApplicationName(QStringLiteral("pimbolet"));
    QApplication::setApplicationVersion(QStringLiteral("4.1"));
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform;
    Forms forms(platform.services());
    // Logging out ends the pet as its own "Exit" does, so the options are kept. Until the
    // start-up is over (its messages wait in event loops of their own) the program ends at once
    // as a start that failed: there is nothing to keep yet.
    bool started = false;
    watchEndOfSession([&forms, &platform, &started] {
        if (!started) platform.services().runtime.End(EndStatus::Failed);
        forms.popMenus().exitmnu_Click();
    });
    forms.form1(); // the pet's window is made and its load runs the whole start-up
    started = true;
    return app.exec();
}
