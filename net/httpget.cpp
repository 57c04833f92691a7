#include "net/httpget.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>

#include "net/curlapi.h"
#include "net/httpcli.h"
#include "platform/processend.h"

namespace quintelle::net {

SplitURL splitURL(const QString& url) {
    static const QString scheme = QStringLiteral("http://");
    const QString rest = url.startsWith(scheme, Qt::CaseInsensitive) ? url.mid(7) : url;
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0) return {QString(), rest};
    return {rest.left(slash), rest.mid(slash)};
}

QByteArray requestTarget(const QString& object) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray target;
    for (const char c : object.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || byte == '#') {
            target += '%';
            target += hex[byte >> 4];
            target += hex[byte & 15];
        } else {
            target += c;
        }
    }
    return target;
}

namespace {

// A host the request may name: a plain name or address, or a bracketed
// IPv6 address. Anything else (a port, credentials, spaces) cannot be a
// host and makes the request fail instead of reaching somewhere else.
bool plainHost(const QString& host) {
    if (host.size() > 2 && host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        for (const QChar c : host.mid(1, host.size() - 2))
            if (!(c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f') || c == u':'))
                return false;
        return true;
    }
    if (host.isEmpty()) return false;
    for (const QChar c : host) {
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c.isDigit() ||
                        c == u'-' || c == u'.' || c == u'_';
        if (!ok || c.unicode() > 127) return false;
    }
    return true;
}

}  // namespace
}  // namespace quintelle::net

namespace {

struct Transfer {
    THTTPGetThread* worker;
    const quintelle::net::CurlApi& api;
    CURL* curl;
    QString refused{};  // why we ended it: stopped, stalled, too large, not wanted
    bool firstPiece = true;
    bool expectStatusLine = true;
    std::int64_t headerBytes = 0;
    curl_off_t lastCount = 0;
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
};

size_t onHeader(char* data, size_t, size_t size, void* context) {
    auto& t = *static_cast<Transfer*>(context);
    THTTPGetResult& r = t.worker->Result;
    t.headerBytes += static_cast<std::int64_t>(size);
    if (t.headerBytes > THTTPGetRequest::kMaxHeaderBytes) {
        t.refused = QStringLiteral("The answer's header is over %1 bytes")
                        .arg(THTTPGetRequest::kMaxHeaderBytes);
        return 0;
    }
    // A status line, "HTTP/1.x 429 Too Many Requests", starts each answer
    // (an interim 100 comes before the real one); its reason is the server's
    // own words for the status. curl would take "HTTP/2 200" on a connection
    // that asked for HTTP/1.0.
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
    if (t.expectStatusLine) {
        if (!quintelle::net::isHttp1StatusLine(line)) {
            t.refused = QStringLiteral("The answer is not HTTP/1");
            return 0;
        }
        r.Reason = QString::fromLatin1(line.mid(13));
        t.expectStatusLine = false;
    } else if (line.isEmpty()) {
        t.expectStatusLine = true;  // the end of a header; another may follow
    }
    return size;
}

size_t onBody(char* data, size_t, size_t size, void* context) {
    auto& t = *static_cast<Transfer*>(context);
    THTTPGetThread& w = *t.worker;
    if (w.stopRequested()) return t.refused = QStringLiteral("Stopped"), 0;
    if (t.firstPiece) {
        t.firstPiece = false;
        curl_off_t length = -1;
        t.api.easy_getinfo(t.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length < 0 && w.request().BinaryData)
            return t.refused = QStringLiteral("The answer has no Content-Length"), 0;
    }
    if (w.Result.Body.size() + static_cast<std::int64_t>(size) > w.request().MaxBodyBytes) {
        t.refused = QStringLiteral("The answer is over %1 bytes").arg(w.request().MaxBodyBytes);
        return 0;
    }
    w.Result.Body.append(data, static_cast<qsizetype>(size));
    return size;
}

int onProgress(void* context, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto& t = *static_cast<Transfer*>(context);
    const auto now = std::chrono::steady_clock::now();
    if (dlnow + ulnow != t.lastCount) {
        t.lastCount = dlnow + ulnow;
        t.lastProgress = now;
    }
    if (t.worker->stopRequested()) {
        t.refused = QStringLiteral("Stopped");
        return 1;
    }
    const auto stall = t.worker->request().StallLimit;
    if (now - t.lastProgress > stall) {
        t.refused = QStringLiteral("No answer for %1 seconds")
                        .arg(std::chrono::duration_cast<std::chrono::seconds>(stall).count());
        return 1;
    }
    return 0;
}

// curl's own failures in the player's words.
QString curlFailure(CURLcode code, const THTTPGetRequest& request) {
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return QStringLiteral("The server's name is unknown");
        case CURLE_COULDNT_CONNECT:
            return QStringLiteral("The server cannot be reached");
        case CURLE_OPERATION_TIMEDOUT:
            return QStringLiteral("Not done within %1 seconds")
                .arg(std::chrono::duration_cast<std::chrono::seconds>(request.Deadline).count());
        case CURLE_PARTIAL_FILE:
            return QStringLiteral("The answer was cut short");
        case CURLE_GOT_NOTHING:
            return QStringLiteral("The server closed without answering");
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return QStringLiteral("The answer is not HTTP/1");
        default:
            return QStringLiteral("The transfer failed (curl error %1)").arg(int(code));
    }
}

}  // namespace

THTTPGetThread::~THTTPGetThread() {
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}

void THTTPGetThread::start(const std::shared_ptr<THTTPGetThread>& self, THTTPGet* owner) {
    self->owner_ = owner;
    // The thread keeps its worker alive: a detached worker outlives its owner,
    // and until it has let go of it the process ends without exit's teardown.
    self->thread_ = std::thread([worker = self]() mutable {
        const quintelle::platform::WorkInFlight inFlight;
        worker->run();
        worker.reset();
    });
}

