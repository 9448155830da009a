#pragma once

#include "platform/services.h"

#include <QtGlobal>

// HTTP GET with one deadline for the whole exchange; the body is bounded in size (the update
// file is a few lines). Error numbers are this program's own, in the transfer control's range.
class QtInternetTransfer : public InternetTransfer {
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
    explicit QtInternetTransfer(int timeoutMs = 60000, qint64 maxBody = 1 << 20);
    std::vector<uint8_t> OpenURL(const std::string& url) override;

  private:
    int m_timeoutMs;
    qint64 m_maxBody;
    bool m_busy = false;
};
