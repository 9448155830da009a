#include "curlrequest.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QUrl>

#include <new>
#include <string_view>

namespace {
// All that may arrive, headers and the framing of chunks included, for each byte the body may
// hold: a body sent a byte a chunk takes six.
constexpr qint64 kArrivingPerBodyByte = 8;

std::string_view trimmed(std::string_view text) {
    const size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}
} // namespace

CurlRequest::CurlRequest(const CurlLibrary& curl, const QUrl& address, qint64 maxBody,
                         qint64& arrived, QEventLoop& loop)
    : m_curl(curl), m_maxBody(maxBody), m_arrived(arrived), m_loop(loop), m_multi(curl.multiInit()),
      m_easy(curl.easyInit()) {
    if (!m_multi || !m_easy) throw std::bad_alloc();
    const QByteArray url = address.toEncoded();
    m_curl.easySetopt(m_easy, CURLOPT_URL, url.constData());
    m_curl.easySetopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // No proxy, and no redirect followed unseen: the caller checks each.
    m_curl.easySetopt(m_easy, CURLOPT_PROXY, "");
    m_curl.easySetopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    // A name look-up that hangs past the deadline is left to end on its own.
    m_curl.easySetopt(m_easy, CURLOPT_QUICK_EXIT, 1L);
    m_curl.easySetopt(m_easy, CURLOPT_ERRORBUFFER, m_error);
    m_curl.easySetopt(m_easy, CURLOPT_HEADERFUNCTION, onHeader);
    m_curl.easySetopt(m_easy, CURLOPT_HEADERDATA, this);
    m_curl.easySetopt(m_easy, CURLOPT_WRITEFUNCTION, onBody);
    m_curl.easySetopt(m_easy, CURLOPT_WRITEDATA, this);
    // What arrives is counted as it comes, before chunks are taken apart (libcurl shows it only
    // to a debug function); the progress call is where a request that got too much is left.
    m_curl.easySetopt(m_easy, CURLOPT_VERBOSE, 1L);
    m_curl.easySetopt(m_easy, CURLOPT_DEBUGFUNCTION, onArrival);
    m_curl.easySetopt(m_easy, CURLOPT_DEBUGDATA, this);
    m_curl.easySetopt(m_easy, CURLOPT_NOPROGRESS, 0L);
    m_curl.easySetopt(m_easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    m_curl.easySetopt(m_easy, CURLOPT_XFERINFODATA, this);
    m_curl.multiSetopt(m_multi, CURLMOPT_SOCKETFUNCTION, onSocket);
    m_curl.multiSetopt(m_multi, CURLMOPT_SOCKETDATA, this);
    m_curl.multiSetopt(m_multi, CURLMOPT_TIMERFUNCTION, onTimer);
    m_curl.multiSetopt(m_multi, CURLMOPT_TIMERDATA, this);
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlRequest::~CurlRequest() {
    m_curl.multiRemoveHandle(m_multi, m_easy);
    m_curl.easyCleanup(m_easy);
    m_curl.multiCleanup(m_multi);
}

bool CurlRequest::run() {
    m_curl.multiAddHandle(m_multi, m_easy);
    m_loop.exec();
    return m_done;
}

std::string CurlRequest::error() const {
    return m_error[0] ? m_error : m_curl.easyStrerror(m_result);
}

size_t CurlRequest::onHeader(char* data, size_t size, size_t count, void* self) {
    const bool wanted =
        static_cast<CurlRequest*>(self)->header(std::string_view(data, size * count));
    return wanted ? size * count : 0;
}

bool CurlRequest::header(std::string_view line) {
    m_headerBytes += line.size();
    if (m_headerBytes > kLongestHeader) return stopWith(Stop::HeaderTooLarge);
    if (line.starts_with("HTTP/")) {
        // "HTTP/1.1 301 Moved Permanently": a new answer begins.
        const std::string_view rest = trimmed(line.substr(std::min(line.find(' '), line.size())));
        const std::string_view code = rest.substr(0, 3);
        m_status = 0;
        for (const char c : code)
            m_status = c >= '0' && c <= '9' ? m_status * 10 + (c - '0') : 0;
        m_reason = trimmed(rest.substr(code.size()));
        m_location.clear();
        return true;
    }
    if (trimmed(line).empty()) {
        // An interim answer's header counts with the answer that follows it.
        if (m_status < 200) return true;
        // Nothing more is wanted of a redirect or of an answer that is no success.
        if (m_status > 299) return stopWith(Stop::HeaderDone);
        curl_off_t declared = -1;
        m_curl.easyGetinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared);
        m_inBody = true;
        return declared <= m_maxBody || stopWith(Stop::TooLarge);
    }
    const size_t colon = line.find(':');
    if (m_location.empty() && colon != std::string_view::npos &&
        QLatin1String(line.data(), qsizetype(colon))
                .compare(QLatin1String("location"), Qt::CaseInsensitive) == 0)
        m_location = trimmed(line.substr(colon + 1));
    return true;
}

size_t CurlRequest::onBody(char* data, size_t size, size_t count, void* self) {
    CurlRequest& request = *static_cast<CurlRequest*>(self);
    const size_t length = size * count;
    if (request.m_stop != Stop::None || qint64(request.m_body.size() + length) > request.m_maxBody)
        return request.stopWith(Stop::TooLarge);
    request.m_body.insert(request.m_body.end(), data, data + length);
    return length;
}

int CurlRequest::onArrival(CURL*, curl_infotype type, char*, size_t size, void* self) {
    CurlRequest& request = *static_cast<CurlRequest*>(self);
    if (type == CURLINFO_HEADER_IN || type == CURLINFO_DATA_IN) {
        request.m_arrived += qint64(size);
        if (request.m_arrived > request.m_maxBody * kArrivingPerBodyByte)
            request.stopWith(Stop::TooLarge);
    }
    return 0;
}

int CurlRequest::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CurlRequest*>(self)->m_stop == Stop::None ? 0 : 1;
}