void THTTPGetThread::detach() {
    std::lock_guard lock(ownerMutex_);
    owner_ = nullptr;
    if (thread_.joinable()) thread_.detach();
}

void THTTPGetThread::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void THTTPGetThread::run() {
    QString error;
    try {
        error = transfer();
    } catch (...) {
        error = QStringLiteral("The transfer failed");
    }
    if (error.isEmpty() && stopRequested()) error = QStringLiteral("Stopped");
    Result.URL = request_.URL;
    Result.Error = error;
    Result.Success = error.isEmpty();
    std::lock_guard lock(ownerMutex_);
    if (owner_) {
        // Posted while the owner cannot go away; Qt drops the call if the
        // owner is destroyed before it is delivered.
        THTTPGet* owner = owner_;
        QMetaObject::invokeMethod(
            owner, [owner, this] { owner->FetchDone(this); }, Qt::QueuedConnection);
    }
}

QString THTTPGetThread::transfer() {
    using namespace quintelle::net;
    const SplitURL split = splitURL(request_.URL);
    if (!plainHost(split.host) || request_.Port < 1 || request_.Port > 65535)
        return QStringLiteral("Not an address this program fetches");
    if (stopRequested()) return QStringLiteral("Stopped");

    // Loaded here, on the worker, by the first transfer of the session; a
    // machine without it fails every transfer as an unreachable server does.
    const CurlApi* api = curlApi();
    if (!api) return QStringLiteral("No HTTP library (libcurl) on this system");
    CURL* curl = api->easy_init();
    if (!curl) return QStringLiteral("The transfer failed");
    const std::unique_ptr<CURL, void (*)(CURL*)> curlGuard(curl, api->easy_cleanup);
    // Freed before the handle, whichever way this ends.
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> headers(nullptr, api->slist_free_all);
    const auto header = [&](const QByteArray& line) {
        // On failure curl leaves the list as it was.
        if (curl_slist* longer = api->slist_append(headers.get(), line.constData())) {
            (void)headers.release();
            headers.reset(longer);
        }
    };

    const QByteArray url = "http://" + split.host.toLatin1() + ':' +
                           QByteArray::number(request_.Port) + requestTarget(split.object);
    api->easy_setopt(curl, CURLOPT_URL, url.constData());
    api->easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    api->easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    api->easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api->easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    api->easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(request_.StallLimit.count()));
    api->easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request_.Deadline.count()));

    const QByteArray agent = request_.Agent.toUtf8();
    if (!agent.isEmpty()) api->easy_setopt(curl, CURLOPT_USERAGENT, agent.constData());
    const QByteArray referer = request_.Referer.toUtf8();
    if (!referer.isEmpty()) api->easy_setopt(curl, CURLOPT_REFERER, referer.constData());
    const QByteArray user = request_.UserName.toUtf8();
    const QByteArray password = request_.Password.toUtf8();
    if (!user.isEmpty()) {
        api->easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        api->easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }

    header("Accept: " + request_.AcceptTypes.toUtf8());
    if (!request_.UseCache) header("Pragma: no-cache");
    header("Expect:");
    const QByteArray form = request_.PostQuery.toUtf8();
    if (!form.isEmpty()) {
        header("Content-Type: application/x-www-form-urlencoded");
        api->easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.size()));
        api->easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, form.constData());
    }
    api->easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());

    Transfer t{this, *api, curl};
    api->easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    api->easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    api->easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    api->easy_setopt(curl, CURLOPT_HEADERDATA, &t);
    api->easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    api->easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    api->easy_setopt(curl, CURLOPT_XFERINFODATA, &t);

    const CURLcode code = api->easy_perform(curl);
    long status = 0;
    api->easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    Result.Status = static_cast<int>(status);
    if (!t.refused.isEmpty()) return t.refused;
    if (code != CURLE_OK) return curlFailure(code, request_);
    if (status < 200 || status > 299)
        return QStringLiteral("The server answered %1 %2").arg(status).arg(Result.Reason).trimmed();
    if (Result.Body.isEmpty()) return QStringLiteral("The answer was empty");
    return {};
}

THTTPGet::THTTPGet(QObject* parent) : QObject(parent) {}

THTTPGet::~THTTPGet() {
    if (!worker_) return;
    worker_->stop();
    worker_->detach();
}

void THTTPGet::StartFetch() {
    const THTTPGetRequest& request = *this;
    if (!worker_) {
        launch(request);
    } else if (!(worker_->request() == request) &&
               std::find(waiting_.begin(), waiting_.end(), request) == waiting_.end()) {
        waiting_.push_back(request);
    }
    if (WaitThread) QCoreApplication::processEvents();
}

void THTTPGet::launch(const THTTPGetRequest& request) {
    worker_ = std::make_shared<THTTPGetThread>(request);
    THTTPGetThread::start(worker_, this);
}

void THTTPGet::AbortFetch() {
    waiting_.clear();
    if (worker_) worker_->stop();
}

void THTTPGet::FetchDone(THTTPGetThread* worker) {
    if (worker != worker_.get()) return;
    worker->join();
    // Idle before the events run, so a handler may start this component anew.
    const std::shared_ptr<THTTPGetThread> done = std::move(worker_);
    result_ = std::move(done->Result);
    const QPointer<THTTPGet> self(this);
    if (result_.Success) {
        if (OnDoneString) OnDoneString(this, result_.Body);
    } else if (OnError) {
        OnError(this);
    }
    if (!self || worker_ || waiting_.empty()) return;
    const THTTPGetRequest next = waiting_.front();
    waiting_.pop_front();
    launch(next);
}
