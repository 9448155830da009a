#pragma once

#include "services.h"

#include <memory>
#include <string>

// The address of a page of the maker's web site, for example "/koz/".
std::string MakerAddress(const Runtime& runtime, const std::string& path);

// False for a web host under the reserved ".invalid" domain, such as the default build's: it
// names no web site at all, so there is nothing to ask and nothing to report.
bool NamesAWebSite(const std::string& host);

// Opens a web page in a new, visible browser window. The new browser object replaces the one
// kept in WebBrowser once it has been made. Failures come as RuntimeError.
void OpenWebPage(WebBrowserFactory& browser, std::unique_ptr<WebBrowserObject>& WebBrowser,
                 const std::string& url);

// The same for a link the user clicked: any failure is told, under "Launch URL".
void LaunchLink(Services& services, std::unique_ptr<WebBrowserObject>& WebBrowser,
                const std::string& url);
