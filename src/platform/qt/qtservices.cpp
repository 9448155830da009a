#include "qtservices.h"

#include "curlinternettransfer.h"
#include "pulsesounddevice.h"
#include "qtclock.h"
#include "qtfiles.h"
#include "qtmessageboxes.h"
#include "qtrandom.h"
#include "qtruntime.h"
#include "qtsettings.h"
#include "qtshelltray.h"
#include "qtwebbrowserfactory.h"
#include "qtwindowstacking.h"
#include "x11display.h"

#include "platform/nodisplay.h"

struct QtPlatform::Impl {
    QtRuntime runtime;
    QtClock clock;
    QtRandom random;
    QtFiles files;
    QtSettings settings;
    QtMessageBoxes msgbox{runtime};
    PulseSoundDevice sound;
    CurlInternetTransfer inet;
    QtWebBrowserFactory browser;
    QtShellTray tray{runtime};
    // The display's state lives here, for as long as the services do.
    std::unique_ptr<X11Display> x11{X11Display::available() ? new X11Display : nullptr};
    NoDisplay noDisplay;
    QtWindowStacking stacking{x11.get()};
    Services services{runtime, clock,    random,
                      files,   settings, msgbox,
                      sound,   inet,     browser,
                      tray,    stacking, x11 ? static_cast<WindowDisplay&>(*x11) : noDisplay};
};

QtPlatform::QtPlatform() : d(std::make_unique<Impl>()) {}
QtPlatform::~QtPlatform() = default;

Services& QtPlatform::services() {
    return d->services;
}
