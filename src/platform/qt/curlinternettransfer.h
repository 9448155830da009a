#pragma once

#include "platform/services.h"

#include <QtGlobal>

#include <memory>
#include <string>

struct CurlLibrary;

// HTTP GET with one deadline for the whole exchange, through libcurl driven by the event loop,
// which keeps running meanwhile. Only a success (2xx) is taken. What a server may send is
// bounded: the body (the update file is a few lines), each answer's header, and all that
// arrives, so that a server sending without end costs little. Error numbers are this program's
// own, in the transfer control's range. libcurl is loaded at the first request to an address
// that may be asked: a pet that asks no web site never loads it.
class CurlInternetTransfer : public InternetTransfer {
  public:
    enum ErrorNumber {
        CannotConnect = 35754,
        TimedOut = 35761,
        HttpError = 35762,
        TransferFailed = 35763,
        StillExecuting = 35764,
        BadAddress = 35765,
        TooLarge = 35766,
    };
    // `library`: the run-time library of Debian's libcurl3-gnutls, whose header
    // libcurl4-gnutls-dev gives the build.
    explicit CurlInternetTransfer(int timeoutMs = 60000, qint64 maxBody = 1 << 20,
                                  std::string library = "libcurl-gnutls.so.4");
    ~CurlInternetTransfer() override;
    std::vector<uint8_t> OpenURL(const std::string& url) override;

  private:
    std::string m_library;
    std::unique_ptr<const CurlLibrary> m_curl;
    int m_timeoutMs;
    qint64 m_maxBody;
    bool m_busy = false;
};
