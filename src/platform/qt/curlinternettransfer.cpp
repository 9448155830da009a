#include "qtinternettransfer.h"

#include "platform/errors.h"
#include "platform/web.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {
std::string describe(const std::string& url, const std::string& what) {
    return what + " (" + url + ")";
}
} // namespace

QtInternetTransfer::QtInternetTransfer(int timeoutMs, qint64 maxBody)
    : m_timeoutMs(timeoutMs), m_maxBody(maxBody) {}

std::vector<uint8_t> QtInternetTransfer::OpenURL(const std::string& url) {
    if (m_busy) throw RuntimeError(StillExecuting, "Still executing the last request");
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    if (!address.isValid() ||
        (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https")))
        throw RuntimeError(BadAddress, describe(url, "Not a web address"));

    // Names under ".invalid" never resolve (RFC 6761): no need to ask anyone. This is where
    // a build that names no web host ends its update check.
    if (!NamesAWebSite(address.host().toStdString()))
        throw RuntimeError(CannotConnect, describe(url, "Host not found"));

    m_busy = true;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{m_busy};

    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = manager.get(request);
    reply->setParent(nullptr);
    const std::unique_ptr<QNetworkReply> owner(reply);

    // The whole exchange has one deadline; the loop below lets the program's timers run.
    enum class Stop { None, TimedOut, TooLarge } stop = Stop::None;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        stop = Stop::TimedOut;
        reply->abort();
    });
    const auto checkSize = [&](qint64 size) {
        if (size > m_maxBody && stop == Stop::None) {
            stop = Stop::TooLarge;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid()) checkSize(length.toLongLong());
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [&] { checkSize(reply->bytesAvailable()); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(m_timeoutMs);
    if (!reply->isFinished()) loop.exec();
    deadline.stop();

    if (stop == Stop::TimedOut)
        throw RuntimeError(TimedOut,
                           describe(url, "The request timed out after " +
                                             QString::number(m_timeoutMs / 1000.0).toStdString() +
                                             " s"));
    if (stop == Stop::TooLarge)
        throw RuntimeError(TooLarge, describe(url, "The answer is larger than " +
                                                       std::to_string(m_maxBody) + " bytes"));
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const auto answered = [&] {
        const std::string reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().toStdString();
        return RuntimeError(HttpError, describe(url, "The server answered HTTP " +
                                                         std::to_string(status) + " " + reason));
    };
    if (status >= 400) throw answered();
    if (reply->error() != QNetworkReply::NoError) {
        const int number = reply->error() == QNetworkReply::ConnectionRefusedError ||
                                   reply->error() == QNetworkReply::HostNotFoundError
                               ? CannotConnect
                               : TransferFailed;
        throw RuntimeError(number, describe(url, reply->errorString().toStdString()));
    }
    // Only a success carries the file asked for: a redirect that was not followed (a 300
    // with its list of choices, a 304) says where it is not.
    if (status < 200 || status > 299) throw answered();
    const QByteArray body = reply->readAll();
    if (body.size() > m_maxBody)
        throw RuntimeError(TooLarge, describe(url, "The answer is larger than " +
                                                       std::to_string(m_maxBody) + " bytes"));
    return std::vector<uint8_t>(body.begin(), body.end());
}
