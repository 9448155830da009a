#pragma once

#include <QTimer>
#include <QtGlobal>

#include "curllibrary.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QEventLoop;
class QSocketNotifier;
class QUrl;

// One HTTP GET through libcurl's multi interface, its sockets and its timer watched by the
// event loop given, which runs until the answer is complete or something else ends it (the
// deadline). What a server may send is bounded: each answer's header, interim answers ("100
// Continue") included, the body, and all that arrives (`arrived` counts it, over several
// requests). An answer that is no success is left as soon as its header is read.
class CurlRequest {
  public:
    // Why the answer was left before its end.
    enum class Stop { None, HeaderTooLarge, TooLarge, HeaderDone };
    // More than any real server sends as one answer's header. libcurl itself refuses a single
    // header line of more than 100 KiB.
    static constexpr size_t kLongestHeader = 64 * 1024;

    CurlRequest(const CurlLibrary& curl, const QUrl& address, qint64 maxBody, qint64& arrived,
                QEventLoop& loop);
    ~CurlRequest();
    CurlRequest(const CurlRequest&) = delete;
    CurlRequest& operator=(const CurlRequest&) = delete;

    // False when the loop ended before the answer did.
    bool run();

    Stop stop() const { return m_stop; }
    int status() const { return m_status; }
    const std::string& reason() const { return m_reason; }
    const std::string& location() const { return m_location; }
    std::vector<uint8_t>& body() { return m_body; }
    CURLcode result() const { return m_result; }
    // libcurl's words for a failure.
    std::string error() const;

  private:
    struct Watch {
        std::unique_ptr<QSocketNotifier> read, write;
    };

    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    bool header(std::string_view line);
    static size_t onBody(char* data, size_t size, size_t count, void* self);
    static int onArrival(CURL*, curl_infotype type, char*, size_t size, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    bool stopWith(Stop why);
    static int onSocket(CURL*, curl_socket_t socket, int what, void* self, void*);
    void watch(curl_socket_t socket, int what);
    void notify(std::unique_ptr<QSocketNotifier>& notifier, curl_socket_t socket, bool read,
                bool on);
    static int onTimer(CURLM*, long ms, void* self);
    void act(curl_socket_t socket, int events);

    const CurlLibrary& m_curl;
    qint64 m_maxBody;
    qint64& m_arrived;
    QEventLoop& m_loop;
    CURLM* m_multi;
    CURL* m_easy;
    char m_error[CURL_ERROR_SIZE] = "";
    QTimer m_timer;
    std::map<curl_socket_t, Watch> m_watches;
    std::vector<std::unique_ptr<QSocketNotifier>> m_retired;
    bool m_done = false;
    CURLcode m_result = CURLE_OK;
    Stop m_stop = Stop::None;
    size_t m_headerBytes = 0;
    bool m_inBody = false;
    int m_status = 0;
    std::string m_reason;
    std::string m_location;
    std::vector<uint8_t> m_body;
};
