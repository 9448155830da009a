#include "qtimpl.h"

#include "platform/errors.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

std::vector<uint8_t> QtInternetTransfer::OpenURL(const std::string& url) {
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QString::fromStdString(url)));
    request.setTransferTimeout(60000);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop; // timers keep running while the transfer waits
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        throw RuntimeError(35761, reply->errorString().toStdString());
    const QByteArray body = reply->readAll();
    return std::vector<uint8_t>(body.begin(), body.end());
}
