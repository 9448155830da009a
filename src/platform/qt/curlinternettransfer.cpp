#include "curlinternettransfer.h"

#include "curllibrary.h"
#include "curlrequest.h"

#include "platform/errors.h"
#include "platform/web.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <stdexcept>

namespace {
// As many as Qt's web access follows.
constexpr int kMostRedirects = 50;

std::string describe(const std::string& url, const std::string& what) {
    return what + " (" + url + ")";
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Throws unless the address is one the transfer may ask: a web address of a host that can be.
void checkAddress(const std::string& url, const QUrl& address) {
    if (!address.isValid() ||
        (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https")))
        throw RuntimeError(CurlInternetTransfer::BadAddress, describe(url, "Not a web address"));
    // Names under ".invalid" never resolve (RFC 6761): no need to ask anyone. This is where
    // a build that names no web host ends its update check.
    if (!NamesAWebSite(address.host().toStdString()))
        throw RuntimeError(CurlInternetTransfer::CannotConnect, describe(url, "Host not found"));
}
} // namespace

CurlInternetTransfer::CurlInternetTransfer(int timeoutMs, qint64 maxBody, std::string library)
    : m_library(std::move(library)), m_timeoutMs(timeoutMs), m_maxBody(maxBody) {}

CurlInternetTransfer::~CurlInternetTransfer() = default;

std::vector<uint8_t> CurlInternetTransfer::OpenURL(const std::string& url) {
    if (m_busy) throw RuntimeError(StillExecuting, "Still executing the last request");
    QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    checkAddress(url, address);
    if (!m_curl) {
        try {
            m_curl = std::make_unique<const CurlLibrary>(m_library.c_str());
        } catch (const std::runtime_error& e) {
            throw RuntimeError(TransferFailed, describe(url, e.what()));
        }
    }

    m_busy = true;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{m_busy};

    // The whole exchange, redirects included, has one deadline; the loop lets the program's
    // timers run meanwhile.
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(m_timeoutMs);
    const auto tooLarge = [&](const std::string& what, qint64 bytes) {
        return RuntimeError(
            TooLarge, describe(url, what + " larger than " + std::to_string(bytes) + " bytes"));
    };
    qint64 arrived = 0;
    for (int redirects = 0;; ++redirects) {
        CurlRequest request(*m_curl, address, m_maxBody, arrived, loop);
        if (!request.run())
            throw deadline.isActive()
                ? RuntimeError(TransferFailed, describe(url, "The request was broken off"))
                : RuntimeError(
                      TimedOut,
                      describe(url, "The request timed out after " +
                                        QString::number(m_timeoutMs / 1000.0).toStdString() +
                                        " s"));
        using Stop = CurlRequest::Stop;
        if (request.stop() == Stop::HeaderTooLarge)
            throw tooLarge("The answer's header is", CurlRequest::kLongestHeader);
        if (request.stop() == Stop::TooLarge) throw tooLarge("The answer is", m_maxBody);
        if (request.stop() == Stop::HeaderDone && isRedirect(request.status()) &&
            !request.location().empty()) {
            if (redirects == kMostRedirects)
                throw RuntimeError(TransferFailed, describe(url, "Too many redirects"));
            const QUrl next = address.resolved(QUrl(QString::fromStdString(request.location())));
            if (address.scheme() == QLatin1String("https") &&
                next.scheme() == QLatin1String("http"))
                throw RuntimeError(TransferFailed, describe(url, "Insecure redirect"));
            checkAddress(url, next);
            address = next;
            continue;
        }
        // Only a success carries the file asked for: a redirect that was not followed (a 300
        // with its list of choices, a 301 that names no new address, a 304) says where it is
        // not.
        const bool success = request.status() >= 200 && request.status() <= 299;
        if (request.stop() == Stop::HeaderDone || (request.result() == CURLE_OK && !success))
            throw RuntimeError(HttpError, describe(url, "The server answered HTTP " +
                                                            std::to_string(request.status()) + " " +
                                                            request.reason()));
        if (request.result() != CURLE_OK) {
            const bool unreached = request.result() == CURLE_COULDNT_CONNECT ||
                                   request.result() == CURLE_COULDNT_RESOLVE_HOST;
            throw RuntimeError(unreached ? CannotConnect : TransferFailed,
                               describe(url, request.error()));
        }
        return std::move(request.body());
    }
}
