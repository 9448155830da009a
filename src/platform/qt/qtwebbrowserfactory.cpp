#include "qtwebbrowserfactory.h"

#include "platform/errors.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
class DesktopBrowser : public WebBrowserObject {
  public:
    void SetVisible(bool) override {}
    void Navigate(const std::string& url) override {
        const QUrl u(QString::fromStdString(url), QUrl::StrictMode);
        if (!u.isValid() ||
            (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https")))
            throw RuntimeError(-2147467259, "The address is not a web address: " + url);
        // No browser to be had is the runtime's "cannot create the object" (429), a positive
        // number, so the callers tell the user; a bad address stays an automation failure.
        if (!QDesktopServices::openUrl(u))
            throw RuntimeError(429, "No web browser could be started for " + url);
    }
};
} // namespace

std::unique_ptr<WebBrowserObject> QtWebBrowserFactory::CreateInternetExplorer() {
    return std::make_unique<DesktopBrowser>();
}
