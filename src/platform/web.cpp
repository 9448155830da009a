#include "web.h"

#include "errors.h"

std::string MakerAddress(const Runtime& runtime, const std::string& path) {
    return "http://" + runtime.WebHost() + path;
}

void OpenWebPage(WebBrowserFactory& browser, std::unique_ptr<WebBrowserObject>& WebBrowser,
                 const std::string& url) {
    WebBrowser = browser.CreateInternetExplorer();
    WebBrowser->SetVisible(true);
    WebBrowser->Navigate(url);
}

void LaunchLink(Services& services, std::unique_ptr<WebBrowserObject>& WebBrowser,
                const std::string& url) {
    try {
        OpenWebPage(services.browser, WebBrowser, url);
    } catch (const RuntimeError& e) {
        services.msgbox.MsgBox(e.Description, mb::Critical, "Launch URL");
    }
}