bool CurlRequest::stopWith(Stop why) {
    if (m_stop == Stop::None) m_stop = why;
    return false;
}

int CurlRequest::onSocket(CURL*, curl_socket_t socket, int what, void* self, void*) {
    static_cast<CurlRequest*>(self)->watch(socket, what);
    return 0;
}

void CurlRequest::watch(curl_socket_t socket, int what) {
    Watch& watch = m_watches[socket];
    notify(watch.read, socket, true, what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    notify(watch.write, socket, false, what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
    if (what == CURL_POLL_REMOVE) {
        // libcurl may close the socket at once, and one of its notifiers may be the one whose
        // signal runs now: they are switched off here and deleted with the request.
        for (auto* notifier : {&watch.read, &watch.write})
            if (*notifier) m_retired.push_back(std::move(*notifier));
        m_watches.erase(socket);
    }
}

void CurlRequest::notify(std::unique_ptr<QSocketNotifier>& notifier, curl_socket_t socket,
                         bool read, bool on) {
    if (!notifier && on) {
        notifier = std::make_unique<QSocketNotifier>(socket, read ? QSocketNotifier::Read
                                                                  : QSocketNotifier::Write);
        const int event = read ? CURL_CSELECT_IN : CURL_CSELECT_OUT;
        QObject::connect(notifier.get(), &QSocketNotifier::activated,
                         [this, socket, event] { act(socket, event); });
    }
    if (notifier) notifier->setEnabled(on);
}

int CurlRequest::onTimer(CURLM*, long ms, void* self) {
    QTimer& timer = static_cast<CurlRequest*>(self)->m_timer;
    if (ms < 0)
        timer.stop();
    else
        timer.start(int(ms));
    return 0;
}

void CurlRequest::act(curl_socket_t socket, int events) {
    int running = 0;
    m_curl.multiSocketAction(m_multi, socket, events, &running);
    int left = 0;
    while (const CURLMsg* message = m_curl.multiInfoRead(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        m_result = message->data.result;
        // libcurl refuses a header line longer than it keeps (CURL_MAX_HTTP_HEADER) as if
        // memory had run out.
        if (m_result == CURLE_OUT_OF_MEMORY && !m_inBody) stopWith(Stop::HeaderTooLarge);
        m_done = true;
        m_loop.quit();
    }
}
