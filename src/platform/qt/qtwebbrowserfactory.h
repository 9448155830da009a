#pragma once

#include "platform/services.h"

// Web pages open in the user's own browser.
class QtWebBrowserFactory : public WebBrowserFactory {
  public:
    std::unique_ptr<WebBrowserObject> CreateInternetExplorer() override;
};
