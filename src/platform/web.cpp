#include "web.h"

#include "errors.h"

#include <cctype>

std::string MakerAddress(const Runtime& runtime, const std::string& path) {
    return "http://" + runtime.WebHost() + path;
}

bool NamesAWebSite(const std::string& host) {
    std::string name = host;
    // host[:port], where the host may be an address in brackets.
    const auto colon = name.rfind(':');
    if (colon != std::string::npos && name.find(']', colon) == std::string::npos) name.erase(colon);
    if (!name.empty() && name.back() == '.') name.pop_back();
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name != "invalid" && !name.ends_with(".invalid");
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
