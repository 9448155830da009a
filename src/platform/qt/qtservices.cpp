#include "qtservices.h"

#include "qtimpl.h"

struct QtPlatform::Impl {
    QtRuntime runtime;
    QtClock clock;
    QtRandom random;
    QtFiles files;
    QtSettings settings;
    QtMessageBoxes msgbox{runtime};
    QtMultimedia sound;
    QtInternetTransfer inet;
    QtWebBrowserFactory browser;
    QtShellTray tray{runtime};
    QtWindowStacking stacking;
    Services services{runtime, clock, random,  files, settings, msgbox,
                      sound,   inet,  browser, tray,  stacking};
};

QtPlatform::QtPlatform() : d(std::make_unique<Impl>()) {}
QtPlatform::~QtPlatform() = default;

Services& QtPlatform::services() {
    return d->services;
}
