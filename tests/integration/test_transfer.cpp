#include "platform/errors.h"
#include "platform/qt/curlinternettransfer.h"
#include "platform/qt/qtruntime.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
const QByteArray kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

// A tiny HTTP server on 127.0.0.1 answering by path, served by the event loop that the
// transfer runs while it waits.
class Server : public QObject {
  public:
    Server() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    std::string url(const char* path) const {
        return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + path;
    }

  private:
    void answer(QTcpSocket* s) {
        m_request += s->readAll();
        if (!m_request.contains("\r\n\r\n")) return;
        const QByteArray path = m_request.split(' ').value(1);
        m_request.clear();
        if (path == "/koz/update.koz") {
            reply(s, "200 OK", "4.2 beta\r\nBetter walking\r\n");
        } else if (path == "/missing") {
            reply(s, "404 Not Found", "<html>gone</html>");
        } else if (path == "/broken") {
            reply(s, "500 Internal Server Error", "oops");
        } else if (path == "/choices") {
            reply(s, "300 Multiple Choices", "9.9 beta\r\nNot an update file\r\n");
        } else if (path == "/moved") {
            s->write("HTTP/1.1 302 Found\r\nLocation: /koz/update.koz\r\nContent-Length: 3\r\n"
                     "Connection: close\r\n\r\nold");
            s->disconnectFromHost();
        } else if (path == "/moved-nowhere") {
            reply(s, "301 Moved Permanently", "gone, but where?");
        } else if (path == "/moved-to-invalid") {
            s->write("HTTP/1.1 302 Found\r\nLocation: http://pimbolet.invalid/koz/update.koz\r\n"
                     "Content-Length: 0\r\nConnection: close\r\n\r\n");
            s->disconnectFromHost();
        } else if (path == "/moved-in-circles") {
            s->write("HTTP/1.1 302 Found\r\nLocation: /moved-in-circles\r\nContent-Length: 0\r\n"
                     "Connection: close\r\n\r\n");
            s->disconnectFromHost();
        } else if (path == "/moved-with-endless-body") {
            endless(s,
                    "HTTP/1.1 302 Found\r\nLocation: /koz/update.koz\r\n"
                    "Content-Length: 1073741824\r\n\r\n",
                    "b");
        } else if (path == "/endless-header-lines") {
            endless(s, "HTTP/1.1 200 OK\r\n", "X-Filler: ffffffffffffffffffffffffffffffff\r\n");
        } else if (path == "/endless-header-line") {
            endless(s, "HTTP/1.1 200 OK\r\nX-Filler: ", "f");
        } else if (path == "/endless-continues") {
            endless(s, "", "HTTP/1.1 100 Continue\r\n\r\n");
        } else if (path == "/endless-chunk-size") {
            endless(s, kChunked, "0");
        } else if (path == "/endless-chunk-extension") {
            endless(s, kChunked + QByteArray("1;"), "x");
        } else if (path == "/limit") {
            reply(s, "200 OK", QByteArray(1 << 20, 'a'));
        } else if (path == "/huge-declared") {
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n");
            s->write(QByteArray(4096, 'h'));
        } else if (path == "/huge-undeclared") {
            s->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            for (int i = 0; i < 40; ++i)
                s->write(QByteArray(64 * 1024, 'h'));
            s->disconnectFromHost();
        }
        // "/slow": never answers.
    }
    // The head, then the piece again and again while the client takes it (at most 256 MiB).
    static void endless(QTcpSocket* s, const QByteArray& head, const QByteArray& piece) {
        const QByteArray block = piece.repeated(64 * 1024 / piece.size());
        auto more = [s, block, sent = qint64(0)]() mutable {
            while (s->bytesToWrite() < 4 * block.size() && sent < (qint64(1) << 28))
                sent += s->write(block);
        };
        s->write(head);
        more();
        QObject::connect(s, &QTcpSocket::bytesWritten, s, more);
    }
    static void reply(QTcpSocket* s, const char* status, const QByteArray& body) {
        s->write("HTTP/1.1 " + QByteArray(status) + "\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer m_server;
    QByteArray m_request;
};

int errorNumberOf(InternetTransfer& inet, const std::string& url, std::string* description) {
    try {
        inet.OpenURL(url);
    } catch (const RuntimeError& e) {
        if (description) *description = e.Description;
        return e.Number;
    }
    return 0;
}
} // namespace

TEST(InternetTransfer, ReturnsTheWholeBodyByteForByte) {
    Server server;
    CurlInternetTransfer inet;
    const std::vector<uint8_t> body = inet.OpenURL(server.url("/koz/update.koz"));
    const std::string text(body.begin(), body.end());
    EXPECT_EQ(text, "4.2 beta\r\nBetter walking\r\n");
    EXPECT_EQ(inet.OpenURL(server.url("/limit")).size(), size_t{1} << 20)
        << "a body of exactly the limit is taken";
    const std::vector<uint8_t> moved = inet.OpenURL(server.url("/moved"));
    EXPECT_EQ(std::string(moved.begin(), moved.end()), text)
        << "a redirect followed ends in the answer that counts";
    const std::vector<uint8_t> skipped = inet.OpenURL(server.url("/moved-with-endless-body"));
    EXPECT_EQ(std::string(skipped.begin(), skipped.end()), text)
        << "what a redirect says besides the new address is never read";
}

TEST(InternetTransfer, FailuresAreErrorsWithANumberAndADescription) {
    Server server;
    CurlInternetTransfer inet;
    struct Row {
        std::string url;
        int number;
        std::string inDescription;
    };
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const std::string refused = "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/";
    closed.close();
    const std::vector<Row> rows = {
        {server.url("/missing"), CurlInternetTransfer::HttpError, "404"},
        {server.url("/broken"), CurlInternetTransfer::HttpError, "500"},
        {server.url("/choices"), CurlInternetTransfer::HttpError, "HTTP 300 Multiple Choices"},
        {server.url("/moved-nowhere"), CurlInternetTransfer::HttpError,
         "The server answered HTTP 301 Moved Permanently"},
        {server.url("/moved-to-invalid"), CurlInternetTransfer::CannotConnect, "not found"},
        {server.url("/moved-in-circles"), CurlInternetTransfer::TransferFailed, "redirects"},
        {server.url("/huge-declared"), CurlInternetTransfer::TooLarge, "larger than 1048576"},
        {server.url("/huge-undeclared"), CurlInternetTransfer::TooLarge, "larger than"},
        {refused, CurlInternetTransfer::CannotConnect, refused},
        {"file:///etc/passwd", CurlInternetTransfer::BadAddress, "file:///etc/passwd"},
    };
    for (const Row& row : rows) {
        std::string description;
        EXPECT_EQ(errorNumberOf(inet, row.url, &description), row.number) << row.url;
        EXPECT_NE(description.find(row.inDescription), std::string::npos)
            << row.url << ": " << description;
    }
}

// A server that sends without end is given up as soon as what it sent can be no answer worth
// taking, long before the deadline.
TEST(InternetTransfer, EndlessAnswersAreGivenUpBeforeTheDeadline) {
    Server server;
    CurlInternetTransfer inet(20000);
    const struct {
        const char* path;
        int number;
        std::string inDescription;
    } rows[] = {
        {"/endless-header-lines", CurlInternetTransfer::TooLarge, "header is larger than 65536"},
        {"/endless-header-line", CurlInternetTransfer::TooLarge, "header is larger than 65536"},
        {"/endless-continues", CurlInternetTransfer::TooLarge, "header is larger than 65536"},
        {"/endless-chunk-size", CurlInternetTransfer::TransferFailed, "/endless-chunk-size"},
        {"/endless-chunk-extension", CurlInternetTransfer::TooLarge, "larger than 1048576"},
    };
    for (const auto& row : rows) {
        std::string description;
        EXPECT_EQ(errorNumberOf(inet, server.url(row.path), &description), row.number)
            << row.path << ": " << description;
        EXPECT_NE(description.find(row.inDescription), std::string::npos)
            << row.path << ": " << description;
    }
}

TEST(InternetTransfer, SlowServerTimesOutWhileTimersKeepRunning) {
    Server server;
    CurlInternetTransfer inet(300);
    int ticks = 0;
    QTimer banner;
    QObject::connect(&banner, &QTimer::timeout, [&] { ++ticks; });
    banner.start(20);
    QElapsedTimer took;
    took.start();
    std::string description;
    EXPECT_EQ(errorNumberOf(inet, server.url("/slow"), &description),
              CurlInternetTransfer::TimedOut);
    EXPECT_NE(description.find("timed out after 0.3 s"), std::string::npos) << description;
    EXPECT_GE(took.elapsed(), 295);
    EXPECT_LT(took.elapsed(), 3000);
    EXPECT_GE(ticks, 5) << "the program's timers ran during the wait";
}

TEST(InternetTransfer, TransferCalledAgainWhileWaitingIsRefused) {
    Server server;
    CurlInternetTransfer inet(300);
    int inner = -1;
    QTimer::singleShot(
        20, [&] { inner = errorNumberOf(inet, server.url("/koz/update.koz"), nullptr); });
    EXPECT_EQ(errorNumberOf(inet, server.url("/slow"), nullptr), CurlInternetTransfer::TimedOut);
    EXPECT_EQ(inner, CurlInternetTransfer::StillExecuting);
    EXPECT_EQ(inet.OpenURL(server.url("/koz/update.koz")).size(), 26u) << "usable again";
}

TEST(InternetTransfer, NamesUnderInvalidAreNeverLookedUp) {
    CurlInternetTransfer inet;
    for (const char* url :
         {"http://pimbolet.invalid/koz/update.koz", "http://A.INVALID./", "http://invalid:8080/"}) {
        QElapsedTimer took;
        took.start();
        std::string description;
        EXPECT_EQ(errorNumberOf(inet, url, &description), CurlInternetTransfer::CannotConnect)
            << url;
        EXPECT_NE(description.find("Host not found"), std::string::npos) << description;
        EXPECT_LT(took.elapsed(), 100) << url;
    }
}

// libcurl is loaded at the first request really made: an address that may not be asked never
// loads it, and a library that cannot be loaded fails the request like any transfer, naming it.
TEST(InternetTransfer, LibcurlIsLoadedOnlyForARequestReallyMade) {
    Server server;
    CurlInternetTransfer inet(60000, 1 << 20, "libcurl-gnutls-missing.so.4");
    const struct {
        std::string url;
        int number;
        std::string inDescription;
    } rows[] = {
        {"http://pimbolet.invalid/koz/update.koz", CurlInternetTransfer::CannotConnect,
         "Host not found"},
        {"file:///etc/passwd", CurlInternetTransfer::BadAddress, "Not a web address"},
        {server.url("/koz/update.koz"), CurlInternetTransfer::TransferFailed,
         "Cannot load libcurl: libcurl-gnutls-missing.so.4: cannot open shared object file"},
    };
    for (const auto& row : rows) {
        std::string description;
        EXPECT_EQ(errorNumberOf(inet, row.url, &description), row.number) << row.url;
        EXPECT_NE(description.find(row.inDescription), std::string::npos) << description;
        EXPECT_NE(description.find(row.url), std::string::npos) << description;
    }
}

TEST(Runtime, WebHostIsTheBuildsUnlessTheEnvironmentNamesOne) {
    QtRuntime runtime;
    const struct {
        const char* set;
        std::string host;
    } rows[] = {
        {nullptr, PIMBOLET_WEB_HOST},
        {"127.0.0.1:8080", "127.0.0.1:8080"},
        {"[::1]:80", "[::1]:80"},
        {"www.example.org", "www.example.org"},
        {"evil.example/path?x=1", PIMBOLET_WEB_HOST},
        {"user@evil.example", PIMBOLET_WEB_HOST},
    };
    for (const auto& row : rows) {
        if (row.set)
            qputenv("PIMBOLET_WEB_HOST", row.set);
        else
            qunsetenv("PIMBOLET_WEB_HOST");
        EXPECT_EQ(runtime.WebHost(), row.host) << (row.set ? row.set : "(not set)");
    }
    qunsetenv("PIMBOLET_WEB_HOST");
}
